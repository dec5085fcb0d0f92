// The questions that keep a user's data, as they meet them on a desktop: a file read only in
// part, and edits that a close would throw away.
#include <QTableWidget>
#include <filesystem>

#include "data/polar_file.h"
#include "tests/desktop/editor_on_display.h"
#include "tests/support/polar_builders.h"

namespace {

using NothingLostOnDesktop = EditorOnDisplay;

TEST_F(NothingLostOnDesktop, APartlyReadFileIsReplacedOnlyWhenTheUserSaysYes) {
    OpenWhenRunning(kPartlyReadableFileText);
    RunAsUser([this](XUser& user) {
        EXPECT_NE(MessageBoxWhenActive().find("line 5, column 8"), std::string::npos);
        Shot("read-in-part");
        ASSERT_TRUE(ClickMessageBoxButton(user, QMessageBox::Ok));
        ASSERT_TRUE(WaitUntil(
            [this] { return EditorOpen() && QApplication::activeWindow() == m_hDialog; }));

        // Save asks; Return takes the default answer, No.
        user.Click(OnGui([this] { return OnScreen(Control(IDC_SAVE)).center(); }));
        EXPECT_NE(MessageBoxWhenActive().find("from line 5, column 8 on"), std::string::npos);
        Shot("replace-question");
        user.Key("Return");
        ASSERT_TRUE(WaitUntil([this] { return MessageBoxText().empty(); }));
        EXPECT_EQ(FileBytes(), kPartlyReadableFileText);
        EXPECT_TRUE(Notices().empty());

        // Asked again, the user clicks "Yes": a copy first, then the save.
        user.Click(OnGui([this] { return OnScreen(Control(IDC_SAVE)).center(); }));
        ASSERT_TRUE(ClickMessageBoxButton(user, QMessageBox::Yes));
        ASSERT_TRUE(WaitUntil([this] { return !Notices().empty(); }));
        Shot("saved");
    });
    EXPECT_EQ(Notices(), std::vector<WPARAM>{2});
    EXPECT_EQ(TempDir::Read(m_strFile + ".bak"), kPartlyReadableFileText);
    EXPECT_EQ(FileBytes(), "Main,\r\n6.00,45.00,\r\n40.00,4.10,90.00,5.40,-2");
}

// The host's own window has the keyboard when it opens the editor; the editor takes it.
TEST_F(NothingLostOnDesktop, TheEditorTakesTheKeyboardWhenItOpensOverTheHost) {
    QWidget hostWindow;
    hostWindow.setWindowTitle("Host");
    hostWindow.setGeometry(50, 50, 300, 200);
    hostWindow.show();
    RunAsUser([&](XUser& user) {
        ASSERT_TRUE(WaitUntil([&] { return hostWindow.isVisible(); }));
        user.Click(OnGui([&] { return hostWindow.geometry().center(); }));
        ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == &hostWindow; }));
    });
    OpenWhenRunning(kPartlyReadableFileText);
    RunAsUser([this](XUser& user) {
        ASSERT_FALSE(MessageBoxWhenActive().empty());
        user.Key("Return");
        EXPECT_TRUE(WaitUntil(
            [this] { return EditorOpen() && QApplication::activeWindow() == m_hDialog; }));
        Shot("opened-over-host");
    });
}

