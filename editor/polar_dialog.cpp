// The editor dialog: its lifetime, initialisation, full refresh, endings, help and wheel.
#include "editor/polar_dialog.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "editor/fill_helpers.h"
#include "editor/help.h"
#include "editor/open_editor.h"
#include "framework/handler_scope.h"
#include "framework/interaction.h"
#include "framework/text_translation.h"
#include "resources/dialog_resources.h"
#include "resources/resource_ids.h"
#include "translation/string_translator.h"

namespace {

constexpr unsigned kTranslatorCapacity = 300;
constexpr const char* kHelpFile = "Help\\English\\polar.hlp";

const char* Tr(const char* pszText) {
    return g_pTranslator != nullptr ? g_pTranslator->Translate(pszText) : pszText;
}

// The speed column's heading: in English (no translation) with the unit as every other window
// writes it; the key stays the one language files hold.
const char* SpeedHeading() {
    const char* pszHeading = Tr("Boat Speed Kt");
    return std::strcmp(pszHeading, "Boat Speed Kt") == 0 ? "Boat Speed kn" : pszHeading;
}

}  // namespace

BEGIN_MESSAGE_MAP(Cpolar, CDialog)
ON_WM_SIZE()
ON_NOTIFY(NM_CLICK, IDC_VECTOR_LIST, OnClickVectorList)
ON_BN_CLICKED(IDC_ADD_VECTOR, OnAddVector)
ON_BN_CLICKED(IDC_DELETE_VECTOR, OnDeleteVector)
ON_NOTIFY(NM_DBLCLK, IDC_VECTOR_LIST, OnDblclkVectorList)
ON_CBN_SELCHANGE(IDC_SAIL_PLAN_COMBO, OnSelchangeSailPlan)
ON_CBN_SELCHANGE(IDC_WIND_SPEED_COMBO, OnSelchangeWindSpeed)
ON_BN_CLICKED(IDC_ADD_WIND_SPEED, OnAddWindSpeed)
ON_BN_CLICKED(IDC_DELETE_WIND_SPEED, OnDeleteWindSpeed)
ON_BN_CLICKED(IDC_DELETE_SAIL_PLAN, OnDeleteSailPlan)
ON_BN_CLICKED(IDC_ADD_SAIL_PLAN, OnAddSailPlan)
ON_BN_CLICKED(IDC_SAVE, OnSave)
ON_BN_CLICKED(IDC_TRACK_CURVE, OnTrackCurve)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_VECTOR_LIST, OnItemchangedVectorList)
ON_BN_CLICKED(IDC_SHOW_ALL, OnShowAll)
ON_WM_HELPINFO()
ON_BN_CLICKED(3, OnHelp)
ON_WM_MOUSEWHEEL()
ON_BN_CLICKED(ID_SAVE_AND_CLOSE, OnSaveAndClose)
ON_CBN_KILLFOCUS(IDC_SAIL_PLAN_COMBO, OnEditKillFocus)
ON_EN_KILLFOCUS(IDC_TACKING_ANGLE, OnEditKillFocus)
ON_CBN_KILLFOCUS(IDC_WIND_SPEED_COMBO, OnEditKillFocus)
ON_BN_CLICKED(IDC_SMOOTH, OnSmooth)
ON_BN_CLICKED(IDC_BACKUP, OnBackup)
ON_BN_CLICKED(IDC_RESTORE, OnRestore)
ON_COMMAND(ID_EDIT_UNDO, OnUndo)
ON_COMMAND(ID_EDIT_REDO, OnRedo)
END_MESSAGE_MAP()

