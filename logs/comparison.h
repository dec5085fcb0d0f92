#pragma once

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "data/sailplan.h"
#include "logs/distribution.h"
#include "logs/learn_options.h"
#include "logs/log_sample.h"
#include "logs/sample_stages.h"

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
    Comparison(const Comparison&) = delete;
    Comparison& operator=(const Comparison&) = delete;
    void Add(const LogSample& sample) { m_stages.Add(sample); }
    void NewLog() { m_stages.NewLog(); }
    // Takes the samples still waiting in the stages: before the results are read.
    void Finish() { m_stages.Finish(); }

    // Where the samples went; the kept ones that the sail plan had no speed for are not
    // compared.
    const StageCounts& Counts() const { return m_stages.Counts(); }
    std::uint64_t Samples() const { return m_nCompared; }
    double MedianPercent() const { return m_overall.Percentile(50); }
    // The bins with samples, by wind speed, then angle.
    std::vector<ComparisonBin> PerBin() const;

  private:
    void Compare(const LogSample& sample, int nWind);

    const SAILPLAN& m_sailPlan;
    LearnOptions m_options;
    SampleStages m_stages;
    std::map<std::pair<int, int>, Distribution> m_ratios;  // by wind speed bin, angle bin
    Distribution m_overall;
    std::uint64_t m_nCompared = 0;
};
