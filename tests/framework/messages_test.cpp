#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <functional>
#include <new>
#include <stdexcept>

#include "data/invalid_argument.h"
#include "framework/dialog.h"
#include "tests/support/angle_dialog.h"
#include "tests/support/gui_driver.h"

namespace {

// A small dialog with one control of each kind the editor uses.
DialogTemplate TestTemplate() {
    const DWORD kChild = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    DialogTemplate t{
        500, 0x0409, WS_POPUP | WS_CAPTION | WS_SYSMENU, 200, 160, "Test", "MS Sans Serif", 8, {}};
    t.items = {
        {10, ControlClass::Button, kChild | BS_PUSHBUTTON, 5, 5, 50, 14, "Button"},
        {11, ControlClass::Button, kChild | BS_PUSHBUTTON, 60, 5, 50, 14, "Thrower"},
        {12, ControlClass::ComboBox, kChild | CBS_DROPDOWN, 5, 25, 80, 60, ""},
        {13, ControlClass::Edit, kChild | WS_BORDER | ES_AUTOHSCROLL, 95, 25, 50, 12, ""},
        {14, ControlClass::UpDown,
         WS_CHILD | WS_VISIBLE | UDS_AUTOBUDDY | UDS_ALIGNRIGHT | UDS_ARROWKEYS, 145, 25, 11, 12,
         ""},
        {15, ControlClass::ListView, kChild | LVS_REPORT | LVS_SINGLESEL | WS_BORDER, 5, 45, 150,
         80, ""},
        {16, ControlClass::Edit, kChild | WS_BORDER, 160, 5, 30, 12, ""},
        {17, ControlClass::Button, WS_CHILD | BS_PUSHBUTTON, 160, 25, 30, 14, "Hidden"},
    };
    return t;
}

class RecordingDialog : public CDialog {
    DECLARE_MESSAGE_MAP()

  public:
    explicit RecordingDialog(const DialogTemplate* pTemplate) : CDialog(pTemplate) {}
    std::vector<std::string> events;
    CComboBox m_combo;
    CListCtrl m_list;
    CEdit m_edit;

    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, 12, m_combo);
        DDX_Control(pDX, 15, m_list);
        DDX_Control(pDX, 13, m_edit);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        m_combo.AddString("first");
        m_combo.AddString("second");
        m_list.InsertColumn(0, "A", LVCFMT_LEFT, 60);
        m_list.InsertColumn(1, "B", LVCFMT_LEFT, 60);
        m_list.InsertItem(0, "a0");
        m_list.InsertItem(1, "a1");
        m_list.SetItemText(1, 1, "b1");
        return TRUE;
    }
    void OnButton() { events.push_back("clicked 10"); }
    void OnThrower() {
        events.push_back("thrower");
        if (throwOther) {
            throwOther();
        }
        throw InvalidArgumentException("index 7 is outside 0..2");
    }
    std::function<void()> throwOther;
    void OnSelChange() { events.push_back("selchange " + std::to_string(m_combo.GetCurSel())); }
    void OnComboKill() { events.push_back("combo killfocus"); }
    void OnEditKill() { events.push_back("edit killfocus"); }
    void OnEditChange() { events.push_back("edit change"); }
    void OnDelta(NMHDR* pHeader, LRESULT*) {
        events.push_back("delta " + std::to_string(reinterpret_cast<NMUPDOWN*>(pHeader)->iDelta));
    }
    void OnItemChanged(NMHDR* pHeader, LRESULT*) {
        auto* p = reinterpret_cast<NMLISTVIEW*>(pHeader);
        events.push_back("itemchanged " + std::to_string(p->iItem) + " " +
                         ((p->uNewState & LVIS_SELECTED) ? "on" : "off"));
    }
    void OnDblClk(NMHDR* pHeader, LRESULT*) {
        auto* p = reinterpret_cast<NMITEMACTIVATE*>(pHeader);
        events.push_back("dblclk " + std::to_string(p->iItem) + " " + std::to_string(p->iSubItem));
    }
    void OnOK() override { events.push_back("OnOK"); }
    void OnCancel() override { events.push_back("OnCancel"); }
};

