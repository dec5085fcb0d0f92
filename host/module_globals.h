#pragma once

class Cpolar;

// The module's state, one copy in the process.
// The current editor; null until the first polar(), and after close_polar().
extern Cpolar* g_pPolarDlg;
// The host's open flag (1 while an editor is alive, 0 after); may be null.
extern int* g_pHostOpenFlag;
