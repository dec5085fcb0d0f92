#pragma once

#include "framework/dialog.h"

// The modal "Wind speed" dialog: a new polar's true wind speed and tacking angle.
class CNewWindspeedDlg : public CDialog {
  public:
    explicit CNewWindspeedDlg(CWnd* pParent);
    ~CNewWindspeedDlg() override;

    CEdit m_editWindSpeed;
    CEdit m_editTackingAngle;
    float m_fWindSpeed = 0;
    float m_fTackingAngle = 0;

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
};