Cpolar::Cpolar(HWND hHostWnd, const char* pszDataFile, COLORREF crGrid, COLORREF crBackground,
               COLORREF crCurve, COLORREF crTackingSector, COLORREF crOtherPolars, int nLanguage,
               int* pOpenFlag, HWND* pDialogHandle)
    : m_hHostWnd(hHostWnd),
      m_strDataFile(pszDataFile != nullptr ? pszDataFile : ""),
      m_pszDataFile(pszDataFile),
      m_crGrid(crGrid),
      m_crBackground(crBackground),
      m_crCurve(crCurve),
      m_crTackingSector(crTackingSector),
      m_crOtherPolars(crOtherPolars),
      m_pHostDialogHandle(pDialogHandle),
      m_pOpenFlag(pOpenFlag) {
    // Known to the module before anything can run a message loop (the reading's messages),
    // so that a close_polar meanwhile finds this editor and no earlier one.
    SetOpenEditor(this, pOpenFlag);
    if (pOpenFlag != nullptr) {
        *pOpenFlag = 1;
    }
    try {
        m_pTranslator = new STRING_TRANSLATOR(kTranslatorCapacity);
        g_pTranslator = m_pTranslator;
        // Every text shown at run time, the framework's included, in the editor's language.
        m_previousTextTranslator = SetTextTranslator([](const std::string& strEnglish) {
            return std::string(g_pTranslator != nullptr
                                   ? g_pTranslator->Translate(strEnglish.c_str())
                                   : strEnglish.c_str());
        });
        SetLanguage(nLanguage);
        m_bPreviousDecimalComma = SetDecimalComma(WritesDecimalComma(nLanguage));
        m_pStandardTexts = std::make_unique<StandardTexts>(StandardTextsLocale(nLanguage));
        char szLanguageFile[64];
        std::snprintf(szLanguageFile, sizeof szLanguageFile, "Translations\\Lang_%03d", nLanguage);
        g_pTranslator->LoadLanguageFile(szLanguageFile);
        m_pDialogTemplate = LoadDialogTemplate(IDD_POLAR);
        m_pTemplate = m_pDialogTemplate;
        m_fTackingAngle = 0.0f;
        ReadDataFile();
    } catch (...) {
        // No editor after all: the host must not believe one open.
        ReleaseHost();
        delete m_pTranslator;
        throw;
    }
}

Cpolar::~Cpolar() {
    ReleaseHost();
    m_aSailPlans.clear();
    m_pGraph.reset();
    delete m_pTranslator;
}

void Cpolar::ReleaseHost() {
    if (m_bHostReleased) {
        return;
    }
    m_bHostReleased = true;
    // A newer editor may already own the module's globals; only this one's are given back.
    if (m_pOpenFlag != nullptr && OpenEditorFlag() == m_pOpenFlag) {
        *m_pOpenFlag = 0;
    }
    if (OpenEditor() == this) {
        ForgetOpenEditor();
    }
    if (g_pTranslator == m_pTranslator) {
        g_pTranslator = nullptr;
        SetTextTranslator(std::move(m_previousTextTranslator));
        SetDecimalComma(m_bPreviousDecimalComma);
    }
    m_pStandardTexts.reset();
}

int Cpolar::Tell(const std::string& strText, UINT nType) {
    if (m_bClosing) {
        const UINT nButtons = nType & 0xF;
        return nButtons == MB_YESNO                                                       ? IDNO
               : nButtons == MB_SAVEDISCARDCANCEL || nButtons == MB_OVERWRITERELOADCANCEL ? IDCANCEL
                                                                                          : IDOK;
    }
    return GetInteraction().MessageBox(m_hWnd, strText, TranslateText("Polar Diagram"), nType);
}

void Cpolar::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_UNUSED_EDIT_3, m_editUnused1028);
    DDX_Control(pDX, IDC_UNUSED_EDIT_2, m_editUnused1027);
    DDX_Control(pDX, IDC_UNUSED_EDIT_1, m_editUnused1026);
    DDX_Control(pDX, 3, m_btnHelp);
    DDX_Control(pDX, IDC_SAVE, m_btnSave);
    DDX_Control(pDX, IDC_SHOW_ALL, m_chkShowAll);
    DDX_Control(pDX, IDC_TRACK_CURVE, m_chkTrackCurve);
    DDX_Control(pDX, IDC_ADD_SAIL_PLAN, m_btnAddSailPlan);
    DDX_Control(pDX, IDC_DELETE_SAIL_PLAN, m_btnDeleteSailPlan);
    DDX_Control(pDX, IDC_TACKING_ANGLE, m_editTackingAngle);
    DDX_Control(pDX, IDC_ADD_VECTOR, m_btnAddVector);
    DDX_Control(pDX, IDC_ADD_WIND_SPEED, m_btnAddWindSpeed);
    DDX_Control(pDX, IDC_DELETE_WIND_SPEED, m_btnDeleteWindSpeed);
    DDX_Control(pDX, IDC_DELETE_VECTOR, m_btnDeleteVector);
    DDX_Control(pDX, IDC_WIND_SPEED_COMBO, m_comboWindSpeed);
    DDX_Control(pDX, IDC_SAIL_PLAN_COMBO, m_comboSailPlan);
    DDX_Control(pDX, IDC_VECTOR_LIST, m_listVectors);
    DDX_Text(pDX, IDC_TACKING_ANGLE, m_fTackingAngle);
    DDV_MinMaxFloat(pDX, m_fTackingAngle, 0.0f, 180.0f);
}

