#pragma once

#include <string>
#include <string_view>

// Text that came from a log or a command line (a sentence type, a path) made safe to print on
// a terminal: printable ASCII stays, a backslash becomes "\\", every other byte "\xHH".
std::string PrintableText(std::string_view text);
