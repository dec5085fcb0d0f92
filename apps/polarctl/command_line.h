#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

// Exit codes of polarctl.
constexpr int kExitOk = 0;
constexpr int kExitInputProblem = 1;
constexpr int kExitUsage = 2;

// The arguments of one command: positional words, options with a value, and flags.
struct ParsedArgs {
    std::vector<std::string> aPositional;
    std::map<std::string, std::string> options;
    std::set<std::string> flags;

    std::optional<std::string> Option(const std::string& strName) const;
    bool Flag(const std::string& strName) const { return flags.count(strName) != 0; }
};

// Parses args against the options that take a value and the flags a command knows. Returns
// false with a message for an unknown option or a missing value.
bool ParseArgs(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
               const std::set<std::string>& flagOptions, ParsedArgs& parsed, std::string& strError);

// A non-negative decimal index, or nothing.
std::optional<int> ParseIndex(const std::string& strText);