void Cpolar::ShowCurrentSailPlan() {
    // The first sail plan with its first polar, as the dialog opens and after every re-read.
    if (!m_aSailPlans.empty()) {
        SAILPLAN& first = *m_aSailPlans.front();
        m_comboSailPlan.SetCurSel(0);
        FillWindSpeedCombo(first, m_comboWindSpeed);
        m_nCurWindSpeed = 0;
        m_fTackingAngle = first.GetTackingAngle(0);
        FillVectorList(first, 0, m_listVectors);
        m_nCurSailPlan = 0;
        UpdateData(FALSE);
    } else {
        m_nCurWindSpeed = 0;
        m_nCurSailPlan = 0;
    }
}

void Cpolar::ApplyEnabledStates() {
    if (m_listVectors.GetItemCount() == 0) {
        m_btnDeleteVector.EnableWindow(FALSE);
    }
    if (m_comboWindSpeed.GetCount() == 0) {
        m_comboWindSpeed.EnableWindow(FALSE);
        m_editTackingAngle.EnableWindow(FALSE);
        m_btnDeleteWindSpeed.EnableWindow(FALSE);
        m_btnAddVector.EnableWindow(FALSE);
        GetDlgItem(IDC_SMOOTH)->EnableWindow(FALSE);
        m_editTackingAngle.SetWindowText("");
    }
}

BOOL Cpolar::OnInitDialog() {
    CDialog::OnInitDialog();
    if (m_pHostDialogHandle != nullptr) {
        *m_pHostDialogHandle = m_hWnd;
    }
    // The data file cannot hold a name of more than 99 characters.
    m_comboSailPlan.LimitText(99);
    m_listVectors.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    m_listVectors.InsertColumn(0, Tr("True Wind Angle"), LVCFMT_LEFT, 95);
    m_listVectors.InsertColumn(1, SpeedHeading(), LVCFMT_LEFT, 95);
    for (const auto& pSailPlan : m_aSailPlans) {
        m_comboSailPlan.AddString(DisplayName(*pSailPlan));
    }
    ShowCurrentSailPlan();
    ApplyEnabledStates();
    if (m_comboSailPlan.GetCount() == 0) {
        m_btnDeleteSailPlan.EnableWindow(FALSE);
        m_btnAddWindSpeed.EnableWindow(FALSE);
    }
    CreateGraph();
    m_toolTip.Create(this);
    m_toolTip.AddWindowTool(&m_btnAddVector, Tr("add angle, speed vector"));
    m_toolTip.AddWindowTool(&m_btnDeleteVector, Tr("delete angle, speed vector"));
    m_toolTip.AddWindowTool(&m_btnAddSailPlan, Tr("add new sail plan"));
    const std::string strUndoKeys = Tr("Ctrl+Z undoes a change, Ctrl+Y redoes it");
    const std::string strSaveTip = std::string(Tr("save all sail plans")) + "\n" + strUndoKeys;
    m_toolTip.AddWindowTool(&m_btnSave, strSaveTip.c_str());
    m_toolTip.AddWindowTool(&m_btnDeleteSailPlan, Tr("delete current sail plan"));
    m_toolTip.AddWindowTool(&m_btnDeleteVector, Tr("delete selected angle and speed"));
    m_toolTip.AddWindowTool(&m_btnAddWindSpeed, Tr("add new windspeed polar"));
    m_toolTip.AddWindowTool(&m_btnDeleteWindSpeed, Tr("delete current windspeed polar"));
    const std::string strListTip =
        std::string(Tr("double click cell to edit, double click empty cell to add")) + "\n" +
        strUndoKeys;
    m_toolTip.AddWindowTool(&m_listVectors, strListTip.c_str());
    m_toolTip.AddWindowTool(&m_chkTrackCurve, Tr("read values from the curve"));
    m_toolTip.AddWindowTool(&m_chkShowAll, Tr("make all polars visible"));
    m_toolTip.AddWindowTool(&m_btnHelp, Tr("get help on polar dialog"));
    m_chkShowAll.SetCheck(1);
    OnShowAll();
    AddAccelerator("Ctrl+Z", ID_EDIT_UNDO);
    AddAccelerator("Ctrl+Y", ID_EDIT_REDO);
    AddAccelerator("Ctrl+Shift+Z", ID_EDIT_REDO);
    m_lastSelection = CurrentSelection();
    StartWindowLayout();
    CenterWindow();
    return TRUE;
}

