#include "logs/polar_samples.h"

#include <cmath>

#include "logs/log_reader.h"
#include "logs/sample_stages.h"

LearnOptions EverySteadySample() {
    LearnOptions options;
    options.windSpeeds.clear();
    return options;
}

std::size_t NearestPolar(const SAILPLAN& sailPlan, float fWindSpeed) {
    const auto& polars = sailPlan.m_aPolars;
    std::size_t nBest = 0;
    for (std::size_t i = 1; i < polars.size(); ++i) {
        if (std::fabs(polars[i]->m_fWindSpeed - fWindSpeed) <
            std::fabs(polars[nBest]->m_fWindSpeed - fWindSpeed)) {
            nBest = i;
        }
    }
    return nBest;
}

bool ReadSamplesOfPolar(const std::vector<std::string>& aLogs, const SAILPLAN& sailPlan,
                        std::size_t nPolar, const LogSink& sink, std::string& strError) {
    const float fWindSpeed = sailPlan.m_aPolars.at(nPolar)->m_fWindSpeed;
    const LearnOptions options = EverySteadySample();  // the stages keep a reference
    SampleStages stages(options, [&](const LogSample& sample, int /*nWindBin*/) {
        // A polar of the same wind speed as this one counts as this one.
        if (sailPlan.m_aPolars[NearestPolar(sailPlan, sample.fWindSpeed)]->m_fWindSpeed ==
            fWindSpeed) {
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
