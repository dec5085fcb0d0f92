#include "editor/new_windspeed_dialog.h"

#include "editor/text_values.h"
#include "resources/dialog_resources.h"
#include "resources/resource_ids.h"

CNewWindspeedDlg::CNewWindspeedDlg(CWnd* pParent)
    : CDialog(LoadDialogTemplate(IDD_NEW_WINDSPEED), pParent) {}

CNewWindspeedDlg::~CNewWindspeedDlg() = default;

void CNewWindspeedDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_NEW_WIND_SPEED, m_editWindSpeed);
    DDX_Control(pDX, IDC_NEW_WIND_SPEED_TACKING_ANGLE, m_editTackingAngle);
    if (pDX->m_bSaveAndValidate) {
        // Nothing is validated: what is no number counts as 0.
        m_fWindSpeed = Atof(m_editWindSpeed.GetWindowText());
        m_fTackingAngle = Atof(m_editTackingAngle.GetWindowText());
    }
}

BOOL CNewWindspeedDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_editTackingAngle.SetWindowText("45");
    m_editWindSpeed.SetWindowText("");
    m_editWindSpeed.SetFocus();
    return TRUE;
}
