#pragma once

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "data/sailplan.h"
#include "logs/bins.h"
#include "logs/distribution.h"
#include "logs/learn_options.h"
#include "logs/log_sample.h"
#include "logs/steady_filter.h"

// One bin's sailing against the polar: the boat speed as a percentage of the polar's.
struct ComparisonBin {
    float fWindSpeed;  // the bin's wind speed (kn)
    float fAngle;      // the bin's angle (degrees)
    std::uint64_t nSamples;
    double dMedianPercent;
    double dPercentile10;
    double dPercentile90;
};

// The logged boat speed as a percentage of a sail plan's, for the samples that learn keeps
// (sailing steadily, in a wind speed bin), where the sail plan has a speed: between its polars'
// wind speeds and inside their angle ranges (SpeedBetweenWindSpeeds). Percentages are held to
// a tenth, up to 300 %.
class Comparison {
  public:
    // The sail plan sorted (SortSailPlan); it must outlive the comparison.
    Comparison(const SAILPLAN& sailPlan, LearnOptions options);
    void Add(const LogSample& sample);
    void NewLog() { m_filter.NewLog(); }

    std::uint64_t Samples() const { return m_nCompared; }
    double MedianPercent() const { return m_overall.Percentile(50); }
    // The bins with samples, by wind speed, then angle.
    std::vector<ComparisonBin> PerBin() const;

  private:
    const SAILPLAN& m_sailPlan;
    LearnOptions m_options;
    SteadyFilter m_filter;
    Bins m_bins;
    std::map<std::pair<int, int>, Distribution> m_ratios;  // by wind speed bin, angle bin
    Distribution m_overall;
    std::uint64_t m_nCompared = 0;
};
