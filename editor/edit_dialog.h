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
    // The owner is the window of the list; the editor is laid into it exactly over the cell,
    // whose rectangle is given in screen coordinates.
    CEditDialog(std::string strText, const CRect& rcCell, float fMax, CWnd* pOwner = nullptr);
    ~CEditDialog() override;

    CEditCell m_edit;
    CRect m_rcCell;
    float m_fValue = 0.0f;
    CPoint m_ptClick;
    bool m_bEndedByClick = false;
    float m_fMax;
    std::string m_strText;

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnLButtonDown(UINT nFlags, CPoint point);
};
