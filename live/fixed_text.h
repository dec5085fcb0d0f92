#pragma once

#include <string>

// A number with a fixed count of decimals, whatever the locale ("-1.25"); "" for what is not
// finite, which leaves the field of a sentence empty.
void AppendFixed(std::string& str, double d, int nDecimals);
