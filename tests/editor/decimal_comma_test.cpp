// Numbers typed with a decimal comma where the interface language writes one, in every numeric
// field of the editor; English keeps the comma as what ends a number. The file keeps its points.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "editor/text_values.h"
#include "framework/dialog.h"
#include "tests/support/editor_fixture.h"
#include "tests/support/language_folder.h"

namespace {

constexpr const char* kTwoWinds = "Main,\r\n5,45,\r\n30,4,60,5,90,6,-1\r\n10,42,\r\n40,6,-2";

std::string FileText(const std::string& strPath) {
    std::ifstream in(strPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class DecimalComma : public EditorFixture, public testing::WithParamInterface<int> {
  protected:
    void SetUp() override { m_nLanguage = GetParam(); }

    const PERF_POLAR& PolarAt(int nSailPlan, int nPolar) {
        return *m_pEditor->SailPlans()[static_cast<std::size_t>(nSailPlan)]
                    ->m_aPolars[static_cast<std::size_t>(nPolar)];
    }

    LanguageFolder m_folder;  // the language files
};

TEST_P(DecimalComma, IsReadInEveryNumericFieldAndSavedWithAPoint) {
    Open(kTwoWinds);

    Retype(IDC_TACKING_ANGLE, "7,5");
    Driver().PressKey(Qt::Key_Return);
    EXPECT_EQ(PolarAt(0, 0).m_fTackingAngle, 7.5f);

    m_steps.push_back([](CDialog*, GuiDriver& d) {
        SetText(d, IDC_CELL_EDIT, "7,5");
        d.PressKey(Qt::Key_Return);
    });
    ASSERT_TRUE(Driver().DoubleClickCell(IDC_VECTOR_LIST, 0, 1));
    EXPECT_EQ(PolarAt(0, 0).m_aVectors[0]->m_fSpeed, 7.5f);
    EXPECT_EQ(Column(1)[0], "7.50");

    m_steps.push_back([](CDialog*, GuiDriver& d) {
        d.Type(IDC_NEW_WIND_SPEED, "7,5");
        SetText(d, IDC_NEW_WIND_SPEED_TACKING_ANGLE, "38,5");
        d.PressKey(Qt::Key_Return);
    });
    ASSERT_TRUE(Driver().Click(IDC_ADD_WIND_SPEED));
    EXPECT_EQ(WindSpeeds(0), (std::vector<float>{5, 7.5f, 10}));
    EXPECT_EQ(Entries(IDC_WIND_SPEED_COMBO), (std::vector<std::string>{"5.00", "7.50", "10.00"}));
    EXPECT_EQ(PolarAt(0, 1).m_fTackingAngle, 38.5f);

    Driver().Activate();                   // offscreen, a closed dialog leaves no window active
    Retype(IDC_WIND_SPEED_COMBO, "12,5");  // the 7.5 kn polar, typed over
    Driver().PressKey(Qt::Key_Return);
    EXPECT_EQ(WindSpeeds(0), (std::vector<float>{5, 10, 12.5f}));

    m_steps.push_back([](CDialog*, GuiDriver& d) {
        d.Type(IDC_SAIL_PLAN_NAME, "Light");
        SetText(d, IDC_BAND_INTERVAL, "2,5");
        SetText(d, IDC_BAND_MINIMUM, "5,0");
        SetText(d, IDC_BAND_MAXIMUM, "10");
        SetText(d, IDC_SAIL_PLAN_TACKING_ANGLE, "40,5");
        d.Click(IDOK);
    });
    ASSERT_TRUE(Driver().Click(IDC_ADD_SAIL_PLAN));
    ASSERT_EQ(m_pEditor->SailPlans()[0]->m_strName, "Light");
    EXPECT_EQ(WindSpeeds(0), (std::vector<float>{5, 7.5f, 10}));
    EXPECT_EQ(PolarAt(0, 1).m_fTackingAngle, 40.5f);

    EXPECT_TRUE(m_pInteraction->Boxes().empty());
    ASSERT_TRUE(Driver().Click(IDC_SAVE));
    const std::string strSaved = FileText(m_strFile);
    EXPECT_NE(strSaved.find("Main,\r\n5.00,7.50,\r\n30.00,7.50,"), std::string::npos) << strSaved;
    EXPECT_NE(strSaved.find("\r\n12.50,38.50,"), std::string::npos) << strSaved;
    EXPECT_NE(strSaved.find("Light,\r\n5.00,40.50,"), std::string::npos) << strSaved;
    EXPECT_NE(strSaved.find("\r\n7.50,40.50,"), std::string::npos) << strSaved;
    EXPECT_EQ(strSaved.find("7,5"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Languages, DecimalComma, testing::Values(49, 33, 34, 47, 46));

// In English a comma ends the number, as it always has: the strict fields refuse "7,5", the
// fields read like atof take the 7.
using DecimalCommaInEnglish = EditorFixture;

TEST_F(DecimalCommaInEnglish, IsNoDecimalSeparator) {
    Open(kTwoWinds);

    Retype(IDC_TACKING_ANGLE, "7,5");
    m_pInteraction->AnswerNextBox(IDOK);
    Driver().PressKey(Qt::Key_Return);
    EXPECT_EQ(m_pEditor->SailPlans()[0]->m_aPolars[0]->m_fTackingAngle, 45.0f);
    ASSERT_EQ(m_pInteraction->Boxes().size(), 1u);
    EXPECT_EQ(m_pInteraction->Boxes()[0].strText, "Please enter a number.");
    Retype(IDC_TACKING_ANGLE, "45");

    m_steps.push_back([this](CDialog* pDialog, GuiDriver& d) {
        SetText(d, IDC_CELL_EDIT, "7,5");
        m_pInteraction->AnswerNextBox(IDOK);
        d.PressKey(Qt::Key_Return);
        EXPECT_TRUE(pDialog->GetSafeHwnd()->isVisible());
        d.PressKey(Qt::Key_Escape);
    });
    ASSERT_TRUE(Driver().DoubleClickCell(IDC_VECTOR_LIST, 0, 1));
    EXPECT_EQ(Column(1)[0], "4.00");
    ASSERT_EQ(m_pInteraction->Boxes().size(), 2u);
    EXPECT_EQ(m_pInteraction->Boxes()[1].strText, "Please enter a number.");

    m_steps.push_back([](CDialog*, GuiDriver& d) {
        d.Type(IDC_NEW_WIND_SPEED, "7,5");
        SetText(d, IDC_NEW_WIND_SPEED_TACKING_ANGLE, "38,5");
        d.PressKey(Qt::Key_Return);
    });
    ASSERT_TRUE(Driver().Click(IDC_ADD_WIND_SPEED));
    EXPECT_EQ(WindSpeeds(0), (std::vector<float>{5, 7, 10}));
    EXPECT_EQ(m_pEditor->SailPlans()[0]->m_aPolars[1]->m_fTackingAngle, 38.0f);

    Driver().Activate();
    Retype(IDC_WIND_SPEED_COMBO, "12,5");
    Driver().PressKey(Qt::Key_Return);
    EXPECT_EQ(WindSpeeds(0), (std::vector<float>{5, 10, 12}));
    EXPECT_EQ(m_pInteraction->Boxes().size(), 2u);
}

// The atof-like reading follows the same setting as the dialogs' strict one.
TEST(TypedNumbers, ReadTheDecimalCommaWithTheDialogs) {
    const bool bBefore = SetDecimalComma(true);
    float f = 0;
    EXPECT_TRUE(ReadLeadingNumber(" 12,5 kn", f));
    EXPECT_EQ(f, 12.5f);
    EXPECT_EQ(Atof("7.25"), 7.25f);
    SetDecimalComma(false);
    EXPECT_EQ(Atof("12,5 kn"), 12.0f);
    EXPECT_FALSE(ReadLeadingNumber(",5", f));
    SetDecimalComma(bBefore);
}

}  // namespace