BEGIN_MESSAGE_MAP(RecordingDialog, CDialog)
ON_BN_CLICKED(10, OnButton)
ON_BN_CLICKED(11, OnThrower)
ON_CBN_SELCHANGE(12, OnSelChange)
ON_CBN_KILLFOCUS(12, OnComboKill)
ON_EN_KILLFOCUS(13, OnEditKill)
ON_EN_CHANGE(13, OnEditChange)
ON_NOTIFY(UDN_DELTAPOS, 14, OnDelta)
ON_NOTIFY(LVN_ITEMCHANGED, 15, OnItemChanged)
ON_NOTIFY(NM_DBLCLK, 15, OnDblClk)
END_MESSAGE_MAP()

class FrameworkMessages : public testing::Test {
  protected:
    void SetUp() override {
        m_pInteraction = &ScriptedInteraction::Install();
        m_dialog.CreateIndirect(&m_template);
        Driver().Activate();
        m_dialog.events.clear();
    }
    void TearDown() override {
        EXPECT_TRUE(m_pInteraction->AllAnswersUsed());
        ScriptedInteraction::Uninstall();
    }
    std::vector<std::string>& Events() { return m_dialog.events; }
    GuiDriver Driver() { return GuiDriver(m_dialog.GetSafeHwnd()); }

    DialogTemplate m_template = TestTemplate();
    RecordingDialog m_dialog{&m_template};
    ScriptedInteraction* m_pInteraction = nullptr;
};

TEST_F(FrameworkMessages, AButtonClickReachesItsHandlerOnce) {
    EXPECT_TRUE(Driver().Click(10));
    EXPECT_EQ(Events(), (std::vector<std::string>{"clicked 10"}));
    // A hidden control cannot be clicked by a user, so the driver refuses.
    EXPECT_NONFATAL_FAILURE(Driver().Click(17), "hidden or disabled");
}

TEST_F(FrameworkMessages, OnlyAUserPickNotifiesASelectionChange) {
    m_dialog.m_combo.SetCurSel(1);
    EXPECT_TRUE(Events().empty());
    EXPECT_EQ(m_dialog.m_combo.GetWindowText(), "second");
    EXPECT_TRUE(Driver().PickEntry(12, 0));
    EXPECT_EQ(Events(), (std::vector<std::string>{"selchange 0"}));
}

TEST_F(FrameworkMessages, SelectingARowByCodeNotifiesBeforeReturning) {
    m_dialog.m_list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(Events(), (std::vector<std::string>{"itemchanged 1 on"}));
    m_dialog.m_list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(Events(), (std::vector<std::string>{"itemchanged 1 on", "itemchanged 1 off",
                                                  "itemchanged 0 on"}));
    EXPECT_EQ(m_dialog.m_list.GetNextItem(-1, LVNI_SELECTED), 0);
    EXPECT_EQ(m_dialog.m_list.GetItemText(1, 1), "b1");
}

TEST_F(FrameworkMessages, LeavingTheComboAndTheEditNotifiesKillFocusOnce) {
    ASSERT_TRUE(Driver().FocusTo(12));
    ASSERT_TRUE(Driver().FocusTo(13));
    ASSERT_TRUE(Driver().FocusTo(16));
    EXPECT_EQ(Events(), (std::vector<std::string>{"combo killfocus", "edit killfocus"}));
}

TEST_F(FrameworkMessages, EditChangesNotifyOnTypingAndOnSetWindowText) {
    ASSERT_TRUE(Driver().Type(13, "ab"));
    m_dialog.m_edit.SetWindowText("xyz");
    EXPECT_EQ(Events(), (std::vector<std::string>{"edit change", "edit change", "edit change"}));
    EXPECT_EQ(m_dialog.m_edit.GetWindowText(), "xyz");
}

