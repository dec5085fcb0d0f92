#pragma once

#include <QPoint>
#include <QWidget>
#include <deque>
#include <memory>
#include <string>

#include "framework/interaction.h"

class CWnd;

// Acts on real widgets as a user would: only visible, enabled controls can be clicked or
// typed into, and the focus moves the way a click or Tab moves it.
class GuiDriver {
  public:
    explicit GuiDriver(QWidget* pWindow) : m_pWindow(pWindow) {}

    QWidget* Control(int nId) const;
    // Shows and activates the window, so that focus and keys behave as on screen.
    void Activate();
    bool Click(int nId);
    bool Type(int nId, const std::string& strText);
    void PressKey(int nKey);
    // Moves the focus from the current control to another one, as a click on it does.
    bool FocusTo(int nId);
    // Opens the drop-down list of a combo box and clicks an entry.
    bool PickEntry(int nComboId, int nIndex);
    bool ClickCell(int nListId, int nRow, int nColumn);
    bool DoubleClickCell(int nListId, int nRow, int nColumn);
    bool ClickArrow(int nUpDownId, bool bUp);
    // Mouse input in a custom window, in its client coordinates.
    static void Press(QWidget* pWidget, QPoint pt);
    static void Move(QWidget* pWidget, QPoint pt, bool bButtonDown);
    static void Release(QWidget* pWidget, QPoint pt);
    static void DoubleClick(QWidget* pWidget, QPoint pt);
    static void Wheel(QWidget* pWidget, QPoint pt, int nDelta);

  private:
    QWidget* Usable(int nId) const;
    QWidget* m_pWindow;
};

// Scripted answers to message boxes and file dialogs. A box nobody expected fails the test
// at once and is answered with Cancel, so a test never hangs on a dialog.
class ScriptedInteraction : public Interaction {
  public:
    struct Box {
        std::string strText;
        std::string strCaption;
        UINT nType;
    };

    // Installs itself for the lifetime of the object.
    static ScriptedInteraction& Install();
    static void Uninstall();

    void AnswerNextBox(int nAnswer) { m_answers.push_back(nAnswer); }
    void AnswerNextFileDialog(std::string strPath) { m_files.push_back(std::move(strPath)); }
    void CancelNextFileDialog() { m_files.push_back(std::string()); }
    const std::deque<Box>& Boxes() const { return m_boxes; }
    const std::deque<FileDialogRequest>& FileRequests() const { return m_fileRequests; }
    bool AllAnswersUsed() const { return m_answers.empty() && m_files.empty(); }
    void Clear();

    int MessageBox(QWidget* pParent, const std::string& strText, const std::string& strCaption,
                   UINT nType) override;
    bool ChooseFile(QWidget* pParent, const FileDialogRequest& request,
                    std::string& strPath) override;
    // Documents are recorded, not opened; with FailDocuments, as on a desktop without a
    // program for them.
    bool OpenDocument(const std::string& strPath) override {
        m_documents.push_back(strPath);
        return !m_bFailDocuments;
    }
    void FailDocuments() { m_bFailDocuments = true; }
    const std::deque<std::string>& Documents() const { return m_documents; }

  private:
    std::deque<int> m_answers;
    std::deque<std::string> m_files;
    std::deque<Box> m_boxes;
    std::deque<FileDialogRequest> m_fileRequests;
    std::deque<std::string> m_documents;
    bool m_bFailDocuments = false;
};
