#pragma once

#include <string>
#include <vector>

#include "logs/learn_options.h"
#include "logs/log_sample.h"
#include "logs/sample_stages.h"

// What a reading met, told the same way on a terminal and in a JSON report: the same counts
// and the same notes in both. Text from the log is made printable (PrintableText).

// The notes on how the samples were made (speed over ground, computed wind, a cut log).
std::vector<std::string> LogNotes(const LogCounts& counts);
// Lines: the counts, the sentences by type, the samples by the wind they took, the notes.
std::string LogCountsText(const LogCounts& counts);
// The same as the members of a JSON object (no braces): "lines": ..., "notes": [...].
std::string LogCountsJson(const LogCounts& counts);

// The main cause, in a line, of few or no samples kept: from the reading's counts when no
// sample came out of the logs, else the stage that dropped most (at rest, motoring, not steady,
// outside the wind speeds), else too few samples per bin.
std::string MainCause(const LogCounts& counts, const StageCounts& stages,
                      const LearnOptions& options);

// Whether a reading is motoring with next to no sailing: fewer samples kept than a hundredth of
// those dropped as motoring. Learn writes nothing of it and compare compares nothing, for what
// slipped through would be the engine's speed; the line says why.
bool MotoringOnly(const StageCounts& stages);
std::string MotoringOnlyCause(const StageCounts& stages);

// A string as a JSON string literal, quotes included, made printable first.
std::string JsonText(const std::string& text);
