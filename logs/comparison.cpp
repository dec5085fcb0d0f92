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
      m_stages(m_options, [this](const LogSample& s, int nWind) { Compare(s, nWind); }),
      m_overall(Percentages()) {}

void Comparison::Compare(const LogSample& sample, int nWind) {
    const std::optional<float> speed =
        SpeedBetweenWindSpeeds(m_sailPlan, sample.fWindSpeed, sample.fWindAngle);
    if (!speed || *speed <= 0) {
        return;
    }
    const double dPercent = 100.0 * sample.fBoatSpeed / *speed;
    const std::pair<int, int> key(nWind, m_stages.GetBins().AngleBin(sample.fWindAngle));
    m_ratios.try_emplace(key, Percentages()).first->second.Add(dPercent);
    m_overall.Add(dPercent);
    ++m_nCompared;
}

std::vector<ComparisonBin> Comparison::PerBin() const {
    const Bins& bins = m_stages.GetBins();
    std::vector<ComparisonBin> result;
    for (const auto& [key, percentages] : m_ratios) {
        result.push_back({bins.WindSpeed(key.first), bins.Angle(key.second), percentages.Count(),
                          percentages.Percentile(50), percentages.Percentile(10),
                          percentages.Percentile(90)});
    }
    return result;
}
