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

// Routers read a ".pol" grid with tabs and 0 where the boat cannot sail, a ".csv" grid with ';'.
std::string WriteGrid(const SAILPLAN& sailPlan, const ExportTarget& target) {
    const std::string extension = ExtensionOf(target.strPath);
    if (EqualsIgnoringCase(extension, ".csv")) {
        return ExportGrid(sailPlan, ';', NoValueCell::kBlank, target.bDecimalComma);
    }
    const NoValueCell noValue =
        EqualsIgnoringCase(extension, ".pol") ? NoValueCell::kZero : NoValueCell::kBlank;
    return ExportGrid(sailPlan, '\t', noValue, target.bDecimalComma);
}

std::string WriteLines(const SAILPLAN& sailPlan, const ExportTarget& /*target*/) {
    return ExportLines(sailPlan);
}

std::string WriteRatingJson(const SAILPLAN& sailPlan, const ExportTarget& /*target*/) {
    return ExportRatingJson(sailPlan);
}

std::string WriteRatingCsv(const SAILPLAN& sailPlan, const ExportTarget& /*target*/) {
    return ExportRatingCsv(sailPlan);
}

std::string WriteAllSignalK(const std::vector<const SAILPLAN*>& sailPlans,
                            const ExportTarget& /*target*/) {
    return ExportSignalKJson(sailPlans);
}

std::string WriteSignalK(const SAILPLAN& sailPlan, const ExportTarget& target) {
    return WriteAllSignalK({&sailPlan}, target);
}

std::string WritePlotterCsv(const SAILPLAN& sailPlan, const ExportTarget& /*target*/) {
    return ExportPlotterCsv(sailPlan);
}

std::string WriteTargetTable(const SAILPLAN& sailPlan, const ExportTarget& /*target*/) {
    return ExportTargetTable(sailPlan);
}

std::string WriteAllHrosailing(const std::vector<const SAILPLAN*>& sailPlans,
                               const ExportTarget& /*target*/) {
    return ExportHrosailingCsv(sailPlans);
}

std::string WriteHrosailing(const SAILPLAN& sailPlan, const ExportTarget& target) {
    return WriteAllHrosailing({&sailPlan}, target);
}

constexpr std::string_view kGridExtensions[] = {".pol", ".csv", ".txt"};
constexpr std::string_view kLinesExtensions[] = {".plr"};
constexpr std::string_view kJsonExtensions[] = {".json"};
constexpr std::string_view kTargetExtensions[] = {".nxp"};

// The rating data's CSV, the chart plotter's table and hrosailing's CSV go by ".csv" too, but a
// grid is what such a name most often holds: those are told by their content, or asked for by
// name; so is Signal K's JSON beside the rating data's.
const ExchangeFormat kFormats[] = {
    {"grid", kGridExtensions, LooksLikeGrid, ImportGrid, WriteGrid, nullptr, nullptr, true},
    {"lines", kLinesExtensions, LooksLikeLines, ImportLines, WriteLines},
    {"json", kJsonExtensions, LooksLikeRatingJson, ImportRatingJson, WriteRatingJson},
    {"rating-csv", {}, LooksLikeRatingCsv, ImportRatingCsv, WriteRatingCsv},
    {"signalk", {}, LooksLikeSignalKJson, ImportSignalKJson, WriteSignalK, WriteAllSignalK},
    {"plotter-csv",
     {},
     LooksLikePlotterCsv,
     ImportPlotterCsv,
     WritePlotterCsv,
     nullptr,
     PlotterCsvRefusal},
    {"targets", kTargetExtensions, LooksLikeTargetTable, ImportTargetTable, WriteTargetTable,
     nullptr, TargetTableRefusal},
    {"hrosailing",
     {},
     LooksLikeHrosailingCsv,
     ImportHrosailingCsv,
     WriteHrosailing,
     WriteAllHrosailing},
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
