#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "logs/log_sample.h"

// The errors of two sensors, and their correction: the wind angle reads dAngleOffset degrees
// too far clockwise (to starboard), the log (paddle wheel) dSpeedFactor times the speed through
// the water.
struct Calibration {
    double dAngleOffset = 0;
    double dSpeedFactor = 1;
    bool Identity() const { return dAngleOffset == 0 && dSpeedFactor == 1; }
};

// The sample as calibrated sensors would have given it.
LogSample Calibrated(const LogSample& sample, const Calibration& calibration);

// Estimates the calibration from kept samples, in memory that does not grow with the log.
// The wind angle offset: an offset turns the speeds on starboard towards higher angles and
// those on port towards lower ones, so the offset is the shift that lays the two tacks' mean
// speeds per degree onto each other, over every wind speed bin. The speed factor: the speed
// over ground along the heading is the true speed through the water plus the current's share
// along the heading; a least-squares fit over every heading sailed gives the factor and the
// current, which cancels between opposite headings.
class CalibrationEstimator {
  public:
    explicit CalibrationEstimator(std::size_t nWindBins);
    void Add(const LogSample& sample, int nWindBin);
    // Nothing when the tacks do not overlap over at least 20 degrees.
    std::optional<double> AngleOffset() const;
    // Nothing with fewer than 100 samples with speed over ground, or headings too alike.
    std::optional<double> SpeedFactor() const;
    std::uint64_t GroundSamples() const { return m_nGround; }

    static constexpr double kMaxOffset = 15.0;  // degrees searched either way

  private:
    // Per wind speed bin, side and whole degree 0 to 180: the boat speeds' sum and count.
    std::vector<double> m_aSums;
    std::vector<std::uint32_t> m_aCounts;
    // The normal equations of: ground along = a water speed + cx cos(heading) + cy sin(heading).
    double m_aNormal[3][3] = {};
    double m_aRight[3] = {};
    std::uint64_t m_nGround = 0;
};
