#pragma once

#include <string>

class CWnd;

// Opens the help for a file name of the form "Help\English\polar.hlp", relative to the current
// folder ('\' read as '/'). Where that file does not exist but an HTML page of the same base
// name does, the page opens in the browser; a missing help file is reported in a message box.
// Returns whether something was opened.
bool OpenHelpFile(CWnd* pWnd, const std::string& strHelpFile);

// The file OpenHelpFile would open, or empty when there is none.
std::string ResolveHelpFile(const std::string& strHelpFile);
