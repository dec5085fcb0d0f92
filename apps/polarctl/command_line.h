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

// The arguments of one command as the command line gave them: its positional words, the
// options given with a value (the last one where an option came twice), and the flags given.
// Options are keyed by their name as written in the command's definition ("-o",
// "--sail-plan").
struct ParsedArgs {
    std::vector<std::string> aPositional;
    std::map<std::string, std::string> options;
    std::set<std::string> flags;

    std::optional<std::string> Option(const std::string& strName) const;
    bool Flag(const std::string& strName) const { return flags.count(strName) != 0; }
};

// A non-negative decimal index, or nothing.
std::optional<int> ParseIndex(const std::string& strText);
