// The editor on a real display: what only a window system shows (where windows appear, which
// window a click or a key reaches), driven by real input through the X server.
#include <QAbstractItemView>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <chrono>
#include <cmath>
#include <sstream>
#include <thread>

#include "data/number_text.h"
#include "data/polar_file.h"
#include "framework/custom_window.h"
#include "tests/desktop/dense_screen.h"
#include "tests/desktop/editor_on_display.h"

namespace {

using EditorDesktop = EditorOnDisplay;

// A polar with more points than the list shows at once.
std::string ManyPoints() {
    std::ostringstream text;
    text << "Long,\r\n10.00,42.00,\r\n";
    for (int i = 0; i < 40; ++i) {
        text << FormatFixed2(30.0f + 3.5f * static_cast<float>(i)) << ","
             << FormatFixed2(4.0f + 0.05f * static_cast<float>(i)) << ",";
    }
    text << "-2";
    return text.str();
}

TEST_F(EditorDesktop, TheCellEditorSitsOverTheDoubleClickedCell) {
    OpenSample();
    RunAsUser([this](XUser& user) {
        for (int nRow : {0, 5, 11}) {
            for (int nColumn : {0, 1}) {
                const std::string strBefore = OnGui([&] { return Cell(nRow, nColumn); });
                OpenCellEditor(user, nRow, nColumn);
                ExpectEditorOverCell(nRow, nColumn);
                Shot("editor-row" + std::to_string(nRow) + "-column" + std::to_string(nColumn));
                // It is really there: a click into it keeps it open.
                user.Click(OnGui([this] { return OnScreen(CellEditor()).center(); }));
                EXPECT_TRUE(OnGui([this] { return CellEditor() != nullptr; }));
                user.Key("Escape");
                ASSERT_TRUE(WaitUntil([this] { return CellEditor() == nullptr; }));
                EXPECT_EQ(OnGui([&] { return Cell(nRow, nColumn); }), strBefore);
            }
        }
    });
    EXPECT_TRUE(Notices().empty());
    EXPECT_EQ(m_nFlag, 1);
}

TEST_F(EditorDesktop, TheCellEditorFollowsTheScrolledList) {
    Open(ManyPoints());
    RunAsUser([this](XUser& user) {
        user.Wheel(OnGui([this] { return OnScreen(List()).center(); }), 3);
        ASSERT_TRUE(WaitUntil([this] { return List()->verticalScrollBar()->value() > 0; }));
        const auto [nFirst, nLast] = OnGui([this] {
            QTableWidget* pList = List();
            const int nHeight = pList->viewport()->height();
            return std::pair(pList->rowAt(2) + 1, pList->rowAt(nHeight - 3) - 1);
        });
        ASSERT_GT(nFirst, 1);
        Shot("scrolled");
        for (int nRow : {nFirst, nLast}) {
            for (int nColumn : {0, 1}) {
                OpenCellEditor(user, nRow, nColumn);
                ExpectEditorOverCell(nRow, nColumn);
                Shot("scrolled-editor-row" + std::to_string(nRow) + "-column" +
                     std::to_string(nColumn));
                user.Key("Escape");
                ASSERT_TRUE(WaitUntil([this] { return CellEditor() == nullptr; }));
            }
        }
    });
}

// The press that ends an edit opens the range message, and its release goes to the message
// box's loop: the next click on a button must still press it.
TEST_F(EditorDesktop, TheFirstClickAfterTheRangeMessageReachesItsButton) {
    OpenSample();
    RunAsUser([this](XUser& user) {
        OpenCellEditor(user, 2, 1);
        user.Type("150");
        user.Click(OnGui([this] { return EmptySpot(); }));
        EXPECT_NE(MessageBoxWhenActive().find("between 0 and 100"), std::string::npos);
        ASSERT_TRUE(ClickMessageBoxButton(user, QMessageBox::Ok));
        ASSERT_TRUE(
            WaitUntil([this] { return CellEditor() == nullptr && Cell(2, 1) == "100.00"; }));
        Shot("range-answered");
        user.Click(OnGui([this] { return OnScreen(Control(IDC_SAVE)).center(); }));
        EXPECT_TRUE(WaitUntil([this] { return !Notices().empty(); }, 3000))
            << "the first click on Save did not save";
        Shot("saved-with-one-click");
    });
    EXPECT_EQ(Notices(), std::vector<WPARAM>{2});
}

TEST_F(EditorDesktop, AClickOutsideCommitsWhatWasTypedClamped) {
    OpenSample();
    RunAsUser([this](XUser& user) {
        OpenCellEditor(user, 2, 1);
        user.Type("150");
        Shot("typed-150");
        user.Click(OnGui([this] { return EmptySpot(); }));
        // The value is out of range: the validation message, then the limit is stored.
        EXPECT_NE(MessageBoxWhenActive().find("between 0 and 100"), std::string::npos);
        Shot("range-message");
        user.Key("Return");
        ASSERT_TRUE(WaitUntil([this] { return CellEditor() == nullptr && Cell(2, 1) == "100.00"; }))
            << OnGui([this] { return Cell(2, 1); });
        EXPECT_TRUE(OnGui([this] { return MessageBoxText().empty(); }));

        // The click that ends an edit does not press the button under it: "Close" stays
        // unpressed and the edit is kept.
        OpenCellEditor(user, 3, 1);
        user.Type("7");
        user.Click(OnGui([this] { return OnScreen(Control(IDCANCEL)).center(); }));
        ASSERT_TRUE(WaitUntil([this] { return CellEditor() == nullptr && Cell(3, 1) == "7.00"; }));
        Shot("committed-close-not-pressed");
        EXPECT_TRUE(OnGui([this] { return EditorOpen(); }));

        user.Click(OnGui([this] { return OnScreen(Control(IDC_SAVE)).center(); }));  // Save
        ASSERT_TRUE(WaitUntil([this] { return !Notices().empty(); }));
    });
    EXPECT_EQ(Notices(), std::vector<WPARAM>{2});
    const PolarFileContents saved = ParsePolarFile(FileBytes());
    ASSERT_FALSE(saved.stop);
    const std::size_t nSailPlan = static_cast<std::size_t>(m_pEditor->CurrentSailPlanIndex());
    const auto& points = saved.aSailPlans.at(nSailPlan)->m_aPolars.at(0)->m_aVectors;
    EXPECT_EQ(points.at(2)->m_fSpeed, 100.0f);
    EXPECT_EQ(points.at(3)->m_fSpeed, 7.0f);
}

TEST_F(EditorDesktop, AClickOnAnotherCellMovesTheEditorThere) {
    OpenSample();
    RunAsUser([this](XUser& user) {
        OpenCellEditor(user, 1, 1);
        user.Type("4.8");
        user.Click(CellCentre(4, 0));
        ASSERT_TRUE(WaitUntil([this] { return Cell(1, 1) == "4.80"; }));
        ASSERT_TRUE(WaitUntil([this] { return CellEditor() != nullptr; }));
        ExpectEditorOverCell(4, 0);
        Shot("moved-to-row4-column0");

        // 75 becomes 100: the row moves after 90; the click on the speed of row 0 opens the
        // next editor on the moved row, in the clicked column.
        user.Type("100");
        user.Click(CellCentre(0, 1));
        ASSERT_TRUE(WaitUntil([this] { return Cell(5, 0) == "100.00"; }))
            << OnGui([this] { return Cell(5, 0); });
        ASSERT_TRUE(WaitUntil([this] { return CellEditor() != nullptr; }));
        ExpectEditorOverCell(5, 1);
        Shot("followed-moved-row5-column1");
        user.Key("Escape");
        ASSERT_TRUE(WaitUntil([this] { return CellEditor() == nullptr; }));
    });
    const auto& points = CurrentPolar().m_aVectors;
    EXPECT_EQ(points[1]->m_fSpeed, 4.8f);
    EXPECT_EQ(points[5]->m_fAngle, 100.0f);
    EXPECT_EQ(points[5]->m_fSpeed, 5.9f);
}

TEST_F(EditorDesktop, EscapeInADropDownClosesOnlyTheList) {
    OpenSample();
    RunAsUser([this](XUser& user) {
        for (int nId : {IDC_SAIL_PLAN_COMBO, IDC_WIND_SPEED_COMBO}) {
            const QPoint arrow = OnGui([&] {
                const QRect rect = OnScreen(Combo(nId));
                return QPoint(rect.right() - 6, rect.center().y());
            });
            user.Click(arrow);
            ASSERT_TRUE(WaitUntil([&] { return Combo(nId)->view()->isVisible(); }));
            Shot("drop-down-" + std::to_string(nId));
            user.Key("Escape");
            ASSERT_TRUE(WaitUntil([&] { return !Combo(nId)->view()->isVisible(); }));
            EXPECT_TRUE(OnGui([this] { return EditorOpen() && m_hDialog->isVisible(); }));
        }
        // Enter in the open list picks the entry and nothing else.
        const QPoint arrow = OnGui([&] {
            const QRect rect = OnScreen(Combo(IDC_WIND_SPEED_COMBO));
            return QPoint(rect.right() - 6, rect.center().y());
        });
        user.Click(arrow);
        ASSERT_TRUE(WaitUntil([&] { return Combo(IDC_WIND_SPEED_COMBO)->view()->isVisible(); }));
        user.Key("Down");
        user.Key("Return");
        ASSERT_TRUE(WaitUntil([&] { return !Combo(IDC_WIND_SPEED_COMBO)->view()->isVisible(); }));
        ASSERT_TRUE(
            WaitUntil([&] { return Combo(IDC_WIND_SPEED_COMBO)->currentText() == "8.00"; }));
        Shot("picked-8-knots");
        EXPECT_TRUE(OnGui([this] { return EditorOpen() && Cell(0, 1) == "4.90"; }));
        EXPECT_TRUE(Notices().empty());

        // With no list open, Escape closes the editor without saving.
        user.Key("Escape");
        ASSERT_TRUE(WaitUntil([this] { return !EditorOpen(); }));
    });
    EXPECT_EQ(Notices(), std::vector<WPARAM>{0});
    EXPECT_EQ(m_nFlag, 0);
}

TEST_F(EditorDesktop, AltF4AndTheCloseBoxCancel) {
    OpenSample();
    const std::string strBefore = FileBytes();
    RunAsUser([this](XUser& user) {
        // With the cell editor open, the window's close ends the edit only.
        OpenCellEditor(user, 0, 1);
        user.Type("9");
        user.Key("alt+F4");
        ASSERT_TRUE(WaitUntil([this] { return CellEditor() == nullptr; }));
        EXPECT_TRUE(OnGui([this] { return EditorOpen() && Cell(0, 1) == "3.90"; }));
        EXPECT_TRUE(Notices().empty());

        user.CloseBox(OnGui([this] { return m_hDialog->winId(); }));
        ASSERT_TRUE(WaitUntil([this] { return !EditorOpen(); }));
    });
    EXPECT_EQ(Notices(), std::vector<WPARAM>{0});
    EXPECT_EQ(FileBytes(), strBefore);
}

TEST_F(EditorDesktop, AltF4ClosesTheEditor) {
    OpenSample();
    RunAsUser([this](XUser& user) {
        user.Key("alt+F4");
        ASSERT_TRUE(WaitUntil([this] { return !EditorOpen(); }));
    });
    EXPECT_EQ(Notices(), std::vector<WPARAM>{0});
}

TEST_F(EditorDesktop, ADragInTheDiagramChangesThePointInTheSavedFile) {
    OpenSample();
    RunAsUser([this](XUser& user) {
        const QPoint square = OnGui([this] { return DiagramPoint(90.0f, 6.0f); });
        user.Drag(square, square + QPoint(20, -12));
        ASSERT_TRUE(WaitUntil([this] { return Cell(5, 1) != "6.00"; }));
        Shot("dragged");
        user.Click(OnGui([this] { return OnScreen(Control(IDC_SAVE)).center(); }));  // Save
        ASSERT_TRUE(WaitUntil([this] { return !Notices().empty(); }));
    });
    const auto& shown = *CurrentPolar().m_aVectors[5];
    EXPECT_GT(shown.m_fSpeed, 6.0f);
    EXPECT_LT(shown.m_fAngle, 90.0f);
    const PolarFileContents saved = ParsePolarFile(FileBytes());
    ASSERT_FALSE(saved.stop);
    const std::size_t nSailPlan = static_cast<std::size_t>(m_pEditor->CurrentSailPlanIndex());
    const auto& point = *saved.aSailPlans.at(nSailPlan)->m_aPolars.at(0)->m_aVectors.at(5);
    EXPECT_EQ(FormatFixed2(point.m_fAngle), Cell(5, 0));
    EXPECT_EQ(FormatFixed2(point.m_fSpeed), Cell(5, 1));
}

TEST_F(EditorDesktop, CtrlZTakesBackAWholeDragAndCtrlYMakesItAgain) {
    OpenSample();
    RunAsUser([this](XUser& user) {
        const QPoint square = OnGui([this] { return DiagramPoint(90.0f, 6.0f); });
        user.Drag(square, square + QPoint(20, -12));  // press, several moves, release
        ASSERT_TRUE(WaitUntil([this] { return Cell(5, 1) != "6.00"; }));
        const std::string strDragged = OnGui([this] { return Cell(5, 1); });
        user.Key("ctrl+z");
        ASSERT_TRUE(WaitUntil([this] { return Cell(5, 0) == "90.00" && Cell(5, 1) == "6.00"; }))
            << OnGui([this] { return Cell(5, 0) + " " + Cell(5, 1); });
        Shot("drag-undone");
        // The drag's read-out in the caption went with the drag.
        EXPECT_EQ(OnGui([this] { return m_hDialog->windowTitle().toStdString(); }),
                  "Polar Diagram");
        user.Key("ctrl+y");
        ASSERT_TRUE(WaitUntil([&] { return Cell(5, 1) == strDragged; }));
    });
}

TEST_F(EditorDesktop, TheTitleMarksChangesAndTheReadOutGoesWhenTheMouseLeavesTheDiagram) {
    OpenSample();
    RunAsUser([this](XUser& user) {
        const auto title = [this] { return m_hDialog->windowTitle().toStdString(); };
        user.MoveTo(OnGui([this] { return DiagramPoint(60.0f, 4.0f); }));
        ASSERT_TRUE(WaitUntil([&] { return title().starts_with("POLAR DIAGRAM  angle "); }))
            << OnGui(title);
        Shot("read-out");
        user.MoveTo(OnGui([this] { return EmptySpot(); }));
        ASSERT_TRUE(WaitUntil([&] { return title() == "Polar Diagram"; })) << OnGui(title);
        user.Click(OnGui([this] { return OnScreen(Control(IDC_ADD_VECTOR)).center(); }));
        ASSERT_TRUE(WaitUntil([&] { return title() == "*Polar Diagram"; })) << OnGui(title);
        Shot("marked-unsaved");
        user.Click(OnGui([this] { return OnScreen(Control(IDC_SAVE)).center(); }));
        ASSERT_TRUE(WaitUntil([&] { return title() == "Polar Diagram"; })) << OnGui(title);
    });
    EXPECT_EQ(Notices(), std::vector<WPARAM>{2});
}

TEST_F(EditorDesktop, ADoubleClickInTheDiagramAddsAPoint) {
    OpenSample();
    RunAsUser([this](XUser& user) {
        user.DoubleClick(OnGui([this] { return DiagramPoint(100.0f, 3.0f); }));
        ASSERT_TRUE(WaitUntil([this] { return List()->rowCount() == 13; }));
        Shot("added");
    });
    const auto& points = CurrentPolar().m_aVectors;
    ASSERT_EQ(points.size(), 13u);
    bool bFound = false;
    for (const auto& p : points) {
        bFound = bFound ||
                 (std::fabs(p->m_fAngle - 100.0f) < 2.0f && std::fabs(p->m_fSpeed - 3.0f) < 0.3f);
    }
    EXPECT_TRUE(bFound);
}

TEST_F(EditorDesktop, UpAndDownInTheSailPlanBandStepTheValue) {
    OpenSample();
    RunAsUser([this](XUser& user) {
        user.Click(OnGui([this] { return OnScreen(Control(IDC_ADD_SAIL_PLAN)).center(); }));
        auto dialog = [] {
            for (QWidget* pWidget : QApplication::topLevelWidgets()) {
                if (pWidget->objectName() == QString("dialog-%1").arg(IDD_NEW_SAILPLAN) &&
                    pWidget->isVisible()) {
                    return pWidget;
                }
            }
            return static_cast<QWidget*>(nullptr);
        };
        ASSERT_TRUE(WaitUntil([&] { return dialog() != nullptr && dialog()->isActiveWindow(); }));
        auto edit = [&](int nId) { return dialog()->findChild<QLineEdit*>(QString::number(nId)); };
        const double dMinimum = OnGui([&] { return edit(IDC_BAND_MINIMUM)->text().toDouble(); });
        user.Click(OnGui([&] { return OnScreen(edit(IDC_BAND_MINIMUM)).center(); }));
        ASSERT_TRUE(WaitUntil([&] { return edit(IDC_BAND_MINIMUM)->hasFocus(); }));
        user.Key("Up");
        EXPECT_TRUE(
            WaitUntil([&] { return edit(IDC_BAND_MINIMUM)->text().toDouble() == dMinimum + 5; }));
        Shot("up-key");
        user.Key("Down");
        user.Key("Down");
        EXPECT_TRUE(
            WaitUntil([&] { return edit(IDC_BAND_MINIMUM)->text().toDouble() == dMinimum - 5; }));
        user.Key("Escape");
        ASSERT_TRUE(WaitUntil([&] { return dialog() == nullptr; }));
        EXPECT_TRUE(OnGui([this] { return EditorOpen(); }));
    });
    EXPECT_TRUE(Notices().empty());
    EXPECT_EQ(m_pEditor->SailPlans().size(), 2u);
}

}  // namespace

