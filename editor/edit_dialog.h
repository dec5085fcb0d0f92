#pragma once

#include <string>

#include "framework/dialog.h"

// The edit control of the cell editor; it leaves the keys to the default processing.
class CEditCell : public CEdit {};

// The in-place cell editor: a borderless one-line dialog laid over a list cell. It holds the
// mouse, so a click anywhere ends the edit; Enter validates, Escape discards.
class CEditDialog : public CDialog {
    DECLARE_MESSAGE_MAP()

  public:
    // The owner is the window of the list; the editor is laid into it over the cell.
    CEditDialog(std::string strText, CPoint ptCell, int nWidth, float fMax, CWnd* pOwner = nullptr);
    ~CEditDialog() override;

    CEditCell m_edit;
    CPoint m_ptCell;
    int m_nWidth;
    float m_fValue = 0.0f;
    CPoint m_ptClick;
    bool m_bEndedByClick = false;
    float m_fMax;
    std::string m_strText;

    static constexpr int kHeight = 25;

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnLButtonDown(UINT nFlags, CPoint point);
};