void Cpolar::CreateGraph() {
    CWnd* pFrame = GetDlgItem(IDC_DIAGRAM_FRAME);
    CRect rc;
    pFrame->GetClientRect(&rc);
    m_pGraph.reset();
    SAILPLAN* pSailPlan = m_aSailPlans.empty() ? nullptr : m_aSailPlans.front().get();
    PERF_POLAR* pPolar = pSailPlan != nullptr && !pSailPlan->m_aPolars.empty()
                             ? pSailPlan->m_aPolars.front().get()
                             : nullptr;
    m_pGraph =
        std::make_unique<CGraph>(pFrame, this, rc, pSailPlan, pPolar, m_crGrid, m_crBackground,
                                 m_crCurve, m_crTackingSector, m_crOtherPolars);
}

void Cpolar::ReloadWhenIdle() {
    if (m_bReloadPending || m_bClosing) {
        return;
    }
    m_bReloadPending = true;
    handler_scope::WhenIdle([this, alive = std::weak_ptr<bool>(m_pAlive)] {
        if (alive.expired()) {
            return;
        }
        const handler_scope::Scope scope;
        m_bReloadPending = false;
        ReloadFromHost();
    });
}

void Cpolar::ReloadFromHost() {
    if (m_bClosing || m_hWnd == nullptr) {
        return;
    }
    if (!MayDiscardChanges(TranslateText("The data file was changed outside the editor. Load it "
                                         "and discard your changes?"))) {
        return;  // the edits stay; the next Save asks before it replaces the changed file
    }
    ReloadKeepingSelection();
}

void Cpolar::ReloadKeepingSelection() {
    // The same sail plan and wind speed stay selected where the file still holds them.
    std::string strSailPlan;
    float fWindSpeed = 0.0f;
    const bool bHadPolar = CurrentPolar() != nullptr;
    if (m_nCurSailPlan >= 0 && m_nCurSailPlan < static_cast<int>(m_aSailPlans.size())) {
        strSailPlan = m_aSailPlans[static_cast<std::size_t>(m_nCurSailPlan)]->m_strName;
        if (bHadPolar) {
            fWindSpeed = CurrentPolar()->m_fWindSpeed;
        }
    }
    ReadDataFile();
    if (m_bClosing) {
        return;
    }
    int nSailPlan = 0;
    int nWindSpeed = 0;
    for (std::size_t i = 0; i < m_aSailPlans.size(); ++i) {
        if (m_aSailPlans[i]->m_strName != strSailPlan) {
            continue;
        }
        nSailPlan = static_cast<int>(i);
        const auto& aPolars = m_aSailPlans[i]->m_aPolars;
        for (std::size_t j = 0; bHadPolar && j < aPolars.size(); ++j) {
            if (aPolars[j]->m_fWindSpeed == fWindSpeed) {
                nWindSpeed = static_cast<int>(j);
                break;
            }
        }
        break;
    }
    // A read-out of the diagram in the caption belongs to the data that were left.
    m_strReadout.clear();
    m_strCaption = m_pDialogTemplate->strCaption;
    ShowAllData(nSailPlan, nWindSpeed);
    UpdateTitle(true);
    m_lastSelection = CurrentSelection();
}

BOOL Cpolar::RefreshAll() {
    const int nSailPlan = m_comboSailPlan.GetCurSel();
    const int nWindSpeed = m_comboWindSpeed.GetCurSel();
    ReadDataFile();
    ShowAllData(nSailPlan, nWindSpeed);
    return TRUE;
}

void Cpolar::ShowAllData(int nSailPlan, int nWindSpeed) {
    m_comboSailPlan.ResetContent();
    for (int i = 0; i < m_nSailPlanCount && i < static_cast<int>(m_aSailPlans.size()); ++i) {
        m_comboSailPlan.AddString(DisplayName(*m_aSailPlans[static_cast<std::size_t>(i)]));
    }
    if (m_aSailPlans.empty()) {
        // Nothing left to show: the lists must not keep what no longer exists.
        m_comboWindSpeed.ResetContent();
        m_listVectors.DeleteAllItems();
    }
    ShowCurrentSailPlan();
    ApplyEnabledStates();
    CreateGraph();
    // An entry that no longer exists selects the first: with no entry selected the box
    // would show no wind speed, and the next commit would store what it shows.
    m_comboSailPlan.SetCurSel(nSailPlan >= 0 && nSailPlan < m_comboSailPlan.GetCount() ? nSailPlan
                                                                                       : 0);
    OnSelchangeSailPlan();
    m_comboWindSpeed.SetCurSel(
        nWindSpeed >= 0 && nWindSpeed < m_comboWindSpeed.GetCount() ? nWindSpeed : 0);
    OnSelchangeWindSpeed();
}

