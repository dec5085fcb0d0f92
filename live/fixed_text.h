#pragma once

#include <string>

// A number with a fixed count of decimals, whatever the locale ("-1.25"), rounded to the
// nearest; never "-0.00" for what rounds to 0; "" for what is not finite, which leaves the field
// of a sentence empty.
void AppendFixed(std::string& str, double d, int nDecimals);

// A direction in degrees as 0 to 359.9 with one decimal: what would round to 360.0 is 0.0.
void AppendBearing(std::string& str, double dDegrees);
