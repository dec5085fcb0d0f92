// The editor in each of its languages on a real display: the cell editor over its cell, a
// number typed as the language writes it, the row kept, the unsaved mark, the close question's
// three answers, tool tips and the backup's save dialog. Screenshots of each step go where
// POLAR_DESKTOP_SHOTS says, for a person who reads the language to look at.
#include <QFileDialog>
#include <QToolTip>
#include <chrono>
#include <thread>

#include "resources/dialog_resources.h"
#include "tests/desktop/editor_on_display.h"
#include "tests/support/language_folder.h"

namespace {

class EveryLanguageOnDisplay : public EditorOnDisplay, public testing::WithParamInterface<int> {
  protected:
    void SetUp() override { m_nLanguage = GetParam(); }
    // The open file dialog, if one is.
    static QFileDialog* FileDialog() {
        return qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    }

    LanguageFolder m_folder;  // the language files
};

TEST_P(EveryLanguageOnDisplay, TheEditorAsAUserMeetsIt) {
    OpenSample();
    const std::string strBefore = FileBytes();
    const bool bComma = WritesDecimalComma(GetParam());
    RunAsUser([&](XUser& user) {
        // A tool tip, in the dialog's font.
        user.MoveTo(OnGui([this] { return OnScreen(Control(IDC_SAVE)).center(); }));
        ASSERT_TRUE(WaitUntil([] { return QToolTip::isVisible(); }, 8000));
        EXPECT_FALSE(OnGui([] { return QToolTip::text().isEmpty(); }));
        Shot("tool-tip");

        // The cell editor over its cell; a speed typed as the language writes it.
        OpenCellEditor(user, 1, 1);
        ExpectEditorOverCell(1, 1);
        Shot("cell-editor");
        user.Key("ctrl+a");
        user.Type(bComma ? "7,5" : "7.5");
        user.Key("Return");
        ASSERT_TRUE(WaitUntil([this] { return CellEditor() == nullptr && Cell(1, 1) == "7.50"; }))
            << OnGui([this] { return Cell(1, 1); });
        EXPECT_TRUE(OnGui([this] { return List()->currentRow() == 1; }));
        EXPECT_TRUE(OnGui([this] { return m_hDialog->windowTitle().startsWith("*"); }));
        Shot("typed-seven-and-a-half");

        // The close question offers Save, Discard and Cancel; Escape cancels.
        user.CloseBox(OnGui([this] { return m_hDialog->winId(); }));
        ASSERT_FALSE(MessageBoxWhenActive().empty());
        for (const auto button : {QMessageBox::Save, QMessageBox::Discard, QMessageBox::Cancel}) {
            EXPECT_NE(OnGui([&] { return MessageBoxButton(button); }), QPoint(-1, -1)) << button;
        }
        Shot("close-question");
        user.Key("Escape");
        ASSERT_TRUE(WaitUntil([this] { return MessageBoxText().empty() && EditorOpen(); }));

        // Backup asks where to save, in a dialog made for saving.
        user.Click(OnGui([this] { return OnScreen(Control(IDC_BACKUP)).center(); }));
        ASSERT_TRUE(WaitUntil([] { return FileDialog() != nullptr && FileDialog()->isVisible(); }));
        EXPECT_TRUE(OnGui([] { return FileDialog()->acceptMode() == QFileDialog::AcceptSave; }));
        // Its file type in the language too.
        EXPECT_EQ(OnGui([] { return FileDialog()->selectedNameFilter(); }) == "Polar Files (*.ppd)",
                  GetParam() == 44);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        Shot("backup-dialog");
        user.Key("Escape");
        ASSERT_TRUE(WaitUntil([] { return FileDialog() == nullptr; }));

        user.CloseBox(OnGui([this] { return m_hDialog->winId(); }));
        ASSERT_TRUE(ClickMessageBoxButton(user, QMessageBox::Discard));
        ASSERT_TRUE(WaitUntil([this] { return !EditorOpen(); }));
    });
    EXPECT_EQ(FileBytes(), strBefore);
    EXPECT_EQ(Notices(), std::vector<WPARAM>{0});
}

INSTANTIATE_TEST_SUITE_P(Languages, EveryLanguageOnDisplay,
                         testing::Values(44, 49, 33, 34, 47, 46));

}  // namespace
