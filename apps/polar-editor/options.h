#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

#include "polar/polar.h"

// What the user asked for on the command line.
struct EditorOptions {
    QString strDataFile;  // empty: the data folder's Sail/POLAR.PPD
    QString strDataDir;   // empty: under the user's XDG data home
    std::optional<int> nLanguage;
    // Grid, background, current curve, tacking sector, other polars.
    std::array<polar_api::COLORREF, 5> colors{};
    bool bColorsGiven = false;  // else the settings' colours, or the defaults
    bool bVerbose = false;
    // Open the editor and close it again at once: a check that an installation works.
    bool bCheck = false;
};

// Exit codes of polar-editor.
constexpr int kEditorExitOk = 0;
constexpr int kEditorExitFailure = 1;
constexpr int kEditorExitUsage = 2;

// What the command line asks for: run with the options, or end at once with an exit code and
// a text (the help or version for stdout, a usage error for stderr).
struct CommandLine {
    EditorOptions options;
    std::optional<int> nExitNow;
    QString strText;
};

// Reads the arguments (without the program name).
CommandLine ParseCommandLine(const QStringList& args);

// The arguments without the options Qt takes for itself (-platform offscreen, -style ...),
// which the application object removes when it is made.
QStringList WithoutToolkitOptions(const QStringList& args);

// What tells Qt where to open its windows, as the environment gives it.
struct DisplayEnvironment {
    QString strPlatform;        // QT_QPA_PLATFORM
    QString strDisplay;         // DISPLAY, the X server
    QString strWaylandDisplay;  // WAYLAND_DISPLAY, the Wayland compositor
};
DisplayEnvironment CurrentDisplayEnvironment();

// Qt ends the program with an abort and a hint to reinstall it when its window system cannot be
// reached. From the arguments (with Qt's own -platform and -display) and the environment this
// tells in advance whether the platform Qt would take needs a display that is not there: an X
// server for xcb (the default), a compositor or an X server for wayland. Platforms that draw
// elsewhere (offscreen, minimal, vnc, linuxfb, ...) need none. Empty when nothing is missing,
// else the message for the user, with how to run the program instead.
QString MissingDisplayMessage(const QStringList& args, const DisplayEnvironment& environment);

// The language number for a locale name such as "de_DE": de 49, fr 33, es 34, nb/nn/no 47,
// sv 46, anything else 44.
int LanguageForLocale(const QString& strLocale);
