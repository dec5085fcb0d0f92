#include <QTest>
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

std::vector<float> ShownAngles(const Cpolar& editor) {
    std::vector<float> angles;
    for (const auto& v : editor.SailPlans()[0]->m_aPolars[0]->m_aVectors) {
        angles.push_back(v->m_fAngle);
    }
    return angles;
}

std::vector<float> EveryTen(int nFrom, int nTo) {
    std::vector<float> angles;
    for (int a = nFrom; a <= nTo; a += 10) {
        angles.push_back(static_cast<float>(a));
    }
    return angles;
}

// Smoothing works in memory: the file changes only when the user saves.
TEST_F(Commands, SmoothingShowsTheResultYesKeepsItUnsavedAndOneUndoTakesItBack) {
    Open(kFivePoints);
    m_pInteraction->AnswerNextBox(IDYES);
    ASSERT_TRUE(Driver().Click(IDC_SMOOTH));
    ASSERT_EQ(m_pInteraction->Boxes().back().strText, "Keep smoothed data?");
    EXPECT_EQ(m_pInteraction->Boxes().back().nType & 0xF, MB_YESNO);
    EXPECT_EQ(ShownAngles(*m_pEditor), EveryTen(40, 150));
    EXPECT_EQ(List()->rowCount(), 12);
    EXPECT_TRUE(g_aSmoothBackup.empty());
    EXPECT_EQ(TempDir::Read(m_strFile), kFivePoints);
    EXPECT_TRUE(m_pEditor->IsModified());
    EXPECT_TRUE(m_host.notices.empty());

    QTest::keyClick(m_hDialog->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ShownAngles(*m_pEditor), (std::vector<float>{40, 60, 90, 120, 150}));
    QTest::keyClick(m_hDialog->windowHandle(), Qt::Key_Y, Qt::ControlModifier);
    ASSERT_TRUE(Driver().Click(IDC_SAVE));
    EXPECT_EQ(FileAngles(m_strFile), EveryTen(40, 150));
}

TEST_F(Commands, NoPutsTheMeasuredPointsBackExactlyAndNothingIsWritten) {
    Open("Main,\r\n6,45,\r\n40,4.1,60,5.005,90,5.4,120,5.1,150,4.3,-2");
    const std::vector<float> before = ShownAngles(*m_pEditor);
    const float fOddSpeed = m_pEditor->SailPlans()[0]->m_aPolars[0]->m_aVectors[1]->m_fSpeed;
    m_pInteraction->AnswerNextBox(IDNO);
    ASSERT_TRUE(Driver().Click(IDC_SMOOTH));
    EXPECT_EQ(ShownAngles(*m_pEditor), before);
    EXPECT_EQ(m_pEditor->SailPlans()[0]->m_aPolars[0]->m_aVectors[1]->m_fSpeed, fOddSpeed);
    EXPECT_EQ(List()->item(2, 1)->text(), "5.40");
    EXPECT_FALSE(m_pEditor->IsModified());
    EXPECT_EQ(TempDir::Read(m_strFile),
              "Main,\r\n6,45,\r\n40,4.1,60,5.005,90,5.4,120,5.1,150,4.3,-2");

    // No, then Yes: the second result stays and nothing is set aside.
    m_pInteraction->AnswerNextBox(IDYES);
    ASSERT_TRUE(Driver().Click(IDC_SMOOTH));
    EXPECT_EQ(ShownAngles(*m_pEditor).size(), 12u);
    EXPECT_TRUE(g_aSmoothBackup.empty());
}

// The edits made before smoothing are not written either: discarding them stays possible.
TEST_F(Commands, EditsBeforeSmoothingCanStillBeDiscardedOnClose) {
    Open(kFivePoints);
    ASSERT_TRUE(Driver().ClickCell(IDC_VECTOR_LIST, 0, 0));
    ASSERT_TRUE(Driver().Click(IDC_DELETE_VECTOR));
    m_pInteraction->AnswerNextBox(IDNO);
    ASSERT_TRUE(Driver().Click(IDC_SMOOTH));
    EXPECT_EQ(ShownAngles(*m_pEditor), (std::vector<float>{60, 90, 120, 150}));
    m_pInteraction->AnswerNextBox(IDNO);  // Discard
    ASSERT_TRUE(Driver().Click(IDCANCEL));
    EXPECT_NE(m_pInteraction->Boxes().back().strText.find("not saved"), std::string::npos);
    EXPECT_EQ(m_host.notices, std::vector<polar_api::WPARAM>{0});
    EXPECT_EQ(TempDir::Read(m_strFile), kFivePoints);
}

TEST_F(Commands, TwoPointsAreLeftAloneAndTheQuestionAsked) {
    Open("Main,\n6,45,\n40,4,90,5,-2\n");
    m_pInteraction->AnswerNextBox(IDNO);
    ASSERT_TRUE(Driver().Click(IDC_SMOOTH));
    EXPECT_EQ(m_pInteraction->Boxes().size(), 1u);
    EXPECT_EQ(ShownAngles(*m_pEditor), (std::vector<float>{40, 90}));
    EXPECT_EQ(TempDir::Read(m_strFile), "Main,\n6,45,\n40,4,90,5,-2\n");
}

