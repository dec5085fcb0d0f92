#pragma once

#include <optional>
#include <string>
#include <string_view>

// Numbers and cells as the exchange formats write and read them.

// A number as the formats write it: rounded to the hundredth, without trailing zeros.
std::string FormatExchangeNumber(float fValue);
// A whole cell as a finite number ("." or, where allowed, "," as the decimal mark).
std::optional<float> ParseExchangeNumber(std::string_view cell, bool bDecimalComma);
// An angle cell: a number, a degree sign after it allowed ("50°", UTF-8 or Latin-1).
std::optional<float> ParseExchangeAngle(std::string_view cell, bool bDecimalComma);
// A cell's text for a message, quoted, cut to 20 bytes: bytes that are no UTF-8 (or control
// characters) as \xNN, so that a terminal shows what the file holds.
std::string ShownCell(std::string_view cell);
