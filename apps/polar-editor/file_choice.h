#pragma once

#include <QString>

class QWidget;
class Questions;

// Whether two paths name the same file: through a link or another spelling too (the device
// and inode of what each names). A path with nothing there is the same only as the same
// absolute, cleaned path.
bool NamesSameFile(const QString& strA, const QString& strB);

// What a file chosen for writing will become.
enum class WriteChoice {
    NewDataFile,  // a new data file: the path must name nothing yet
    Replaceable,  // an export or a picture: another existing file is replaced once the user agrees
};

// A file name to suggest in a file dialog: strName without what a file name cannot hold ('/'
// and control characters), else strFallback, with strExtension (".pol") unless it ends so.
QString SuggestedFileName(const QString& strName, const QString& strFallback,
                          const QString& strExtension);

// SuggestedFileName's name made free in strFolder for a new file: "Polars.PPD", else
// "Polars 2.PPD", "Polars 3.PPD", ...
QString FreeFileName(const QString& strFolder, const QString& strName, const QString& strExtension);

// The path with strExtension added when its file name has none (no dot, or only digits after
// the last one, as in "First 40.7"); any other ending the user typed is kept.
QString WithExtension(const QString& strPath, const QString& strExtension);

// A file to write, chosen in the file dialog (which itself asks nothing), starting in
// strFolder with strSuggested as its name (when given); strExtension is added to a name typed
// without one (WithExtension). Never the open data file (strOpenDataFile), nor for a new data
// file an existing path. A refused choice is told and the dialog shown again, before any other
// question; empty when the user cancelled.
struct FileToWriteStart {
    QString strFolder;
    QString strSuggested;  // a file name, empty for none
    QString strExtension;  // ".PPD", empty for none
};
QString ChooseFileToWrite(QWidget* pParent, Questions& questions, WriteChoice kind,
                          const QString& strTitle, const FileToWriteStart& start,
                          const QString& strFilter, const QString& strOpenDataFile);
