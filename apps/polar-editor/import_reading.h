#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "data/sailplan.h"
#include "exchange/format_table.h"

// A file of another polar format read for an import: the sail plan it would add, the format it
// was read as, and what the reader and the plausibility checks said about it.
struct ImportReading {
    const ExchangeFormat* pFormat = nullptr;
    std::unique_ptr<SAILPLAN> pSailPlan;  // null when nothing can be imported
    QStringList diagnostics;
    QString strError;  // why nothing can be imported; empty otherwise
};

// Reads the file; the sail plan is named after the file (or what the file calls it), without
// the commas the data file cannot hold.
ImportReading ReadImport(const QString& strPath);

// The preview: the sail plan with its wind speeds and points, then the diagnostics.
QString DescribeImport(const ImportReading& reading);

// strName, or with " (2)", " (3)", ... when a sail plan of that name exists already.
std::string UnusedSailPlanName(const SailPlanArray& aSailPlans, const std::string& strName);