void Cpolar::UpdateEnabledStates() {
    const bool bSailPlan = !m_aSailPlans.empty();
    const bool bPolars = bSailPlan && m_comboWindSpeed.GetCount() > 0;
    m_btnDeleteSailPlan.EnableWindow(bSailPlan);
    m_btnAddWindSpeed.EnableWindow(bSailPlan);
    m_comboWindSpeed.EnableWindow(bPolars);
    m_editTackingAngle.EnableWindow(bPolars);
    m_btnDeleteWindSpeed.EnableWindow(bPolars);
    m_btnAddVector.EnableWindow(bPolars);
    GetDlgItem(IDC_SMOOTH)->EnableWindow(bPolars);
    m_btnDeleteVector.EnableWindow(bPolars && m_listVectors.GetItemCount() > 0);
    if (!bPolars) {
        m_editTackingAngle.SetWindowText("");
    }
}

BOOL Cpolar::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    ++m_nCommandDepth;
    const BOOL bHandled = CDialog::OnNotify(wParam, lParam, pResult);
    --m_nCommandDepth;
    if (!m_bClosing && m_hWnd != nullptr) {
        UpdateEnabledStates();
        UpdateTitle(RecordStep());
    }
    return bHandled;
}

EditHistory::Selection Cpolar::CurrentSelection() {
    EditHistory::Selection selection;
    selection.nSailPlan = m_nCurSailPlan;
    selection.nPolar = m_nCurWindSpeed;
    selection.nPoint =
        m_listVectors.GetSafeHwnd() != nullptr ? m_listVectors.GetNextItem(-1, LVNI_SELECTED) : -1;
    return selection;
}

bool Cpolar::RecordStep() {
    // One user action is one step: not a command inside another one's handler, not the middle
    // of a drag in the diagram.
    if (m_nCommandDepth > 0 || m_bClosing || m_hWnd == nullptr) {
        return false;
    }
    const CWnd* pCapture = CWnd::GetCapture();
    if (pCapture != nullptr && m_pGraph != nullptr &&
        pCapture->GetSafeHwnd() == m_pGraph->GetSafeHwnd()) {
        return false;
    }
    const EditHistory::Selection selection = CurrentSelection();
    // A command changes the content of the sail plan that was current or is now.
    const bool bRecorded = m_history.Record(
        m_aSailPlans, {m_lastSelection.nSailPlan, m_nCurSailPlan}, m_lastSelection, selection);
    m_lastSelection = selection;
    return bRecorded;
}

void Cpolar::GraphEditEnded() {
    UpdateTitle(RecordStep());
}

bool Cpolar::ShowGraphReadout(const std::string& strReadout) {
    m_strReadout = strReadout;
    UpdateTitle(false);
    return true;
}

void Cpolar::UpdateTitle(bool bDataMayHaveChanged) {
    if (m_hWnd == nullptr) {
        return;
    }
    // Comparing all data with what was saved costs as much as writing them: done only when
    // they may have changed. Typed text is cheap to look at, and looked at every time.
    if (bDataMayHaveChanged || std::exchange(m_bDataMayHaveChanged, false)) {
        m_bDataModified = ContentOfSailPlans(m_aSailPlans) != m_strSavedSnapshot;
    }
    m_bShownModified = m_bDataModified || HasUncommittedText();
    // A leading "*" while there are changes that are not saved, as desktop editors show it.
    std::string strTitle = m_bShownModified ? "*" : "";
    if (!m_strReadout.empty()) {
        strTitle += m_strReadout;
    } else if (!m_strCaption.empty()) {
        strTitle += m_strCaption;
    } else {
        strTitle += m_pDialogTemplate->strCaption;
    }
    SetWindowText(strTitle);
}

void Cpolar::OnUndo() {
    if (m_history.CanUndo()) {
        m_pGraph->ShowPolar(nullptr, nullptr);
        ShowRestored(m_history.Undo(m_aSailPlans));
    }
}

