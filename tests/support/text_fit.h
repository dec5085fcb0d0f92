#pragma once

#include <QFont>
#include <string>
#include <vector>

class QWidget;

// What a user would see cut off in a window: every shown label, button, check box, group title
// and list column header whose text needs more room than its control gives it in the
// control's own font. Each finding names the control id, the text, and the widths needed and
// available.
std::vector<std::string> ClippedTexts(QWidget* pWindow);

// Every widget of the window (a combo box's list included) whose font is not this one.
std::vector<std::string> WidgetsNotInFont(QWidget* pWindow, const QFont& font);
