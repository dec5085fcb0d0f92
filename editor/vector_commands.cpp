// Adding, deleting and editing points in the list, in place.
#include <algorithm>

#include "data/number_text.h"
#include "editor/edit_dialog.h"
#include "editor/fill_helpers.h"
#include "editor/polar_dialog.h"
#include "editor/text_values.h"
#include "framework/interaction.h"
#include "framework/text_translation.h"
#include "translation/string_translator.h"

void Cpolar::OnAddVector() {
    if (m_comboWindSpeed.GetCount() == 0) {
        AfxMessageBox(TranslateText("Enter a wind speed"));
        return;
    }
    m_btnDeleteVector.EnableWindow(TRUE);
    m_listVectors.InsertItem(0, "0.0");
    m_listVectors.SetItemText(0, 1, "0.0");
    SAILPLAN& sailPlan = CurrentSailPlan();
    sailPlan.InsertVector(m_nCurWindSpeed, 0, 0.0f, 0.0f);
    ShowCurrentPolarAt(0);
}

void Cpolar::OnDeleteVector() {
    const int nRow = m_listVectors.GetNextItem(-1, LVNI_SELECTED);
    if (nRow < 0) {
        return;
    }
    m_listVectors.DeleteItem(nRow);
    if (m_listVectors.GetItemCount() == 0) {
        m_btnDeleteVector.EnableWindow(FALSE);
    }
    SAILPLAN& sailPlan = CurrentSailPlan();
    sailPlan.RemoveVector(m_nCurWindSpeed, nRow);
    ShowCurrentPolarAt(nRow);  // the next point, or the last one
}

int Cpolar::ResortVectorRow(int nRow, float fAngle) {
    const std::string strAngle = m_listVectors.GetItemText(nRow, 0);
    const std::string strSpeed = m_listVectors.GetItemText(nRow, 1);
    m_listVectors.DeleteItem(nRow);
    int nPlace = 0;
    while (nPlace < m_listVectors.GetItemCount() && !(RowAngle(nPlace) >= fAngle)) {
        ++nPlace;
    }
    m_listVectors.InsertItem(nPlace, strAngle);
    m_listVectors.SetItemText(nPlace, 1, strSpeed);
    return nPlace;
}

void Cpolar::OnDblclkVectorList(NMHDR* pHeader, LRESULT* pResult) {
    *pResult = 0;
    const auto* pInfo = reinterpret_cast<const NMITEMACTIVATE*>(pHeader);
    CPoint P = pInfo->ptAction;
    m_listVectors.ClientToScreen(&P);
    bool bGoOn = true;
    bool bEndedByClick = false;
    bool bMoved = false;
    int nClickRow = -1;
    int nMovedRow = -1;
    while (bGoOn) {
        CPoint pt = P;
        m_listVectors.ScreenToClient(&pt);
        const int w0 = m_listVectors.GetColumnWidth(0);
        LVHITTESTINFO hit{pt, 0, -1, -1};
        int nRow = m_listVectors.HitTest(&hit);
        if (nRow < 0) {
            CRect rcClient;
            m_listVectors.GetClientRect(&rcClient);
            // Only the double click itself adds a point below the rows, never a click that
            // ended an edit.
            if (rcClient.PtInRect(pt) && !bEndedByClick) {
                OnAddVector();
            }
            break;
        }
        const int nColumn = pt.x < w0 ? 0 : 1;
        const float fLimit = nColumn == 0 ? 180.0f : 100.0f;
        if (bMoved && nClickRow >= 0) {
            // After an angle edit that moved its row, the editor follows the row.
            nRow = nMovedRow;
        }
        bMoved = false;
        CRect rcCell;
        m_listVectors.GetSubItemRect(nRow, nColumn, LVIR_BOUNDS, &rcCell);
        CPoint ptTopLeft{rcCell.left, rcCell.top};
        m_listVectors.ClientToScreen(&ptTopLeft);
        rcCell = CRect{ptTopLeft.x, ptTopLeft.y, ptTopLeft.x + rcCell.Width(),
                       ptTopLeft.y + rcCell.Height()};
        const std::string strText = m_listVectors.GetItemText(nRow, nColumn);

        CEditDialog editor(strText, rcCell, fLimit, this);
        const int nResult = editor.DoModal();
        if (nResult != IDOK) {
            break;  // Escape: nothing changes
        }
        bGoOn = editor.m_bEndedByClick;
        if (bGoOn) {
            bEndedByClick = true;
            P = editor.m_ptClick;
        }
        const float fValue = std::clamp(editor.m_fValue, 0.0f, fLimit);
        const std::string strValue = FormatFixed2(fValue);
        if (strValue == strText) {
            continue;  // the same text: nothing changes
        }
        m_listVectors.SetItemText(nRow, nColumn, strValue);
        SAILPLAN& sailPlan = CurrentSailPlan();
        if (nColumn == 0) {
            sailPlan.SetVectorAngle(m_nCurWindSpeed, nRow, fValue);
            nClickRow = -1;
            if (editor.m_bEndedByClick) {
                CPoint ptClick = editor.m_ptClick;
                m_listVectors.ScreenToClient(&ptClick);
                LVHITTESTINFO clickHit{ptClick, 0, -1, -1};
                nClickRow = m_listVectors.HitTest(&clickHit);
            }
            const int nNewRow = ResortVectorRow(nRow, fValue);
            bMoved = nNewRow != nRow;
            nMovedRow = nNewRow;
            sailPlan.MoveVector(m_nCurWindSpeed, nRow, fValue);
        } else {
            sailPlan.SetVectorSpeed(m_nCurWindSpeed, nRow, fValue);
        }
        ShowCurrentPolarAt(nColumn == 0 ? nMovedRow : nRow);
    }
}