void Cpolar::OnRedo() {
    if (m_history.CanRedo()) {
        m_pGraph->ShowPolar(nullptr, nullptr);
        ShowRestored(m_history.Redo(m_aSailPlans));
    }
}

void Cpolar::ShowRestored(EditHistory::Selection selection) {
    // A read-out of the diagram in the caption belongs to the state that was left.
    m_strReadout.clear();
    m_strCaption = m_pDialogTemplate->strCaption;
    m_nSailPlanCount = static_cast<int>(m_aSailPlans.size());
    ShowAllData(selection.nSailPlan, selection.nPolar);
    if (selection.nPoint >= 0 && selection.nPoint < m_listVectors.GetItemCount()) {
        m_listVectors.SetItemState(selection.nPoint, LVIS_SELECTED, LVIS_SELECTED);
    }
    m_lastSelection = CurrentSelection();
    UpdateTitle(true);
}

void Cpolar::NotifyHost(HWND hHostWnd, WPARAM wParam) {
    ::SendMessage(hHostWnd, WM_POLAR_NOTIFY, wParam, 0);
}

bool Cpolar::MayDiscardChanges(const std::string& strQuestion) {
    return !IsModified() || Tell(strQuestion, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void Cpolar::OnCancel() {
    if (IsModified()) {
        switch (Tell(TranslateText("The polars have changes that are not saved.") + "\n" +
                         TranslateText("Save them before the editor closes?"),
                     MB_SAVEDISCARDCANCEL | MB_ICONQUESTION)) {
            case IDYES:
                // Closes only when the file was written; else the edits stay open to the user.
                OnOK();
                OnSaveAndClose();
                return;
            case IDNO:
                break;
            default:
                return;  // Cancel: the editor stays as it is
        }
    }
    NotifyHost(m_hHostWnd, 0);
    if (!m_bClosing) {
        DestroyWindow();
    }
}

void Cpolar::OnSaveAndClose() {
    // A file that was not written closes nothing: the edits stay, the host hears nothing.
    if (!SaveDataFile()) {
        return;
    }
    const HWND hHostWnd = m_hHostWnd;
    DestroyWindow();
    NotifyHost(hHostWnd, 1);
}

void Cpolar::PostNcDestroy() {
    CDialog::PostNcDestroy();
    m_bClosing = true;
    ReleaseHost();
    // Deleted once none of its handlers is on the stack any more.
    handler_scope::WhenIdle([this] { delete this; }, true);
}

void Cpolar::CloseFromHost() {
    if (!handler_scope::Active()) {
        delete this;
        return;
    }
    if (m_bClosing) {
        return;
    }
    m_bClosing = true;
    ReleaseHost();
    if (m_hWnd != nullptr) {
        handler_scope::CancelModalLoopsOf(m_hWnd);
        m_hWnd->hide();
    }
    handler_scope::WhenIdle([this] { delete this; });
}

BOOL Cpolar::OnCommand(WPARAM wParam, LPARAM lParam) {
    BOOL bHandled = TRUE;
    ++m_nCommandDepth;
    if (wParam == ID_POLAR_RELOAD && lParam == ID_POLAR_RELOAD) {
        // Sent from inside another of the editor's handlers (a dialog or message box is
        // open): the controls under it must not change while it runs.
        if (handler_scope::Depth() > 1) {
            ReloadWhenIdle();
        } else {
            ReloadFromHost();
        }
    } else {
        bHandled = CDialog::OnCommand(wParam, lParam);
    }
    --m_nCommandDepth;
    if (!m_bClosing && m_hWnd != nullptr) {
        UpdateEnabledStates();
        UpdateTitle(RecordStep());
    }
    return bHandled;
}

void Cpolar::OnSave() {
    OnOK();
    // The host must not believe the data saved when it was not.
    if (SaveDataFile()) {
        NotifyHost(m_hHostWnd, 2);
    }
}

void Cpolar::OnHelp() {
    OpenHelpFile(this, Tr(kHelpFile));
}

BOOL Cpolar::OnHelpInfo(HELPINFO* /*pHelpInfo*/) {
    OpenHelpFile(this, kHelpFile);
    return TRUE;
}

BOOL Cpolar::OnMouseWheel(UINT nFlags, short zDelta, CPoint pt) {
    if (m_pGraph != nullptr) {
        m_pGraph->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(nFlags, static_cast<unsigned>(zDelta)),
                              MAKELPARAM(pt.x, pt.y));
    }
    return FALSE;
}
