#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

#include "apps/polar-editor/target_table.h"

// The target card: one A4 page in PDF with the sail plan's name and a table of its targets
// per wind speed, large enough to read on deck.
QByteArray TargetCardPdf(const QString& strSailPlan, const std::vector<TargetRow>& rows);

// The cells of one row as the card and the dialog show them.
QStringList TargetCells(const TargetRow& row);
// Their column headings.
QStringList TargetHeadings();