namespace {

// Run with QT_SCALE_FACTOR=2 (its own test entry): the diagram reaches the screen at the
// screen's own pixels, not as a small picture enlarged.
TEST_F(EditorDesktop, OnADenseScreenTheDiagramIsShownAtItsOwnPixels) {
    if (qApp->devicePixelRatio() < 1.5) {
        GTEST_SKIP() << "for a screen at scale 2 (QT_SCALE_FACTOR=2)";
    }
    OpenSample();
    RunAsUser([this](XUser& user) {
        user.MoveTo(OnGui([this] { return EmptySpot(); }));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        Shot("dense-screen");
        const auto [shown, drawn] = OnGui([this] {
            QImage image = m_pEditor->Graph()->GetBackingImage()->copy();
            image.setDevicePixelRatio(1.0);
            return std::pair(ShownOnScreen(m_pEditor->Graph()->GetSafeHwnd()), image);
        });
        ASSERT_EQ(shown.size(), drawn.size()) << "the screen shows the diagram scaled";
        EXPECT_EQ(shown, drawn) << "what the screen shows is what the diagram drew";

        // The same diagram at one pixel per unit, enlarged pixel for pixel, is not what the
        // screen shows, yet close to it.
        const QImage single = OnGui([this] {
            auto* pWidget = static_cast<CustomWindowWidget*>(m_pEditor->Graph()->GetSafeHwnd());
            pWidget->SetDeviceScale(1.0);
            QImage image = pWidget->Image().copy();
            pWidget->SetDeviceScale(0.0);
            return image;
        });
        ExpectDrawnAtScreenPixels(shown, single);
    });
}

}  // namespace

