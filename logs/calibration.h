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

// A sensor's error as the sailing shows it, with how sure the data make it: the estimate, its
// 99.9 % interval from a bootstrap over the steady legs, and what it rests on (the angle offset:
// tack pairs, each a wind speed bin and 5 degrees of wind angle sailed on both tacks; the speed
// factor: samples with speed over ground along a true heading). bApply only when the interval
// excludes no error, is narrow enough, and the estimate lies inside the search (see
// CalibrationEstimator): an error the data cannot support is reported, never applied.
struct SensorEstimate {
    std::optional<double> value;  // nothing when the data do not show the error at all
    double dLow = 0;
    double dHigh = 0;
    bool bInterval = false;  // false: too few legs, or too many resamples without an estimate
    std::uint64_t nSupport = 0;
    bool bAtBound = false;  // the search stopped at its limit: no estimate to trust
    bool bApply = false;
    double HalfWidth() const { return (dHigh - dLow) / 2; }
};

struct SensorEstimates {
    SensorEstimate angleOffset;
    SensorEstimate speedFactor;
    // What applying gives: the offset and factor where bApply, else none.
    ::Calibration Applied() const;
};

// Estimates the calibration from kept samples, in memory that does not grow with the log. The
// samples are kept in kGroups groups of steady legs (leg number modulo kGroups), so that the
// estimate can be repeated on resamples of the legs: the spread of those repeats is the
// interval.
//
// The wind angle offset: true wind angles from the bow are symmetric between the tacks (the
// same speed at x and at 360 - x); an offset d moves the readings of both tacks clockwise, so
// the mean speeds per degree read from the bow are symmetric about d and 180 + d instead. The
// offset is found from 0 by Gauss-Newton steps on the log speed differences between x + d and
// 360 - x + d, which an error in d makes twice the slope of the speed curve times the error;
// per wind speed bin a constant difference between the tacks (sailed in a little more wind on
// one) is taken out, so only the slope's pattern over the angles tells. Where only flat parts
// of the curve were sailed on both tacks, the resamples disagree and the interval is wide.
//
// The speed factor: the speed over ground along the heading is the true speed through the
// water plus the current's share along the heading; a least-squares fit over every heading
// sailed gives the factor and the current, which cancels between opposite headings.
class CalibrationEstimator {
  public:
    explicit CalibrationEstimator(std::size_t nWindBins);
    void Add(const LogSample& sample, int nWindBin, std::uint64_t nLeg);
    SensorEstimates Estimate() const;

    static constexpr int kGroups = 19;          // odd: legs alternating tacks fall in every group
    static constexpr double kMaxOffset = 15.0;  // degrees searched either way
    // The widest interval (half its width) an applied estimate may have.
    static constexpr double kMaxOffsetHalfWidth = 1.5;   // degrees
    static constexpr double kMaxFactorHalfWidth = 0.02;  // of the factor
    // A factor closer to 1 than this is within what a log reads to, and not applied.
    static constexpr double kMinFactorError = 0.01;

  private:
    std::size_t m_nWindBins;
    // Per group, wind speed bin and whole degree from the bow (0 to 359): the boat speeds'
    // sum and count.
    std::vector<double> m_aSums;
    std::vector<double> m_aCounts;
    // Per group, the normal equations of: ground along = a water speed + cx cos(heading) +
    // cy sin(heading), as 9 + 3 sums, and the number of samples.
    std::vector<double> m_aGround;
    std::uint64_t m_nGround = 0;
};

// The offset fitted to per-degree speed sums and counts of each wind speed bin (360 degrees
// from the bow each): nothing when fewer than 20 degrees were sailed on both tacks with slope
// enough to tell. nTackPairs receives the tack pairs the fit rests on; bAtBound whether it ran
// to kMaxOffset.
std::optional<double> FitAngleOffset(const std::vector<double>& sums,
                                     const std::vector<double>& counts, std::size_t nWindBins,
                                     std::uint64_t& nTackPairs, bool& bAtBound);
