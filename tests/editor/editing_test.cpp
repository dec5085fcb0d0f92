#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <deque>
#include <functional>

#include "data/number_text.h"
#include "data/polar_file.h"
#include "diagram/geometry.h"
#include "editor/polar_dialog.h"
#include "tests/support/editor_fixture.h"

namespace {

using Editing = EditorFixture;

constexpr const char* kFourWinds =
    "Main,\r\n5,45,\r\n30,4,60,5,90,6,120,5.5,-1\r\n10,42,\r\n40,6,-1\r\n15,40,\r\n40,7,-1\r\n20,"
    "40,\r\n40,7.5,-2";

TEST_F(Editing, AddingASailPlanWithTheDefaultBand) {
    Open(kFourWinds);
    const QString strTitle = m_hDialog->windowTitle();
    m_steps.push_back([](CDialog*, GuiDriver& d) {
        EXPECT_FALSE(d.Control(IDOK)->isEnabled());  // no name yet
        EXPECT_EQ(qobject_cast<QLineEdit*>(d.Control(IDC_BAND_MAXIMUM))->text(), "35.0");
        d.Type(IDC_SAIL_PLAN_NAME, "Zulu, light");
        EXPECT_TRUE(d.Control(IDOK)->isEnabled());
        d.Click(IDOK);
    });
    ASSERT_TRUE(Driver().Click(IDC_ADD_SAIL_PLAN));
    EXPECT_EQ(Entries(IDC_SAIL_PLAN_COMBO),
              (std::vector<std::string>{"Zulu light", "Main"}));  // at the top
    EXPECT_EQ(
        Entries(IDC_WIND_SPEED_COMBO),
        (std::vector<std::string>{"5.00", "10.00", "15.00", "20.00", "25.00", "30.00", "35.00"}));
    EXPECT_EQ(Combo(IDC_WIND_SPEED_COMBO)->currentIndex(), 6);
    EXPECT_EQ(m_pEditor->CurrentWindSpeed(), 6);
    EXPECT_EQ(List()->rowCount(), 0);
    EXPECT_EQ(m_pEditor->SailPlans()[0]->m_aPolars[3]->m_fTackingAngle, 45.0f);
    // The same title as before, marked with a change not saved yet.
    EXPECT_EQ(strTitle, "Polar Diagram");
    EXPECT_EQ(m_hDialog->windowTitle(), "*" + strTitle);
}

TEST_F(Editing, AnEmptyBandMakesASailPlanWithoutPolarsAndABadIntervalIsRefused) {
    Open(kFourWinds);
    m_steps.push_back([this](CDialog*, GuiDriver& d) {
        d.Type(IDC_SAIL_PLAN_NAME, "Storm");
        SetText(d, IDC_BAND_INTERVAL, "0");
        m_pInteraction->AnswerNextBox(IDOK);
        d.Click(IDOK);  // refused: the dialog stays
        EXPECT_TRUE(d.Control(IDOK)->isVisible());
        SetText(d, IDC_BAND_MINIMUM, "40");
        d.Click(IDOK);  // minimum above maximum: no loop at all
    });
    ASSERT_TRUE(Driver().Click(IDC_ADD_SAIL_PLAN));
    EXPECT_NE(m_pInteraction->Boxes().front().strText.find("interval"), std::string::npos);
    EXPECT_EQ(Combo(IDC_WIND_SPEED_COMBO)->count(), 0);
    EXPECT_FALSE(Driver().Control(IDC_TACKING_ANGLE)->isEnabled());
    EXPECT_FALSE(Driver().Control(IDC_DELETE_WIND_SPEED)->isEnabled());
    ASSERT_EQ(m_pEditor->SailPlans()[0]->m_strName, "Storm");
    EXPECT_EQ(m_pEditor->SailPlans()[0]->GetPolarCount(), 0);
    // A point cannot be added without a wind speed: its button follows the data, and a
    // wind speed can still be added.
    EXPECT_FALSE(Driver().Control(IDC_ADD_VECTOR)->isEnabled());
    EXPECT_TRUE(Driver().Control(IDC_ADD_WIND_SPEED)->isEnabled());
}

TEST_F(Editing, WindSpeedsGoToTheirPlace) {
    Open(kFourWinds);
    m_steps.push_back([](CDialog*, GuiDriver& d) {
        d.Type(IDC_NEW_WIND_SPEED, "12");
        d.PressKey(Qt::Key_Return);
    });
    ASSERT_TRUE(Driver().Click(IDC_ADD_WIND_SPEED));
    EXPECT_EQ(Entries(IDC_WIND_SPEED_COMBO),
              (std::vector<std::string>{"5.00", "10.00", "12.00", "15.00", "20.00"}));
    EXPECT_EQ(m_pEditor->CurrentWindSpeed(), 2);
    EXPECT_EQ(qobject_cast<QLineEdit*>(Driver().Control(IDC_TACKING_ANGLE))->text(), "45.00");
    EXPECT_EQ(List()->rowCount(), 0);
    EXPECT_EQ(WindSpeeds(0), (std::vector<float>{5, 10, 12, 15, 20}));

    m_steps.push_back([](CDialog*, GuiDriver& d) {
        d.Type(IDC_NEW_WIND_SPEED, "10");
        d.PressKey(Qt::Key_Return);
    });
    ASSERT_TRUE(Driver().Click(IDC_ADD_WIND_SPEED));
    EXPECT_EQ(m_pEditor->CurrentWindSpeed(), 1);  // before the existing 10.00

    ASSERT_TRUE(Driver().Click(IDC_DELETE_WIND_SPEED));  // delete it: the one above becomes current
    EXPECT_EQ(Entries(IDC_WIND_SPEED_COMBO),
              (std::vector<std::string>{"5.00", "10.00", "12.00", "15.00", "20.00"}));
    EXPECT_EQ(m_pEditor->CurrentWindSpeed(), 0);
}

// An empty wind speed would add a polar at 0 knots without points: refused, as text that is
// no number is; the dialog stays open with the focus on the field.
TEST_F(Editing, TheWindSpeedDialogRefusesAnEmptyFieldAndText) {
    Open(kFourWinds);
    m_steps.push_back([this](CDialog*, GuiDriver& d) {
        m_pInteraction->AnswerNextBox(IDOK);
        ASSERT_TRUE(d.FocusTo(IDC_NEW_WIND_SPEED_TACKING_ANGLE));
        d.PressKey(Qt::Key_Return);  // the wind speed empty
        EXPECT_TRUE(d.Control(IDOK)->isVisible());
        EXPECT_EQ(QApplication::focusWidget(), d.Control(IDC_NEW_WIND_SPEED));
        m_pInteraction->AnswerNextBox(IDOK);
        d.Type(IDC_NEW_WIND_SPEED, "abc");
        d.PressKey(Qt::Key_Return);
        EXPECT_TRUE(d.Control(IDOK)->isVisible());
        SetText(d, IDC_NEW_WIND_SPEED, "12 kn");
        d.PressKey(Qt::Key_Return);
    });
    ASSERT_TRUE(Driver().Click(IDC_ADD_WIND_SPEED));
    ASSERT_EQ(m_pInteraction->Boxes().size(), 2u);
    for (const auto& box : m_pInteraction->Boxes()) {
        EXPECT_EQ(box.strText, "Please enter a number.");
        EXPECT_EQ(box.strCaption, "Invalid entry");
    }
    EXPECT_EQ(WindSpeeds(0), (std::vector<float>{5, 10, 12, 15, 20}));
}

TEST_F(Editing, TypedWindSpeedsAndNamesAreCommittedAndResorted) {
    Open(
        "B,\r\n5,45,\r\n40,4,-1\r\n10,42,\r\n40,6,-1\r\n15,40,\r\n40,7,-1\r\n20,40,\r\n40,7.5,-"
        "2\r\nA,\r\n8,40,-2");
    ASSERT_EQ(Combo(IDC_WIND_SPEED_COMBO)->currentText(), "5.00");
    auto* pEdit = Combo(IDC_WIND_SPEED_COMBO)->lineEdit();
    pEdit->clear();
    Driver().Type(IDC_WIND_SPEED_COMBO, "12");
    Driver().PressKey(Qt::Key_Return);
    EXPECT_EQ(Entries(IDC_WIND_SPEED_COMBO),
              (std::vector<std::string>{"10.00", "12", "15.00", "20.00"}));
    EXPECT_EQ(Combo(IDC_WIND_SPEED_COMBO)->currentIndex(), 1);
    EXPECT_EQ(WindSpeeds(m_pEditor->CurrentSailPlanIndex()), (std::vector<float>{10, 12, 15, 20}));
    // The Enter above also committed the sail plan's name: B moved after A.
    EXPECT_EQ(Entries(IDC_SAIL_PLAN_COMBO), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(m_pEditor->CurrentSailPlanIndex(), 1);
    Combo(IDC_SAIL_PLAN_COMBO)->lineEdit()->clear();
    Driver().Type(IDC_SAIL_PLAN_COMBO, "C,D");
    Driver().FocusTo(IDC_TACKING_ANGLE);  // leaving the field commits
    EXPECT_EQ(m_pEditor->SailPlans()[1]->m_strName, "CD");
}

TEST_F(Editing, CellsAreEditedInPlaceAndRowsKeepTheirOrder) {
    Open(kFourWinds);
    ASSERT_EQ(Column(0), (std::vector<std::string>{"30.00", "60.00", "90.00", "120.00"}));
    m_steps.push_back([](CDialog*, GuiDriver& d) {
        SetText(d, IDC_CELL_EDIT, "95");
        d.PressKey(Qt::Key_Return);
    });
    ASSERT_TRUE(Driver().DoubleClickCell(IDC_VECTOR_LIST, 1, 0));
    EXPECT_EQ(Column(0), (std::vector<std::string>{"30.00", "90.00", "95.00", "120.00"}));
    const auto& points = m_pEditor->SailPlans()[0]->m_aPolars[0]->m_aVectors;
    EXPECT_EQ(points[2]->m_fAngle, 95.0f);
    EXPECT_EQ(points[2]->m_fSpeed, 5.0f);

    // Out of range: Enter is refused with the range message; a click outside stores the limit.
    m_steps.push_back([this](CDialog* pDialog, GuiDriver& d) {
        SetText(d, IDC_CELL_EDIT, "150");
        m_pInteraction->AnswerNextBox(IDOK);
        d.PressKey(Qt::Key_Return);
        EXPECT_TRUE(pDialog->GetSafeHwnd()->isVisible());
        m_pInteraction->AnswerNextBox(IDOK);  // the click validates too
        QTest::mouseClick(pDialog->GetSafeHwnd(), Qt::LeftButton, Qt::NoModifier, QPoint(-40, 300));
    });
    ASSERT_TRUE(Driver().DoubleClickCell(IDC_VECTOR_LIST, 0, 1));
    EXPECT_EQ(Column(1)[0], "100.00");
    EXPECT_NE(m_pInteraction->Boxes().front().strText.find("between 0 and 100"), std::string::npos);

    // 200 for an angle: Enter shows the range message, a click elsewhere stores 180.00.
    m_steps.push_back([this](CDialog* pDialog, GuiDriver& d) {
        SetText(d, IDC_CELL_EDIT, "200");
        m_pInteraction->AnswerNextBox(IDOK);
        d.PressKey(Qt::Key_Return);
        EXPECT_TRUE(pDialog->GetSafeHwnd()->isVisible());
        m_pInteraction->AnswerNextBox(IDOK);
        QTest::mouseClick(pDialog->GetSafeHwnd(), Qt::LeftButton, Qt::NoModifier, QPoint(-40, 300));
    });
    ASSERT_TRUE(Driver().DoubleClickCell(IDC_VECTOR_LIST, 3, 0));
    EXPECT_EQ(Column(0)[3], "180.00");
    EXPECT_EQ(points[3]->m_fAngle, 180.0f);

    // The same value again changes nothing.
    m_steps.push_back([](CDialog*, GuiDriver& d) {
        SetText(d, IDC_CELL_EDIT, "30");
        d.PressKey(Qt::Key_Return);
    });
    ASSERT_TRUE(Driver().DoubleClickCell(IDC_VECTOR_LIST, 0, 0));
    EXPECT_EQ(Column(0), (std::vector<std::string>{"30.00", "90.00", "95.00", "180.00"}));

    // Escape leaves the cell as it was.
    m_steps.push_back([](CDialog*, GuiDriver& d) {
        SetText(d, IDC_CELL_EDIT, "12");
        d.PressKey(Qt::Key_Escape);
    });
    ASSERT_TRUE(Driver().DoubleClickCell(IDC_VECTOR_LIST, 3, 0));
    EXPECT_EQ(Column(0)[3], "180.00");
}

TEST_F(Editing, ASessionLeavesAFileThatReadsBackToWhatTheDialogShows) {
    Open(kFourWinds);
    m_steps.push_back([](CDialog*, GuiDriver& d) {
        d.Type(IDC_NEW_WIND_SPEED, "25");
        SetText(d, IDC_NEW_WIND_SPEED_TACKING_ANGLE, "38");
        d.PressKey(Qt::Key_Return);
    });
    ASSERT_TRUE(Driver().Click(IDC_ADD_WIND_SPEED));               // a 25 kn polar, current
    ASSERT_TRUE(Driver().DoubleClickCell(IDC_VECTOR_LIST, 0, 0));  // the empty list: a point "0.0"
    m_steps.push_back([](CDialog*, GuiDriver& d) {
        SetText(d, IDC_CELL_EDIT, "52");
        d.PressKey(Qt::Key_Return);
    });
    ASSERT_TRUE(Driver().DoubleClickCell(IDC_VECTOR_LIST, 0, 0));
    m_steps.push_back([](CDialog*, GuiDriver& d) {
        SetText(d, IDC_CELL_EDIT, "7.25");
        d.PressKey(Qt::Key_Return);
    });
    ASSERT_TRUE(Driver().DoubleClickCell(IDC_VECTOR_LIST, 0, 1));
    // Drag that point in the diagram a little further out.
    DragPoint(52, 7.25f, QPoint(6, -3));
    // Delete the first point of the 5 kn polar.
    ASSERT_TRUE(Driver().PickEntry(IDC_WIND_SPEED_COMBO, 0));
    ASSERT_TRUE(Driver().ClickCell(IDC_VECTOR_LIST, 0, 0));
    ASSERT_TRUE(Driver().Click(IDC_DELETE_VECTOR));
    ASSERT_TRUE(Driver().Click(IDC_SAVE));  // Save

    const std::vector<std::string> shown = Column(0);
    PolarFileContents contents;
    ASSERT_TRUE(LoadPolarFile(m_strFile, contents).Ok());
    ASSERT_FALSE(contents.stop);
    ASSERT_EQ(contents.aSailPlans.size(), 1u);
    const SAILPLAN& read = *contents.aSailPlans[0];
    ASSERT_EQ(read.GetPolarCount(), 5);
    EXPECT_EQ(read.m_aPolars[4]->m_fWindSpeed, 25.0f);
    EXPECT_EQ(read.m_aPolars[4]->m_fTackingAngle, 38.0f);
    ASSERT_EQ(read.m_aPolars[4]->GetVectorCount(), 1);
    const auto& dragged = *m_pEditor->SailPlans()[0]->m_aPolars[4]->m_aVectors[0];
    EXPECT_NE(dragged.m_fSpeed, 7.25f);  // the drag moved it
    EXPECT_EQ(FormatFixed2(read.m_aPolars[4]->m_aVectors[0]->m_fSpeed),
              FormatFixed2(dragged.m_fSpeed));
    ASSERT_EQ(read.m_aPolars[0]->GetVectorCount(), 3);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(FormatFixed2(read.m_aPolars[0]->m_aVectors[i]->m_fAngle), shown[i]);
    }
    // A reload shows the same.
    SendMessage(m_hDialog, WM_COMMAND, ID_POLAR_RELOAD, ID_POLAR_RELOAD);
    EXPECT_EQ(Entries(IDC_WIND_SPEED_COMBO),
              (std::vector<std::string>{"5.00", "10.00", "15.00", "20.00", "25.00"}));
    EXPECT_EQ(Column(0), shown);
}

TEST_F(Editing, PointsAreAddedAndDeleted) {
    Open(kFourWinds);
    ASSERT_TRUE(Driver().Click(IDC_ADD_VECTOR));
    EXPECT_EQ(Column(0).front(), "0.0");
    EXPECT_EQ(m_pEditor->SailPlans()[0]->m_aPolars[0]->GetVectorCount(), 5);
    Combo(IDC_WIND_SPEED_COMBO)->showPopup();
    ASSERT_TRUE(Driver().PickEntry(IDC_WIND_SPEED_COMBO, 1));  // the 10 kn polar has one point
    ASSERT_EQ(List()->rowCount(), 1);
    ASSERT_TRUE(Driver().ClickCell(IDC_VECTOR_LIST, 0, 0));
    ASSERT_TRUE(Driver().Click(IDC_DELETE_VECTOR));
    EXPECT_EQ(List()->rowCount(), 0);
    EXPECT_FALSE(Driver().Control(IDC_DELETE_VECTOR)->isEnabled());
    // Double-clicking the empty list adds a point at the top.
    ASSERT_TRUE(Driver().DoubleClickCell(IDC_VECTOR_LIST, 0, 0));
    EXPECT_EQ(List()->rowCount(), 1);
    EXPECT_TRUE(Driver().Control(IDC_DELETE_VECTOR)->isEnabled());
}

TEST_F(Editing, TheTitleMarksUnsavedChangesAndTheReadOutGoesWithTheMouse) {
    Open(kFourWinds);
    const QString strCaption = m_hDialog->windowTitle();
    ASSERT_FALSE(strCaption.startsWith("*"));
    ASSERT_TRUE(Driver().Click(IDC_ADD_VECTOR));
    EXPECT_EQ(m_hDialog->windowTitle(), "*" + strCaption);

    // The read-out replaces the caption while the mouse is over the diagram, still marked.
    QWidget* pGraph = Diagram();
    GuiDriver::Move(pGraph, QPoint(pGraph->width() * 3 / 4, pGraph->height() / 2), false);
    EXPECT_TRUE(m_hDialog->windowTitle().startsWith("*POLAR DIAGRAM  angle "))
        << m_hDialog->windowTitle().toStdString();
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(pGraph, &leave);
    EXPECT_EQ(m_hDialog->windowTitle(), "*" + strCaption);

    // Saved: the mark goes, in the read-out too.
    ASSERT_TRUE(Driver().Click(IDC_SAVE));
    EXPECT_EQ(m_hDialog->windowTitle(), strCaption);
    GuiDriver::Move(pGraph, QPoint(pGraph->width() * 3 / 4, pGraph->height() / 3), false);
    EXPECT_TRUE(m_hDialog->windowTitle().startsWith("POLAR DIAGRAM  angle "));
    QApplication::sendEvent(pGraph, &leave);
    EXPECT_EQ(m_hDialog->windowTitle(), strCaption);

    // A drag in the diagram marks it again once the button is released.
    ASSERT_TRUE(Driver().ClickCell(IDC_VECTOR_LIST, 1, 0));
    DragPoint(30, 4, QPoint(6, -3));
    QApplication::sendEvent(pGraph, &leave);
    EXPECT_EQ(m_hDialog->windowTitle(), "*" + strCaption);
}

}  // namespace
