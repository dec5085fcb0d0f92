#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

#include "data/polar_file.h"

// What every polarctl command that reads or writes a data file does the same way.

// "FILE:LINE:COLUMN: kind: message".
void PrintProblem(std::ostream& os, const std::string& strFile, const PolarFileProblem& problem,
                  const char* pszKind = "error");
// The warnings, then the stop; whether there was any.
bool PrintProblems(std::ostream& os, const std::string& strFile, const PolarFileContents& contents);
// Loads a data file; false (with the reason written) when it cannot be read.
bool LoadOrComplain(const std::string& strFile, PolarFileContents& contents, std::ostream& err);
// A sail plan by index ("2") or by name; -1 when there is none.
int FindSailPlan(const SailPlanArray& aSailPlans, const std::string& strWhich);
// Writes a command's output atomically; a read-only target is refused unless bForce. False
// (with the reason written) when nothing was written.
bool WriteOutput(const std::string& strTarget, std::string_view content, bool bForce,
                 std::ostream& err);
// True (with the reason written) when writing would lose what follows an early stop and
// --force was not given.
bool RefuseLossyWrite(const std::string& strFile, const PolarFileContents& contents, bool bForce,
                      std::ostream& err);
