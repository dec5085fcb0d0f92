#include "apps/polar-editor/data_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString FirstExisting(const QStringList& candidates) {
    for (const QString& candidate : candidates) {
        if (!candidate.isEmpty() && QFileInfo::exists(candidate)) {
            return QFileInfo(candidate).absoluteFilePath();
        }
    }
    return {};
}

bool CopyIfMissing(const QString& strFrom, const QString& strTo, QString* pError) {
    if (QFileInfo::exists(strTo)) {
        return true;
    }
    QDir().mkpath(QFileInfo(strTo).absolutePath());
    if (!QFile::copy(strFrom, strTo)) {
        *pError = "cannot copy " + strFrom + " to " + strTo;
        return false;
    }
    QFile::setPermissions(
        strTo, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return true;
}

}  // namespace

QString FindShareDir() {
    const QString appDir = QCoreApplication::applicationDirPath();
    return FirstExisting({qEnvironmentVariable("POLAR_SHARE_DIR"),
                          QDir::cleanPath(appDir + "/" + POLAR_SHAREDIR_FROM_BINDIR)});
}

QString FindLibrary() {
    const QString appDir = QCoreApplication::applicationDirPath();
    return FirstExisting({qEnvironmentVariable("POLAR_LIBRARY"),
                          QDir::cleanPath(appDir + "/" + POLAR_LIBRARY_FROM_BINDIR)});
}

QString DefaultDataDir() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/polar-editor";
}

bool PrepareDataFolder(const QString& strDataDir, const QString& strShareDir, QString* pError) {
    for (const char* pszSub : {"Sail", "Translations", "Help/English"}) {
        if (!QDir().mkpath(strDataDir + "/" + pszSub)) {
            *pError = "cannot create the folder " + strDataDir + "/" + pszSub;
            return false;
        }
    }
    if (strShareDir.isEmpty()) {
        return true;  // nothing to seed from: the editor starts with an empty file
    }
    if (!CopyIfMissing(strShareDir + "/POLAR.PPD", strDataDir + "/Sail/POLAR.PPD", pError)) {
        return false;
    }
    QDirIterator it(strShareDir + "/Translations", {"*.lgx"}, QDir::Files);
    while (it.hasNext()) {
        it.next();
        if (!CopyIfMissing(it.filePath(), strDataDir + "/Translations/" + it.fileName(), pError)) {
            return false;
        }
    }
    const QString help = strShareDir + "/Help/English/polar.html";
    return !QFileInfo::exists(help) ||
           CopyIfMissing(help, strDataDir + "/Help/English/polar.html", pError);
}
