#pragma once

#include <string>
#include <string_view>

// Appends text (UTF-8) as a JSON string literal, quotes included.
void AppendJsonString(std::string& out, std::string_view text);
// Appends a float as the shortest JSON number that reads back to it; null when not finite.
void AppendJsonFloat(std::string& out, float fValue);
