#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "data/sailplan.h"
#include "logs/learn_options.h"
#include "logs/log_sample.h"

// The options under which the stages keep every steady sample, whatever its wind speed.
LearnOptions EverySteadySample();

// The index of the sail plan's polar whose wind speed is nearest fWindSpeed (the first of
// equals); the sail plan must have a polar.
std::size_t NearestPolar(const SAILPLAN& sailPlan, float fWindSpeed);

// Reads the logs and hands on the samples that learn keeps (SampleStages with the default
// options) whose wind speed is nearer that of polar nPolar (an index into the sail plan)
// than that of any other polar of the sail plan: the logged sailing that belongs to one polar.
// False, with the reason, at the first log that cannot be opened.
bool ReadSamplesOfPolar(const std::vector<std::string>& aLogs, const SAILPLAN& sailPlan,
                        std::size_t nPolar, const LogSink& sink, std::string& strError);
