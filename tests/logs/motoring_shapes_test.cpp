// Motoring of other shapes than the first generator's, from the second (RaceLog): straight
// into the wind, motor-sailing close-hauled in a light breeze, motoring downwind faster than
// the wind, creeping about a harbour. None of it may make a point, and a day of it alone none
// at all.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "logs/logs.h"
#include "tests/support/race_log.h"
#include "tests/support/sailed_log.h"

namespace {

std::set<std::pair<float, float>> Points(const SAILPLAN& plan) {
    std::set<std::pair<float, float>> points;
    for (const auto& pPolar : plan.m_aPolars) {
        for (const auto& pVector : pPolar->m_aVectors) {
            points.insert({pPolar->m_fWindSpeed, pVector->m_fAngle});
        }
    }
    return points;
}

TEST(MotoringShapes, NoPointComesOnlyFromMotoringAndTheShareIsTold) {
    RaceShape shape;
    shape.nSeed = 7;
    shape.dHours = 12;
    shape.bMotoring = true;
    const LearnedLog mixed = LearnFromLog(RaceLog(RacePolar(), shape), {});
    shape.bLogMotoring = false;  // the same sailing, the motoring not logged
    const LearnedLog sailed = LearnFromLog(RaceLog(RacePolar(), shape), {});
    const auto sailedPoints = Points(*sailed.pPlan);
    ASSERT_GT(sailedPoints.size(), 40u);
    for (const auto& point : Points(*mixed.pPlan)) {
        EXPECT_EQ(sailedPoints.count(point), 1u)
            << point.first << " kn, " << point.second << " degrees: only from motoring";
    }
    // Most of what was motored is told as motoring.
    const std::uint64_t nMotored = mixed.stages.nSamples - sailed.stages.nSamples;
    EXPECT_GT(mixed.stages.Motoring() - sailed.stages.Motoring(), nMotored * 6 / 10) << nMotored;
}

TEST(MotoringShapes, ADayOfMotoringAloneGivesNoPoint) {
    RaceShape shape;
    shape.nSeed = 9;
    shape.dHours = 24;
    shape.bOnlyMotoring = true;
    const LearnedLog motored = LearnFromLog(RaceLog(RacePolar(), shape), {});
    for (const auto& point : Points(*motored.pPlan)) {
        ADD_FAILURE() << point.first << " kn, " << point.second << " degrees";
    }
    EXPECT_EQ(MainCause(motored.counts, motored.stages, {}).rfind("it looked like motoring", 0),
              0u);
}

}  // namespace
