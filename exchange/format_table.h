#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data/sailplan.h"
#include "exchange/formats.h"

// Where and how an export writes: the path picks a variant (a grid to a ".csv" file is separated
// by ';', to a ".pol" file by tabs with 0 where a polar has no value), and bDecimalComma asks for
// "5,2" where the format can write it so.
struct ExportTarget {
    ExportTarget(std::string_view path, bool bComma = false)
        : strPath(path), bDecimalComma(bComma) {}
    ExportTarget(const char* pszPath) : strPath(pszPath) {}
    ExportTarget(const std::string& path) : strPath(path) {}
    std::string_view strPath;
    bool bDecimalComma = false;
};

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
    std::string (*write)(const SAILPLAN& sailPlan, const ExportTarget& target);
    // For a format that holds several sail plans, the writer of them all in one file; else null.
    std::string (*writeAll)(const std::vector<const SAILPLAN*>& sailPlans,
                            const ExportTarget& target) = nullptr;
    // Why the format cannot hold a sail plan at all, empty when it can; null: it always can.
    std::string (*refusal)(const SAILPLAN& sailPlan) = nullptr;
    // Whether it writes a decimal comma on request.
    bool bDecimalComma = false;
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

// What a file written in the format cannot hold of the sail plans, found by reading the text back
// and comparing: sail plan names, polars, points (angles outside the format's grid, values beyond
// its precision) and tacking angles; one note each, in words for the user. Empty: nothing lost.
std::vector<std::string> ExportNotes(const ExchangeFormat& format,
                                     const std::vector<const SAILPLAN*>& sailPlans,
                                     std::string_view text);

// The names, or the extensions, joined: with separator "|" and last "|",
// "grid|lines|json|..."; with ", " and " or ", "grid, lines, ... or hrosailing".
std::string FormatNames(std::string_view separator, std::string_view lastSeparator);
std::string FormatExtensions(std::string_view separator, std::string_view lastSeparator);
