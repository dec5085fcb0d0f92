// Targets per wind speed, the dialog that shows them and the one-page card it writes.
#include <gtest/gtest.h>

#include <QTableWidget>
#include <cmath>
#include <filesystem>

#include "apps/polar-editor/target_card.h"
#include "apps/polar-editor/target_table.h"
#include "apps/polar-editor/targets_dialog.h"
#include "tests/polar-editor/scripted_questions.h"
#include "tests/support/temp_dir.h"

namespace {

SailPlanArray Boat() {
    SailPlanArray plans;
    auto pPlan = std::make_unique<SAILPLAN>("Main");
    pPlan->InsertPolar(0, 6, 42);
    for (const auto& [fAngle, fSpeed] :
         {std::pair{40.0f, 4.0f}, {60.0f, 5.0f}, {90.0f, 5.6f}, {140.0f, 5.2f}, {170.0f, 4.0f}}) {
        pPlan->InsertVector(0, pPlan->Polar(0).GetVectorCount(), fAngle, fSpeed);
    }
    pPlan->InsertPolar(1, 10, 40);  // no points: no targets
    plans.push_back(std::move(pPlan));
    return plans;
}

TEST(Targets, BeatAndRunAtTheBestVmgOfEachPolarWithPoints) {
    const SailPlanArray plans = Boat();
    const auto rows = TargetsOfSailPlan(*plans[0]);
    ASSERT_EQ(rows.size(), 1u);
    const TargetRow& row = rows[0];
    EXPECT_EQ(row.fWindSpeed, 6.0f);
    // Towards 60 degrees the VMG falls: the first point is the best beat.
    EXPECT_EQ(row.fBeatAngle, 40.0f);
    EXPECT_EQ(row.fBeatSpeed, 4.0f);
    EXPECT_GE(row.fRunAngle, 140.0f);
    // The speed is the curve's at the angle, and the VMG its component along the wind.
    const double kRad = 3.14159265358979 / 180;
    EXPECT_NEAR(row.fBeatVmg, row.fBeatSpeed * std::cos(row.fBeatAngle * kRad), 1e-3);
    EXPECT_NEAR(row.fRunVmg, -row.fRunSpeed * std::cos(row.fRunAngle * kRad), 1e-3);
}

TEST(Targets, APolarThatEndsAtTheBeamHasNoRunToSteer) {
    SAILPLAN plan("Upwind");
    plan.InsertPolar(0, 8, 40);
    plan.InsertVector(0, 0, 40, 5);
    plan.InsertVector(0, 1, 90, 6);
    const auto rows = TargetsOfSailPlan(plan);
    ASSERT_EQ(rows.size(), 1u);
    const QStringList cells = TargetCells(rows[0]);
    EXPECT_EQ(cells[1], "40.0");
    EXPECT_EQ(cells.mid(4), (QStringList{"–", "–", "–"}));
}

TEST(Targets, TheCardIsOnePdfPageWrittenOnlyWhereTheUserSaid) {
    const SailPlanArray plans = Boat();
    ScriptedQuestions questions;
    TempDir dir;
    TargetsDialog dialog(nullptr, questions, plans, 0, QString::fromStdString(dir.Path()));
    const auto* pTable = dialog.findChild<QTableWidget*>();
    ASSERT_NE(pTable, nullptr);
    ASSERT_EQ(pTable->rowCount(), 1);
    EXPECT_EQ(pTable->item(0, 0)->text(), "6.0");

    const std::string strCard = dir.File("card.pdf");
    questions.files.push_back(QString::fromStdString(strCard));
    ASSERT_TRUE(dialog.PrintCard());
    const std::string pdf = TempDir::Read(strCard);
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    EXPECT_NE(pdf.find("/Count 1"), std::string::npos);  // one page

    // Cancelled: nothing; a folder that is not there: a message, and nothing written.
    questions.files.push_back(QString());
    EXPECT_FALSE(dialog.PrintCard());
    const std::string strNowhere = dir.File("missing/card.pdf");
    questions.files.push_back(QString::fromStdString(strNowhere));
    EXPECT_FALSE(dialog.PrintCard());
    ASSERT_EQ(questions.told.size(), 1);
    EXPECT_TRUE(questions.told[0].startsWith("The target card was not written"));
    EXPECT_FALSE(std::filesystem::exists(dir.File("missing")));

    // The sail plan's name is suggested with the ending, which a name typed without one gets.
    questions.files.push_back(QString::fromStdString(dir.File("race day")));
    ASSERT_TRUE(dialog.PrintCard());
    EXPECT_EQ(TempDir::Read(dir.File("race day.pdf")).substr(0, 5), "%PDF-");
    EXPECT_FALSE(std::filesystem::exists(dir.File("race day")));
    EXPECT_TRUE(questions.writeStarts.back().endsWith(
        "/" + QString::fromStdString(plans[0]->m_strName) + ".pdf"))
        << questions.writeStarts.back().toStdString();
    EXPECT_TRUE(questions.AllUsed());
}

}  // namespace
