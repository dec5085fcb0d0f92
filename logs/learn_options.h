#pragma once

#include <string_view>
#include <vector>

#include "logs/calibration.h"

// A span of the time of day (seconds from midnight, 0 to 86400); one whose end lies before its
// start runs over midnight.
struct TimeOfDaySpan {
    double dFrom;
    double dTo;
    bool Holds(double dLogTime) const;
};

// How samples are binned, kept and turned into points.
struct LearnOptions {
    // The wind speeds of the polars (kn), ascending; a sample belongs to the nearest one.
    std::vector<float> windSpeeds{4, 6, 8, 10, 12, 14, 16, 20, 25, 30};
    // The angle bins' width (degrees, more than 0); bins lie at its multiples from 0 to 180.
    float fAngleStep = 5;
    // The percentile (1 to 100) of a bin's boat speeds that becomes its point.
    float fPercentile = 90;
    // The samples a bin needs to become a point.
    int nMinSamples = 10;
    // How long sailing must have been steady before a sample counts (seconds; 0: at once).
    double dSteadySeconds = 10;
    // Spans of the day whose samples never count (motoring the log does not tell of).
    std::vector<TimeOfDaySpan> excluded;
    // The percentage (0 to 90) of the steady legs kept out of the learning to measure the
    // learned polar on: legs spread evenly through the logs.
    float fHoldoutPercent = 0;
    // The sensors' errors corrected in every sample before it is judged.
    Calibration calibration;
    // Whether the learner takes out the sensors' errors the reading itself shows, once it has
    // read everything (the samples are judged as logged; see Learner).
    bool bSelfCalibrate = false;
};

// "4,6,8": wind speeds above 0 in ascending order, separated by commas; false (values
// cleared) for anything else, an empty list too.
bool ParseWindSpeedList(std::string_view text, std::vector<float>& values);
