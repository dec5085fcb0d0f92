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

QString SuggestedFileName(const QString& strName, const QString& strFallback,
                          const QString& strExtension) {
    QString strFile;
    for (const QChar c : strName) {
        strFile += c == '/' || c.category() == QChar::Other_Control ? QChar(' ') : c;
    }
    strFile = strFile.simplified();
    // A name of dots only would name a folder.
    if (strFile.isEmpty() || strFile.count('.') == strFile.size()) {
        strFile = strFallback;
    }
    return strFile.endsWith(strExtension, Qt::CaseInsensitive) ? strFile : strFile + strExtension;
}

QString FreeFileName(const QString& strFolder, const QString& strName,
                     const QString& strExtension) {
    const QString strFile = SuggestedFileName(strName, Ui("Polars"), strExtension);
    const QString strBase = strFile.left(strFile.size() - strExtension.size());
    const QDir folder(strFolder);
    QString strFree = strFile;
    for (int n = 2; folder.exists(strFree) || QFileInfo(folder.filePath(strFree)).isSymLink();
         ++n) {
        strFree = strBase + " " + QString::number(n) + strExtension;
    }
    return strFree;
}

QString WithExtension(const QString& strPath, const QString& strExtension) {
    if (strExtension.isEmpty()) {
        return strPath;
    }
    const QString strName = QFileInfo(strPath).fileName();
    const qsizetype nDot = strName.lastIndexOf('.');
    if (nDot > 0) {
        const QString strEnding = strName.mid(nDot + 1);
        bool bDigits = !strEnding.isEmpty();
        for (const QChar c : strEnding) {
            bDigits = bDigits && c.isDigit();
        }
        if (!bDigits) {
            return strPath;
        }
    }
    return strPath + strExtension;
}

QString ChooseFileToWrite(QWidget* pParent, Questions& questions, WriteChoice kind,
                          const QString& strTitle, const FileToWriteStart& start,
                          const QString& strFilter, const QString& strOpenDataFile) {
    QString strStart = start.strSuggested.isEmpty()
                           ? start.strFolder
                           : QDir(start.strFolder).filePath(start.strSuggested);
    for (;;) {
        const QString strChosen = questions.FileToWrite(pParent, strTitle, strStart, strFilter);
        if (strChosen.isEmpty()) {
            return {};
        }
        const QString strPath = WithExtension(strChosen, start.strExtension);
        strStart = strPath;
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
