#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string_view>

#include "data/polar_text_scanner.h"

// The JSON formats' one reading of their text: member order kept (the writers keep it too).
using Json = nlohmann::ordered_json;

// Parses the whole text; on failure `problem` says where (the parser's byte) and why.
std::optional<Json> ParseJsonText(std::string_view text, PolarFileProblem& problem);
