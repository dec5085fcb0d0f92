// The editor never replaces or empties a file unasked, never claims a save that did not
// happen, and never lets edits vanish without a question.
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <QTest>
#include <cerrno>
#include <filesystem>

#include "data/file_io.h"
#include "tests/support/editor_fixture.h"
#include "tests/support/polar_builders.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kFivePoints = "Main,\r\n6,45,\r\n40,4.1,60,5,90,5.4,120,5.1,150,4.3,-2";

class NothingLost : public EditorFixture {
  protected:
    void TearDown() override {
        SetFileFaultHook(nullptr);
        EditorFixture::TearDown();
    }
    // Every read or rename of the data file fails with this error.
    void InjectFault(FileOperation failing, int nErrno) {
        SetFileFaultHook([this, failing, nErrno](FileOperation op, const std::string& strPath) {
            return op == failing && strPath == m_strFile ? nErrno : 0;
        });
    }
    const std::string& LastBox() { return m_pInteraction->Boxes().back().strText; }
    std::size_t BoxCount() { return m_pInteraction->Boxes().size(); }
    void Save(int nBoxes = 0, int nAnswer = IDOK) {
        for (int i = 0; i < nBoxes; ++i) {
            m_pInteraction->AnswerNextBox(nAnswer);
        }
        ASSERT_TRUE(Driver().Click(IDC_SAVE));
    }
};

TEST_F(NothingLost, AFileThatCannotBeReadIsNamedAndNeverReplaced) {
    TempDir::Write(m_strFile, kFivePoints);
    // Without privileges a file without read permission does it; the superuser reads any
    // file, so the failure is injected at the file layer instead.
    if (::geteuid() != 0) {
        ::chmod(m_strFile.c_str(), 0200);
    } else {
        InjectFault(FileOperation::Read, EACCES);
    }
    OpenExisting(1);
    ASSERT_EQ(BoxCount(), 1u);
    EXPECT_NE(LastBox().find(m_strFile), std::string::npos) << LastBox();
    EXPECT_NE(LastBox().find("Permission denied"), std::string::npos) << LastBox();
    EXPECT_EQ(Combo(IDC_SAIL_PLAN_COMBO)->count(), 0);

    // A sail plan added and saved: refused, with the reason.
    m_steps.push_back([](CDialog*, GuiDriver& d) {
        d.Type(IDC_SAIL_PLAN_NAME, "New");
        d.Click(IDOK);
    });
    ASSERT_TRUE(Driver().Click(IDC_ADD_SAIL_PLAN));
    Save(1);
    EXPECT_NE(LastBox().find("could not be read when it was opened"), std::string::npos);
    // Restore would replace it as well.
    const std::string strOther = m_dir.File("other.ppd");
    TempDir::Write(strOther, "Other,\r\n8,40,\r\n45,5,-2");
    m_pInteraction->AnswerNextBox(IDYES);  // discard the new sail plan?
    m_pInteraction->AnswerNextFileDialog(strOther);
    m_pInteraction->AnswerNextBox(IDOK);
    ASSERT_TRUE(Driver().Click(IDC_RESTORE));
    EXPECT_NE(LastBox().find("Nothing was restored"), std::string::npos);
    // The host's save and close closes nothing.
    m_pInteraction->AnswerNextBox(IDOK);
    ::SendMessage(m_hDialog, WM_COMMAND, ID_SAVE_AND_CLOSE, 0);
    EXPECT_EQ(m_nFlag, 1);

    ::chmod(m_strFile.c_str(), 0644);
    SetFileFaultHook(nullptr);
    EXPECT_EQ(TempDir::Read(m_strFile), kFivePoints);
    EXPECT_TRUE(m_host.notices.empty());

    // Once a reading succeeds, the file is the editor's again (the sail plan added is given
    // up for it).
    m_pInteraction->AnswerNextBox(IDYES);
    ::SendMessage(m_hDialog, WM_COMMAND, ID_POLAR_RELOAD, ID_POLAR_RELOAD);
    EXPECT_NE(LastBox().find("changed outside the editor"), std::string::npos);
    EXPECT_EQ(Combo(IDC_SAIL_PLAN_COMBO)->currentText(), "Main");
    Save();
    EXPECT_EQ(m_host.notices, std::vector<polar_api::WPARAM>{2});
}

