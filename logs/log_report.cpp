#include "logs/log_report.h"

#include <cstdint>

#include "exchange/exchange.h"
#include "logs/log_text.h"

namespace {

std::string Count(std::uint64_t n) {
    return std::to_string(n);
}

// "n of m samples".
std::string Share(std::uint64_t n, std::uint64_t nOf) {
    return Count(n) + std::string(" of ") + Count(nOf) + " samples";
}

// What the bad lines were, when there were any: " (checksum failures 2, cut or malformed 1,
// impossible values 0)".
std::string BadKinds(const LogCounts& counts) {
    if (counts.nBadLines == 0) {
        return {};
    }
    return " (checksum failures " + Count(counts.nBadChecksums) + ", cut or malformed " +
           Count(counts.nBadLines - counts.nBadChecksums - counts.nImpossibleValues) +
           ", impossible values " + Count(counts.nImpossibleValues) + ")";
}

}  // namespace

std::vector<std::string> LogNotes(const LogCounts& counts) {
    std::vector<std::string> notes;
    if (counts.bSpeedOverGround) {
        notes.emplace_back(
            "no speed through the water was logged; the boat speed is the speed over ground");
    } else if (counts.nOverGroundSamples > 0) {
        notes.emplace_back(Count(counts.nOverGroundSamples) +
                           " samples before the first speed through the water took the speed "
                           "over ground");
    }
    if (counts.nSecondTrueWind > 0) {
        notes.emplace_back(Count(counts.nSecondTrueWind) +
                           " true wind readings of a second sentence type passed over: the "
                           "samples take the first type the log sent");
    }
    if (counts.nTrueWindDisagreeing * 10 > counts.nTrueWindChecked && counts.nTrueWindChecked > 0) {
        notes.emplace_back(Count(counts.nTrueWindDisagreeing) + " of " +
                           Count(counts.nTrueWindChecked) +
                           " logged true wind readings differ from the apparent wind and boat "
                           "speed by more than 5 degrees or 15 %: the instruments may compute "
                           "it otherwise (over ground, or with corrections)");
    }
    if (counts.nCalmApparentUnderWay > 0) {
        notes.emplace_back(Count(counts.nCalmApparentUnderWay) +
                           " apparent wind readings of 0 kn while the boat moved at 2 kn or more: "
                           "is the wind instrument working?");
    }
    if (counts.nComputedWindSamples > 0 && counts.nTrueWindSamples == 0) {
        notes.emplace_back(
            "no true wind was logged; it was computed from the apparent wind and the boat speed");
    }
    if (counts.bTruncated) {
        notes.emplace_back("a compressed log ended early; what came before it was read");
    }
    return notes;
}

std::string LogCountsText(const LogCounts& counts) {
    std::string s = std::string("lines: ") + Count(counts.nLines) +
                    std::string(", bad lines skipped: ") + Count(counts.nBadLines) +
                    BadKinds(counts) + std::string(", sentences without values: ") +
                    Count(counts.nEmptySentences) + std::string(", other sentences: ") +
                    Count(counts.nOtherSentences) + "\n";
    if (!counts.sentences.empty()) {
        s += "sentences:";
        for (const auto& [strType, n] : counts.sentences) {
            s += " ";
            s += PrintableText(strType);
            s += " ";
            s += Count(n);
        }
        s += "\n";
    }
    s += std::string("samples: ") + Count(counts.nSamples) + std::string(" (") +
         Count(counts.nTrueWindSamples) + std::string(" with logged true wind, ") +
         Count(counts.nComputedWindSamples) +
         " computed from apparent wind); wind readings without boat speed: " +
         Count(counts.nWindWithoutBoatSpeed) + "\n";
    for (const std::string& strNote : LogNotes(counts)) {
        s += "note: ";
        s += strNote;
        s += "\n";
    }
    return s;
}

std::string JsonText(const std::string& text) {
    std::string s = "\"";
    for (const char c : PrintableText(text)) {
        if (c == '"') {
            s += "\\\"";
        } else if (c == '\\') {
            s += "\\\\";
        } else {
            s.push_back(c);
        }
    }
    s.push_back('"');
    return s;
}

