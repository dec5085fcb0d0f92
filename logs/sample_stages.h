#pragma once

#include <cstdint>
#include <functional>

#include "logs/bins.h"
#include "logs/learn_options.h"
#include "logs/log_sample.h"
#include "logs/motoring_detector.h"
#include "logs/steady_filter.h"

// Where the samples of a reading went, each counted once, in the order of the stages.
struct StageCounts {
    std::uint64_t nSamples = 0;
    std::uint64_t nAtRest = 0;    // boat speed under 0.5 kn
    std::uint64_t nExcluded = 0;  // in a span excluded by time of day
    std::uint64_t nEngine = 0;    // the log says the engine ran
    std::uint64_t nMotoring = 0;  // looked like motoring (MotoringDetector)
    std::uint64_t nUnsteady = 0;  // not steady long enough
    std::uint64_t nOutside = 0;   // in no wind speed's bin
    std::uint64_t nKept = 0;
    std::uint64_t Motoring() const { return nExcluded + nEngine + nMotoring; }
};

// The stages that decide which samples count, shared by learning and comparing, after the
// sensors' calibration (LearnOptions::calibration) is applied: at rest,
// excluded by time of day, the engine running, looking like motoring, not steady, outside the
// wind speeds. A kept sample goes to the sink with its wind speed bin. Samples reach the sink
// up to 53 s of log time late (the motoring verdict looks ahead); NewLog and Finish hand on
// those still waiting. With no wind speeds in the options every steady sample is kept, with bin
// -1. The options must outlive the stages.
class SampleStages {
  public:
    using Sink = std::function<void(const LogSample&, int nWindBin)>;
    SampleStages(const LearnOptions& options, Sink sink);
    SampleStages(const SampleStages&) = delete;
    SampleStages& operator=(const SampleStages&) = delete;
    void Add(const LogSample& sample) {
        ++m_counts.nSamples;
        m_motoring.Add(
            m_options.calibration.Identity() ? sample : Calibrated(sample, m_options.calibration));
    }
    void NewLog();
    void Finish() { NewLog(); }
    const StageCounts& Counts() const { return m_counts; }
    // The steady legs begun so far: a kept sample after one that was not begins one. While
    // the sink runs, the number of the kept sample's leg.
    std::uint64_t Legs() const { return m_nLegs; }
    const Bins& GetBins() const { return m_bins; }

  private:
    void Judged(const LogSample& sample, bool bMotoring);
    // A sample that breaks the steady stretch, counted where it stopped.
    void Dropped(std::uint64_t& nCount) {
        ++nCount;
        m_filter.NewLog();
        m_bInLeg = false;
    }

    const LearnOptions& m_options;
    Sink m_sink;
    Bins m_bins;
    SteadyFilter m_filter;
    MotoringDetector m_motoring;
    StageCounts m_counts;
    std::uint64_t m_nLegs = 0;
    bool m_bInLeg = false;
};
