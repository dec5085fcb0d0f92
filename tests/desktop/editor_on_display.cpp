#include "tests/desktop/editor_on_display.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "diagram/geometry.h"
#include "framework/dc.h"

void EditorOnDisplay::Open(const std::string& strContent) {
    TempDir::Write(m_strFile, strContent);
    m_pEditor = new Cpolar(&m_host, m_strFile.c_str(), 0x808080, 0xFFFFFF, 0xFF0000, 0xC0FFC0,
                           0x0000C0, m_nLanguage, &m_nFlag, &m_hDialog);
    m_pEditor->CreateIndirect(m_pEditor->m_pDialogTemplate, nullptr);
    m_pEditor->ShowWindow(SW_SHOW);
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_hDialog, 10000))
        << "the window manager did not activate the editor";
}

void EditorOnDisplay::OpenWhenRunning(const std::string& strContent) {
    TempDir::Write(m_strFile, strContent);
    QTimer::singleShot(0, qApp, [this] {
        m_pEditor = new Cpolar(&m_host, m_strFile.c_str(), 0x808080, 0xFFFFFF, 0xFF0000, 0xC0FFC0,
                               0x0000C0, m_nLanguage, &m_nFlag, &m_hDialog);
        m_pEditor->CreateIndirect(m_pEditor->m_pDialogTemplate, nullptr);
        m_pEditor->ShowWindow(SW_SHOW);
    });
}

void EditorOnDisplay::OpenSample() {
    std::ifstream in(POLAR_SAMPLE_FILE, std::ios::binary);
    Open(std::string(std::istreambuf_iterator<char>(in), {}));
}

void EditorOnDisplay::TearDown() {
    if (m_nFlag != 0) {
        delete m_pEditor;
    }
    // An editor that ended is deleted from the event loop.
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void EditorOnDisplay::RunAsUser(const std::function<void(XUser&)>& steps) {
    ::RunAsUser(steps, [this] {
        // Whatever a failed step left open is closed, innermost first.
        if (QWidget* pModal = QApplication::activeModalWidget()) {
            pModal->close();
        }
        if (QWidget* pPopup = QApplication::activePopupWidget()) {
            pPopup->close();
        }
        if (QWidget* pEditor = CellEditor()) {
            ::SendMessage(pEditor, WM_COMMAND, IDCANCEL, 0);
        }
    });
}

QWidget* EditorOnDisplay::Control(int nId) const {
    return EditorOpen()
               ? m_hDialog->findChild<QWidget*>(QString::number(nId), Qt::FindDirectChildrenOnly)
               : nullptr;
}

QTableWidget* EditorOnDisplay::List() const {
    return qobject_cast<QTableWidget*>(Control(IDC_VECTOR_LIST));
}

QComboBox* EditorOnDisplay::Combo(int nId) const {
    return qobject_cast<QComboBox*>(Control(nId));
}

QRect EditorOnDisplay::OnScreen(const QWidget* pWidget) const {
    return QRect(pWidget->mapToGlobal(QPoint(0, 0)), pWidget->size());
}

QRect EditorOnDisplay::CellOnScreen(int nRow, int nColumn) const {
    QTableWidget* pList = List();
    const QRect cell = pList->visualRect(pList->model()->index(nRow, nColumn));
    return QRect(pList->viewport()->mapToGlobal(cell.topLeft()), cell.size());
}

QWidget* EditorOnDisplay::CellEditor() const {
    if (!EditorOpen()) {  // the handle outlives the window it named
        return nullptr;
    }
    // Editors that ended go when the editing loop returns to the event loop; the open one is
    // the one shown.
    for (QWidget* pEditor :
         m_hDialog->window()->findChildren<QWidget*>(QString("dialog-%1").arg(IDD_EDIT_CELL))) {
        if (pEditor->isVisible() && CWnd::FromHandle(pEditor) != nullptr) {
            return pEditor;
        }
    }
    return nullptr;
}

std::string EditorOnDisplay::Cell(int nRow, int nColumn) const {
    const QTableWidgetItem* pItem = List()->item(nRow, nColumn);
    return pItem != nullptr ? pItem->text().toStdString() : std::string();
}

QPoint EditorOnDisplay::DiagramPoint(float fAngle, float fSpeed) const {
    CGraph* pGraph = m_pEditor->Graph();
    CClientDC dc(pGraph);
    pGraph->PrepareDC(&dc);
    CPoint point = PolarToPoint(fAngle, fSpeed);
    dc.LPtoDP(&point);
    return pGraph->GetSafeHwnd()->mapToGlobal(QPoint(point.x, point.y));
}

QPoint EditorOnDisplay::EmptySpot() const {
    const QRect list = OnScreen(List());
    const QRect graph = OnScreen(m_pEditor->Graph()->GetSafeHwnd());
    return QPoint((list.right() + graph.left()) / 2, list.center().y());
}

std::string EditorOnDisplay::MessageBoxText() const {
    auto* pBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    return pBox != nullptr && pBox->isVisible() ? pBox->text().toStdString() : std::string();
}

bool EditorOnDisplay::MessageBoxActive() const {
    auto* pBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    return pBox != nullptr && pBox->isVisible() && QApplication::activeWindow() == pBox;
}

QPoint EditorOnDisplay::MessageBoxButton(QMessageBox::StandardButton button) const {
    auto* pBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    QAbstractButton* pButton = pBox != nullptr ? pBox->button(button) : nullptr;
    return pButton != nullptr ? OnScreen(pButton).center() : QPoint(-1, -1);
}

std::string EditorOnDisplay::MessageBoxWhenActive() {
    return WaitUntil([this] { return MessageBoxActive(); })
               ? OnGui([this] { return MessageBoxText(); })
               : std::string();
}

bool EditorOnDisplay::ClickMessageBoxButton(XUser& user, QMessageBox::StandardButton button) {
    if (MessageBoxWhenActive().empty()) {
        return false;
    }
    if (!WaitForPlacedModal(user)) {
        return false;
    }
    user.Click(OnGui([this, button] { return MessageBoxButton(button); }));
    return true;
}

std::string EditorOnDisplay::FileBytes() const {
    std::ifstream in(m_strFile, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void EditorOnDisplay::Shot(const std::string& strWhat) {
    ScreenShot(strWhat, &m_nShot);
}

QPoint EditorOnDisplay::CellCentre(int nRow, int nColumn) {
    return OnGui([&] { return CellOnScreen(nRow, nColumn).center(); });
}

void EditorOnDisplay::OpenCellEditor(XUser& user, int nRow, int nColumn) {
    user.DoubleClick(CellCentre(nRow, nColumn));
    ASSERT_TRUE(WaitUntil([this] { return CellEditor() != nullptr; }))
        << "no cell editor after a double click on row " << nRow << ", column " << nColumn;
}

void EditorOnDisplay::ExpectEditorOverCell(int nRow, int nColumn) {
    const auto [editor, cell] = OnGui([&] {
        return std::pair(CellEditor() != nullptr ? OnScreen(CellEditor()) : QRect(),
                         CellOnScreen(nRow, nColumn));
    });
    EXPECT_EQ(editor, cell) << "row " << nRow << ", column " << nColumn;
}
