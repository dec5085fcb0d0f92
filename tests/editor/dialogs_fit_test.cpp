// The dialogs as the editor makes them, in every language and under foreign desktop fonts:
// one font in every control, and no text cut off.
#include <QFontDatabase>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "framework/text_translation.h"
#include "resources/dialog_resources.h"
#include "tests/support/editor_fixture.h"
#include "tests/support/text_fit.h"

namespace {

std::string Sample() {
    std::ifstream in(POLAR_SAMPLE_FILE, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A language, and one of two desktop fonts unlike the dialogs' own (a serif one, and one with
// bigger per-class fonts for lists, headers and combo boxes, as desktop themes set them).
class DialogsFit : public EditorFixture, public testing::WithParamInterface<std::tuple<int, int>> {
  protected:
    void SetUp() override {
        m_previousFolder = std::filesystem::current_path();
        std::filesystem::current_path(POLAR_SHARE_DIR);  // the language files
        m_nLanguage = std::get<0>(GetParam());
        m_previousFont = QApplication::font();
        if (std::get<1>(GetParam()) == 0) {
            QApplication::setFont(QFont("DejaVu Serif", 13));
        } else {
            QApplication::setFont(QFont("DejaVu Sans", 9));
            for (const char* pszClass : {"QHeaderView", "QComboBox", "QAbstractItemView",
                                         "QComboMenuItem", "QLineEdit", "QGroupBox"}) {
                QApplication::setFont(QFont("DejaVu Sans Mono", 15), pszClass);
            }
        }
    }
    void TearDown() override {
        EditorFixture::TearDown();
        QApplication::setFont(m_previousFont);
        std::filesystem::current_path(m_previousFolder);
    }
    void Check(QWidget* pWindow, const DialogTemplate* pTemplate, const std::string& strWhat) {
        const std::string strWhere = strWhat + ", language " + std::to_string(m_nLanguage);
        for (const std::string& strWidget : WidgetsNotInFont(pWindow, DialogFont(*pTemplate))) {
            ADD_FAILURE() << strWhere << ": not in the dialog font: " << strWidget;
        }
        for (const std::string& strClipped : ClippedTexts(pWindow)) {
            ADD_FAILURE() << strWhere << ": " << strClipped;
        }
    }

    std::filesystem::path m_previousFolder;
    QFont m_previousFont;
};

TEST_P(DialogsFit, EveryDialogInOneFontWithNoTextCut) {
    Open(Sample());
    Check(m_hDialog, m_pEditor->m_pDialogTemplate, "editor");

    // The diagram's ring labels stay inside it wherever their ring is.
    const QRect client = m_pEditor->Graph()->GetSafeHwnd()->rect();
    ASSERT_FALSE(m_pEditor->Graph()->RingLabelRects().empty());
    for (const CRect& r : m_pEditor->Graph()->RingLabelRects()) {
        const QRect label(r.left, r.top, r.right - r.left, r.bottom - r.top);
        EXPECT_TRUE(!label.intersects(client) || client.contains(label))
            << "ring label at " << label.x() << "," << label.y() << " " << label.width() << "x"
            << label.height() << " cut by the diagram's edge, language " << m_nLanguage;
    }

    m_steps.push_back([this](CDialog* pDialog, GuiDriver& d) {
        Check(pDialog->GetSafeHwnd(), pDialog->GetTemplate(), "Sailplan");
        d.Click(IDCANCEL);
    });
    ASSERT_TRUE(Driver().Click(IDC_ADD_SAIL_PLAN));
    m_steps.push_back([this](CDialog* pDialog, GuiDriver& d) {
        Check(pDialog->GetSafeHwnd(), pDialog->GetTemplate(), "Wind speed");
        d.Click(IDCANCEL);
    });
    ASSERT_TRUE(Driver().Click(IDC_ADD_WIND_SPEED));
    m_steps.push_back([this](CDialog* pDialog, GuiDriver& d) {
        Check(pDialog->GetSafeHwnd(), pDialog->GetTemplate(), "cell editor");
        d.PressKey(Qt::Key_Escape);
    });
    ASSERT_TRUE(Driver().DoubleClickCell(IDC_VECTOR_LIST, 0, 0));
    EXPECT_TRUE(m_steps.empty());
}

INSTANTIATE_TEST_SUITE_P(LanguagesAndFonts, DialogsFit,
                         testing::Combine(testing::Values(44, 49, 33, 47, 34, 46),
                                          testing::Values(0, 1)));

// Messages in the user's language: the editor's own, and the framework's validation.
class TranslatedMessages : public EditorFixture {
  protected:
    void SetUp() override {
        m_previousFolder = std::filesystem::current_path();
        std::filesystem::current_path(POLAR_SHARE_DIR);
        m_nLanguage = 49;
    }
    void TearDown() override {
        EditorFixture::TearDown();
        std::filesystem::current_path(m_previousFolder);
    }
    std::filesystem::path m_previousFolder;
};

TEST_F(TranslatedMessages, AreShownInGerman) {
    Open(Sample());
    auto* pEdit = qobject_cast<QLineEdit*>(Driver().Control(IDC_TACKING_ANGLE));
    pEdit->clear();
    Driver().Type(IDC_TACKING_ANGLE, "abc");
    m_pInteraction->AnswerNextBox(IDOK);
    ASSERT_TRUE(Driver().FocusTo(IDC_WIND_SPEED_COMBO));  // the commit validates
    ASSERT_FALSE(m_pInteraction->Boxes().empty());
    EXPECT_EQ(m_pInteraction->Boxes().back().strText, "Bitte geben Sie eine Zahl ein.");
    EXPECT_EQ(m_pInteraction->Boxes().back().strCaption, "Ungültige Eingabe");
    pEdit->clear();
    Driver().Type(IDC_TACKING_ANGLE, "40");

    ASSERT_TRUE(Driver().Click(IDC_ADD_VECTOR));  // a change not saved
    m_pInteraction->AnswerNextBox(IDCANCEL);
    ASSERT_TRUE(Driver().Click(IDCANCEL));
    EXPECT_EQ(m_pInteraction->Boxes().back().strText,
              "Die Polaren haben Änderungen, die nicht gespeichert sind.\n"
              "Vor dem Schließen des Editors speichern?");
    EXPECT_EQ(m_pInteraction->Boxes().back().strCaption, "Polardiagramm");
    m_pInteraction->AnswerNextBox(IDNO);
    ASSERT_TRUE(Driver().Click(IDC_RESTORE));
    EXPECT_EQ(m_pInteraction->Boxes().back().strText,
              "Die Polaren haben Änderungen, die nicht gespeichert sind.\n"
              "Eine Datendatei wiederherstellen und die Änderungen verwerfen?");
    m_pInteraction->AnswerNextBox(IDNO);
    ::SendMessage(m_hDialog, WM_COMMAND, ID_POLAR_RELOAD, ID_POLAR_RELOAD);
    EXPECT_EQ(m_pInteraction->Boxes().back().strText,
              "Die Datendatei wurde außerhalb des Editors geändert. Sie laden und Ihre Änderungen "
              "verwerfen?");
    EXPECT_EQ(TranslateText("&Yes"), "&Ja");
    // The backup asks where to save, under a title of its own.
    m_pInteraction->CancelNextFileDialog();
    ASSERT_TRUE(Driver().Click(IDC_BACKUP));
    ASSERT_FALSE(m_pInteraction->FileRequests().empty());
    EXPECT_EQ(m_pInteraction->FileRequests().back().strTitle, "Die Polaren sichern");
    EXPECT_FALSE(m_pInteraction->FileRequests().back().bOpen);
    EXPECT_EQ(FormatText("Please enter a number between %1 and %2.", {"0", "180"}),
              "Bitte geben Sie eine Zahl zwischen 0 und 180 ein.");
}

}  // namespace
