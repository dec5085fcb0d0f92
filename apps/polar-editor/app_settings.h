#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

#include "diagram/palette.h"

// What the application keeps between runs, in the desktop's usual place (QSettings: the XDG
// config home's polar-editor/polar-editor.conf).
namespace app_settings {

// The files opened last, newest first, at most eight.
QStringList RecentFiles();
void RememberRecentFile(const QString& strPath);
void ForgetRecentFile(const QString& strPath);

// The folder a kind of file dialog ("open", "import", "export", "logs") showed last; empty
// when none yet.
QString LastFolder(const QString& strKind);
void SetLastFolder(const QString& strKind, const QString& strFolder);

// The format the last export was written in, by its polarctl name ("data" for the data
// file); empty when none yet.
QString LastExportFormat();
void SetLastExportFormat(const QString& strKey);

// The language and diagram colours the user chose in the settings; the command line stands
// over them.
std::optional<int> Language();
void SetLanguage(int nLanguage);
std::optional<DiagramPalette> Colors();
void SetColors(const DiagramPalette& colors);

// The boat's name the target card was headed with last; empty when none yet.
QString BoatName();
void SetBoatName(const QString& strName);
// The paper the last target card was laid out for ("a4" or "letter"); empty when none yet.
QString CardPaper();
void SetCardPaper(const QString& strPaper);

QByteArray WindowGeometry();
void SetWindowGeometry(const QByteArray& geometry);

}  // namespace app_settings
