#pragma once

class Cpolar;

// The editor open in the process, one at a time, as the editor records it while it opens and
// gives back when it closes; the host's exports read it here.
// The current editor: null until the first one is made, and after it was handed its close.
Cpolar* OpenEditor();
// The host's open flag of the current editor (1 while it is alive, 0 after); may be null.
int* OpenEditorFlag();
// Forgets the current editor (its close has been asked for, or it was never made).
void ForgetOpenEditor();
// Called by Cpolar only: records itself and the host's flag as the current editor.
void SetOpenEditor(Cpolar* pEditor, int* pOpenFlag);
