#pragma once

#include <iosfwd>
#include <string>
#include <vector>

struct ParsedArgs;

// Runs polarctl with its arguments (without the program name); returns the exit code.
int RunPolarctl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The commands, each given what the command line held for it; the number of positional words
// is already checked against the command's definition.
int RunCheck(const ParsedArgs& parsed, std::ostream& out, std::ostream& err);
int RunDump(const ParsedArgs& parsed, std::ostream& out, std::ostream& err);
int RunNormalize(const ParsedArgs& parsed, std::ostream& out, std::ostream& err);
int RunSmooth(const ParsedArgs& parsed, std::ostream& out, std::ostream& err);
int RunImport(const ParsedArgs& parsed, std::ostream& out, std::ostream& err);
int RunExport(const ParsedArgs& parsed, std::ostream& out, std::ostream& err);
int RunVmg(const ParsedArgs& parsed, std::ostream& out, std::ostream& err);
int RunRender(const ParsedArgs& parsed, std::ostream& out, std::ostream& err);
int RunLearn(const ParsedArgs& parsed, std::ostream& out, std::ostream& err);
int RunCompare(const ParsedArgs& parsed, std::ostream& out, std::ostream& err);
int RunLive(const ParsedArgs& parsed, std::ostream& out, std::ostream& err);
int RunLanguageFileDump(const ParsedArgs& parsed, std::ostream& out, std::ostream& err);
int RunLanguageFileBuild(const ParsedArgs& parsed, std::ostream& out, std::ostream& err);
