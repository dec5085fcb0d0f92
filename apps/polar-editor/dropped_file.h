#pragma once

#include <QString>

// What a file dropped on the window is: a data file to open, a polar of another format to
// import, an instrument log to learn from, or none of these.
enum class DroppedFileKind { DataFile, PolarFormat, Log, Unknown };

// By the name first (a data file ends in .PPD), then by the content: a format the importers
// recognise, else a log the log reader finds sentences or rows in (compressed or not).
DroppedFileKind ClassifyDroppedFile(const QString& strPath);
