#include <gtest/gtest.h>

#include <QLineEdit>

#include "framework/dialog.h"
#include "tests/support/angle_dialog.h"
#include "tests/support/gui_driver.h"

namespace {

TEST(DialogFloat, FormatsLikePercentG) {
    EXPECT_EQ(FormatDialogFloat(45.0f), "45");
    EXPECT_EQ(FormatDialogFloat(37.5f), "37.5");
    EXPECT_EQ(FormatDialogFloat(-1.0f), "-1");
    EXPECT_EQ(FormatDialogFloat(0.0), "0");
    EXPECT_EQ(FormatDialogFloat(1234567.0), "1.23457e+06");
}

TEST(DialogFloat, ReadsOnlyStrictDecimalNumbers) {
    double d = -1;
    EXPECT_TRUE(ParseDialogFloat("  42.5\t", d));
    EXPECT_EQ(d, 42.5);
    EXPECT_TRUE(ParseDialogFloat("1e2", d));
    EXPECT_EQ(d, 100.0);
    EXPECT_TRUE(ParseDialogFloat("-.5", d));
    EXPECT_EQ(d, -0.5);
    EXPECT_TRUE(ParseDialogFloat("0", d));
    for (const char* bad : {"", "  ", "abc", "1e", "12x", "1,5", ".", "inf", "nan", "+", ".0"}) {
        EXPECT_FALSE(ParseDialogFloat(bad, d)) << bad;
    }
}

// Where the interface language writes a decimal comma, the comma reads as the point does and
// the point still reads; without it, a comma stays what ends a number.
TEST(DialogFloat, ReadsADecimalCommaOnlyWhereTheLanguageWritesOne) {
    double d = -1;
    const bool bBefore = SetDecimalComma(true);
    EXPECT_TRUE(ParseDialogFloat(" 7,5 ", d));
    EXPECT_EQ(d, 7.5);
    EXPECT_TRUE(ParseDialogFloat("7.25", d));
    EXPECT_EQ(d, 7.25);
    EXPECT_TRUE(ParseDialogFloat("-,5", d));
    EXPECT_EQ(d, -0.5);
    for (const char* bad : {"1,5,3", "1.000,5", ",", "7,5 kn"}) {
        EXPECT_FALSE(ParseDialogFloat(bad, d)) << bad;
    }
    EXPECT_EQ(WithDecimalPoint("12,5 kn"), "12.5 kn");
    EXPECT_TRUE(SetDecimalComma(false));
    EXPECT_FALSE(ParseDialogFloat("7,5", d));
    EXPECT_EQ(WithDecimalPoint("12,5 kn"), "12,5 kn");
    SetDecimalComma(bBefore);
}

DialogTemplate ValueTemplate() {
    DialogTemplate t{501, 0x0409, WS_POPUP | WS_CAPTION, 120, 40, "Value", "MS Sans Serif", 8, {}};
    t.items = {
        {20, ControlClass::Edit, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP, 5, 5, 50, 12, ""},
        {21, ControlClass::Edit, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP, 60, 5, 50, 12,
         ""}};
    return t;
}

class DataExchange : public testing::Test {
  protected:
    void SetUp() override {
        m_pInteraction = &ScriptedInteraction::Install();
        m_dialog.CreateIndirect(&m_template);
        GuiDriver(m_dialog.GetSafeHwnd()).Activate();
    }
    void TearDown() override { ScriptedInteraction::Uninstall(); }
    QLineEdit* Edit() {
        return qobject_cast<QLineEdit*>(GuiDriver(m_dialog.GetSafeHwnd()).Control(20));
    }

    DialogTemplate m_template = ValueTemplate();
    AngleDialog m_dialog{&m_template, 20};
    ScriptedInteraction* m_pInteraction = nullptr;
};

TEST_F(DataExchange, ShowsTheValueAndReadsItBack) {
    EXPECT_EQ(Edit()->text(), "45");
    Edit()->setText("37.5");
    EXPECT_TRUE(m_dialog.UpdateData(TRUE));
    EXPECT_EQ(m_dialog.m_fAngle, 37.5f);
    EXPECT_TRUE(m_pInteraction->Boxes().empty());
}

TEST_F(DataExchange, TextThatIsNoNumberKeepsTheValueAndTellsTheUser) {
    for (const char* text : {"", "abc", "1e"}) {
        m_pInteraction->AnswerNextBox(IDOK);
        Edit()->setText(text);
        GuiDriver(m_dialog.GetSafeHwnd()).FocusTo(21);
        EXPECT_FALSE(m_dialog.UpdateData(TRUE)) << text;
        EXPECT_EQ(m_dialog.m_fAngle, 45.0f);
        EXPECT_EQ(m_pInteraction->Boxes().back().strText, "Please enter a number.");
        EXPECT_TRUE(Edit()->hasFocus());  // the focus is back on the field
    }
}

TEST_F(DataExchange, AnOutOfRangeNumberIsStoredButRefusedWithTheRange) {
    m_pInteraction->AnswerNextBox(IDOK);
    Edit()->setText("181");
    EXPECT_FALSE(m_dialog.UpdateData(TRUE));
    EXPECT_EQ(m_dialog.m_fAngle, 181.0f);
    EXPECT_EQ(m_pInteraction->Boxes().back().strText, "Please enter a number between 0 and 180.");
    m_pInteraction->AnswerNextBox(IDOK);
    Edit()->setText("-0.5");
    EXPECT_FALSE(m_dialog.UpdateData(TRUE));
}

}  // namespace
