#include "logs/polar_samples.h"

#include <cmath>

#include "logs/learn_options.h"
#include "logs/log_reader.h"
#include "logs/sample_stages.h"

namespace {

// The wind speed of the sail plan's polar nearest to fWindSpeed (the first of equals).
float NearestWindSpeed(const SAILPLAN& sailPlan, float fWindSpeed) {
    const auto& polars = sailPlan.m_aPolars;
    std::size_t nBest = 0;
    for (std::size_t i = 1; i < polars.size(); ++i) {
        if (std::fabs(polars[i]->m_fWindSpeed - fWindSpeed) <
            std::fabs(polars[nBest]->m_fWindSpeed - fWindSpeed)) {
            nBest = i;
        }
    }
    return polars[nBest]->m_fWindSpeed;
}

}  // namespace

bool ReadSamplesOfPolar(const std::vector<std::string>& aLogs, const SAILPLAN& sailPlan,
                        std::size_t nPolar, const LogSink& sink, std::string& strError) {
    const float fWindSpeed = sailPlan.m_aPolars.at(nPolar)->m_fWindSpeed;
    LearnOptions options;
    options.windSpeeds.clear();  // every steady sample; the polar's chosen here
    SampleStages stages(options, [&](const LogSample& sample, int /*nWindBin*/) {
        if (NearestWindSpeed(sailPlan, sample.fWindSpeed) == fWindSpeed) {
            sink(sample);
        }
    });
    LogCounts counts;
    const bool bRead = ReadLogs(
        aLogs, counts, [&](const LogSample& sample) { stages.Add(sample); },
        [&] { stages.NewLog(); }, strError);
    stages.Finish();
    return bRead;
}
