// Qt's own texts in the file dialogs follow the editor's language while it is open, and go
// back when it closes: the host's own dialogs are the host's again.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "tests/support/editor_fixture.h"
#include "tests/support/language_folder.h"

namespace {

class StandardTextsOfQt : public EditorFixture, public testing::WithParamInterface<int> {
  protected:
    void SetUp() override { m_nLanguage = GetParam(); }
    static QString FilesOfType() {
        return QCoreApplication::translate("QFileDialog", "Files of type:");
    }
    LanguageFolder m_folder;  // the language files
};

TEST_P(StandardTextsOfQt, FileDialogsSpeakTheEditorsLanguageWhileItIsOpen) {
    ASSERT_EQ(FilesOfType(), "Files of type:");
    Open("Main,\r\n8,42,\r\n40,5,-2");
    if (GetParam() == 44) {
        EXPECT_EQ(FilesOfType(), "Files of type:");
    } else {
        EXPECT_NE(FilesOfType(), "Files of type:")
            << "no catalogue of Qt's texts for " << GetParam();
    }
    m_pEditor->SendMessage(WM_COMMAND, IDCANCEL, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(m_nFlag, 0);
    EXPECT_EQ(FilesOfType(), "Files of type:");
}

// Norwegian has no catalogue of Qt's texts in Debian (only Nynorsk): its file dialogs keep
// Qt's English labels.
INSTANTIATE_TEST_SUITE_P(Languages, StandardTextsOfQt, testing::Values(44, 49, 33, 34, 46));

}  // namespace
