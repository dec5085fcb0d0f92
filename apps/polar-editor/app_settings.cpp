#include "apps/polar-editor/app_settings.h"

#include <QSettings>

namespace app_settings {

namespace {

constexpr int kMaxRecentFiles = 8;

QString ColorsText(const DiagramPalette& colors) {
    QStringList parts;
    for (const COLORREF cr : colors) {
        // RRGGBB from 0x00BBGGRR, as --colors takes them.
        parts.push_back(QString("%1%2%3")
                            .arg(cr & 0xFF, 2, 16, QChar('0'))
                            .arg((cr >> 8) & 0xFF, 2, 16, QChar('0'))
                            .arg((cr >> 16) & 0xFF, 2, 16, QChar('0'))
                            .toUpper());
    }
    return parts.join(',');
}

}  // namespace

QStringList RecentFiles() {
    return QSettings().value("recentFiles").toStringList();
}

void RememberRecentFile(const QString& strPath) {
    QStringList recent = RecentFiles();
    recent.removeAll(strPath);
    recent.prepend(strPath);
    while (recent.size() > kMaxRecentFiles) {
        recent.removeLast();
    }
    QSettings().setValue("recentFiles", recent);
}

void ForgetRecentFile(const QString& strPath) {
    QStringList recent = RecentFiles();
    recent.removeAll(strPath);
    QSettings().setValue("recentFiles", recent);
}

QString LastExportFormat() {
    return QSettings().value("lastExportFormat").toString();
}

void SetLastExportFormat(const QString& strKey) {
    QSettings().setValue("lastExportFormat", strKey);
}

QString LastFolder(const QString& strKind) {
    return QSettings().value("lastFolder/" + strKind).toString();
}

void SetLastFolder(const QString& strKind, const QString& strFolder) {
    QSettings().setValue("lastFolder/" + strKind, strFolder);
}

std::optional<int> Language() {
    bool bOk = false;
    const int nLanguage = QSettings().value("language").toInt(&bOk);
    return bOk && nLanguage > 0 ? std::optional<int>(nLanguage) : std::nullopt;
}

void SetLanguage(int nLanguage) {
    QSettings().setValue("language", nLanguage);
}

std::optional<DiagramPalette> Colors() {
    return ParsePalette(QSettings().value("colors").toString().toStdString());
}

void SetColors(const DiagramPalette& colors) {
    QSettings().setValue("colors", ColorsText(colors));
}

QString BoatName() {
    return QSettings().value("boatName").toString();
}

void SetBoatName(const QString& strName) {
    QSettings().setValue("boatName", strName);
}

QString CardPaper() {
    return QSettings().value("cardPaper").toString();
}

void SetCardPaper(const QString& strPaper) {
    QSettings().setValue("cardPaper", strPaper);
}

QByteArray WindowGeometry() {
    return QSettings().value("windowGeometry").toByteArray();
}

void SetWindowGeometry(const QByteArray& geometry) {
    QSettings().setValue("windowGeometry", geometry);
}

}  // namespace app_settings
