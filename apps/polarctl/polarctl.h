#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// Runs polarctl with its arguments (without the program name); returns the exit code.
int RunPolarctl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The commands, each given the words after its name.
int RunCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunDump(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunNormalize(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunSmooth(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunImport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunVmg(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunLearn(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunCompare(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunLanguageFile(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