namespace {

TEST_F(EditorDesktop, TheWindowGrowsByItsCornerAndMaximisesAndTheDiagramGrowsWithIt) {
    OpenSample();
    const std::string strBefore = FileBytes();
    RunAsUser([this](XUser& user) {
        const auto size = [this] { return m_hDialog->size(); };  // on the application's thread
        const QSize start = OnGui(size);
        const QSize diagram = OnGui([this] { return m_pEditor->Graph()->GetSafeHwnd()->size(); });
        // The window manager's corner handle, just outside the client area.
        const QRect frame = OnGui([this] { return m_hDialog->frameGeometry(); });
        const QPoint corner = frame.bottomRight() - QPoint(2, 2);
        user.Drag(corner, corner + QPoint(240, 160), 12);
        ASSERT_TRUE(WaitUntil([&] { return size().width() > start.width() + 100; }))
            << OnGui(size).width();
        Shot("grown-by-the-corner");
        const QSize grown = OnGui(size);
        EXPECT_EQ(OnGui([this] { return m_pEditor->Graph()->GetSafeHwnd()->size(); }),
                  diagram + (grown - start));

        // A double click on the title bar maximises the window.
        const QRect framed = OnGui([this] { return m_hDialog->frameGeometry(); });
        const QRect client = OnGui([this] { return m_hDialog->geometry(); });
        user.DoubleClick(QPoint(framed.center().x(), (framed.top() + client.top()) / 2));
        ASSERT_TRUE(WaitUntil([this] { return m_hDialog->isMaximized(); }));
        ASSERT_TRUE(WaitUntil([&] { return size().height() > grown.height(); }));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        Shot("maximised");
        EXPECT_EQ(OnGui([this] { return m_pEditor->Graph()->GetSafeHwnd()->size(); }),
                  diagram + (OnGui(size) - start));

        // The large diagram is the one the mouse works on: a drag changes that point.
        const QPoint square = OnGui([this] { return DiagramPoint(90.0f, 6.0f); });
        user.Drag(square, square + QPoint(40, 0));
        ASSERT_TRUE(WaitUntil([this] { return Cell(5, 1) != "6.00"; }));
        Shot("dragged-maximised");
        user.Click(OnGui([this] { return OnScreen(Control(IDC_SAVE)).center(); }));
        ASSERT_TRUE(WaitUntil([this] { return !Notices().empty(); }));
    });
    EXPECT_NE(FileBytes(), strBefore);
    const PolarFileContents saved = ParsePolarFile(FileBytes());
    ASSERT_FALSE(saved.stop);
    const std::size_t nSailPlan = static_cast<std::size_t>(m_pEditor->CurrentSailPlanIndex());
    const auto& point = *saved.aSailPlans.at(nSailPlan)->m_aPolars.at(0)->m_aVectors.at(5);
    EXPECT_GT(point.m_fSpeed, 6.0f);
    EXPECT_EQ(FormatFixed2(point.m_fSpeed), Cell(5, 1));
}

}  // namespace
