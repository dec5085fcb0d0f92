// The editor's window grows: the extra room goes to the point list (height) and the diagram
// (both ways); the other controls keep their place relative to the edge they belong to.
#include <QWidget>

#include "editor/polar_dialog.h"
#include "resources/resource_ids.h"

void Cpolar::StartWindowLayout() {
    QWidget* pList = GetDlgItem(IDC_VECTOR_LIST)->GetSafeHwnd();
    QWidget* pFrame = GetDlgItem(IDC_DIAGRAM_FRAME)->GetSafeHwnd();
    const QRect list = pList->geometry();
    const QRect frame = pFrame->geometry();
    m_layout.Start(m_hWnd);
    for (QWidget* pControl : m_hWnd->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QRect at = pControl->geometry();
        if (pControl == pList) {
            m_layout.Add(pControl, {0, 0}, {0, 100});
        } else if (pControl == pFrame) {
            m_layout.Add(pControl, {0, 0}, {100, 100});
        } else if (at.top() < list.bottom()) {
            m_layout.Add(pControl, {0, 0}, {0, 0});  // above: the sail plan and wind speed
        } else if (at.left() < frame.left()) {
            m_layout.Add(pControl, {0, 100}, {0, 0});  // under the list
        } else if (at.right() >= frame.right() - 2) {
            m_layout.Add(pControl, {100, 100}, {0, 0});  // at the diagram's right edge
        } else {
            m_layout.Add(pControl, {50, 100}, {0, 0});  // centred under the diagram
        }
    }
}

void Cpolar::OnSize(UINT /*nType*/, int cx, int cy) {
    m_layout.Resize(cx, cy);
    if (m_pGraph != nullptr) {
        // The diagram fills its frame; its geometry follows from its client size.
        CRect rc;
        GetDlgItem(IDC_DIAGRAM_FRAME)->GetClientRect(&rc);
        m_pGraph->MoveWindow(rc.left, rc.top, rc.Width(), rc.Height());
    }
}
