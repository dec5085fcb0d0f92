#pragma once

#include <QString>

// The folder the editor runs in: Sail/POLAR.PPD, Translations/Lang_NNN.lgx and
// Help/English/polar.html, laid out as a Windows host's. Missing pieces are copied from the
// installed (or built) shared files; files the user already has are never overwritten.
// Returns false, with the reason, when the folder cannot be made.
bool PrepareDataFolder(const QString& strDataDir, const QString& strShareDir, QString* pError);

// Where the shared files are: $POLAR_SHARE_DIR, else where the installation puts them
// relative to the program (the build tree is laid out the same way). Empty when neither exists.
QString FindShareDir();
// Where the library is: $POLAR_LIBRARY, else where the installation puts it relative to the
// program. Empty when neither exists.
QString FindLibrary();
// The default data folder under the user's XDG data home.
QString DefaultDataDir();
