#include <gtest/gtest.h>

#include "data/invalid_argument.h"
#include "data/sailplan.h"
#include "tests/support/polar_builders.h"

namespace {

std::vector<float> WindSpeeds(const SAILPLAN& plan) {
    std::vector<float> a;
    for (const auto& p : plan.m_aPolars) {
        a.push_back(p->m_fWindSpeed);
    }
    return a;
}

SAILPLAN PlanWithWindSpeeds(std::initializer_list<float> speeds) {
    SAILPLAN plan("Main");
    int i = 0;
    for (float s : speeds) {
        plan.InsertPolar(i++, s, 40.0f);
    }
    return plan;
}

TEST(PerfPolar, InsertAtCountAppendsAndInsertShiftsLaterPoints) {
    PERF_POLAR polar(10.0f, 45.0f);
    polar.InsertVector(0, 90.0f, 6.0f);
    polar.InsertVector(1, 150.0f, 5.0f);  // index == count appends
    polar.InsertVector(0, 40.0f, 4.0f);
    EXPECT_EQ(PointAngles(polar), (std::vector<float>{40.0f, 90.0f, 150.0f}));
    polar.RemoveVector(1);
    EXPECT_EQ(PointAngles(polar), (std::vector<float>{40.0f, 150.0f}));
}

TEST(PerfPolar, BadIndexThrowsBeforeAnythingChanges) {
    PERF_POLAR polar(10.0f, 45.0f);
    polar.InsertVector(0, 40.0f, 4.0f);
    EXPECT_THROW(polar.InsertVector(2, 50.0f, 5.0f), InvalidArgumentException);
    EXPECT_THROW(polar.InsertVector(-1, 50.0f, 5.0f), InvalidArgumentException);
    EXPECT_THROW(polar.RemoveVector(1), InvalidArgumentException);
    EXPECT_THROW(polar.SetVectorAngle(1, 1.0f), InvalidArgumentException);
    EXPECT_THROW(polar.SetVectorSpeed(-1, 1.0f), InvalidArgumentException);
    EXPECT_THROW(polar.MoveVector(1, 1.0f), InvalidArgumentException);
    ASSERT_EQ(polar.GetVectorCount(), 1);
    EXPECT_EQ(polar.m_aVectors[0]->m_fAngle, 40.0f);
    EXPECT_EQ(polar.m_aVectors[0]->m_fSpeed, 4.0f);
}

TEST(PerfPolar, MoveVectorReordersKeepsSpeedAndReplacesTheObject) {
    PERF_POLAR polar(10.0f, 45.0f);
    polar.InsertVector(0, 40.0f, 4.0f);
    polar.InsertVector(1, 60.0f, 6.0f);
    polar.InsertVector(2, 90.0f, 7.0f);
    const PERF_VECTOR* pOld = polar.m_aVectors[0].get();
    polar.SetVectorAngle(0, 170.0f);
    polar.MoveVector(0, 170.0f);  // above every other angle: appended
    EXPECT_EQ(PointAngles(polar), (std::vector<float>{60.0f, 90.0f, 170.0f}));
    EXPECT_EQ(polar.m_aVectors[2]->m_fSpeed, 4.0f);
    for (const auto& p : polar.m_aVectors) {
        EXPECT_NE(p.get(), pOld);
    }
    // An equal angle goes before the existing one.
    polar.SetVectorAngle(2, 60.0f);
    polar.MoveVector(2, 60.0f);
    EXPECT_EQ(polar.m_aVectors[0]->m_fSpeed, 4.0f);
    EXPECT_EQ(polar.m_aVectors[1]->m_fSpeed, 6.0f);
}

TEST(PerfPolar, MoveVectorOnTheOnlyPointKeepsItsValues) {
    PERF_POLAR polar(10.0f, 45.0f);
    polar.InsertVector(0, 40.0f, 4.5f);
    polar.MoveVector(0, 40.0f);
    ASSERT_EQ(polar.GetVectorCount(), 1);
    EXPECT_EQ(polar.m_aVectors[0]->m_fAngle, 40.0f);
    EXPECT_EQ(polar.m_aVectors[0]->m_fSpeed, 4.5f);
}

TEST(PerfPolar, RemoveAllOnEmptyDoesNothing) {
    PERF_POLAR polar(10.0f, 45.0f);
    polar.RemoveAllVectors();
    EXPECT_EQ(polar.GetVectorCount(), 0);
    SAILPLAN plan("x");
    plan.RemoveAllPolars();
    EXPECT_EQ(plan.GetPolarCount(), 0);
}

TEST(SailPlan, EqualWindSpeedInsertedBeforeTheExistingOne) {
    SAILPLAN plan = PlanWithWindSpeeds({6.0f, 12.0f});
    const PERF_POLAR* pTwelve = plan.m_aPolars[1].get();
    // The ordering rule stops at the first wind speed >= 12: index 1.
    plan.InsertPolar(1, 12.0f, 38.0f);
    EXPECT_EQ(WindSpeeds(plan), (std::vector<float>{6.0f, 12.0f, 12.0f}));
    EXPECT_EQ(plan.m_aPolars[1]->m_fTackingAngle, 38.0f);
    EXPECT_EQ(plan.m_aPolars[2].get(), pTwelve);
}

TEST(SailPlan, MovePolarKeepsTheObjectAndFindsItsPlace) {
    SAILPLAN plan = PlanWithWindSpeeds({6.0f, 10.0f, 16.0f});
    PERF_POLAR* pFastest = plan.m_aPolars[2].get();
    plan.SetWindSpeed(2, 25.0f);
    plan.MovePolar(2, 25.0f);
    EXPECT_EQ(plan.m_aPolars[2].get(), pFastest);

    plan.SetWindSpeed(2, 6.0f);
    plan.MovePolar(2, 6.0f);  // equal to the lowest: placed first
    EXPECT_EQ(plan.m_aPolars[0].get(), pFastest);
    EXPECT_EQ(WindSpeeds(plan), (std::vector<float>{6.0f, 6.0f, 10.0f}));
    EXPECT_THROW(plan.MovePolar(3, 1.0f), InvalidArgumentException);
    EXPECT_EQ(plan.GetPolarCount(), 3);
}

TEST(SailPlan, TackingAngleOfAnEmptySailPlanIsMinusOneForAnyIndex) {
    SAILPLAN plan("Empty");
    EXPECT_EQ(plan.GetTackingAngle(0), -1.0f);
    EXPECT_EQ(plan.GetTackingAngle(7), -1.0f);
    plan.InsertPolar(0, 8.0f, 42.0f);
    EXPECT_EQ(plan.GetTackingAngle(0), 42.0f);
    EXPECT_THROW(plan.GetTackingAngle(1), InvalidArgumentException);
}

TEST(SailPlan, ForwardedPointOperationsCheckThePolarIndex) {
    SAILPLAN plan = PlanWithWindSpeeds({6.0f});
    plan.InsertVector(0, 0, 40.0f, 4.0f);
    plan.SetVectorSpeed(0, 0, 4.2f);
    plan.SetTackingAngle(0, 44.0f);
    EXPECT_EQ(plan.m_aPolars[0]->m_aVectors[0]->m_fSpeed, 4.2f);
    EXPECT_EQ(plan.m_aPolars[0]->m_fTackingAngle, 44.0f);
    EXPECT_THROW(plan.InsertVector(1, 0, 1.0f, 1.0f), InvalidArgumentException);
    EXPECT_THROW(plan.RemoveVector(0, 1), InvalidArgumentException);
    EXPECT_THROW(plan.InsertPolar(3, 1.0f, 1.0f), InvalidArgumentException);
    plan.RemovePolar(0);
    EXPECT_EQ(plan.GetPolarCount(), 0);
}

}  // namespace
