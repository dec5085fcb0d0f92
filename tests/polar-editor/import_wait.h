#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include "apps/polar-editor/main_window.h"

// Runs the event loop until the window's import reading has been handed over (at most 60 s,
// for the sanitizers' builds on a busy machine); false when it never was.
inline bool WaitForImport(const MainWindow& window) {
    const QDeadlineTimer deadline(60000);
    while (window.Importing() && !deadline.hasExpired()) {
        QCoreApplication::processEvents();
        QThread::msleep(2);
    }
    return !window.Importing();
}
