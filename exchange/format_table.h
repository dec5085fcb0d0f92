#pragma once

#include <span>
#include <string>
#include <string_view>

#include "data/sailplan.h"
#include "exchange/formats.h"

// The formats, one row each: the name users give, the file name endings it goes by, how its
// content is recognised, its reader and its writer. Import, export, help texts and completion
// take the formats from here, so a new format is one row and its functions.
struct ExchangeFormat {
    std::string_view name;
    // Endings with their dot, matched without regard to case.
    std::span<const std::string_view> extensions;
    // Whether a text is of this format by its content. No two formats claim the same text.
    bool (*looksLike)(std::string_view text);
    ImportResult (*read)(std::string_view text, const std::string& strName);
    // The path only picks a variant: a grid to a ".csv" file is separated by ';', else by tabs.
    std::string (*write)(const SAILPLAN& sailPlan, std::string_view strPath);
};

// Every format, in the order help texts list them.
std::span<const ExchangeFormat> ExchangeFormats();

// The format of that name, or nullptr.
const ExchangeFormat* FormatByName(std::string_view name);
// The format whose extensions hold the path's (without regard to case), or nullptr.
const ExchangeFormat* FormatByExtension(std::string_view strPath);
// The format the content shows, else the one the path's extension names, else nullptr.
const ExchangeFormat* GuessFormat(std::string_view text, std::string_view strPath);

// Names an imported sail plan as the data file can hold it: its own name, else strFallback
// (the file's), without commas (a comma ends the name in the data file), cut to 99 bytes on a
// character's boundary.
void NameImportedSailPlan(SAILPLAN& sailPlan, const std::string& strFallback);

// The names, or the extensions, joined: with separator "|" and last "|",
// "grid|lines|json|rating-csv"; with ", " and " or ", "grid, lines, json or rating-csv".
std::string FormatNames(std::string_view separator, std::string_view lastSeparator);
std::string FormatExtensions(std::string_view separator, std::string_view lastSeparator);
