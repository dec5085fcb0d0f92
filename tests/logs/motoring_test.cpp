// Motoring kept out of learning: where the log says the engine runs, where the user excludes
// the time, and where it only looks like motoring.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "logs/logs.h"
#include "tests/support/sailed_log.h"

namespace {

struct Learned {
    std::set<std::pair<float, float>> points;  // wind speed, angle
    StageCounts stages;
    LogCounts counts;
    std::string strCause;
};

Learned Learn(const std::string& log, const LearnOptions& options = {}) {
    const LearnedLog learnedLog = LearnFromLog(log, options);
    Learned learned;
    for (const auto& pPolar : learnedLog.pPlan->m_aPolars) {
        for (const auto& pVector : pPolar->m_aVectors) {
            learned.points.insert({pPolar->m_fWindSpeed, pVector->m_fAngle});
        }
    }
    learned.stages = learnedLog.stages;
    learned.counts = learnedLog.counts;
    learned.strCause = MainCause(learned.counts, learned.stages, options);
    return learned;
}

LogShape Day(LogShape::Motoring motoring, int nMotoringSeconds) {
    LogShape shape;
    shape.nSeed = 21;
    shape.nLegs = 300;
    shape.nLegSeconds = 180;
    shape.motoring = motoring;
    shape.nMotoringSeconds = nMotoringSeconds;
    return shape;
}

TEST(Motoring, NoPointExistsOnlyBecauseOfMotoringThatLooksSteady) {
    const SAILPLAN known = KnownPolar();
    const Learned sailed = Learn(GeneratedLog(known, Day(LogShape::Motoring::Wandering, 0)));
    const Learned withMotoring =
        Learn(GeneratedLog(known, Day(LogShape::Motoring::Wandering, 120)));
    ASSERT_GT(sailed.points.size(), 60u);
    for (const auto& point : withMotoring.points) {
        EXPECT_EQ(sailed.points.count(point), 1u)
            << point.first << " kn, " << point.second << " degrees: only from motoring";
    }
    // Most of what learning keeps is still there.
    EXPECT_GT(withMotoring.points.size(), sailed.points.size() * 9 / 10);
    EXPECT_GT(withMotoring.stages.nMotoring, 300u * 120u * 9 / 10);
}

TEST(Motoring, ALogOfMotoringAloneGivesNoPolarAndSaysItLookedLikeMotoring) {
    LogShape shape = Day(LogShape::Motoring::Wandering, 600);
    shape.nLegSeconds = 0;
    shape.nLegs = 100;
    const Learned motored = Learn(GeneratedLog(KnownPolar(), shape));
    EXPECT_TRUE(motored.points.empty()) << motored.points.size() << " points";
    EXPECT_EQ(motored.strCause.rfind("it looked like motoring", 0), 0u) << motored.strCause;
}

TEST(Motoring, TheEngineSaysWhenItRunsByRpmOrTachometer) {
    for (const auto engine : {LogShape::Engine::Rpm, LogShape::Engine::Xdr}) {
        LogShape shape = Day(LogShape::Motoring::Wandering, 120);
        shape.nLegs = 60;
        shape.engine = engine;
        const Learned learned = Learn(GeneratedLog(KnownPolar(), shape));
        EXPECT_EQ(learned.stages.nEngine, 60u * 120u);
        EXPECT_EQ(learned.stages.nMotoring, 0u);
        EXPECT_EQ(learned.counts.nEngineReadings, 60u * 300u);
        EXPECT_EQ(learned.counts.nBadLines, 0u);
        // A log that says the engine is off is sailing, even where it would look like motoring.
        EXPECT_GT(learned.stages.nKept, 60u * 150u);
    }
}

TEST(Motoring, ExcludedSpansOfTheDayAreLeftOutAcrossMidnightToo) {
    LogShape shape = Day(LogShape::Motoring::Random, 0);
    shape.nLegs = 100;  // 5 hours from midnight
    LearnOptions options;
    options.excluded = {{3600, 7200}, {23 * 3600, 1800}};
    const Learned learned = Learn(GeneratedLog(KnownPolar(), shape), options);
    EXPECT_EQ(learned.stages.nExcluded, 3600u + 1800u);
    options.excluded = {{0, 86400}};
    const Learned none = Learn(GeneratedLog(KnownPolar(), shape), options);
    EXPECT_TRUE(none.points.empty());
    EXPECT_EQ(none.strCause.rfind("excluded by time of day", 0), 0u) << none.strCause;
}

}  // namespace
