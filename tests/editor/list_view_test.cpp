// The list of points as the user sees it: the cell editor over its cell, and the row the user
// worked on staying selected and in view after each change.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QScrollBar>
#include <QTableWidget>
#include <string>

#include "diagram/graph.h"
#include "tests/support/editor_fixture.h"

namespace {

// One polar of 30 points, 30 to 175 degrees: more rows than the list shows at once.
std::string LongPolar() {
    std::string strText = "Main,\r\n8,42,\r\n";
    for (int nAngle = 30; nAngle <= 175; nAngle += 5) {
        strText += std::to_string(nAngle);
        strText += ",";
        strText += std::to_string(4 + nAngle / 30);
        strText += ",";
    }
    strText += "-2";
    return strText;
}

class ListView : public EditorFixture {
  protected:
    // The one selected row, -1 when none or several are.
    int SelectedRow() {
        const QModelIndexList rows = List()->selectionModel()->selectedRows();
        return rows.size() == 1 ? rows.front().row() : -1;
    }
    bool RowWhollyInView(int nRow) {
        const QRect row = List()->visualRect(List()->model()->index(nRow, 0));
        return row.isValid() && List()->viewport()->rect().contains(row);
    }
    // The list scrolled to its end, as a user drags its scroll bar down.
    void ScrollToEnd() {
        QScrollBar* pBar = List()->verticalScrollBar();
        pBar->setValue(pBar->maximum());
        ASSERT_FALSE(RowWhollyInView(0));
    }
    void EditCell(int nRow, int nColumn, const char* pszValue) {
        m_steps.push_back([pszValue](CDialog*, GuiDriver& d) {
            SetText(d, IDC_CELL_EDIT, pszValue);
            d.PressKey(Qt::Key_Return);
        });
        ASSERT_TRUE(Driver().DoubleClickCell(IDC_VECTOR_LIST, nRow, nColumn));
    }
    QRect CellOnScreen(int nRow, int nColumn) {
        const QRect cell = List()->visualRect(List()->model()->index(nRow, nColumn));
        return QRect(List()->viewport()->mapToGlobal(cell.topLeft()), cell.size());
    }
};

TEST_F(ListView, TheCellEditorCoversExactlyItsCell) {
    Open(LongPolar());
    ScrollToEnd();
    const int nLast = List()->rowCount() - 1;
    for (const auto& [nRow, nColumn] : {std::pair{nLast, 1}, std::pair{nLast - 3, 0}}) {
        QRect editor;
        QRect edit;
        m_steps.push_back([&](CDialog* pDialog, GuiDriver& d) {
            QWidget* pEditor = pDialog->GetSafeHwnd();
            editor = QRect(pEditor->mapToGlobal(QPoint(0, 0)), pEditor->size());
            edit = d.Control(IDC_CELL_EDIT)->geometry();
            d.PressKey(Qt::Key_Escape);
        });
        ASSERT_TRUE(Driver().DoubleClickCell(IDC_VECTOR_LIST, nRow, nColumn));
        const QRect cell = CellOnScreen(nRow, nColumn);
        EXPECT_EQ(editor, cell) << "row " << nRow << ", column " << nColumn;
        EXPECT_EQ(edit, QRect(QPoint(0, 0), cell.size()));  // the field fills the editor
        // Neither the row above nor the list's border is covered.
        EXPECT_GE(editor.top(), CellOnScreen(nRow - 1, nColumn).bottom() + 1);
        EXPECT_GE(editor.left(), List()->viewport()->mapToGlobal(QPoint(0, 0)).x());
    }
}

TEST_F(ListView, AnEditedCellKeepsItsRowSelectedAndInView) {
    Open(LongPolar());
    ScrollToEnd();
    const int nLast = List()->rowCount() - 1;
    EditCell(nLast - 2, 1, "9.5");  // a speed: the row stays where it is
    EXPECT_EQ(List()->item(nLast - 2, 1)->text(), "9.50");
    EXPECT_EQ(SelectedRow(), nLast - 2);
    EXPECT_TRUE(RowWhollyInView(nLast - 2));
    EXPECT_EQ(m_pEditor->Graph()->GetSelected(), nLast - 2);

    // An angle that sends the point to the top of the polar: the selection follows it there.
    EditCell(nLast - 1, 0, "20");
    EXPECT_EQ(List()->item(0, 0)->text(), "20.00");
    EXPECT_EQ(SelectedRow(), 0);
    EXPECT_TRUE(RowWhollyInView(0));
    EXPECT_EQ(m_pEditor->Graph()->GetSelected(), 0);  // the diagram marks the same point
}

TEST_F(ListView, AddingAndDeletingKeepTheNearestRow) {
    Open(LongPolar());
    ScrollToEnd();
    const int nLast = List()->rowCount() - 1;
    // Deleting the last point selects the one before it, still in view.
    ASSERT_TRUE(Driver().ClickCell(IDC_VECTOR_LIST, nLast, 0));
    ASSERT_TRUE(Driver().Click(IDC_DELETE_VECTOR));
    EXPECT_EQ(SelectedRow(), nLast - 1);
    EXPECT_TRUE(RowWhollyInView(nLast - 1));
    // Deleting one in the middle selects the next point, which takes its row.
    ASSERT_TRUE(Driver().ClickCell(IDC_VECTOR_LIST, nLast - 4, 0));
    const QString strNext = List()->item(nLast - 3, 0)->text();
    ASSERT_TRUE(Driver().Click(IDC_DELETE_VECTOR));
    EXPECT_EQ(SelectedRow(), nLast - 4);
    EXPECT_EQ(List()->item(nLast - 4, 0)->text(), strNext);
    EXPECT_TRUE(RowWhollyInView(nLast - 4));
    // An added point is the first row: it is selected and the list scrolls up to it.
    ASSERT_TRUE(Driver().Click(IDC_ADD_VECTOR));
    EXPECT_EQ(SelectedRow(), 0);
    EXPECT_TRUE(RowWhollyInView(0));
}

TEST_F(ListView, TheCheckBoxesLeaveTheSelectionAlone) {
    Open(LongPolar());
    ScrollToEnd();
    const int nRow = List()->rowCount() - 2;
    ASSERT_TRUE(Driver().ClickCell(IDC_VECTOR_LIST, nRow, 1));
    ASSERT_EQ(SelectedRow(), nRow);
    for (int nBox : {IDC_SHOW_ALL, IDC_TRACK_CURVE, IDC_SHOW_ALL, IDC_TRACK_CURVE}) {
        ASSERT_TRUE(Driver().Click(nBox));
        EXPECT_EQ(SelectedRow(), nRow) << "after check box " << nBox;
        EXPECT_TRUE(RowWhollyInView(nRow)) << "after check box " << nBox;
        EXPECT_EQ(m_pEditor->Graph()->GetSelected(), nRow) << "after check box " << nBox;
    }
}

}  // namespace
