#include "tests/support/gui_driver.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

QWidget* GuiDriver::Control(int nId) const {
    return m_pWindow->findChild<QWidget*>(QString::number(nId), Qt::FindDirectChildrenOnly);
}

QWidget* GuiDriver::Usable(int nId) const {
    QWidget* pWidget = Control(nId);
    if (pWidget == nullptr) {
        ADD_FAILURE() << "no control " << nId;
        return nullptr;
    }
    if (!pWidget->isVisible() || !pWidget->isEnabled()) {
        ADD_FAILURE() << "control " << nId << " is hidden or disabled: a user could not use it";
        return nullptr;
    }
    return pWidget;
}

void GuiDriver::Activate() {
    m_pWindow->show();
    m_pWindow->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(m_pWindow));
}

bool GuiDriver::Click(int nId) {
    QWidget* pWidget = Usable(nId);
    if (pWidget == nullptr) {
        return false;
    }
    QTest::mouseClick(pWidget, Qt::LeftButton, Qt::NoModifier, pWidget->rect().center());
    return true;
}

bool GuiDriver::FocusTo(int nId) {
    QWidget* pWidget = Usable(nId);
    if (pWidget == nullptr) {
        return false;
    }
    pWidget->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    return true;
}

bool GuiDriver::Type(int nId, const std::string& strText) {
    if (!FocusTo(nId)) {
        return false;
    }
    QWidget* pTarget = QApplication::focusWidget();
    QTest::keyClicks(pTarget, QString::fromUtf8(strText.c_str()));
    return true;
}

void GuiDriver::PressKey(int nKey) {
    QWidget* pTarget =
        QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : m_pWindow;
    QTest::keyClick(pTarget, static_cast<Qt::Key>(nKey));
}

bool GuiDriver::PickEntry(int nComboId, int nIndex) {
    auto* pCombo = qobject_cast<QComboBox*>(Usable(nComboId));
    if (pCombo == nullptr || nIndex < 0 || nIndex >= pCombo->count()) {
        ADD_FAILURE() << "cannot pick entry " << nIndex << " of combo box " << nComboId;
        return false;
    }
    pCombo->showPopup();
    QAbstractItemView* pView = pCombo->view();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(pView->window()));
    const QRect rect = pView->visualRect(pView->model()->index(nIndex, 0));
    QTest::mouseClick(pView->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    return true;
}

bool GuiDriver::ClickCell(int nListId, int nRow, int nColumn) {
    auto* pTable = qobject_cast<QTableWidget*>(Usable(nListId));
    if (pTable == nullptr) {
        return false;
    }
    const QRect rect = pTable->visualRect(pTable->model()->index(nRow, nColumn));
    QTest::mouseClick(pTable->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    return true;
}

bool GuiDriver::DoubleClickCell(int nListId, int nRow, int nColumn) {
    auto* pTable = qobject_cast<QTableWidget*>(Usable(nListId));
    if (pTable == nullptr) {
        return false;
    }
    QPoint pt;
    if (nRow >= 0 && nRow < pTable->rowCount()) {
        pt = pTable->visualRect(pTable->model()->index(nRow, nColumn)).center();
    } else {
        // Below the last row: an empty cell.
        const int nBottom =
            pTable->rowCount() > 0
                ? pTable->visualRect(pTable->model()->index(pTable->rowCount() - 1, 0)).bottom()
                : 0;
        pt = QPoint(pTable->columnViewportPosition(std::max(nColumn, 0)) + 5, nBottom + 10);
    }
    QTest::mouseDClick(pTable->viewport(), Qt::LeftButton, Qt::NoModifier, pt);
    return true;
}

bool GuiDriver::ClickArrow(int nUpDownId, bool bUp) {
    QWidget* pUpDown = Usable(nUpDownId);
    if (pUpDown == nullptr) {
        return false;
    }
    auto* pArrow = pUpDown->findChild<QToolButton*>(bUp ? "up" : "down");
    QTest::mouseClick(pArrow, Qt::LeftButton, Qt::NoModifier, pArrow->rect().center());
    return true;
}

void GuiDriver::Press(QWidget* pWidget, QPoint pt) {
    QTest::mousePress(pWidget, Qt::LeftButton, Qt::NoModifier, pt);
}

void GuiDriver::Move(QWidget* pWidget, QPoint pt, bool bButtonDown) {
    QMouseEvent event(QEvent::MouseMove, pt, pWidget->mapToGlobal(pt), Qt::NoButton,
                      bButtonDown ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(pWidget, &event);
}

void GuiDriver::Release(QWidget* pWidget, QPoint pt) {
    QTest::mouseRelease(pWidget, Qt::LeftButton, Qt::NoModifier, pt);
}

void GuiDriver::DoubleClick(QWidget* pWidget, QPoint pt) {
    QTest::mouseDClick(pWidget, Qt::LeftButton, Qt::NoModifier, pt);
}

void GuiDriver::Wheel(QWidget* pWidget, QPoint pt, int nDelta) {
    QWheelEvent event(pt, pWidget->mapToGlobal(pt), QPoint(), QPoint(0, nDelta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(pWidget, &event);
}

// ---- ScriptedInteraction ----

namespace {
ScriptedInteraction* g_pScripted = nullptr;
}

ScriptedInteraction& ScriptedInteraction::Install() {
    auto pScripted = std::make_unique<ScriptedInteraction>();
    g_pScripted = pScripted.get();
    SetInteraction(std::move(pScripted));
    return *g_pScripted;
}

void ScriptedInteraction::Uninstall() {
    SetInteraction(nullptr);
    g_pScripted = nullptr;
}

void ScriptedInteraction::Clear() {
    m_answers.clear();
    m_files.clear();
    m_boxes.clear();
    m_fileRequests.clear();
}

int ScriptedInteraction::MessageBox(QWidget* /*pParent*/, const std::string& strText,
                                    const std::string& strCaption, UINT nType) {
    m_boxes.push_back(Box{strText, strCaption, nType});
    if (m_answers.empty()) {
        ADD_FAILURE() << "unexpected message box: " << strText;
        return IDCANCEL;
    }
    const int nAnswer = m_answers.front();
    m_answers.pop_front();
    return nAnswer;
}

bool ScriptedInteraction::ChooseFile(QWidget* /*pParent*/, const FileDialogRequest& request,
                                     std::string& strPath) {
    m_fileRequests.push_back(request);
    if (m_files.empty()) {
        ADD_FAILURE() << "unexpected file dialog";
        return false;
    }
    strPath = m_files.front();
    m_files.pop_front();
    if (strPath.empty()) {
        return false;
    }
    strPath = WithDefaultExtension(strPath, request.strDefaultExt);
    return true;
}
