#include "apps/polar-editor/file_choice.h"

#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>

#include "apps/polar-editor/questions.h"
#include "apps/polar-editor/window_texts.h"

bool NamesSameFile(const QString& strA, const QString& strB) {
    if (strA.isEmpty() || strB.isEmpty()) {
        return false;
    }
    struct stat a {};
    struct stat b {};
    const bool bA = ::stat(QFile::encodeName(strA).constData(), &a) == 0;
    const bool bB = ::stat(QFile::encodeName(strB).constData(), &b) == 0;
    if (bA && bB) {
        return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    }
    if (bA || bB) {
        return false;
    }
    return QDir::cleanPath(QFileInfo(strA).absoluteFilePath()) ==
           QDir::cleanPath(QFileInfo(strB).absoluteFilePath());
}

QString ChooseFileToWrite(QWidget* pParent, Questions& questions, WriteChoice kind,
                          const QString& strTitle, const QString& strFolder,
                          const QString& strFilter, const QString& strOpenDataFile) {
    QString strStart = strFolder;
    for (;;) {
        const QString strPath = questions.FileToWrite(pParent, strTitle, strStart, strFilter);
        if (strPath.isEmpty()) {
            return {};
        }
        strStart = QFileInfo(strPath).absolutePath();
        if (NamesSameFile(strPath, strOpenDataFile)) {
            questions.Tell(pParent, strTitle,
                           Ui("%1 is the data file that is open; it is not written here. Choose "
                              "another file.")
                               .arg(strPath));
            continue;
        }
        const QFileInfo info(strPath);
        const bool bExists = info.exists() || info.isSymLink();
        if (kind == WriteChoice::NewDataFile && bExists) {
            questions.Tell(
                pParent, strTitle,
                Ui("%1 exists already; a new data file needs a name of its own.").arg(strPath));
            continue;
        }
        if (kind == WriteChoice::Replaceable && bExists &&
            !questions.AskYesCancel(pParent, strTitle,
                                    Ui("%1 exists already. Replace it?").arg(strPath))) {
            continue;
        }
        return strPath;
    }
}
