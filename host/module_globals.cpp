#include "host/module_globals.h"

Cpolar* g_pPolarDlg = nullptr;
int* g_pHostOpenFlag = nullptr;
