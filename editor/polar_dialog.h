#pragma once

#include <memory>
#include <string>

#include "data/file_io.h"
#include "data/sailplan.h"
#include "diagram/graph.h"
#include "diagram/graph_owner.h"
#include "framework/dialog.h"
#include "polar/polar.h"

// WM_POLAR_NOTIFY and the host's commands, as the public host interface defines them.
constexpr UINT WM_POLAR_NOTIFY = polar_api::WM_POLAR_NOTIFY;
constexpr int ID_POLAR_RELOAD = static_cast<int>(polar_api::ID_POLAR_RELOAD);
constexpr int ID_SAVE_AND_CLOSE = static_cast<int>(polar_api::ID_SAVE_AND_CLOSE);
static_assert(WM_POLAR_NOTIFY == WM_USER + 0x100);

// The editor: the modeless dialog that owns all sail plans while it is open.
class Cpolar : public CDialog, public IGraphOwner {
    DECLARE_MESSAGE_MAP()

  public:
    Cpolar(HWND hHostWnd, const char* pszDataFile, COLORREF crGrid, COLORREF crBackground,
           COLORREF crCurve, COLORREF crTackingSector, COLORREF crOtherPolars, int nLanguage,
           int* pOpenFlag, HWND* pDialogHandle);
    ~Cpolar() override;

    const DialogTemplate* m_pDialogTemplate = nullptr;

    // Reads the data file into the sail plans; a file that does not exist is created empty.
    void ReadDataFile();
    // Writes the sail plans; with none, nothing is written.
    IoStatus WriteDataFile();
    BOOL RefreshAll();

    // IGraphOwner
    CListCtrl& GraphPointList() override { return m_listVectors; }
    CComboBox& GraphWindSpeedCombo() override { return m_comboWindSpeed; }
    CButton& GraphTrackCurveCheck() override { return m_chkTrackCurve; }
    CButton& GraphShowAllCheck() override { return m_chkShowAll; }
    void InsertVectorAt(float fAngle, float fSpeed) override;

    void AddWindSpeedPolar(float fWindSpeed, float fTackingAngle);
    void ResortWindSpeedEntry(int nEntry, float fWindSpeed);
    int ResortVectorRow(int nRow, float fAngle);
    void ResortSailPlanEntry(int nIndex);

    // Read by the tests and the host.
    const SailPlanArray& SailPlans() const { return m_aSailPlans; }
    CGraph* Graph() const { return m_pGraph.get(); }
    int CurrentSailPlanIndex() const { return m_nCurSailPlan; }
    int CurrentWindSpeed() const { return m_nCurWindSpeed; }

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

    void OnClickVectorList(NMHDR* pHeader, LRESULT* pResult);
    void OnItemchangedVectorList(NMHDR* pHeader, LRESULT* pResult);
    void OnSelchangeSailPlan();
    void OnSelchangeWindSpeed();
    void OnTrackCurve();
    void OnShowAll();
    void OnSave();
    void OnSaveAndClose();
    void OnHelp();
    // Sail plans
    void OnAddSailPlan();
    void OnDeleteSailPlan();
    // Wind speeds
    void OnAddWindSpeed();
    void OnDeleteWindSpeed();
    // Points
    void OnAddVector();
    void OnDeleteVector();
    void OnDblclkVectorList(NMHDR* pHeader, LRESULT* pResult);
    // Typed edits
    void OnEditKillFocus();
    // Smoothing, backup and restore
    void OnSmooth();
    void OnBackup();
    void OnRestore();
    BOOL OnHelpInfo(HELPINFO* pHelpInfo);
    BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);

  private:
    void CreateGraph();
    void ShowCurrentSailPlan();
    void ApplyEnabledStates();
    // Static: command 1018 tells the host after this object is gone.
    static void NotifyHost(HWND hHostWnd, WPARAM wParam);
    PERF_POLAR* CurrentPolar();
    SAILPLAN& CurrentSailPlan();
    // Shows the current sail plan after a change of selection: its polars, polar 0's points and
    // tacking angle, and the enabled states that follow.
    void ShowSailPlan(int nSailPlan);
    // The value of a list row's angle cell, as typed.
    float RowAngle(int nRow);
    // Writes the data file; a failure is told in a message box. True when written.
    bool WriteDataFileOrTell();

    HWND m_hHostWnd;
    std::string m_strDataFile;
    const char* m_pszDataFile;
    COLORREF m_crGrid;
    COLORREF m_crBackground;
    COLORREF m_crCurve;
    COLORREF m_crTackingSector;
    COLORREF m_crOtherPolars;
    HWND* m_pHostDialogHandle;
    SailPlanArray m_aSailPlans;
    int m_nSailPlanCount = 0;
    int m_nCurSailPlan = 0;
    int m_nCurWindSpeed = 0;
    float m_fTackingAngle = 0.0f;
    std::unique_ptr<CGraph> m_pGraph;
    bool m_bSaveOnClose = false;
    // A commit's own message box takes the focus away, which would start another commit.
    bool m_bCommitting = false;
    CTarnToolTipCtrl m_toolTip;

    CEdit m_editUnused1028;
    CEdit m_editUnused1027;
    CEdit m_editUnused1026;
    CButton m_btnHelp;
    CButton m_btnSave;
    CButton m_chkShowAll;
    CButton m_chkTrackCurve;
    CButton m_btnAddSailPlan;
    CButton m_btnDeleteSailPlan;
    CEdit m_editTackingAngle;
    CButton m_btnAddVector;
    CButton m_btnAddWindSpeed;
    CButton m_btnDeleteWindSpeed;
    CButton m_btnDeleteVector;
    CComboBox m_comboWindSpeed;
    CComboBox m_comboSailPlan;
    CListCtrl m_listVectors;
};
