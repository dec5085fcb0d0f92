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
};

// The language number for a locale name such as "de_DE": de 49, fr 33, es 34, nb/nn/no 47,
// sv 46, anything else 44.
int LanguageForLocale(const QString& strLocale);
