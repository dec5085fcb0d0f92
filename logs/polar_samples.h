#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "data/sailplan.h"
#include "logs/log_sample.h"

// Reads the logs and hands on the samples that learn keeps (SampleStages with the default
// options) whose wind speed is nearer that of polar nPolar (an index into the sail plan)
// than that of any other polar of the sail plan: the logged sailing that belongs to one polar.
// False, with the reason, at the first log that cannot be opened.
bool ReadSamplesOfPolar(const std::vector<std::string>& aLogs, const SAILPLAN& sailPlan,
                        std::size_t nPolar, const LogSink& sink, std::string& strError);
