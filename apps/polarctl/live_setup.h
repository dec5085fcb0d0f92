#pragma once

#include <iosfwd>
#include <memory>
#include <vector>

#include "apps/polarctl/live_inputs.h"
#include "apps/polarctl/live_outputs.h"
#include "live/live_reader.h"

struct ParsedArgs;

// live's one input and its outputs, as the command line asks for them.
struct LiveSetup {
    std::unique_ptr<LiveInput> pInput;
    std::vector<std::unique_ptr<LiveOutput>> outputs;
};

// Each returns kExitOk, or after telling why kExitUsage (a bad value) or kExitInputProblem
// (what cannot be opened). Standard output is an output when no other is given, or with
// --stdout or --json.
int MakeLiveInput(const ParsedArgs& parsed, LiveReader& reader, LiveSetup& setup,
                  std::ostream& err);
// --rate HZ and --damping SECONDS.
int ParseLiveOptions(const ParsedArgs& parsed, LiveOptions& options, std::ostream& err);
int MakeLiveOutputs(const ParsedArgs& parsed, std::ostream& out, LiveSetup& setup,
                    std::ostream& err);
