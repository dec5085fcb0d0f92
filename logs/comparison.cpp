#include "logs/comparison.h"

#include <optional>
#include <utility>

#include "exchange/polar_curve.h"

namespace {

Distribution Percentages() {
    return Distribution(0.1, 300.0);
}

}  // namespace

Comparison::Comparison(const SAILPLAN& sailPlan, LearnOptions options)
    : m_sailPlan(sailPlan),
      m_options(std::move(options)),
      m_filter(m_options.dSteadySeconds),
      m_bins(m_options),
      m_overall(Percentages()) {}

void Comparison::Add(const LogSample& sample) {
    // Every sample passes the filter, which follows the steady stretches.
    const bool bKept = m_filter.Keep(sample);
    const int nWind = m_bins.WindBin(sample.fWindSpeed);
    if (!bKept || nWind < 0) {
        return;
    }
    const std::optional<float> speed =
        SpeedBetweenWindSpeeds(m_sailPlan, sample.fWindSpeed, sample.fWindAngle);
    if (!speed || *speed <= 0) {
        return;
    }
    const double dPercent = 100.0 * sample.fBoatSpeed / *speed;
    const std::pair<int, int> key(nWind, m_bins.AngleBin(sample.fWindAngle));
    m_ratios.try_emplace(key, Percentages()).first->second.Add(dPercent);
    m_overall.Add(dPercent);
    ++m_nCompared;
}

std::vector<ComparisonBin> Comparison::PerBin() const {
    std::vector<ComparisonBin> bins;
    for (const auto& [key, percentages] : m_ratios) {
        bins.push_back({m_bins.WindSpeed(key.first), m_bins.Angle(key.second), percentages.Count(),
                        percentages.Percentile(50), percentages.Percentile(10),
                        percentages.Percentile(90)});
    }
    return bins;
}
