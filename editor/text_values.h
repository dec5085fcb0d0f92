#pragma once

#include <string>

// Numbers typed into the editor's fields, read and written the way the editor always has, but
// independent of the user's locale. Reading takes a decimal comma where the interface language
// writes one (the framework's SetDecimalComma); writing always uses the point.

// atof: the number at the start of the text after blanks; 0 when there is none.
float Atof(const std::string& strText);
// The same number; false when the text does not start with one ("12 kn" reads as 12, "abc"
// is refused).
bool ReadLeadingNumber(const std::string& strText, float& fValue);
// printf "%2.1f" and "%2.2f" of the value.
std::string FormatOneDecimal(double dValue);
std::string FormatTwoDecimals(float fValue);
// The name with every comma removed (the data file ends a name at a comma).
std::string WithoutCommas(std::string strName);
