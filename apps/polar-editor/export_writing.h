#pragma once

#include <QString>
#include <QStringList>

#include "data/sailplan.h"

// The formats an export offers: the data file's own first, then every exchange format, each
// named for the programs that read it, with its file name endings.
QStringList ExportFormatNames();
// The file name filter of the format at that index, for the file dialog.
QString ExportFormatFilter(int nFormat);
// The ending a file of the format at that index is given when the user names none (".pol").
QString ExportFormatExtension(int nFormat);
// The format's name as polarctl takes it ("data" for the data file), kept in the settings so
// that a new format in the table does not shift the remembered one; and its index again
// (0, the data file, for a name no format has).
QString ExportFormatKey(int nFormat);
int ExportFormatIndex(const QString& strKey);

// Writes one sail plan (nSailPlan) or, with -1, all of them to the file, atomically, in the
// format at nFormat of ExportFormatNames. All sail plans go only into a data file or a format
// that holds several. Returns the reason of a failure, empty when written; pNotes (when given)
// receives what the written file does not hold of the sail plans (ExportNotes).
QString WriteExport(const SailPlanArray& aSailPlans, int nSailPlan, int nFormat,
                    const QString& strPath, QStringList* pNotes = nullptr);
