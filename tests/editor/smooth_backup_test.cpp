#include <filesystem>

#include "data/number_text.h"
#include "data/polar_file.h"
#include "smoothing/polar_smoothing.h"
#include "tests/support/editor_fixture.h"

namespace {

using Commands = EditorFixture;

std::vector<float> FileAngles(const std::string& strFile, std::size_t nPolar = 0) {
    PolarFileContents contents;
    EXPECT_TRUE(LoadPolarFile(strFile, contents).Ok());
    std::vector<float> angles;
    for (const auto& v : contents.aSailPlans[0]->m_aPolars[nPolar]->m_aVectors) {
        angles.push_back(v->m_fAngle);
    }
    return angles;
}

constexpr const char* kFivePoints = "Main,\r\n6,45,\r\n40,4.1,60,5,90,5.4,120,5.1,150,4.3,-2";

TEST_F(Commands, SmoothingShowsTheResultAndYesKeepsIt) {
    Open(kFivePoints);
    m_pInteraction->AnswerNextBox(IDYES);
    ASSERT_TRUE(Driver().Click(IDC_SMOOTH));
    ASSERT_EQ(m_pInteraction->Boxes().back().strText, "Keep smoothed data?");
    EXPECT_EQ(m_pInteraction->Boxes().back().nType & 0xF, MB_YESNO);
    std::vector<float> twelve;
    for (int a = 40; a <= 150; a += 10) {
        twelve.push_back(static_cast<float>(a));
    }
    EXPECT_EQ(FileAngles(m_strFile), twelve);
    EXPECT_EQ(List()->rowCount(), 12);
    EXPECT_TRUE(g_aSmoothBackup.empty());
}

TEST_F(Commands, NoPutsTheMeasuredPointsBackInTheFileAndNoThenYesKeepsTheSecond) {
    Open(kFivePoints);
    m_pInteraction->AnswerNextBox(IDNO);
    ASSERT_TRUE(Driver().Click(IDC_SMOOTH));
    EXPECT_EQ(FileAngles(m_strFile), (std::vector<float>{40, 60, 90, 120, 150}));
    EXPECT_EQ(List()->item(2, 1)->text(), "5.40");
    m_pInteraction->AnswerNextBox(IDYES);
    ASSERT_TRUE(Driver().Click(IDC_SMOOTH));
    EXPECT_EQ(FileAngles(m_strFile).size(), 12u);
    EXPECT_TRUE(g_aSmoothBackup.empty());
}

TEST_F(Commands, TwoPointsAreLeftAloneButTheFileIsWrittenAndTheQuestionAsked) {
    Open("Main,\n6,45,\n40,4,90,5,-2\n");  // not in the writer's layout yet
    m_pInteraction->AnswerNextBox(IDNO);
    ASSERT_TRUE(Driver().Click(IDC_SMOOTH));
    EXPECT_EQ(m_pInteraction->Boxes().size(), 1u);
    EXPECT_EQ(TempDir::Read(m_strFile), "Main,\r\n6.00,45.00,\r\n40.00,4.00,90.00,5.00,-2");
}

TEST_F(Commands, ALineThroughThreePointsDropsSamplesAtOrBelowZero) {
    Open("Main,\r\n6,45,\r\n40,-1,90,1,140,3,-2");
    m_pInteraction->AnswerNextBox(IDYES);
    ASSERT_TRUE(Driver().Click(IDC_SMOOTH));
    EXPECT_EQ(FileAngles(m_strFile), (std::vector<float>{70, 80, 90, 100, 110, 120, 130, 140}));
}

TEST_F(Commands, BackupCopiesTheEditorsOwnFileAndReportsFailures) {
    Open(kFivePoints);
    const std::string strBackup = m_dir.File("copy.ppd");
    TempDir::Write(strBackup, "old backup");
    const auto before = std::filesystem::current_path();
    m_pInteraction->AnswerNextFileDialog(m_dir.File("copy"));  // the default extension is added
    ASSERT_TRUE(Driver().Click(IDC_BACKUP));
    EXPECT_EQ(TempDir::Read(strBackup), kFivePoints);
    EXPECT_EQ(std::filesystem::current_path(), before);
    const FileDialogRequest& request = m_pInteraction->FileRequests().back();
    EXPECT_EQ(request.strFilter, "Polar Files (*.ppd)|*.ppd||");
    EXPECT_TRUE(request.bAllowNewNames);

    std::filesystem::remove(m_strFile);
    m_pInteraction->AnswerNextFileDialog(strBackup);
    m_pInteraction->AnswerNextBox(IDOK);
    ASSERT_TRUE(Driver().Click(IDC_BACKUP));
    EXPECT_NE(m_pInteraction->Boxes().back().strText.find("The backup failed"), std::string::npos);
    EXPECT_EQ(TempDir::Read(strBackup), kFivePoints);  // the old copy is untouched
}

TEST_F(Commands, RestoreReplacesTheDataFileAndCancelKeepsUnsavedEdits) {
    Open(kFivePoints);
    ASSERT_TRUE(Driver().Click(IDC_ADD_VECTOR));  // an unsaved point "0.0"
    m_pInteraction->CancelNextFileDialog();
    ASSERT_TRUE(Driver().Click(IDC_RESTORE));
    EXPECT_EQ(List()->rowCount(), 6);  // still there

    const std::string strOther = m_dir.File("other.ppd");
    TempDir::Write(strOther, "Other,\r\n8,40,\r\n45,5,-2");
    m_pInteraction->AnswerNextFileDialog(strOther);
    ASSERT_TRUE(Driver().Click(IDC_RESTORE));
    EXPECT_EQ(TempDir::Read(m_strFile), "Other,\r\n8,40,\r\n45,5,-2");
    EXPECT_EQ(Combo(IDC_SAIL_PLAN_COMBO)->currentText(), "Other");
    EXPECT_EQ(List()->rowCount(), 1);

    // A file that is no data file is read by the usual rules, with the warning.
    TempDir::Write(strOther, "just some notes\nnothing else");
    m_pInteraction->AnswerNextFileDialog(strOther);
    m_pInteraction->AnswerNextBox(IDOK);
    ASSERT_TRUE(Driver().Click(IDC_RESTORE));
    EXPECT_NE(m_pInteraction->Boxes().back().strText.find("could not be read completely"),
              std::string::npos);
}

}  // namespace
