#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <deque>
#include <functional>

#include "diagram/geometry.h"
#include "editor/polar_dialog.h"
#include "resources/resource_ids.h"
#include "tests/support/gui_driver.h"
#include "tests/support/notice_recorder.h"
#include "tests/support/temp_dir.h"

// The editor on a data file, driven through its controls; modal dialogs are answered by the
// queued steps, one per dialog, in order. Messages shown while the file is read at opening
// are answered with OK (nOpeningBoxes of them).
class EditorFixture : public testing::Test {
  protected:
    void Open(const std::string& text, int nOpeningBoxes = 0) {
        TempDir::Write(m_strFile, text);
        OpenExisting(nOpeningBoxes);
    }
    void OpenExisting(int nOpeningBoxes = 0) {
        m_pInteraction = &ScriptedInteraction::Install();
        for (int i = 0; i < nOpeningBoxes; ++i) {
            m_pInteraction->AnswerNextBox(IDOK);
        }
        m_pEditor = new Cpolar(&m_host, m_strFile.c_str(), 0x808080, 0xFFFFFF, 0xFF0000, 0xC0FFC0,
                               0x0000C0, m_nLanguage, &m_nFlag, &m_hDialog);
        m_pEditor->CreateIndirect(m_pEditor->m_pDialogTemplate, nullptr);
        m_pEditor->ShowWindow(SW_SHOW);
        Driver().Activate();
        CDialog::SetModalHook([this](CDialog* pDialog) {
            ASSERT_FALSE(m_steps.empty()) << "a dialog nobody expected";
            auto step = std::move(m_steps.front());
            m_steps.pop_front();
            GuiDriver driver(pDialog->GetSafeHwnd());
            driver.Activate();
            step(pDialog, driver);
        });
    }
    void TearDown() override {
        CDialog::SetModalHook(nullptr);
        // An editor that ended (its flag 0) is deleted from the event loop.
        if (m_nFlag == 1) {
            delete m_pEditor;
        }
        QCoreApplication::processEvents();
        ScriptedInteraction::Uninstall();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    GuiDriver Driver() { return GuiDriver(m_hDialog); }
    QComboBox* Combo(int nId) { return qobject_cast<QComboBox*>(Driver().Control(nId)); }
    QTableWidget* List() { return qobject_cast<QTableWidget*>(Driver().Control(IDC_VECTOR_LIST)); }
    std::vector<std::string> Entries(int nId) {
        std::vector<std::string> v;
        for (int i = 0; i < Combo(nId)->count(); ++i) {
            v.push_back(Combo(nId)->itemText(i).toStdString());
        }
        return v;
    }
    std::vector<float> WindSpeeds(int nSailPlan) {
        std::vector<float> v;
        for (const auto& p :
             m_pEditor->SailPlans()[static_cast<std::size_t>(nSailPlan)]->m_aPolars) {
            v.push_back(p->m_fWindSpeed);
        }
        return v;
    }
    std::vector<std::string> Column(int nColumn) {
        std::vector<std::string> v;
        for (int r = 0; r < List()->rowCount(); ++r) {
            v.push_back(List()->item(r, nColumn)->text().toStdString());
        }
        return v;
    }
    // Replaces the text of an edit or of a combo box's edit field, typing as a user would.
    void Retype(int nId, const char* pszText) {
        GuiDriver d = Driver();
        ASSERT_TRUE(d.FocusTo(nId));
        QTest::keySequence(QApplication::focusWidget(), QKeySequence::SelectAll);
        ASSERT_TRUE(d.Type(nId, pszText));
    }
    QWidget* Diagram() { return m_hDialog->findChild<QWidget*>(QString::number(IDC_DIAGRAM)); }
    // Where a point of that angle and speed is in the diagram, in its client pixels.
    QPoint DiagramPoint(float fAngle, float fSpeed) {
        CGraph* pGraph = m_pEditor->Graph();
        CClientDC dc(pGraph);
        pGraph->PrepareDC(&dc);
        CPoint point = PolarToPoint(fAngle, fSpeed);
        dc.LPtoDP(&point);
        return QPoint(point.x, point.y);
    }
    // Presses on the point's square and drags it by the offset.
    void DragPoint(float fAngle, float fSpeed, QPoint offset) {
        const QPoint from = DiagramPoint(fAngle, fSpeed);
        GuiDriver::Press(Diagram(), from);
        GuiDriver::Move(Diagram(), from + offset, true);
        GuiDriver::Release(Diagram(), from + offset);
    }
    static void SetText(GuiDriver& d, int nId, const char* pszText) {
        auto* pEdit = qobject_cast<QLineEdit*>(d.Control(nId));
        pEdit->clear();
        d.Type(nId, pszText);
    }

    TempDir m_dir;
    std::string m_strFile = m_dir.File("POLAR.PPD");
    NoticeRecorder m_host;
    int m_nLanguage = 44;
    int m_nFlag = 0;
    HWND m_hDialog = nullptr;
    Cpolar* m_pEditor = nullptr;
    ScriptedInteraction* m_pInteraction = nullptr;
    std::deque<std::function<void(CDialog*, GuiDriver&)>> m_steps;
};
