#pragma once

#include <cstddef>
#include <string>

// Number texts of the data file, independent of the locale.

// Appends the text of printf "%0.2f" for the float widened to double.
void AppendFixed2(std::string& out, float fValue);
std::string FormatFixed2(float fValue);

// Appends the shortest text that reads back to the same float ("nan"/"inf" as printf gives).
void AppendShortestFloat(std::string& out, float fValue);

// Parses a number as scanf "%f" does after its white space: optional sign, decimal digits
// with an optional fraction and exponent, or inf/infinity/nan. Returns the number of bytes
// used, 0 when no number starts at pText. Out-of-range values become infinity or zero.
std::size_t ParseFloatPrefix(const char* pText, const char* pEnd, float& fValue);
