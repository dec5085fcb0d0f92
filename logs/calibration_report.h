#pragma once

#include <string>

#include "logs/calibration.h"
#include "logs/log_sample.h"

// The sensors' errors as a sailor reads them, one line each, and as JSON members. An estimate
// not applied says so with its interval and what it rests on, so that nobody takes it for a
// measured error; bCalibrate: whether --calibrate was asked for (then the sure ones were
// applied).
std::string CalibrationText(const SensorEstimates& estimates, const LogCounts& counts,
                            bool bCalibrate);
// "angle_offset": ..., "speed_factor": ..., "applied": ... (no braces).
std::string CalibrationJson(const SensorEstimates& estimates, bool bCalibrate);
