#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "data/polar_plausibility.h"

// Prints "FILE: warning: sail plan "NAME": ..." for each implausible value; whether there was any.
bool WarnImplausible(std::ostream& err, const std::string& strFile,
                     const std::vector<const SAILPLAN*>& aSailPlans);

// Prints "FILE: warning: sail plan "NAME": ..." for each polar without points; whether there was
// any.
bool WarnPolarsWithoutPoints(std::ostream& err, const std::string& strFile,
                             const std::vector<const SAILPLAN*>& aSailPlans);
