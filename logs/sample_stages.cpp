#include "logs/sample_stages.h"

#include <algorithm>
#include <utility>

SampleStages::SampleStages(const LearnOptions& options, Sink sink)
    : m_options(options),
      m_sink(std::move(sink)),
      m_bins(options),
      m_filter(options.dSteadySeconds),
      m_motoring([this](const LogSample& s, bool bMotoring) { Judged(s, bMotoring); }) {}

void SampleStages::NewLog() {
    m_motoring.Flush();
    m_filter.NewLog();
    m_bInLeg = false;
}

void SampleStages::Judged(const LogSample& sample, bool bMotoring) {
    if (!m_filter.Sailing(sample)) {
        Dropped(m_counts.nAtRest);
        return;
    }
    const auto& spans = m_options.excluded;
    if (std::any_of(spans.begin(), spans.end(),
                    [&](const TimeOfDaySpan& span) { return span.Holds(sample.dTime); })) {
        Dropped(m_counts.nExcluded);
        return;
    }
    if (sample.engine == EngineState::Running) {
        Dropped(m_counts.nEngine);
        return;
    }
    // Where the log says the engine is off, it is sailing, whatever it looks like.
    if (bMotoring && sample.engine != EngineState::Off) {
        Dropped(m_counts.nMotoring);
        return;
    }
    if (!m_filter.Steady(sample)) {
        ++m_counts.nUnsteady;
        m_bInLeg = false;
        return;
    }
    const int nWind = m_bins.WindBin(sample.fWindSpeed);
    if (nWind < 0 && !m_options.windSpeeds.empty()) {
        ++m_counts.nOutside;
        m_bInLeg = false;
        return;
    }
    ++m_counts.nKept;
    m_nLegs += m_bInLeg ? 0 : 1;
    m_bInLeg = true;
    m_sink(sample, nWind);
}
