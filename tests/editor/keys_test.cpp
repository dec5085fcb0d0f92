// The editor's keys: Tab passes the point list in one press, the arrows move within it, and a
// button's Alt key presses it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include "tests/support/editor_fixture.h"

namespace {

class EditorKeys : public EditorFixture {};

TEST_F(EditorKeys, TabLeavesThePointListInOnePressAndArrowsMoveWithinIt) {
    Open("Main,\r\n6.00,45.00,\r\n40.00,4.10,60.00,5.00,90.00,5.40,120.00,5.60,150.00,5.00,-2");
    m_hDialog->show();
    QApplication::setActiveWindow(m_hDialog);
    List()->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([this] { return List()->hasFocus(); }, 2000));
    List()->setCurrentCell(0, 0);
    QTest::keyClick(List(), Qt::Key_Down);
    EXPECT_EQ(List()->currentRow(), 1);
    QTest::keyClick(List(), Qt::Key_Right);
    EXPECT_EQ(List()->currentRow(), 1);
    QTest::keyClick(List(), Qt::Key_Tab);
    EXPECT_FALSE(List()->hasFocus())
        << "focus: " << QApplication::focusWidget()->objectName().toStdString();
    // Shift+Tab comes back to it in one press, too.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_TRUE(List()->hasFocus());
}

}  // namespace
