#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "data/sailplan.h"
#include "logs/bins.h"
#include "logs/distribution.h"
#include "logs/learn_options.h"
#include "logs/log_sample.h"
#include "logs/steady_filter.h"

// Learns a polar from samples: each bin with enough samples becomes a point at the bin's
// percentile of boat speeds.
class Learner {
  public:
    explicit Learner(LearnOptions options);
    void Add(const LogSample& sample);
    void NewLog() { m_filter.NewLog(); }
    std::unique_ptr<SAILPLAN> Result(const std::string& strName) const;
    // The counts after each filter, and the bins, as text and as JSON.
    std::string Summary() const;
    std::string ReportJson() const;

  private:
    LearnOptions m_options;
    SteadyFilter m_filter;
    Bins m_bins;
    // The bins' boat speeds, by wind speed bin and angle bin (made on the first sample).
    int m_nAngleBins;
    std::vector<std::unique_ptr<Distribution>> m_speeds;
    // Whether a bin holds enough samples to become a point.
    bool IsPoint(const Distribution* pSpeeds) const {
        return pSpeeds != nullptr &&
               pSpeeds->Count() >= static_cast<std::uint64_t>(m_options.nMinSamples);
    }
    const Distribution* Speeds(int nWind, int nAngle) const {
        return m_speeds[static_cast<std::size_t>(nWind * m_nAngleBins + nAngle)].get();
    }
    std::uint64_t m_nSamples = 0;
    std::uint64_t m_nSailing = 0;
    std::uint64_t m_nSteady = 0;
    std::uint64_t m_nBinned = 0;
};
