#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "data/sailplan.h"
#include "exchange/format_table.h"

// A file of another polar format read for an import: the sail plans it would add (every one of
// a format that holds several, in file order), the format it was read as, and what the reader
// and the plausibility checks said about it.
struct ImportReading {
    const ExchangeFormat* pFormat = nullptr;
    SailPlanArray aSailPlans;  // empty when nothing can be imported
    QStringList diagnostics;
    QString strError;  // why nothing can be imported; empty otherwise
};

// Reads the file; each sail plan is named as the file calls it, else after the file, without
// the commas the data file cannot hold. A sail plan without a point is left out, and said.
ImportReading ReadImport(const QString& strPath);

// The preview: one sail plan with its wind speeds and points, or the list of the sail plans,
// then the diagnostics.
QString DescribeImport(const ImportReading& reading);

// strName, or with " (2)", " (3)", ... when a sail plan of that name exists already.
std::string UnusedSailPlanName(const SailPlanArray& aSailPlans, const std::string& strName);

// Moves the sail plans to the end of aSailPlans, each under a name not used there yet (the ones
// added before it included).
void AddUnderFreeNames(SailPlanArray& aSailPlans, SailPlanArray aAdded);
