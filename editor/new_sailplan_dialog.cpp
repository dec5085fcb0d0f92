#include "editor/new_sailplan_dialog.h"

#include <cmath>

#include "editor/text_values.h"
#include "framework/interaction.h"
#include "framework/text_translation.h"
#include "resources/dialog_resources.h"
#include "resources/resource_ids.h"

namespace {
// The data file cannot hold a longer name.
constexpr int kMaxNameLength = 99;
}  // namespace

BEGIN_MESSAGE_MAP(CNewSailplanDlg, CDialog)
ON_EN_CHANGE(IDC_SAIL_PLAN_NAME, OnChangeName)
ON_NOTIFY(UDN_DELTAPOS, IDC_BAND_MAXIMUM_SPIN, OnDeltaposMaximum)
ON_NOTIFY(UDN_DELTAPOS, IDC_BAND_MINIMUM_SPIN, OnDeltaposMinimum)
ON_NOTIFY(UDN_DELTAPOS, IDC_BAND_INTERVAL_SPIN, OnDeltaposInterval)
ON_NOTIFY(UDN_DELTAPOS, IDC_SAIL_PLAN_TACKING_SPIN, OnDeltaposTackingAngle)
END_MESSAGE_MAP()

CNewSailplanDlg::CNewSailplanDlg(CWnd* pParent)
    : CDialog(LoadDialogTemplate(IDD_NEW_SAILPLAN), pParent) {}

CNewSailplanDlg::~CNewSailplanDlg() = default;

void CNewSailplanDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_BAND_INTERVAL, m_editInterval);
    DDX_Control(pDX, IDC_SAIL_PLAN_TACKING_ANGLE, m_editTackingAngle);
    DDX_Control(pDX, IDC_BAND_MINIMUM, m_editMinimum);
    DDX_Control(pDX, IDC_BAND_MAXIMUM, m_editMaximum);
    DDX_Control(pDX, IDC_SAIL_PLAN_NAME, m_editName);
    if (!pDX->m_bSaveAndValidate) {
        return;
    }
    m_strSailPlanName = m_editName.GetWindowText();
    m_fInterval = Atof(m_editInterval.GetWindowText());
    m_fMinimum = Atof(m_editMinimum.GetWindowText());
    m_fMaximum = Atof(m_editMaximum.GetWindowText());
    m_fTackingAngle = Atof(m_editTackingAngle.GetWindowText());
}

BOOL CNewSailplanDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    GetDlgItem(IDOK)->EnableWindow(FALSE);
    m_editInterval.SetWindowText("5.0");
    m_editMinimum.SetWindowText("5.0");
    m_editMaximum.SetWindowText("35.0");
    m_editTackingAngle.SetWindowText("45");
    m_editName.LimitText(kMaxNameLength);
    m_bInitialised = true;
    return TRUE;
}

void CNewSailplanDlg::OnChangeName() {
    if (m_bInitialised || m_editName.GetSafeHwnd() != nullptr) {
        GetDlgItem(IDOK)->EnableWindow(!m_editName.GetWindowText().empty());
    }
}

void CNewSailplanDlg::OnOK() {
    if (!UpdateData(TRUE)) {
        return;
    }
    // A band that never ends, or one too large to be useful, is refused before any polar is
    // made; the dialog stays open for a correction.
    if (m_fMinimum < m_fMaximum) {
        if (!(m_fInterval > 0)) {
            GetInteraction().MessageBox(
                m_hWnd,
                TranslateText(
                    "The interval must be above 0 to go from the minimum to the maximum."),
                TranslateText("Sailplan"), MB_OK | MB_ICONEXCLAMATION);
            m_editInterval.SetFocus();
            return;
        }
        if ((static_cast<double>(m_fMaximum) - m_fMinimum) / m_fInterval > kMaxPolars) {
            GetInteraction().MessageBox(
                m_hWnd,
                FormatText("This band would make more than %1 polars; choose a larger interval.",
                           {std::to_string(kMaxPolars)}),
                TranslateText("Sailplan"), MB_OK | MB_ICONEXCLAMATION);
            m_editInterval.SetFocus();
            return;
        }
    }
    EndDialog(IDOK);
}

void CNewSailplanDlg::Step(CEdit& edit, NMHDR* pHeader, LRESULT* pResult, double dStep) {
    const auto* pUpDown = reinterpret_cast<NMUPDOWN*>(pHeader);
    double dValue = Atof(edit.GetWindowText());
    dValue += pUpDown->iDelta < 0 ? dStep : -dStep;
    edit.SetWindowText(FormatOneDecimal(dValue));
    *pResult = 0;
}

void CNewSailplanDlg::OnDeltaposMinimum(NMHDR* pHeader, LRESULT* pResult) {
    Step(m_editMinimum, pHeader, pResult, 5.0);
}
void CNewSailplanDlg::OnDeltaposMaximum(NMHDR* pHeader, LRESULT* pResult) {
    Step(m_editMaximum, pHeader, pResult, 5.0);
}
void CNewSailplanDlg::OnDeltaposInterval(NMHDR* pHeader, LRESULT* pResult) {
    Step(m_editInterval, pHeader, pResult, 1.0);
}
void CNewSailplanDlg::OnDeltaposTackingAngle(NMHDR* pHeader, LRESULT* pResult) {
    Step(m_editTackingAngle, pHeader, pResult, 1.0);
}