// Only a regular file is the editor's data file: a FIFO would hang the reading and must not
// be replaced, and a dangling link must not make a file appear.
TEST_F(NothingLost, ADataFileThatIsNoRegularFileIsNamedAndNeverWritten) {
    ASSERT_EQ(::mkfifo(m_strFile.c_str(), 0644), 0);
    OpenExisting(1);
    EXPECT_NE(LastBox().find("it is not a regular file (a FIFO)"), std::string::npos) << LastBox();
    m_steps.push_back([](CDialog*, GuiDriver& d) {
        d.Type(IDC_SAIL_PLAN_NAME, "New");
        d.Click(IDOK);
    });
    ASSERT_TRUE(Driver().Click(IDC_ADD_SAIL_PLAN));
    Save(1);
    EXPECT_NE(LastBox().find("not saved"), std::string::npos) << LastBox();
    // A backup of it is refused too: reading the FIFO would wait for a writer.
    m_pInteraction->AnswerNextFileDialog(m_dir.File("copy.ppd"));
    m_pInteraction->AnswerNextBox(IDOK);
    ASSERT_TRUE(Driver().Click(IDC_BACKUP));
    EXPECT_NE(LastBox().find("The backup failed"), std::string::npos) << LastBox();
    EXPECT_FALSE(fs::exists(m_dir.File("copy.ppd")));
    EXPECT_TRUE(fs::is_fifo(m_strFile));
    EXPECT_TRUE(m_host.notices.empty());
}

TEST_F(NothingLost, ADanglingLinkAsDataFileCreatesNothing) {
    const std::string strTarget = m_dir.File("gone/POLAR.PPD");
    fs::create_symlink(strTarget, m_strFile);
    OpenExisting(1);
    EXPECT_NE(LastBox().find("which does not exist"), std::string::npos) << LastBox();
    m_steps.push_back([](CDialog*, GuiDriver& d) {
        d.Type(IDC_SAIL_PLAN_NAME, "New");
        d.Click(IDOK);
    });
    ASSERT_TRUE(Driver().Click(IDC_ADD_SAIL_PLAN));
    Save(1);
    EXPECT_TRUE(fs::is_symlink(m_strFile));
    EXPECT_FALSE(fs::exists(m_dir.File("gone")));
    EXPECT_TRUE(m_host.notices.empty());
}

// A link is followed: the file it names is saved, the link stays a link. Restore refuses a
// copy that is a FIFO instead of waiting on it.
TEST_F(NothingLost, ALinkedDataFileIsSavedThroughItsLinkAndRestoreRefusesAFifo) {
    fs::create_directories(m_dir.File("real"));
    const std::string strTarget = m_dir.File("real/POLAR.PPD");
    TempDir::Write(strTarget, kFivePoints);
    fs::create_symlink(strTarget, m_strFile);
    OpenExisting();
    ASSERT_TRUE(Driver().ClickCell(IDC_VECTOR_LIST, 0, 0));
    ASSERT_TRUE(Driver().Click(IDC_DELETE_VECTOR));
    Save();
    EXPECT_EQ(m_host.notices, std::vector<polar_api::WPARAM>{2});
    EXPECT_TRUE(fs::is_symlink(m_strFile));
    EXPECT_EQ(TempDir::Read(strTarget),
              "Main,\r\n6.00,45.00,\r\n60.00,5.00,90.00,5.40,120.00,5.10,150.00,4.30,-2");

    const std::string strFifo = m_dir.File("copy.ppd");
    ASSERT_EQ(::mkfifo(strFifo.c_str(), 0644), 0);
    m_pInteraction->AnswerNextFileDialog(strFifo);
    m_pInteraction->AnswerNextBox(IDOK);
    ASSERT_TRUE(Driver().Click(IDC_RESTORE));
    EXPECT_NE(LastBox().find("not a regular file"), std::string::npos) << LastBox();
    EXPECT_EQ(List()->rowCount(), 4);
    EXPECT_TRUE(fs::is_symlink(m_strFile));
}

