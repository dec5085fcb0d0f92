#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "data/sailplan.h"
#include "logs/log_reader.h"

struct LearnOptions {
    std::vector<float> windSpeeds{4, 6, 8, 10, 12, 14, 16, 20, 25, 30};
    float fAngleStep = 5;
    float fPercentile = 90;
    int nMinSamples = 10;
    double dSteadySeconds = 10;
};

// A distribution of values kept as a histogram of fixed resolution, so that its memory does
// not grow with the number of values: count, mean, spread and percentiles.
class Distribution {
  public:
    Distribution(double dResolution, double dMaximum);
    void Add(double d);
    std::uint64_t Count() const { return m_nCount; }
    double Mean() const;
    double Spread() const;  // standard deviation
    double Percentile(double dPercent) const;

  private:
    double m_dResolution;
    std::vector<std::uint32_t> m_aBuckets;
    std::uint64_t m_nCount = 0;
    double m_dSum = 0;
    double m_dSumOfSquares = 0;
};

// Which samples count: the boat sails (at least 0.5 kn) and sails steadily (over the last
// seconds the true wind angle within 10 degrees, its speed within 20 %, the boat speed within
// 15 % of the sample's). Samples of one log are given in log order; a new log starts anew.
class SteadyFilter {
  public:
    explicit SteadyFilter(double dSeconds) : m_dSeconds(dSeconds) {}
    bool Sailing(const LogSample& sample) const { return sample.fBoatSpeed >= 0.5f; }
    bool Steady(const LogSample& sample);
    // Sailing and steady; a moment not sailing breaks the steady stretch.
    bool Keep(const LogSample& sample) {
        if (!Sailing(sample)) {
            NewLog();
            return false;
        }
        return Steady(sample);
    }
    void NewLog() { m_window.clear(); }

  private:
    double m_dSeconds;
    std::deque<LogSample> m_window;
};

// The bins of wind speed and angle that kept samples fall into.
class Bins {
  public:
    explicit Bins(const LearnOptions& options) : m_options(options) {}
    // The wind speed's bin, or -1 when it is farther than half the gap to its neighbours.
    int WindBin(float fWindSpeed) const;
    int AngleBin(float fAngle) const;
    float Angle(int nBin) const { return static_cast<float>(nBin) * m_options.fAngleStep; }

  private:
    const LearnOptions& m_options;
};

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
