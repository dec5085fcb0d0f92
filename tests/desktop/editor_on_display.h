#pragma once

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTableWidget>
#include <string>
#include <vector>

#include "editor/polar_dialog.h"
#include "resources/resource_ids.h"
#include "tests/desktop/user_session.h"
#include "tests/support/notice_recorder.h"
#include "tests/support/temp_dir.h"

// The editor on a real display (xcb), opened as a host opens it. Everything the steps read is
// read on the application's thread; positions are screen coordinates.
class EditorOnDisplay : public testing::Test {
  protected:
    void Open(const std::string& strContent);
    void OpenSample();
    // Opens the editor once the event loop runs, so that a message shown while it reads its
    // file can be answered by the user's steps.
    void OpenWhenRunning(const std::string& strContent);
    void TearDown() override;
    void RunAsUser(const std::function<void(XUser&)>& steps);

    // Read on the application's thread (call through OnGui).
    QWidget* Control(int nId) const;
    QTableWidget* List() const;
    QComboBox* Combo(int nId) const;
    QRect OnScreen(const QWidget* pWidget) const;
    QRect CellOnScreen(int nRow, int nColumn) const;
    // The cell editor when it is open.
    QWidget* CellEditor() const;
    std::string Cell(int nRow, int nColumn) const;
    // Where the square of a point of the current polar is, and the screen point of an angle
    // and speed in the diagram.
    QPoint DiagramPoint(float fAngle, float fSpeed) const;
    // A spot of the dialog with no control: the gap between the list and the diagram.
    QPoint EmptySpot() const;
    bool EditorOpen() const { return m_nFlag != 0 && m_hDialog != nullptr; }
    std::string MessageBoxText() const;
    // Whether an open message box has the keyboard: keys typed before would go elsewhere.
    bool MessageBoxActive() const;
    // The centre of a button of the open message box, on the screen.
    QPoint MessageBoxButton(QMessageBox::StandardButton button) const;
    std::vector<WPARAM> Notices() const { return m_host.notices; }
    std::string FileBytes() const;
    const PERF_POLAR& CurrentPolar() const {
        return m_pEditor->SailPlans()[static_cast<std::size_t>(m_pEditor->CurrentSailPlanIndex())]
            ->Polar(m_pEditor->CurrentWindSpeed());
    }

    // Steps (user thread).
    // With POLAR_DESKTOP_SHOTS set to a folder, the screen as the X server shows it goes there
    // as <test>-<n>-<what>.png, for a person to look at.
    void Shot(const std::string& strWhat);
    QPoint CellCentre(int nRow, int nColumn);
    void OpenCellEditor(XUser& user, int nRow, int nColumn);
    // The text of the message box once it has the keyboard (keys and clicks reach it then);
    // empty when no box came.
    std::string MessageBoxWhenActive();
    // Clicks a button of the message box once it has the keyboard and sits where the window
    // manager put it; false when no box came.
    bool ClickMessageBoxButton(XUser& user, QMessageBox::StandardButton button);
    // The cell editor covers exactly the cell's rectangle on the screen: not the row above,
    // not the list's border.
    void ExpectEditorOverCell(int nRow, int nColumn);

    TempDir m_dir;
    std::string m_strFile = m_dir.File("POLAR.PPD");
    NoticeRecorder m_host;
    int m_nLanguage = 44;  // the interface language the editor opens in
    int m_nFlag = 0;
    HWND m_hDialog = nullptr;
    Cpolar* m_pEditor = nullptr;
    int m_nShot = 0;
};
