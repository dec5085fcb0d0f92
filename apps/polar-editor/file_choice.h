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

// A file to write, chosen in the file dialog (which itself asks nothing): never the open data
// file (strOpenDataFile), nor for a new data file an existing path. A refused choice is told
// and the dialog shown again, before any other question; empty when the user cancelled.
QString ChooseFileToWrite(QWidget* pParent, Questions& questions, WriteChoice kind,
                          const QString& strTitle, const QString& strFolder,
                          const QString& strFilter, const QString& strOpenDataFile);