TEST_F(Commands, ALineThroughThreePointsDropsSamplesAtOrBelowZero) {
    Open("Main,\r\n6,45,\r\n40,-1,90,1,140,3,-2");
    m_pInteraction->AnswerNextBox(IDYES);
    ASSERT_TRUE(Driver().Click(IDC_SMOOTH));
    EXPECT_EQ(ShownAngles(*m_pEditor), (std::vector<float>{70, 80, 90, 100, 110, 120, 130, 140}));
}

// Smooth, like every button, follows the data: it needs a polar.
TEST_F(Commands, SmoothIsEnabledOnlyWithAPolar) {
    Open("");
    EXPECT_FALSE(Driver().Control(IDC_SMOOTH)->isEnabled());
    m_steps.push_back([this](CDialog*, GuiDriver& d) {
        d.Type(IDC_SAIL_PLAN_NAME, "Main");
        SetText(d, IDC_BAND_MINIMUM, "40");  // above the maximum: a sail plan without polars
        d.Click(IDOK);
    });
    ASSERT_TRUE(Driver().Click(IDC_ADD_SAIL_PLAN));
    EXPECT_FALSE(Driver().Control(IDC_SMOOTH)->isEnabled());
    m_steps.push_back([](CDialog*, GuiDriver& d) {
        d.Type(IDC_NEW_WIND_SPEED, "8");
        d.PressKey(Qt::Key_Return);
    });
    ASSERT_TRUE(Driver().Click(IDC_ADD_WIND_SPEED));
    EXPECT_TRUE(Driver().Control(IDC_SMOOTH)->isEnabled());
    m_steps.push_back([this](CDialog*, GuiDriver& d) {
        d.Type(IDC_SAIL_PLAN_NAME, "Storm");
        SetText(d, IDC_BAND_MINIMUM, "40");
        d.Click(IDOK);
    });
    ASSERT_TRUE(Driver().Click(IDC_ADD_SAIL_PLAN));
    ASSERT_EQ(Combo(IDC_SAIL_PLAN_COMBO)->currentText(), "Storm");
    EXPECT_FALSE(Driver().Control(IDC_SMOOTH)->isEnabled());
    ASSERT_TRUE(
        Driver().PickEntry(IDC_SAIL_PLAN_COMBO, Combo(IDC_SAIL_PLAN_COMBO)->findText("Main")));
    EXPECT_TRUE(Driver().Control(IDC_SMOOTH)->isEnabled());
    EXPECT_TRUE(m_pInteraction->Boxes().empty());
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
    EXPECT_FALSE(request.bOpen);  // a save dialog: a Save button, a question before replacing
    EXPECT_EQ(request.strTitle, "Back up the polars");

    std::filesystem::remove(m_strFile);
    m_pInteraction->AnswerNextFileDialog(strBackup);
    m_pInteraction->AnswerNextBox(IDOK);
    ASSERT_TRUE(Driver().Click(IDC_BACKUP));
    EXPECT_NE(m_pInteraction->Boxes().back().strText.find("The backup failed"), std::string::npos);
    EXPECT_EQ(TempDir::Read(strBackup), kFivePoints);  // the old copy is untouched
}

TEST_F(Commands, RestoreAsksBeforeUnsavedEditsGoAndCancelKeepsThem) {
    Open(kFivePoints);
    const std::string strOther = m_dir.File("other.ppd");
    TempDir::Write(strOther, "Other,\r\n8,40,\r\n45,5,-2");
    ASSERT_TRUE(Driver().Click(IDC_ADD_VECTOR));  // an unsaved point "0.0"

    // No (the default) keeps the edits: no file is asked for, nothing is replaced.
    m_pInteraction->AnswerNextBox(IDNO);
    ASSERT_TRUE(Driver().Click(IDC_RESTORE));
    ASSERT_EQ(m_pInteraction->Boxes().size(), 1u);
    EXPECT_NE(m_pInteraction->Boxes().back().strText.find("Restore a data file and discard them?"),
              std::string::npos);
    EXPECT_EQ(m_pInteraction->Boxes().back().nType & MB_DEFBUTTON2, MB_DEFBUTTON2);
    EXPECT_TRUE(m_pInteraction->FileRequests().empty());
    EXPECT_EQ(List()->rowCount(), 6);

    // Yes, then the file dialog cancelled: the edits still stay.
    m_pInteraction->AnswerNextBox(IDYES);
    m_pInteraction->CancelNextFileDialog();
    ASSERT_TRUE(Driver().Click(IDC_RESTORE));
    EXPECT_EQ(List()->rowCount(), 6);

    m_pInteraction->AnswerNextBox(IDYES);
    m_pInteraction->AnswerNextFileDialog(strOther);
    ASSERT_TRUE(Driver().Click(IDC_RESTORE));
    EXPECT_TRUE(m_pInteraction->FileRequests().back().bOpen);  // a file to read: opened
    EXPECT_EQ(m_pInteraction->FileRequests().back().strTitle, "Restore");
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
