#pragma once

#include <QSettings>
#include <QStandardPaths>

#include "tests/support/temp_dir.h"

// The settings of this test program in a folder of its own while it runs: test programs run
// side by side (ctest -j) would otherwise clear and read each other's.
inline void UseOwnSettingsFolder() {
    static TempDir folder;
    QStandardPaths::setTestModeEnabled(true);
    const QString path = QString::fromStdString(folder.Path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, path);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, path);
}
