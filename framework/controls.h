#pragma once

#include <QString>
#include <string>

#include "framework/dialog_template.h"
#include "framework/wnd.h"

class QWidget;
class QTableWidget;

// Creates the widget of a template control, wired so that user actions notify the parent
// dialog as the platform's controls do.
QWidget* CreateControlWidget(const DialogItemTemplate& item, QWidget* pParent);

// The text of a control as the platform's GetWindowText/SetWindowText see it.
// The Up and Down keys in the buddy step it as the up-down control's arrows do.
void AttachArrowKeys(QWidget* pUpDown, QWidget* pBuddy);
QString ControlText(const QWidget* pWidget);
void SetControlText(QWidget* pWidget, const QString& text);

constexpr int CB_ERR = -1;
constexpr int LB_ERR = -1;

class CButton : public CWnd {
  public:
    int GetCheck() const;
    void SetCheck(int nCheck);
};

class CStatic : public CWnd {};

class CEdit : public CWnd {
  public:
    void SetSel(int nStart, int nEnd);
    void LimitText(int nMax);
};

class CComboBox : public CWnd {
  public:
    int AddString(const std::string& strText);
    int InsertString(int nIndex, const std::string& strText);
    int DeleteString(int nIndex);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int nSelect);
    void GetLBText(int nIndex, std::string& strText) const;
    std::string GetLBText(int nIndex) const;
    void LimitText(int nMax);
};

// List view item states and flags.
constexpr UINT LVIS_FOCUSED = 0x0001;
constexpr UINT LVIS_SELECTED = 0x0002;
constexpr UINT LVIF_STATE = 0x0008;
constexpr int LVNI_SELECTED = 0x0002;
constexpr int LVCFMT_LEFT = 0;
constexpr UINT LVIR_BOUNDS = 0;
constexpr UINT LVHT_ONITEM = 0x000E;
constexpr UINT LVHT_NOWHERE = 0x0001;

struct LVHITTESTINFO {
    CPoint pt;
    UINT flags;
    int iItem;
    int iSubItem;
};

// The report-style list view (columns, rows of cells, single full-row selection).
class CListCtrl : public CWnd {
  public:
    DWORD SetExtendedStyle(DWORD dwStyle);
    int InsertColumn(int nCol, const std::string& strHeading, int nFormat = LVCFMT_LEFT,
                     int nWidth = -1);
    int InsertItem(int nItem, const std::string& strText);
    BOOL SetItemText(int nItem, int nSubItem, const std::string& strText);
    std::string GetItemText(int nItem, int nSubItem) const;
    BOOL DeleteItem(int nItem);
    BOOL DeleteAllItems();
    int GetItemCount() const;
    // Selecting a row by code notifies LVN_ITEMCHANGED before it returns.
    BOOL SetItemState(int nItem, UINT nState, UINT nMask);
    int GetNextItem(int nItem, int nFlags) const;
    int HitTest(LVHITTESTINFO* pInfo) const;
    int SubItemHitTest(LVHITTESTINFO* pInfo) const;
    BOOL GetItemRect(int nItem, CRect* pRect, UINT nCode) const;
    BOOL GetSubItemRect(int nItem, int nSubItem, UINT nCode, CRect* pRect) const;
    int GetColumnWidth(int nCol) const;
    // Scrolls the list so that the row is in view (wholly, unless bPartialOK allows a part).
    BOOL EnsureVisible(int nItem, BOOL bPartialOK);

  private:
    QTableWidget* Table() const;
};

// The up-down control: its arrows notify UDN_DELTAPOS, the up arrow with a negative delta.
class CSpinButtonCtrl : public CWnd {};

class CToolTipCtrl : public CWnd {
  public:
    BOOL Create(CWnd* pParentWnd);
    BOOL AddTool(CWnd* pWnd, const std::string& strText);
    void Activate(BOOL bActivate);

  private:
    bool m_bActive = true;
};

// The editor's tooltip class: registers a whole control as a tool with a text.
class CTarnToolTipCtrl : public CToolTipCtrl {
  public:
    void AddWindowTool(CWnd* pWnd, const char* pszText);
};
