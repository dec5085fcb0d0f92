#include "exchange/format_table.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "data/text_encoding.h"
#include "exchange/format_guess.h"
#include "exchange/text_lines.h"

namespace {

std::string ExtensionOf(std::string_view strPath) {
    return std::filesystem::path(strPath).extension().string();
}

std::string WriteGrid(const SAILPLAN& sailPlan, std::string_view strPath) {
    return ExportGrid(sailPlan, EqualsIgnoringCase(ExtensionOf(strPath), ".csv") ? ';' : '\t');
}

std::string WriteLines(const SAILPLAN& sailPlan, std::string_view /*strPath*/) {
    return ExportLines(sailPlan);
}

std::string WriteRatingJson(const SAILPLAN& sailPlan, std::string_view /*strPath*/) {
    return ExportRatingJson(sailPlan);
}

std::string WriteRatingCsv(const SAILPLAN& sailPlan, std::string_view /*strPath*/) {
    return ExportRatingCsv(sailPlan);
}

constexpr std::string_view kGridExtensions[] = {".pol", ".csv", ".txt"};
constexpr std::string_view kJsonExtensions[] = {".json"};

// The rating data's CSV goes by ".csv" too, but a grid is what such a name most often holds:
// the rating CSV is told by its content, or asked for by name.
const ExchangeFormat kFormats[] = {
    {"grid", kGridExtensions, LooksLikeGrid, ImportGrid, WriteGrid},
    {"lines", {}, LooksLikeLines, ImportLines, WriteLines},
    {"json", kJsonExtensions, LooksLikeRatingJson, ImportRatingJson, WriteRatingJson},
    {"rating-csv", {}, LooksLikeRatingCsv, ImportRatingCsv, WriteRatingCsv},
};

std::string Joined(const std::vector<std::string_view>& words, std::string_view separator,
                   std::string_view lastSeparator) {
    std::string out;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i > 0) {
            out += i + 1 == words.size() ? lastSeparator : separator;
        }
        out += words[i];
    }
    return out;
}

}  // namespace

std::span<const ExchangeFormat> ExchangeFormats() {
    return kFormats;
}

const ExchangeFormat* FormatByName(std::string_view name) {
    for (const ExchangeFormat& format : kFormats) {
        if (format.name == name) {
            return &format;
        }
    }
    return nullptr;
}

const ExchangeFormat* FormatByExtension(std::string_view strPath) {
    const std::string extension = ExtensionOf(strPath);
    for (const ExchangeFormat& format : kFormats) {
        if (std::any_of(format.extensions.begin(), format.extensions.end(),
                        [&](std::string_view e) { return EqualsIgnoringCase(e, extension); })) {
            return &format;
        }
    }
    return nullptr;
}

const ExchangeFormat* GuessFormat(std::string_view text, std::string_view strPath) {
    for (const ExchangeFormat& format : kFormats) {
        if (format.looksLike(text)) {
            return &format;
        }
    }
    return FormatByExtension(strPath);
}

std::string FormatNames(std::string_view separator, std::string_view lastSeparator) {
    std::vector<std::string_view> names;
    for (const ExchangeFormat& format : kFormats) {
        names.push_back(format.name);
    }
    return Joined(names, separator, lastSeparator);
}

std::string FormatExtensions(std::string_view separator, std::string_view lastSeparator) {
    std::vector<std::string_view> extensions;
    for (const ExchangeFormat& format : kFormats) {
        extensions.insert(extensions.end(), format.extensions.begin(), format.extensions.end());
    }
    return Joined(extensions, separator, lastSeparator);
}

void NameImportedSailPlan(SAILPLAN& sailPlan, const std::string& strFallback) {
    std::string strName = sailPlan.m_strName.empty() ? strFallback : sailPlan.m_strName;
    std::erase(strName, ',');
    sailPlan.SetName(strName.substr(0, CutLength(strName, 99)));
}
