#include "editor/edit_dialog.h"

#include "resources/dialog_resources.h"
#include "resources/resource_ids.h"

BEGIN_MESSAGE_MAP(CEditDialog, CDialog)
ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CEditDialog::CEditDialog(std::string strText, CPoint ptCell, int nWidth, float fMax, CWnd* pOwner)
    : CDialog(LoadDialogTemplate(IDD_EDIT_CELL), pOwner),
      m_ptCell(ptCell),
      m_nWidth(nWidth),
      m_fMax(fMax),
      m_strText(std::move(strText)) {}

CEditDialog::~CEditDialog() {
    if (CWnd::GetCapture() == this) {
        CWnd::ReleaseCapture();
    }
    m_edit.Detach();
}

void CEditDialog::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_CELL_EDIT, m_edit);
    DDX_Text(pDX, IDC_CELL_EDIT, m_fValue);
    DDV_MinMaxFloat(pDX, m_fValue, 0.0f, m_fMax);
}

BOOL CEditDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    SetCapture();
    MoveWindow(m_ptCell.x - 2, m_ptCell.y - 7, m_nWidth, kHeight);
    m_edit.MoveWindow(0, 0, m_nWidth, kHeight);
    // The cell's own text, as it reads in the list.
    m_edit.SetWindowText(m_strText);
    m_edit.SetFocus();
    m_edit.SetSel(0, -1);
    return TRUE;
}

void CEditDialog::OnLButtonDown(UINT /*nFlags*/, CPoint point) {
    if (point.x < 0 || point.x > m_nWidth || point.y < 0 || point.y > kHeight) {
        CPoint screen = point;
        ClientToScreen(&screen);
        m_ptClick = screen;
        m_bEndedByClick = true;
        UpdateData(TRUE);  // may tell the user; the editing loop clamps what comes back
        EndDialog(IDOK);
    }
}
