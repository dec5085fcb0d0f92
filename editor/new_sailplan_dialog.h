#pragma once

#include <string>

#include "framework/dialog.h"

// The modal "Sailplan" dialog: the new sail plan's name, the band of wind speeds from which its
// first polars are made, and their tacking angle.
class CNewSailplanDlg : public CDialog {
    DECLARE_MESSAGE_MAP()

  public:
    explicit CNewSailplanDlg(CWnd* pParent);
    ~CNewSailplanDlg() override;

    CEdit m_editInterval;
    CEdit m_editTackingAngle;
    CEdit m_editMinimum;
    CEdit m_editMaximum;
    std::string m_strSailPlanName;
    float m_fInterval = 0;
    float m_fMinimum = 0;
    float m_fMaximum = 0;
    float m_fTackingAngle = 0;

    // A band that could never end, or that would make more polars than the editor can handle.
    static constexpr int kMaxPolars = 1000;

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnChangeName();
    void OnDeltaposMinimum(NMHDR* pHeader, LRESULT* pResult);
    void OnDeltaposMaximum(NMHDR* pHeader, LRESULT* pResult);
    void OnDeltaposInterval(NMHDR* pHeader, LRESULT* pResult);
    void OnDeltaposTackingAngle(NMHDR* pHeader, LRESULT* pResult);

  private:
    void Step(CEdit& edit, NMHDR* pHeader, LRESULT* pResult, double dStep);
    CEdit m_editName;
    bool m_bInitialised = false;
};