TEST_F(NothingLostOnDesktop, TheCloseBoxAndAltF4AskBeforeEditsAreLost) {
    OpenSample();
    const std::string strBefore = FileBytes();
    RunAsUser([this](XUser& user) {
        user.Click(OnGui([this] { return CellOnScreen(0, 0).center(); }));
        user.Click(
            OnGui([this] { return OnScreen(Control(IDC_DELETE_VECTOR)).center(); }));  // Delete
        ASSERT_TRUE(WaitUntil([this] { return List()->rowCount() == 11; }));

        // The close box asks Save, Discard or Cancel; Escape cancels and the editor stays
        // with the edit.
        user.CloseBox(OnGui([this] { return m_hDialog->winId(); }));
        EXPECT_NE(MessageBoxWhenActive().find("Save them before the editor closes?"),
                  std::string::npos);
        Shot("save-discard-cancel-question");
        user.Key("Escape");
        ASSERT_TRUE(WaitUntil([this] { return MessageBoxText().empty(); }));
        EXPECT_TRUE(OnGui([this] { return EditorOpen() && List()->rowCount() == 11; }));
        EXPECT_TRUE(Notices().empty());

        // Alt+F4 asks as well; "Discard" drops the edit and closes.
        user.Key("alt+F4");
        ASSERT_TRUE(ClickMessageBoxButton(user, QMessageBox::Discard));
        ASSERT_TRUE(WaitUntil([this] { return !EditorOpen(); }));
    });
    EXPECT_EQ(Notices(), std::vector<WPARAM>{0});
    EXPECT_EQ(FileBytes(), strBefore);
}

TEST_F(NothingLostOnDesktop, SaveInTheCloseQuestionSavesAndCloses) {
    OpenSample();
    const std::string strBefore = FileBytes();
    RunAsUser([this](XUser& user) {
        user.Click(OnGui([this] { return CellOnScreen(0, 0).center(); }));
        user.Click(OnGui([this] { return OnScreen(Control(IDC_DELETE_VECTOR)).center(); }));
        ASSERT_TRUE(WaitUntil([this] { return List()->rowCount() == 11; }));
        user.CloseBox(OnGui([this] { return m_hDialog->winId(); }));
        ASSERT_TRUE(ClickMessageBoxButton(user, QMessageBox::Save));
        ASSERT_TRUE(WaitUntil([this] { return !EditorOpen(); }));
    });
    EXPECT_EQ(Notices(), std::vector<WPARAM>{1});
    // The file holds the deletion: one point fewer.
    const auto points = [](const std::string& strText) {
        int nPoints = 0;
        for (const auto& pSailPlan : ParsePolarFile(strText).aSailPlans) {
            for (const auto& pPolar : pSailPlan->m_aPolars) {
                nPoints += pPolar->GetVectorCount();
            }
        }
        return nPoints;
    };
    EXPECT_EQ(points(FileBytes()), points(strBefore) - 1);
}

// Smoothing shows its result and asks, writing nothing; Restore asks before unsaved edits go,
// and its default answer keeps them.
TEST_F(NothingLostOnDesktop, SmoothWritesNothingAndRestoreAsksFirst) {
    OpenSample();
    const std::string strBefore = FileBytes();
    RunAsUser([this, &strBefore](XUser& user) {
        const int nRows = OnGui([this] { return List()->rowCount(); });
        user.Click(OnGui([this] { return OnScreen(Control(IDC_SMOOTH)).center(); }));
        EXPECT_EQ(MessageBoxWhenActive(), "Keep smoothed data?");
        Shot("keep-smoothed");
        EXPECT_EQ(FileBytes(), strBefore);
        ASSERT_TRUE(ClickMessageBoxButton(user, QMessageBox::Yes));
        ASSERT_TRUE(WaitUntil([this] { return MessageBoxText().empty(); }));
        EXPECT_NE(OnGui([this] { return List()->rowCount(); }), nRows);
        EXPECT_EQ(FileBytes(), strBefore);

        user.Click(OnGui([this] { return OnScreen(Control(IDC_RESTORE)).center(); }));
        EXPECT_NE(MessageBoxWhenActive().find("Restore a data file and discard them?"),
                  std::string::npos);
        Shot("restore-question");
        user.Key("Return");  // No
        ASSERT_TRUE(WaitUntil([this] { return MessageBoxText().empty(); }));
        EXPECT_NE(OnGui([this] { return List()->rowCount(); }), nRows);
        EXPECT_TRUE(OnGui([] { return QApplication::activeModalWidget() == nullptr; }));
        Shot("restore-declined");
    });
    EXPECT_TRUE(Notices().empty());
    EXPECT_EQ(FileBytes(), strBefore);
}

}  // namespace