TEST_F(FrameworkMessages, EnterRunsOnOkAndEscOnCancelWhereverTheFocusIs) {
    ASSERT_TRUE(Driver().FocusTo(13));
    Driver().PressKey(Qt::Key_Return);
    ASSERT_TRUE(Driver().FocusTo(12));
    Driver().PressKey(Qt::Key_Enter);
    Driver().PressKey(Qt::Key_Escape);
    m_dialog.GetSafeHwnd()->close();  // the close box
    EXPECT_EQ(Events(),
              (std::vector<std::string>{"OnOK", "edit killfocus", "OnOK", "OnCancel", "OnCancel"}));
}

TEST_F(FrameworkMessages, UpDownArrowsGiveNegativeDeltaUpPositiveDown) {
    ASSERT_TRUE(Driver().ClickArrow(14, true));
    ASSERT_TRUE(Driver().ClickArrow(14, false));
    EXPECT_EQ(Events(), (std::vector<std::string>{"delta -1", "delta 1"}));
}

TEST_F(FrameworkMessages, UpAndDownInTheBuddyStepLikeTheArrows) {
    ASSERT_TRUE(Driver().FocusTo(13));
    Driver().PressKey(Qt::Key_Up);
    Driver().PressKey(Qt::Key_Down);
    EXPECT_EQ(Events(), (std::vector<std::string>{"delta -1", "delta 1"}));
    // An edit without an up-down that takes the arrow keys ignores them.
    ASSERT_TRUE(Driver().FocusTo(16));
    Events().clear();
    Driver().PressKey(Qt::Key_Up);
    EXPECT_TRUE(Events().empty());
}

TEST_F(FrameworkMessages, KeysOfAnOpenDropDownListAreTheListsOwn) {
    auto* pCombo = qobject_cast<QComboBox*>(Driver().Control(12));
    pCombo->showPopup();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(pCombo->view()->window()));
    QTest::keyClick(pCombo->view(), Qt::Key_Escape);
    EXPECT_FALSE(pCombo->view()->isVisible());
    pCombo->showPopup();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(pCombo->view()->window()));
    QTest::keyClick(pCombo->view(), Qt::Key_Down);
    QTest::keyClick(pCombo->view(), Qt::Key_Return);
    EXPECT_FALSE(pCombo->view()->isVisible());
    // Neither key reached the dialog: no Cancel, no OK; Return picked the entry.
    EXPECT_EQ(Events(), (std::vector<std::string>{"selchange 1"}));
}

// A caption-less pop-up that holds the mouse while it runs, as the cell editor does, and
// reports every press it hears in its own client coordinates.
class CapturingPopup : public CDialog {
    DECLARE_MESSAGE_MAP()

  public:
    CapturingPopup(const DialogTemplate* pTemplate, CWnd* pOwner, CPoint ptScreen)
        : CDialog(pTemplate, pOwner), m_ptScreen(ptScreen) {}
    std::vector<CPoint> presses;
    std::function<void(CapturingPopup&)> onPress;

  protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        SetCapture();
        MoveWindow(m_ptScreen.x, m_ptScreen.y, 80, 25);
        return TRUE;
    }
    void OnLButtonDown(UINT, CPoint point) {
        presses.push_back(point);
        if (onPress) {
            onPress(*this);
        }
    }

  private:
    CPoint m_ptScreen;
};

BEGIN_MESSAGE_MAP(CapturingPopup, CDialog)
ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

DialogTemplate PopupTemplate() {
    DialogTemplate t{501, 0x0409, WS_POPUP, 60, 15, "", "MS Sans Serif", 8, {}};
    t.items = {{1, ControlClass::Edit, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 60, 15, ""}};
    return t;
}

