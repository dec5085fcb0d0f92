#pragma once

#include <QString>
#include <functional>

#include "data/sailplan.h"

class EditorPlugin;
class Questions;
class QWidget;

// How a change the application makes to the data file ended.
enum class ChangeOutcome {
    Made,        // written; an editor that was open is open again on the new content
    Cancelled,   // the user said Cancel: nothing changed
    EditorKept,  // the editor could not save its edits: it stays open with them, nothing changed
    Failed,      // the file could not be read or written: it is as it was, the user was told why
};

// The one way the application changes the data file itself (import, learn). While the editor
// is open on it, the user is asked first (the editor's edits are saved before the change);
// then the editor saves and closes, and only when it says so (notification 1) does the change
// go on: the file is read afresh, changed and written atomically, and the editor opens again.
// strWhat names the change in the question and messages ("The import"). change gets the
// sail plans as the file holds them and returns false, with the reason, to drop the change.
ChangeOutcome ChangeDataFile(
    QWidget* pParent, Questions& questions, EditorPlugin& editor, const QString& strPath,
    const QString& strWhat,
    const std::function<bool(SailPlanArray& aSailPlans, QString* pReason)>& change);
