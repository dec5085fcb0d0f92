#pragma once

#include <QIcon>
#include <QString>

class QWidget;

// The program's icon: the one the icon theme has under the name the desktop entry gives (the
// installed one, or a theme's own), else the copy built into the program.
QIcon ProgramIcon();

// What About says: the program, its version, what it does, its licence and the Qt it was built
// with and runs on, as rich text.
QString AboutText();

// The About box, with the program's icon.
void ShowAboutBox(QWidget* pParent);