TEST_F(FrameworkMessages, APopUpWithoutCaptionSitsInItsOwnersWindowWhereItIsPut) {
    const DialogTemplate t = PopupTemplate();
    QWidget* pOwner = m_dialog.GetSafeHwnd();
    const QPoint at = pOwner->mapToGlobal(QPoint(30, 40));
    CapturingPopup popup(&t, &m_dialog, CPoint{at.x(), at.y()});
    QRect placed;
    bool bChild = false;
    CDialog::SetModalHook([&](CDialog* pDialog) {
        QWidget* pPopup = pDialog->GetSafeHwnd();
        bChild = !pPopup->isWindow() && pPopup->window() == pOwner;
        placed = QRect(pPopup->mapToGlobal(QPoint(0, 0)), pPopup->size());
        pDialog->EndDialog(IDCANCEL);
    });
    EXPECT_EQ(popup.DoModal(), IDCANCEL);
    CDialog::SetModalHook(nullptr);
    EXPECT_TRUE(bChild);
    EXPECT_EQ(placed, QRect(at, QSize(80, 25)));
}

TEST_F(FrameworkMessages, APopUpThatHoldsTheMouseHearsEveryPressAndPressesNothingBeneath) {
    const DialogTemplate t = PopupTemplate();
    const QPoint at = m_dialog.GetSafeHwnd()->mapToGlobal(QPoint(100, 100));
    CapturingPopup popup(&t, &m_dialog, CPoint{at.x(), at.y()});
    popup.onPress = [](CapturingPopup& p) { p.EndDialog(IDOK); };
    QWidget* pButton = Driver().Control(10);
    CDialog::SetModalHook([&](CDialog*) {
        // A click on the owner's button: the press goes to the pop-up, the release with it.
        QTest::mouseClick(pButton, Qt::LeftButton, Qt::NoModifier, QPoint(4, 5));
    });
    EXPECT_EQ(popup.DoModal(), IDOK);
    CDialog::SetModalHook(nullptr);
    ASSERT_EQ(popup.presses.size(), 1u);
    const QPoint expected = pButton->mapToGlobal(QPoint(4, 5)) - at;
    EXPECT_EQ(popup.presses[0].x, expected.x());
    EXPECT_EQ(popup.presses[0].y, expected.y());
    EXPECT_TRUE(Events().empty());
    EXPECT_EQ(CWnd::GetCapture(), nullptr);  // the window took its capture with it
    // Afterwards the button works as before.
    EXPECT_TRUE(Driver().Click(10));
    EXPECT_EQ(Events(), (std::vector<std::string>{"clicked 10"}));
}

TEST_F(FrameworkMessages, WhileAPopUpRunsItsOwnersControlsAndCloseBoxAreItsOwn) {
    const DialogTemplate t = PopupTemplate();
    const QPoint at = m_dialog.GetSafeHwnd()->mapToGlobal(QPoint(10, 10));
    CapturingPopup popup(&t, &m_dialog, CPoint{at.x(), at.y()});
    CDialog::SetModalHook([this](CDialog* pDialog) {
        GuiDriver driver(pDialog->GetSafeHwnd());
        auto* pEdit = driver.Control(1);
        EXPECT_TRUE(pEdit->hasFocus());
        // Tab stays in the pop-up; keys sent to the owner's controls are dropped.
        QTest::keyClick(pEdit, Qt::Key_Tab);
        EXPECT_TRUE(pEdit->hasFocus());
        QTest::keyClick(Driver().Control(13), Qt::Key_Escape);
        EXPECT_TRUE(pDialog->GetSafeHwnd()->isVisible());
        // The owner's close box cancels the pop-up, not the owner.
        m_dialog.GetSafeHwnd()->close();
    });
    EXPECT_EQ(popup.DoModal(), IDCANCEL);
    CDialog::SetModalHook(nullptr);
    EXPECT_TRUE(Events().empty());
    EXPECT_TRUE(m_dialog.GetSafeHwnd()->isVisible());
}

