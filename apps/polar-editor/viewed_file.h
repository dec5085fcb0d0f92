#pragma once

#include <QString>

#include "data/polar_file.h"

// The data file as the window shows it: its sail plans with polars and points in ascending
// order (as the editor and the charts show them), and what went wrong reading it. The window
// never writes these: a change to the file starts from a fresh reading of it.
struct ViewedFile {
    QString strPath;
    SailPlanArray aSailPlans;
    // Empty when the file was read completely; else why not (cannot be read, or where the
    // reading stopped).
    QString strProblem;
    // Whether the file is there and could be read (completely or up to a stop).
    bool bOpened = false;
    // The file as read: a change by another program is told from the window's own by it.
    FileIdentity identity;
};

// A missing file is an empty one, as the editor creates it on opening. Only a regular file is
// read (a FIFO or a device would not end).
ViewedFile ReadViewedFile(const QString& strPath);
