#pragma once

#include <string>

#include "data/sailplan.h"

// The straightforward implementation of the data file with the stream functions (fgetc for
// names, fscanf "%f," for numbers, fprintf for writing): the baseline that the benchmarks
// measure ours against.
SailPlanArray StdioReadPolarFile(const std::string& strPath);
void StdioWritePolarFile(const std::string& strPath, const SailPlanArray& aSailPlans);
