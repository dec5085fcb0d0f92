// Undo and redo through the editor's own keys: every kind of step taken back and made again,
// checked in the bytes a Save then writes.
#include <QTest>

#include "tests/support/editor_fixture.h"

namespace {

constexpr const char* kTwoPlans =
    "Main,\r\n6,45,\r\n40,4.1,60,5,90,5.4,120,5.1,150,4.3,-1\r\n12,40,\r\n40,6.2,90,7.2,-2\r\n"
    "Storm,\r\n20,50,\r\n50,6,90,7,-2";

class Undo : public EditorFixture {
  protected:
    void OpenAndKeep(const char* pszText = kTwoPlans) {
        Open(pszText);
        Save();
        m_strSaved = TempDir::Read(m_strFile);  // the data in the writer's layout
    }
    void Save() { ASSERT_TRUE(Driver().Click(IDC_SAVE)); }
    std::string SavedNow() {
        Save();
        return TempDir::Read(m_strFile);
    }
    // The keys as a user presses them, with the focus on the list: through the window, so that
    // they pass the shortcuts as the window system's keys do.
    void Keys(Qt::Key key, Qt::KeyboardModifiers modifiers) {
        Driver().Activate();  // offscreen, a closed dialog leaves no window active
        ASSERT_TRUE(Driver().FocusTo(IDC_VECTOR_LIST));
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    void UndoKey() { Keys(Qt::Key_Z, Qt::ControlModifier); }
    void RedoKey() { Keys(Qt::Key_Y, Qt::ControlModifier); }
    void EditCell(int nRow, int nColumn, const char* pszValue) {
        m_steps.push_back([pszValue](CDialog*, GuiDriver& d) {
            SetText(d, IDC_CELL_EDIT, pszValue);
            d.PressKey(Qt::Key_Return);
        });
        ASSERT_TRUE(Driver().DoubleClickCell(IDC_VECTOR_LIST, nRow, nColumn));
    }
    // After a modal dialog the offscreen platform activates no window by itself.
    void Type(int nId, const char* pszText) {
        Driver().Activate();
        Retype(nId, pszText);
    }
    std::string m_strSaved;
};

TEST_F(Undo, PointStepsGoBackAndForth) {
    OpenAndKeep();
    EditCell(2, 1, "6.5");
    const std::string strEdited = SavedNow();
    EXPECT_NE(strEdited, m_strSaved);
    ASSERT_TRUE(Driver().ClickCell(IDC_VECTOR_LIST, 0, 0));
    ASSERT_TRUE(Driver().Click(IDC_DELETE_VECTOR));
    ASSERT_TRUE(Driver().Click(IDC_ADD_VECTOR));
    EXPECT_EQ(List()->rowCount(), 5);
    UndoKey();  // the added point
    UndoKey();  // the deleted one
    EXPECT_EQ(Column(0).front(), "40.00");
    EXPECT_EQ(SavedNow(), strEdited);
    UndoKey();  // the cell edit
    EXPECT_EQ(Column(1)[2], "5.40");
    EXPECT_EQ(m_pEditor->CurrentWindSpeed(), 0);
    EXPECT_EQ(SavedNow(), m_strSaved);
    RedoKey();
    Keys(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);  // the other redo key
    EXPECT_EQ(List()->rowCount(), 4);
    EXPECT_EQ(Column(1)[1], "6.50");
}

TEST_F(Undo, WindSpeedAndTackingAngleSteps) {
    OpenAndKeep();
    m_steps.push_back([](CDialog*, GuiDriver& d) {
        d.Type(IDC_NEW_WIND_SPEED, "9");
        d.PressKey(Qt::Key_Return);
    });
    ASSERT_TRUE(Driver().Click(IDC_ADD_WIND_SPEED));
    EXPECT_EQ(Entries(IDC_WIND_SPEED_COMBO), (std::vector<std::string>{"6.00", "9.00", "12.00"}));
    ASSERT_TRUE(Driver().Click(IDC_DELETE_WIND_SPEED));
    EXPECT_EQ(Entries(IDC_WIND_SPEED_COMBO), (std::vector<std::string>{"6.00", "12.00"}));
    Type(IDC_TACKING_ANGLE, "41");
    ASSERT_TRUE(Driver().FocusTo(IDC_VECTOR_LIST));  // leaving the field commits
    EXPECT_EQ(m_pEditor->SailPlans()[0]->m_aPolars[0]->m_fTackingAngle, 41.0f);

    // A wind speed typed over.
    Type(IDC_WIND_SPEED_COMBO, "7");
    ASSERT_TRUE(Driver().FocusTo(IDC_VECTOR_LIST));
    EXPECT_EQ(WindSpeeds(0), (std::vector<float>{7, 12}));
    UndoKey();
    EXPECT_EQ(WindSpeeds(0), (std::vector<float>{6, 12}));

    UndoKey();  // the tacking angle
    EXPECT_EQ(m_pEditor->SailPlans()[0]->m_aPolars[0]->m_fTackingAngle, 45.0f);
    UndoKey();  // the deleted wind speed comes back
    EXPECT_EQ(Entries(IDC_WIND_SPEED_COMBO), (std::vector<std::string>{"6.00", "9.00", "12.00"}));
    UndoKey();  // the added one goes
    EXPECT_EQ(SavedNow(), m_strSaved);
    RedoKey();
    EXPECT_EQ(Entries(IDC_WIND_SPEED_COMBO), (std::vector<std::string>{"6.00", "9.00", "12.00"}));
}

TEST_F(Undo, SailPlanStepsAndANewStepDropsTheRedo) {
    OpenAndKeep();
    m_steps.push_back([](CDialog*, GuiDriver& d) {
        d.Type(IDC_SAIL_PLAN_NAME, "Genoa");
        SetText(d, IDC_BAND_MINIMUM, "8");
        SetText(d, IDC_BAND_MAXIMUM, "12");
        SetText(d, IDC_BAND_INTERVAL, "4");
        d.Click(IDOK);
    });
    ASSERT_TRUE(Driver().Click(IDC_ADD_SAIL_PLAN));  // one step with its band of polars
    EXPECT_EQ(Combo(IDC_SAIL_PLAN_COMBO)->count(), 3);
    UndoKey();
    EXPECT_EQ(Entries(IDC_SAIL_PLAN_COMBO), (std::vector<std::string>{"Main", "Storm"}));
    EXPECT_EQ(SavedNow(), m_strSaved);
    RedoKey();
    EXPECT_EQ(Combo(IDC_SAIL_PLAN_COMBO)->count(), 3);
    UndoKey();

    // A rename, then a deletion.
    Type(IDC_SAIL_PLAN_COMBO, "Mainsail");
    ASSERT_TRUE(Driver().FocusTo(IDC_VECTOR_LIST));
    ASSERT_TRUE(Driver().Click(IDC_DELETE_SAIL_PLAN));
    EXPECT_EQ(Entries(IDC_SAIL_PLAN_COMBO), (std::vector<std::string>{"Storm"}));
    UndoKey();
    EXPECT_EQ(Entries(IDC_SAIL_PLAN_COMBO), (std::vector<std::string>{"Mainsail", "Storm"}));
    UndoKey();
    EXPECT_EQ(Entries(IDC_SAIL_PLAN_COMBO), (std::vector<std::string>{"Main", "Storm"}));
    // A new step after the undos: nothing left to redo.
    ASSERT_TRUE(Driver().Click(IDC_ADD_VECTOR));
    RedoKey();
    EXPECT_EQ(Entries(IDC_SAIL_PLAN_COMBO), (std::vector<std::string>{"Main", "Storm"}));
    UndoKey();
    EXPECT_EQ(SavedNow(), m_strSaved);
}

TEST_F(Undo, ASmoothingKeptIsOneStep) {
    OpenAndKeep();
    m_pInteraction->AnswerNextBox(IDYES);
    ASSERT_TRUE(Driver().Click(IDC_SMOOTH));
    EXPECT_GT(List()->rowCount(), 5);
    UndoKey();
    EXPECT_EQ(List()->rowCount(), 5);
    EXPECT_EQ(SavedNow(), m_strSaved);
}

TEST_F(Undo, SaveKeepsTheHistoryAndAReloadClearsIt) {
    OpenAndKeep();
    EditCell(0, 1, "4.4");
    const std::string strEdited = SavedNow();
    // Undone after the Save: the data differ from the file again, and closing asks.
    UndoKey();
    m_pInteraction->AnswerNextBox(IDCANCEL);
    ASSERT_TRUE(Driver().Click(IDCANCEL));
    EXPECT_EQ(m_nFlag, 1);
    RedoKey();  // back to what the file holds: no question
    const std::size_t nBoxes = m_pInteraction->Boxes().size();

    // A reload takes the data from outside: nothing to undo any more.
    ::SendMessage(m_hDialog, WM_COMMAND, ID_POLAR_RELOAD, ID_POLAR_RELOAD);
    UndoKey();
    EXPECT_EQ(SavedNow(), strEdited);
    ASSERT_TRUE(Driver().Click(IDCANCEL));
    EXPECT_EQ(m_pInteraction->Boxes().size(), nBoxes);
    EXPECT_EQ(m_nFlag, 0);
}

TEST_F(Undo, TheKeysBelongToAFieldBeingEdited) {
    OpenAndKeep();
    EditCell(0, 1, "4.4");
    // In the tacking angle field Ctrl+Z undoes the typing, not the cell edit.
    Type(IDC_TACKING_ANGLE, "47");
    QTest::keyClick(m_hDialog->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Column(1)[0], "4.40");
}

}  // namespace