TEST_F(FrameworkMessages, DoubleClickInTheListReportsRowAndColumn) {
    ASSERT_TRUE(Driver().DoubleClickCell(15, 1, 1));
    ASSERT_FALSE(Events().empty());
    EXPECT_EQ(Events().back(), "dblclk 1 1");
    Events().clear();
    ASSERT_TRUE(Driver().DoubleClickCell(15, 5, 0));  // below the rows: an empty cell
    EXPECT_EQ(Events().back(), "dblclk -1 0");
}

TEST_F(FrameworkMessages, AnInvalidArgumentAbandonsTheHandlerAndIsReported) {
    m_pInteraction->AnswerNextBox(IDOK);
    EXPECT_TRUE(Driver().Click(11));
    EXPECT_EQ(Events(), (std::vector<std::string>{"thrower"}));
    ASSERT_EQ(m_pInteraction->Boxes().size(), 1u);
    EXPECT_NE(m_pInteraction->Boxes()[0].strText.find("index 7 is outside 0..2"),
              std::string::npos);
    // The dialog still works afterwards.
    EXPECT_TRUE(Driver().Click(10));
    EXPECT_EQ(Events().back(), "clicked 10");
}

TEST_F(FrameworkMessages, AnyOtherExceptionAlsoStopsAtTheDispatch) {
    const std::vector<std::pair<std::function<void()>, std::string>> cases = {
        {[] { throw std::logic_error("vector index out of range"); }, "vector index out of range"},
        {[] { throw std::bad_alloc(); }, "not enough memory"},
        {[] { throw 42; }, "internal error"},
    };
    for (const auto& [thrower, strExpected] : cases) {
        m_dialog.throwOther = thrower;
        m_pInteraction->AnswerNextBox(IDOK);
        EXPECT_TRUE(Driver().Click(11));
        EXPECT_NE(m_pInteraction->Boxes().back().strText.find(strExpected), std::string::npos)
            << m_pInteraction->Boxes().back().strText;
    }
    EXPECT_TRUE(Driver().Click(10));
    EXPECT_EQ(Events().back(), "clicked 10");
}

TEST_F(FrameworkMessages, AModalDialogIsAnsweredThroughTheHook) {
    DialogTemplate t = TestTemplate();
    AngleDialog modal(&t, 13, &m_dialog);
    CDialog::SetModalHook([](CDialog* pDialog) {
        GuiDriver driver(pDialog->GetSafeHwnd());
        driver.Activate();
        auto* pEdit = qobject_cast<QLineEdit*>(driver.Control(13));
        EXPECT_EQ(pEdit->text(), "45");  // shown by the initial exchange
        pEdit->clear();
        driver.Type(13, "37.5");
        driver.PressKey(Qt::Key_Return);
    });
    EXPECT_EQ(modal.DoModal(), IDOK);
    CDialog::SetModalHook(nullptr);
    EXPECT_EQ(modal.m_fAngle, 37.5f);

    AngleDialog cancelled(&t, 13, &m_dialog);
    CDialog::SetModalHook([](CDialog* pDialog) { pDialog->EndDialog(IDCANCEL); });
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
    CDialog::SetModalHook(nullptr);
}

TEST_F(FrameworkMessages, SendMessageReturnsTheReceiversResult) {
    class Host : public QWidget {
      public:
        bool event(QEvent* pEvent) override {
            if (pEvent->type() == polar_api::kMessageEventType) {
                auto* p = static_cast<WinMessageEvent*>(pEvent);
                received = p->message;
                p->result = static_cast<LRESULT>(p->wParam) + 1;
                return true;
            }
            return QWidget::event(pEvent);
        }
        UINT received = 0;
    } host;
    EXPECT_EQ(::SendMessage(&host, WM_USER + 0x100, 41, 0), 42);
    EXPECT_EQ(host.received, WM_USER + 0x100);
}

}  // namespace
