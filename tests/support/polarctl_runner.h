#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "apps/polarctl/polarctl.h"

// polarctl run in-process: exit code and what it printed.
struct CliRun {
    int nExit;
    std::string out;
    std::string err;
};

inline CliRun Polarctl(std::vector<std::string> args) {
    std::ostringstream out;
    std::ostringstream err;
    const int nExit = RunPolarctl(args, out, err);
    return {nExit, out.str(), err.str()};
}
