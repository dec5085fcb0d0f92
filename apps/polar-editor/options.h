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

// The language number for a locale name such as "de_DE": de 49, fr 33, es 34, nb/nn/no 47,
// sv 46, anything else 44.
int LanguageForLocale(const QString& strLocale);
