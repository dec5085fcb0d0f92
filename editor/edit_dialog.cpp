#include "editor/edit_dialog.h"

#include "resources/dialog_resources.h"
#include "resources/resource_ids.h"

BEGIN_MESSAGE_MAP(CEditDialog, CDialog)
ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CEditDialog::CEditDialog(std::string strText, const CRect& rcCell, float fMax, CWnd* pOwner)
    : CDialog(LoadDialogTemplate(IDD_EDIT_CELL), pOwner),
      m_rcCell(rcCell),
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
    // The row's own height here: the editor covers neither the row above nor the list's border.
    MoveWindow(m_rcCell.left, m_rcCell.top, m_rcCell.Width(), m_rcCell.Height());
    m_edit.MoveWindow(0, 0, m_rcCell.Width(), m_rcCell.Height());
    // The cell's own text, as it reads in the list.
    m_edit.SetWindowText(m_strText);
    m_edit.SetFocus();
    m_edit.SetSel(0, -1);
    return TRUE;
}

void CEditDialog::OnLButtonDown(UINT /*nFlags*/, CPoint point) {
    if (point.x < 0 || point.x >= m_rcCell.Width() || point.y < 0 || point.y >= m_rcCell.Height()) {
        CPoint screen = point;
        ClientToScreen(&screen);
        m_ptClick = screen;
        m_bEndedByClick = true;
        UpdateData(TRUE);  // may tell the user; the editing loop clamps what comes back
        EndDialog(IDOK);
    }
}