std::string LogCountsJson(const LogCounts& counts) {
    std::string s;
    const auto member = [&](const char* pszName, std::uint64_t n) {
        s += s.empty() ? "\"" : ", \"";
        s += pszName;
        s += "\": ";
        s += Count(n);
    };
    member("lines", counts.nLines);
    member("bad_lines", counts.nBadLines);
    member("bad_checksums", counts.nBadChecksums);
    member("impossible_values", counts.nImpossibleValues);
    member("sentences_without_values", counts.nEmptySentences);
    member("other_sentences", counts.nOtherSentences);
    s += ", \"sentences\": {";
    bool bFirst = true;
    for (const auto& [strType, n] : counts.sentences) {
        s += bFirst ? "" : ", ";
        s += JsonText(strType);
        s += ": ";
        s += Count(n);
        bFirst = false;
    }
    s += "}";
    member("log_samples", counts.nSamples);
    member("true_wind_samples", counts.nTrueWindSamples);
    member("computed_wind_samples", counts.nComputedWindSamples);
    member("wind_without_boat_speed", counts.nWindWithoutBoatSpeed);
    member("boat_speed_readings", counts.nBoatSpeedReadings);
    member("engine_readings", counts.nEngineReadings);
    s += ", \"notes\": [";
    bFirst = true;
    for (const std::string& strNote : LogNotes(counts)) {
        s += bFirst ? "" : ", ";
        s += JsonText(strNote);
        bFirst = false;
    }
    s += "]";
    return s;
}

std::string MainCause(const LogCounts& counts, const StageCounts& stages,
                      const LearnOptions& options) {
    if (stages.nSamples == 0) {
        if (counts.nLines == 0) {
            return "the logs hold no lines";
        }
        if (counts.nBoatSpeedReadings == 0) {
            return counts.nApparentWithoutBoatSpeed > 0
                       ? "apparent wind without boat speed: the true wind cannot be computed"
                       : "no boat speed was logged";
        }
        if (counts.nWindWithoutBoatSpeed == 0) {
            return "no wind was logged";
        }
        return "the wind and the boat speed were never logged within 2 s of each other";
    }
    const std::uint64_t n = stages.nSamples;
    std::uint64_t nLargest = stages.nKept;
    std::string strCause = std::string("too few samples per bin: a point needs ") +
                           Count(static_cast<std::uint64_t>(options.nMinSamples)) +
                           std::string(" (--min-samples); ") + Share(stages.nKept, n) + " kept";
    const auto consider = [&](std::uint64_t nDropped, const std::string& strWhy) {
        if (nDropped > nLargest) {
            nLargest = nDropped;
            strCause = strWhy;
        }
    };
    consider(stages.nAtRest,
             std::string("the boat was at rest: ") + Share(stages.nAtRest, n) + " under 0.5 kn");
    std::string strMotoring =
        std::string("it looked like motoring: ") + Share(stages.Motoring(), n);
    if (stages.nEngine > stages.nMotoring && stages.nEngine >= stages.nExcluded) {
        strMotoring = std::string("the engine ran: ") + Share(stages.Motoring(), n) + " motoring";
    } else if (stages.nExcluded > stages.nMotoring) {
        strMotoring =
            std::string("excluded by time of day: ") + Share(stages.Motoring(), n) + " motoring";
    }
    consider(stages.Motoring(), strMotoring);
    consider(stages.nUnsteady,
             std::string("no steady stretch: ") + Share(stages.nUnsteady, n) + " not steady for " +
                 FormatExchangeNumber(static_cast<float>(options.dSteadySeconds)) + " s");
    if (!options.windSpeeds.empty()) {
        consider(stages.nOutside, std::string("wind speeds outside the list: ") +
                                      Share(stages.nOutside, n) + " outside " +
                                      FormatExchangeNumber(options.windSpeeds.front()) + " to " +
                                      FormatExchangeNumber(options.windSpeeds.back()) + " kn");
    }
    return strCause;
}

bool MotoringOnly(const StageCounts& stages) {
    return stages.Motoring() > 0 && stages.nKept * 100 < stages.Motoring();
}

std::string MotoringOnlyCause(const StageCounts& stages) {
    return "the log looks like motoring: " +
           Share(stages.Motoring(), stages.nSamples - stages.nAtRest) +
           " under way dropped as motoring, " + Count(stages.nKept) + " kept";
}
