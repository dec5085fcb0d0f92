#include "editor/new_windspeed_dialog.h"

#include "editor/text_values.h"
#include "framework/interaction.h"
#include "framework/text_translation.h"
#include "resources/dialog_resources.h"
#include "resources/resource_ids.h"

CNewWindspeedDlg::CNewWindspeedDlg(CWnd* pParent)
    : CDialog(LoadDialogTemplate(IDD_NEW_WINDSPEED), pParent) {}

CNewWindspeedDlg::~CNewWindspeedDlg() = default;

namespace {

// The number the field starts with ("12 kn" reads as 12). An empty field or one that holds no
// number is refused, with the focus back on it: it would add a polar at 0 knots.
float TypedNumber(CDataExchange* pDX, int nId, CEdit& edit) {
    pDX->PrepareEditCtrl(nId);
    float fValue = 0.0f;
    if (!ReadLeadingNumber(edit.GetWindowText(), fValue)) {
        GetInteraction().MessageBox(pDX->m_pDlgWnd->GetSafeHwnd(),
                                    TranslateText("Please enter a number."),
                                    TranslateText("Invalid entry"), MB_OK | MB_ICONEXCLAMATION);
        pDX->Fail();
    }
    return fValue;
}

}  // namespace

void CNewWindspeedDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_NEW_WIND_SPEED, m_editWindSpeed);
    DDX_Control(pDX, IDC_NEW_WIND_SPEED_TACKING_ANGLE, m_editTackingAngle);
    if (pDX->m_bSaveAndValidate) {
        m_fWindSpeed = TypedNumber(pDX, IDC_NEW_WIND_SPEED, m_editWindSpeed);
        m_fTackingAngle = TypedNumber(pDX, IDC_NEW_WIND_SPEED_TACKING_ANGLE, m_editTackingAngle);
    }
}

BOOL CNewWindspeedDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_editTackingAngle.SetWindowText("45");
    m_editWindSpeed.SetWindowText("");
    m_editWindSpeed.SetFocus();
    return TRUE;
}
