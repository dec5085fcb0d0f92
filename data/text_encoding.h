#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Names and language strings are bytes. For display they are read as UTF-8 where they are
// valid UTF-8, else as Windows-1252 (the code page of files written on Windows).

bool IsValidUtf8(std::string_view bytes);
// The bytes as UTF-8 text for display.
std::string DecodeForDisplay(std::string_view bytes);
// The largest length <= nLimit that does not cut a UTF-8 character of valid UTF-8 text in
// two; for other bytes nLimit itself.
std::size_t CutLength(std::string_view bytes, std::size_t nLimit);
