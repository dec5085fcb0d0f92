// The history of steps on the records: each kind of step back and forth, sharing what did not
// change, and a new step dropping what was undone.
#include "data/edit_history.h"

#include <gtest/gtest.h>

#include "data/polar_file.h"
#include "tests/support/polar_builders.h"

namespace {

TEST(EditHistory, EveryKindOfStepGoesBackAndForth) {
    SailPlanArray plans = ExampleSailPlans();
    const std::string strStart = FormatPolarFile(plans);
    EditHistory history;
    history.Reset(plans);
    EXPECT_FALSE(history.Record(plans, {0}, {}, {}));  // nothing changed: no step

    plans[0]->m_aPolars[1]->m_aVectors[2]->m_fSpeed = 9.0f;  // one point
    ASSERT_TRUE(history.Record(plans, {0}, {0, 0, -1}, {0, 1, 2}));
    const std::string strPoint = FormatPolarFile(plans);
    plans[0]->InsertPolar(1, 8.0f, 42.0f);  // a wind speed
    ASSERT_TRUE(history.Record(plans, {0}, {0, 1, 2}, {0, 1, -1}));
    const std::string strPolar = FormatPolarFile(plans);
    plans.erase(plans.begin());  // a sail plan
    ASSERT_TRUE(history.Record(plans, {0}, {0, 1, -1}, {0, 0, -1}));
    EXPECT_EQ(history.StepCount(), 3u);

    history.Undo(plans);
    EXPECT_EQ(FormatPolarFile(plans), strPolar);
    history.Undo(plans);
    EXPECT_EQ(FormatPolarFile(plans), strPoint);
    const EditHistory::Selection where = history.Undo(plans);
    EXPECT_EQ(FormatPolarFile(plans), strStart);
    EXPECT_EQ(where.nPolar, 0);
    EXPECT_FALSE(history.CanUndo());
    EXPECT_EQ(history.Redo(plans).nPoint, 2);
    EXPECT_EQ(FormatPolarFile(plans), strPoint);

    // A new step drops the two that were undone.
    plans[1]->SetName("Spinnaker");
    ASSERT_TRUE(history.Record(plans, {1}, {}, {}));
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.StepCount(), 2u);
    history.Undo(plans);
    EXPECT_EQ(plans[1]->m_strName, "Light");
}

TEST(EditHistory, GrowsWithTheChangesNotTheData) {
    SailPlanArray plans;
    for (int s = 0; s < 200; ++s) {
        SAILPLAN& plan = AddSailPlan(plans, "Plan " + std::to_string(s));
        for (int p = 0; p < 10; ++p) {
            AddPolar(plan, static_cast<float>(p + 4), 40,
                     {{40, 4}, {60, 5}, {90, 6}, {120, 5.5f}, {150, 4.5f}});
        }
    }
    EditHistory history;
    history.Reset(plans);
    for (int k = 0; k < 100; ++k) {
        plans[static_cast<std::size_t>(k)]->m_aPolars[3]->m_aVectors[1]->m_fSpeed += 0.5f;
        ASSERT_TRUE(history.Record(plans, {k}, {}, {}));
    }
    // A hundred point steps hold about a hundred polars, far less than the data's 2000.
    EXPECT_LT(history.Bytes(), 100u * 1000u);
    for (int k = 0; k < 100; ++k) {
        history.Undo(plans);
    }
    EXPECT_EQ(plans[50]->m_aPolars[3]->m_aVectors[1]->m_fSpeed, 5.0f);
}

}  // namespace