TEST_F(NothingLost, AReadOnlyFileIsNotWrittenAndSmoothingKeepsTheEdits) {
    Open(kFivePoints);
    ::chmod(m_strFile.c_str(), 0444);
    ASSERT_TRUE(Driver().ClickCell(IDC_VECTOR_LIST, 0, 0));
    ASSERT_TRUE(Driver().Click(IDC_DELETE_VECTOR));  // an unsaved deletion: four points left
    Save(1);
    EXPECT_NE(LastBox().find("read-only"), std::string::npos) << LastBox();
    EXPECT_TRUE(m_host.notices.empty());

    // Smoothing still works on it, in memory: "No" brings back the four points, not the
    // five of the file.
    m_pInteraction->AnswerNextBox(IDNO);  // keep smoothed data?
    ASSERT_TRUE(Driver().Click(IDC_SMOOTH));
    EXPECT_TRUE(m_pInteraction->AllAnswersUsed());
    EXPECT_EQ(LastBox(), "Keep smoothed data?");
    EXPECT_EQ(Column(0), (std::vector<std::string>{"60.00", "90.00", "120.00", "150.00"}));
    EXPECT_EQ(TempDir::Read(m_strFile), kFivePoints);
    struct stat st {};
    ASSERT_EQ(::stat(m_strFile.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
}

TEST_F(NothingLost, APartlyReadFileIsReplacedOnlyOnYesAndACopyIsKept) {
    Open(kPartlyReadableFileText, 1);
    EXPECT_NE(LastBox().find("line 5, column 8"), std::string::npos) << LastBox();

    Save(1, IDNO);
    const auto& question = m_pInteraction->Boxes().back();
    EXPECT_EQ(question.nType & 0xF, MB_YESNO);
    EXPECT_NE(question.nType & MB_DEFBUTTON2, 0u);  // No is the default
    EXPECT_NE(question.strText.find("from line 5, column 8 on is dropped"), std::string::npos)
        << question.strText;
    EXPECT_NE(question.strText.find(m_strFile + ".bak."), std::string::npos);
    EXPECT_EQ(TempDir::Read(m_strFile), kPartlyReadableFileText);
    EXPECT_TRUE(m_host.notices.empty());

    // An older copy stays as it is; this one gets the next free name.
    TempDir::Write(m_strFile + ".bak", "an older copy");
    Save(1, IDYES);
    EXPECT_EQ(TempDir::Read(m_strFile + ".bak"), "an older copy");
    EXPECT_EQ(TempDir::Read(m_strFile + ".bak.1"), kPartlyReadableFileText);
    EXPECT_EQ(TempDir::Read(m_strFile), "Main,\r\n6.00,45.00,\r\n40.00,4.10,90.00,5.40,-2");
    EXPECT_EQ(m_host.notices, std::vector<polar_api::WPARAM>{2});

    // The file is whole now: no more questions.
    const std::size_t nBoxes = BoxCount();
    Save();
    EXPECT_EQ(BoxCount(), nBoxes);
}

TEST_F(NothingLost, APartlyReadFileCanBeSmoothedAndOnlySaveAsks) {
    Open("Main,\r\n6,45,\r\n40,4.1,60,5,90,5.4,120,5.1,-2\r\nBroken", 1);
    m_pInteraction->AnswerNextBox(IDYES);  // keep smoothed data?
    ASSERT_TRUE(Driver().Click(IDC_SMOOTH));
    EXPECT_EQ(LastBox(), "Keep smoothed data?");
    EXPECT_EQ(List()->rowCount(), 9);  // the smoothed polar, shown from memory
    Save(1, IDNO);                     // replace the file?
    EXPECT_NE(LastBox().find("is dropped"), std::string::npos) << LastBox();
    EXPECT_EQ(TempDir::Read(m_strFile),
              "Main,\r\n6,45,\r\n40,4.1,60,5,90,5.4,120,5.1,-2\r\nBroken");
    EXPECT_TRUE(m_host.notices.empty());
}

TEST_F(NothingLost, AFailedSaveAndCloseKeepsTheEditorAndTellsTheHostNothing) {
    Open(kFivePoints);
    ASSERT_TRUE(Driver().Click(IDC_ADD_VECTOR));  // an unsaved point
    InjectFault(FileOperation::Write, ENOSPC);
    m_pInteraction->AnswerNextBox(IDOK);
    ::SendMessage(m_hDialog, WM_COMMAND, ID_SAVE_AND_CLOSE, 0);
    EXPECT_NE(LastBox().find("No space left on device"), std::string::npos) << LastBox();
    EXPECT_EQ(m_nFlag, 1);
    EXPECT_TRUE(m_host.notices.empty());
    EXPECT_TRUE(m_hDialog->isVisible());
    EXPECT_EQ(List()->rowCount(), 6);
    EXPECT_EQ(TempDir::Read(m_strFile), kFivePoints);

    // With room again the same command saves, closes, and then tells the host.
    SetFileFaultHook(nullptr);
    ::SendMessage(m_hDialog, WM_COMMAND, ID_SAVE_AND_CLOSE, 0);
    EXPECT_EQ(m_nFlag, 0);
    EXPECT_EQ(m_host.notices, std::vector<polar_api::WPARAM>{1});
    EXPECT_NE(TempDir::Read(m_strFile).find("0.00,0.00,40.00"), std::string::npos);
}

TEST_F(NothingLost, ClosingAsksOnlyWhenSomethingWouldBeLost) {
    Open(kFivePoints);
    ASSERT_TRUE(Driver().Click(IDC_ADD_VECTOR));
    m_pInteraction->AnswerNextBox(IDCANCEL);  // Cancel (or Esc): the editor stays
    ASSERT_TRUE(Driver().Click(IDCANCEL));
    const auto& question = m_pInteraction->Boxes().back();
    EXPECT_EQ(question.nType & 0xF, MB_SAVEDISCARDCANCEL);
    EXPECT_NE(question.strText.find("Save them before the editor closes?"), std::string::npos);
    EXPECT_TRUE(m_host.notices.empty());
    EXPECT_EQ(m_nFlag, 1);
    EXPECT_EQ(List()->rowCount(), 6);

    // Saved: nothing to lose, no question.
    Save();
    const std::size_t nBoxes = BoxCount();
    ASSERT_TRUE(Driver().Click(IDCANCEL));
    EXPECT_EQ(BoxCount(), nBoxes);
    EXPECT_EQ(m_host.notices, (std::vector<polar_api::WPARAM>{2, 0}));
    EXPECT_EQ(m_nFlag, 0);
}

TEST_F(NothingLost, SaveOnClosingSavesAndClosesOnlyWhenTheFileWasWritten) {
    Open(kFivePoints);
    ASSERT_TRUE(Driver().Click(IDC_ADD_VECTOR));  // an unsaved point
    InjectFault(FileOperation::Write, ENOSPC);
    m_pInteraction->AnswerNextBox(IDYES);  // Save
    m_pInteraction->AnswerNextBox(IDOK);   // the save failed
    ASSERT_TRUE(Driver().Click(IDCANCEL));
    EXPECT_NE(LastBox().find("No space left on device"), std::string::npos) << LastBox();
    EXPECT_EQ(m_nFlag, 1);  // still open, with the edit
    EXPECT_TRUE(m_host.notices.empty());
    EXPECT_EQ(List()->rowCount(), 6);
    EXPECT_EQ(TempDir::Read(m_strFile), kFivePoints);

    SetFileFaultHook(nullptr);
    m_pInteraction->AnswerNextBox(IDYES);
    ASSERT_TRUE(Driver().Click(IDCANCEL));
    EXPECT_EQ(m_nFlag, 0);
    EXPECT_EQ(m_host.notices, std::vector<polar_api::WPARAM>{1});  // saved and closed
    EXPECT_NE(TempDir::Read(m_strFile).find("0.00,0.00,40.00"), std::string::npos);
}

TEST_F(NothingLost, TextTypedButNotCommittedCountsAndDiscardDropsIt) {
    Open(kFivePoints);
    // Looking around (picking entries) changes nothing.
    ASSERT_TRUE(Driver().PickEntry(IDC_WIND_SPEED_COMBO, 0));
    Retype(IDC_TACKING_ANGLE, "38");
    m_pInteraction->AnswerNextBox(IDNO);  // Discard
    Driver().PressKey(Qt::Key_Escape);
    EXPECT_EQ(BoxCount(), 1u);
    EXPECT_EQ(m_host.notices, std::vector<polar_api::WPARAM>{0});
    EXPECT_EQ(m_nFlag, 0);
    EXPECT_EQ(TempDir::Read(m_strFile), kFivePoints);
}

TEST_F(NothingLost, ASailPlanWithoutWindSpeedsIsNamedOnEverySave) {
    Open(kFivePoints);
    m_steps.push_back([](CDialog*, GuiDriver& d) {
        d.Type(IDC_SAIL_PLAN_NAME, "Storm");
        SetText(d, IDC_BAND_MINIMUM, "40");  // minimum above maximum: no polar
        d.Click(IDOK);
    });
    ASSERT_TRUE(Driver().Click(IDC_ADD_SAIL_PLAN));
    Save(1);
    EXPECT_EQ(LastBox(), "Sail plan \"Storm\" has no wind speeds and is not saved.\n");
    EXPECT_EQ(TempDir::Read(m_strFile),
              "Main,\r\n6.00,45.00,\r\n40.00,4.10,60.00,5.00,90.00,5.40,120.00,5.10,150.00,4.30,"
              "-2");
    EXPECT_EQ(m_host.notices, std::vector<polar_api::WPARAM>{2});
    Save(1);
    EXPECT_EQ(BoxCount(), 2u);  // once per save
}

TEST_F(NothingLost, ANameReadInAnotherEncodingKeepsItsBytesUntilRetyped) {
    const std::string strFile = "Gro\xdfsegel,\r\n6.00,45.00,\r\n40.00,4.10,-2";
    Open(strFile);
    EXPECT_EQ(Combo(IDC_SAIL_PLAN_COMBO)->currentText().toStdString(), "Gro\xc3\x9fsegel");
    Save();
    EXPECT_EQ(TempDir::Read(m_strFile), strFile);

    Retype(IDC_SAIL_PLAN_COMBO, "Fock");
    Save();
    EXPECT_EQ(TempDir::Read(m_strFile), "Fock,\r\n6.00,45.00,\r\n40.00,4.10,-2");
}

TEST_F(NothingLost, AWindSpeedThatIsNoNumberIsRefusedAndPutBack) {
    Open(kFivePoints);
    Retype(IDC_WIND_SPEED_COMBO, "abc");
    Save(1);
    EXPECT_EQ(m_pInteraction->Boxes().front().strText, "Please enter a number.");
    EXPECT_EQ(Combo(IDC_WIND_SPEED_COMBO)->currentText(), "6.00");
    EXPECT_EQ(WindSpeeds(0), std::vector<float>{6.0f});
    EXPECT_EQ(TempDir::Read(m_strFile).substr(0, 17), "Main,\r\n6.00,45.00");

    Retype(IDC_WIND_SPEED_COMBO, "12 kn");
    Save();
    EXPECT_EQ(WindSpeeds(0), std::vector<float>{12.0f});
}

TEST_F(NothingLost, ButtonsFollowTheDataFromAnEmptyFile) {
    Open("");
    EXPECT_FALSE(Driver().Control(IDC_DELETE_SAIL_PLAN)->isEnabled());
    EXPECT_FALSE(Driver().Control(IDC_ADD_WIND_SPEED)->isEnabled());
    m_steps.push_back([](CDialog*, GuiDriver& d) {
        d.Type(IDC_SAIL_PLAN_NAME, "Main");
        SetText(d, IDC_BAND_MINIMUM, "6");
        SetText(d, IDC_BAND_MAXIMUM, "8");
        SetText(d, IDC_BAND_INTERVAL, "2");
        d.Click(IDOK);
    });
    ASSERT_TRUE(Driver().Click(IDC_ADD_SAIL_PLAN));
    EXPECT_EQ(Entries(IDC_WIND_SPEED_COMBO), (std::vector<std::string>{"6.00", "8.00"}));
    EXPECT_TRUE(Driver().Control(IDC_DELETE_SAIL_PLAN)->isEnabled());
    m_steps.push_back([](CDialog*, GuiDriver& d) {
        d.Type(IDC_NEW_WIND_SPEED, "12");
        d.PressKey(Qt::Key_Return);
    });
    ASSERT_TRUE(Driver().Click(IDC_ADD_WIND_SPEED));  // once disabled for the rest of the session
    EXPECT_EQ(Entries(IDC_WIND_SPEED_COMBO), (std::vector<std::string>{"6.00", "8.00", "12.00"}));
    EXPECT_TRUE(Driver().Control(IDC_ADD_VECTOR)->isEnabled());
    EXPECT_FALSE(Driver().Control(IDC_DELETE_VECTOR)->isEnabled());  // no points yet
}

}  // namespace
