#pragma once

#include <memory>
#include <optional>
#include <string>

#include "data/edit_history.h"
#include "data/file_identity.h"
#include "data/file_io.h"
#include "data/file_lock.h"
#include "data/polar_file.h"
#include "data/sailplan.h"
#include "diagram/graph.h"
#include "diagram/graph_owner.h"
#include "framework/dialog.h"
#include "framework/dynamic_layout.h"
#include "framework/standard_texts.h"
#include "framework/text_translation.h"
#include "polar/polar.h"

// WM_POLAR_NOTIFY and the host's commands, as the public host interface defines them.
constexpr UINT WM_POLAR_NOTIFY = polar_api::WM_POLAR_NOTIFY;
constexpr int ID_POLAR_RELOAD = static_cast<int>(polar_api::ID_POLAR_RELOAD);
constexpr int ID_SAVE_AND_CLOSE = static_cast<int>(polar_api::ID_SAVE_AND_CLOSE);
static_assert(WM_POLAR_NOTIFY == WM_USER + 0x100);

class STRING_TRANSLATOR;

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
    // A file that exists but cannot be read is reported and then never replaced, until a
    // later reading succeeds.
    void ReadDataFile();
    // Writes the sail plans; with none, nothing is written.
    IoStatus WriteDataFile();
    // Saves as the user's commands do: refuses a file that could not be read or may not be
    // written, asks before replacing a file read only in part (keeping a copy of it), tells
    // what the file cannot hold, and reports a failure. True when the file was written.
    bool SaveDataFile();
    // Right before a save replaces the file: takes the file's lock and checks that the file
    // still holds what the editor read or last saved. When another program changed it, asks
    // (Overwrite / Reload and discard my changes / Cancel) without holding the lock; true only
    // when the save may go on, with the lock held.
    bool LockAndCheckUnchanged(const std::string& strPath, FileLock& lock);
    // Whether the data differ from what was last read or saved, including text typed into
    // the fields and not yet committed.
    bool IsModified();
    BOOL RefreshAll();
    // The host's reload (reload_polar, command 99): reads the file again and shows it, keeping
    // the sail plan and wind speed selected where the file still holds them. Edits not saved
    // are given up only when the user says so.
    void ReloadFromHost();
    // Reads the file again and shows it, keeping the selection where it can; what the editor
    // held is dropped without a question (the caller has asked).
    void ReloadKeepingSelection();
    // The same, once none of the editor's handlers runs (a message box or dialog of its own
    // is open while the host asks).
    void ReloadWhenIdle();

    // The host's close_polar: the editor goes without saving or notifying. Inside one of the
    // editor's own handlers (a notification the host answers, a modal dialog's loop) it
    // closes at once and is deleted when control is back in the event loop.
    void CloseFromHost();
    // True once the editor has ended (its window gone or going); it then does nothing more.
    bool IsClosing() const { return m_bClosing; }

    // IGraphOwner
    CListCtrl& GraphPointList() override { return m_listVectors; }
    CComboBox& GraphWindSpeedCombo() override { return m_comboWindSpeed; }
    CButton& GraphTrackCurveCheck() override { return m_chkTrackCurve; }
    CButton& GraphShowAllCheck() override { return m_chkShowAll; }
    void InsertVectorAt(float fAngle, float fSpeed) override;
    void GraphEditEnded() override;
    bool ShowGraphReadout(const std::string& strReadout) override;

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
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
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
    // Ctrl+Z and Ctrl+Y (or Ctrl+Shift+Z): a step of the history back and forth.
    void OnUndo();
    void OnSize(UINT nType, int cx, int cy);
    void StartWindowLayout();
    void OnRedo();

  private:
    // The message boxes of the editor, owned by its window; once it has ended, none appears
    // (a question is answered No).
    int Tell(const std::string& strText, UINT nType = MB_OK | MB_ICONEXCLAMATION);
    // True when nothing unsaved would be lost, or the user agrees to lose it (default No).
    bool MayDiscardChanges(const std::string& strQuestion);
    // Gives the host's open flag and module handle back, once.
    void ReleaseHost();
    // Rebuilds every control from the sail plans in memory, selecting the sail plan and wind
    // speed entries given (as RefreshAll does after reading).
    void ShowAllData(int nSailPlan, int nWindSpeed);
    // After each command: every button and field is enabled as the data allow.
    void UpdateEnabledStates();
    // Records as one step of the history what the last command changed.
    // Whether a step was recorded: the data changed.
    bool RecordStep();
    EditHistory::Selection CurrentSelection();
    // Shows the data after an undo or redo, at the selection given where it still exists.
    void ShowRestored(EditHistory::Selection selection);
    // Shows the caption or the read-out, marked when there are unsaved changes; bCheckModified
    // compares the data with the file's again.
    // bDataMayHaveChanged: the data are compared with what was saved (else only when a save,
    // a reading, an undo or a redo asked for it).
    void UpdateTitle(bool bDataMayHaveChanged);
    bool HasUncommittedText();
    void CreateGraph();
    void ShowCurrentSailPlan();
    void ApplyEnabledStates();
    // Static: command 1018 tells the host after this object is gone.
    static void NotifyHost(HWND hHostWnd, WPARAM wParam);
    PERF_POLAR* CurrentPolar();
    SAILPLAN& CurrentSailPlan();
    // Hands the diagram the current polar again after a change, keeping the row given (or the
    // nearest that exists) selected in the list and in view.
    void ShowCurrentPolarAt(int nRow);
    // Shows the current sail plan after a change of selection: its polars, polar 0's points and
    // tacking angle, and the enabled states that follow.
    void ShowSailPlan(int nSailPlan);
    // The value of a list row's angle cell, as typed.
    float RowAngle(int nRow);

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
    DynamicLayout m_layout;
    int* m_pOpenFlag;
    STRING_TRANSLATOR* m_pTranslator = nullptr;
    TextTranslator m_previousTextTranslator;
    std::unique_ptr<StandardTexts> m_pStandardTexts;
    bool m_bPreviousDecimalComma = false;
    bool m_bClosing = false;
    bool m_bReloadPending = false;
    // Expires with the editor: what waits for the event loop holds it weakly.
    std::shared_ptr<bool> m_pAlive = std::make_shared<bool>(true);
    bool m_bHostReleased = false;
    // What the last reading of the data file left: a file that exists but could not be read
    // (the reason), or where a partial reading stopped. Both guard the file against a save.
    std::optional<std::string> m_strUnreadable;
    std::optional<PolarFileProblem> m_readStop;
    // The data file as last read or saved: a save checks that it still holds these bytes.
    FileIdentity m_fileAsRead;
    // The sail plans as last read or saved, to tell whether anything would be lost.
    std::string m_strSavedSnapshot;
    EditHistory m_history;
    int m_nCommandDepth = 0;
    EditHistory::Selection m_lastSelection;
    // The window title: the caption or the diagram's read-out, after a "*" while changes are
    // not saved (checked after each command, not on every mouse move).
    std::string m_strCaption;
    std::string m_strReadout;
    bool m_bShownModified = false;
    bool m_bDataModified = false;
    bool m_bDataMayHaveChanged = false;
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
