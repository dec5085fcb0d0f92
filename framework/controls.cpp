#include "framework/controls.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

#include "framework/interaction.h"

namespace {

QString ToQString(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

bool IsInside(const QWidget* pWidget, const QWidget* pContainer) {
    for (const QWidget* p = pWidget; p != nullptr; p = p->parentWidget()) {
        if (p == pContainer) {
            return true;
        }
    }
    return false;
}

// Tells the dialog once when the focus leaves a control for somewhere outside it (an editable
// combo box's edit field and drop-down list count as the combo box).
class KillFocusNotifier : public QObject {
  public:
    KillFocusNotifier(QWidget* pControl, UINT nCode)
        : QObject(pControl), m_pControl(pControl), m_nCode(nCode) {}

    void Watch(QWidget* pWidget) { pWidget->installEventFilter(this); }

  protected:
    bool eventFilter(QObject* /*pWatched*/, QEvent* pEvent) override {
        if (pEvent->type() == QEvent::FocusIn) {
            m_bHasFocus = true;
        } else if (pEvent->type() == QEvent::FocusOut && m_bHasFocus) {
            const auto* pFocus = static_cast<QFocusEvent*>(pEvent);
            QWidget* pNew = QApplication::focusWidget();
            const bool bStaysInside = pFocus->reason() == Qt::PopupFocusReason ||
                                      (pNew != nullptr && IsInside(pNew, m_pControl));
            if (!bStaysInside) {
                m_bHasFocus = false;
                NotifyCommand(m_pControl, m_nCode);
            }
        }
        return false;
    }

  private:
    QWidget* m_pControl;
    UINT m_nCode;
    bool m_bHasFocus = false;
};

// The list view: a click and a double click notify NM_CLICK and NM_DBLCLK with the row and
// column under the mouse (row -1 below the last row), after the view has handled them, so
// that the selection has already moved.
class ListViewWidget : public QTableWidget {
  public:
    using QTableWidget::QTableWidget;

  protected:
    void mouseReleaseEvent(QMouseEvent* pEvent) override {
        QTableWidget::mouseReleaseEvent(pEvent);
        Notify(NM_CLICK, pEvent);
    }
    void mouseDoubleClickEvent(QMouseEvent* pEvent) override {
        QTableWidget::mouseDoubleClickEvent(pEvent);
        Notify(NM_DBLCLK, pEvent);
    }

  private:
    void Notify(UINT nCode, QMouseEvent* pEvent) {
        if (pEvent->button() != Qt::LeftButton) {
            return;
        }
        const QPoint pos = pEvent->position().toPoint();
        const QModelIndex index = indexAt(pos);
        const QPoint inTable = viewport()->mapTo(this, pos);
        NMITEMACTIVATE info{};
        info.hdr.code = nCode;
        info.iItem = index.isValid() ? index.row() : -1;
        info.iSubItem = index.isValid() ? index.column() : columnAt(pos.x());
        info.ptAction = CPoint{inTable.x(), inTable.y()};
        NotifyParent(this, &info.hdr);
    }
};

void NotifyItemChanged(QTableWidget* pTable, int nRow, UINT nOld, UINT nNew) {
    NMLISTVIEW info{};
    info.hdr.code = LVN_ITEMCHANGED;
    info.iItem = nRow;
    info.uOldState = nOld;
    info.uNewState = nNew;
    info.uChanged = LVIF_STATE;
    NotifyParent(pTable, &info.hdr);
}

QWidget* CreateButton(const DialogItemTemplate& item, QWidget* pParent) {
    const DWORD dwType = item.dwStyle & BS_TYPEMASK;
    const QString text = ToQString(item.strText);
    if (dwType == BS_GROUPBOX) {
        auto* pGroup = new QGroupBox(text, pParent);
        pGroup->setAttribute(Qt::WA_TransparentForMouseEvents);
        return pGroup;
    }
    QAbstractButton* pButton = nullptr;
    if (dwType == BS_AUTOCHECKBOX) {
        pButton = new QCheckBox(text, pParent);
    } else {
        auto* pPush = new QPushButton(text, pParent);
        // Enter belongs to the dialog, which turns it into IDOK; buttons never take it.
        pPush->setAutoDefault(false);
        pPush->setDefault(false);
        pButton = pPush;
    }
    QObject::connect(pButton, &QAbstractButton::clicked,
                     [pButton] { NotifyCommand(pButton, BN_CLICKED); });
    return pButton;
}

QWidget* CreateEdit(const DialogItemTemplate& item, QWidget* pParent) {
    auto* pEdit = new QLineEdit(pParent);
    pEdit->setFrame((item.dwStyle & WS_BORDER) != 0);
    pEdit->setReadOnly((item.dwStyle & ES_READONLY) != 0);
    QObject::connect(pEdit, &QLineEdit::textChanged, [pEdit] { NotifyCommand(pEdit, EN_CHANGE); });
    auto* pNotifier = new KillFocusNotifier(pEdit, EN_KILLFOCUS);
    pNotifier->Watch(pEdit);
    return pEdit;
}

QWidget* CreateStatic(const DialogItemTemplate& item, QWidget* pParent) {
    if ((item.dwStyle & 0x1F) == SS_BLACKFRAME) {
        auto* pFrame = new QFrame(pParent);
        pFrame->setFrameShape(QFrame::Box);
        pFrame->setStyleSheet("QFrame { border: 1px solid black; }");
        return pFrame;
    }
    auto* pLabel = new QLabel(ToQString(item.strText), pParent);
    pLabel->setWordWrap(true);
    pLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    pLabel->setTextFormat(Qt::PlainText);
    return pLabel;
}

QWidget* CreateComboBox(const DialogItemTemplate& /*item*/, QWidget* pParent) {
    auto* pCombo = new QComboBox(pParent);
    pCombo->setEditable(true);
    pCombo->setInsertPolicy(QComboBox::NoInsert);
    pCombo->setMaxVisibleItems(30);
    // Only a pick by the user notifies; a selection made by code does not.
    QObject::connect(pCombo, &QComboBox::activated,
                     [pCombo] { NotifyCommand(pCombo, CBN_SELCHANGE); });
    auto* pNotifier = new KillFocusNotifier(pCombo, CBN_KILLFOCUS);
    pNotifier->Watch(pCombo);
    pNotifier->Watch(pCombo->lineEdit());
    return pCombo;
}

QWidget* CreateListView(const DialogItemTemplate& /*item*/, QWidget* pParent) {
    auto* pTable = new ListViewWidget(pParent);
    pTable->setColumnCount(0);
    pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    pTable->setSelectionMode(QAbstractItemView::SingleSelection);
    pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A report view is one stop in the tab order: Tab leaves it, the arrows move within it.
    pTable->setTabKeyNavigation(false);
    pTable->verticalHeader()->setVisible(false);
    // Rows as compact as the platform's report view: the text and a little room.
    pTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    pTable->verticalHeader()->setDefaultSectionSize(pParent->fontMetrics().height() + 5);
    pTable->horizontalHeader()->setSectionsClickable(false);
    pTable->horizontalHeader()->setHighlightSections(false);
    pTable->setShowGrid(false);
    pTable->setWordWrap(false);
    // The platform reports each row whose state changed, deselected ones first.
    QObject::connect(pTable->selectionModel(), &QItemSelectionModel::selectionChanged,
                     [pTable](const QItemSelection& selected, const QItemSelection& deselected) {
                         QList<int> rowsOff;
                         for (const QModelIndex& index : deselected.indexes()) {
                             if (!rowsOff.contains(index.row())) {
                                 rowsOff.append(index.row());
                             }
                         }
                         QList<int> rowsOn;
                         for (const QModelIndex& index : selected.indexes()) {
                             if (!rowsOn.contains(index.row())) {
                                 rowsOn.append(index.row());
                             }
                         }
                         for (int nRow : rowsOff) {
                             NotifyItemChanged(pTable, nRow, LVIS_SELECTED, 0);
                         }
                         for (int nRow : rowsOn) {
                             NotifyItemChanged(pTable, nRow, 0, LVIS_SELECTED | LVIS_FOCUSED);
                         }
                     });
    return pTable;
}

// What an up-down control tells its dialog when one of its arrows is used.
void NotifyDeltaPos(QWidget* pUpDown, int nDelta) {
    NMUPDOWN info{};
    info.hdr.code = UDN_DELTAPOS;
    info.iDelta = nDelta;
    NotifyParent(pUpDown, &info.hdr);
}

// Up and Down in the buddy of an up-down control that takes the arrow keys.
class ArrowKeys : public QObject {
  public:
    explicit ArrowKeys(QWidget* pUpDown) : QObject(pUpDown), m_pUpDown(pUpDown) {}

  protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override {
        if (pEvent->type() == QEvent::KeyPress && m_pUpDown->isEnabled()) {
            const int nKey = static_cast<QKeyEvent*>(pEvent)->key();
            if (nKey == Qt::Key_Up || nKey == Qt::Key_Down) {
                NotifyDeltaPos(m_pUpDown, nKey == Qt::Key_Up ? -1 : 1);
                return true;
            }
        }
        return QObject::eventFilter(pWatched, pEvent);
    }

  private:
    QWidget* m_pUpDown;
};

QWidget* CreateUpDown(const DialogItemTemplate& /*item*/, QWidget* pParent) {
    auto* pUpDown = new QWidget(pParent);
    auto* pLayout = new QVBoxLayout(pUpDown);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);
    auto addArrow = [&](Qt::ArrowType arrow, int nDelta, const char* pszName) {
        auto* pButton = new QToolButton(pUpDown);
        pButton->setArrowType(arrow);
        pButton->setObjectName(pszName);
        pButton->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        pButton->setFocusPolicy(Qt::NoFocus);
        pButton->setAutoRepeat(true);
        pLayout->addWidget(pButton);
        QObject::connect(pButton, &QToolButton::clicked,
                         [pUpDown, nDelta] { NotifyDeltaPos(pUpDown, nDelta); });
    };
    addArrow(Qt::UpArrow, -1, "up");
    addArrow(Qt::DownArrow, 1, "down");
    return pUpDown;
}

}  // namespace

QWidget* CreateControlWidget(const DialogItemTemplate& item, QWidget* pParent) {
    QWidget* pWidget = nullptr;
    switch (item.cls) {
        case ControlClass::Button:
            pWidget = CreateButton(item, pParent);
            break;
        case ControlClass::Edit:
            pWidget = CreateEdit(item, pParent);
            break;
        case ControlClass::Static:
            pWidget = CreateStatic(item, pParent);
            break;
        case ControlClass::ComboBox:
            pWidget = CreateComboBox(item, pParent);
            break;
        case ControlClass::ListView:
            pWidget = CreateListView(item, pParent);
            break;
        case ControlClass::UpDown:
            pWidget = CreateUpDown(item, pParent);
            break;
    }
    SetControlId(pWidget, item.nId);
    pWidget->setEnabled((item.dwStyle & WS_DISABLED) == 0);
    pWidget->setVisible((item.dwStyle & WS_VISIBLE) != 0);
    pWidget->setFocusPolicy((item.dwStyle & WS_TABSTOP) != 0 || item.cls == ControlClass::ComboBox
                                ? Qt::StrongFocus
                                : Qt::NoFocus);
    return pWidget;
}

void AttachArrowKeys(QWidget* pUpDown, QWidget* pBuddy) {
    pBuddy->installEventFilter(new ArrowKeys(pUpDown));
}

QString ControlText(const QWidget* pWidget) {
    if (const auto* p = qobject_cast<const QAbstractButton*>(pWidget)) {
        return p->text();
    }
    if (const auto* p = qobject_cast<const QGroupBox*>(pWidget)) {
        return p->title();
    }
    if (const auto* p = qobject_cast<const QLabel*>(pWidget)) {
        return p->text();
    }
    if (const auto* p = qobject_cast<const QLineEdit*>(pWidget)) {
        return p->text();
    }
    if (const auto* p = qobject_cast<const QComboBox*>(pWidget)) {
        return p->currentText();
    }
    return pWidget->windowTitle();
}

void SetControlText(QWidget* pWidget, const QString& text) {
    if (auto* pButton = qobject_cast<QAbstractButton*>(pWidget)) {
        pButton->setText(text);
    } else if (auto* pGroup = qobject_cast<QGroupBox*>(pWidget)) {
        pGroup->setTitle(text);
    } else if (auto* pLabel = qobject_cast<QLabel*>(pWidget)) {
        pLabel->setText(text);
    } else if (auto* pEdit = qobject_cast<QLineEdit*>(pWidget)) {
        pEdit->setText(text);
    } else if (auto* pCombo = qobject_cast<QComboBox*>(pWidget)) {
        pCombo->setEditText(text);
    } else {
        pWidget->setWindowTitle(text);
    }
}

// ---- CButton, CEdit ----

int CButton::GetCheck() const {
    const auto* p = qobject_cast<const QAbstractButton*>(m_hWnd);
    return p != nullptr && p->isChecked() ? 1 : 0;
}

void CButton::SetCheck(int nCheck) {
    if (auto* p = qobject_cast<QAbstractButton*>(m_hWnd)) {
        p->setChecked(nCheck != 0);
    }
}

void CEdit::SetSel(int nStart, int nEnd) {
    if (auto* p = qobject_cast<QLineEdit*>(m_hWnd)) {
        if (nStart == 0 && nEnd == -1) {
            p->selectAll();
        } else if (nStart < 0) {
            p->deselect();
        } else {
            p->setSelection(nStart, nEnd - nStart);
        }
    }
}

void CEdit::LimitText(int nMax) {
    if (auto* p = qobject_cast<QLineEdit*>(m_hWnd)) {
        p->setMaxLength(nMax > 0 ? nMax : 32767);
    }
}

// ---- CComboBox ----

namespace {
QComboBox* Combo(HWND hWnd) {
    return qobject_cast<QComboBox*>(hWnd);
}
}  // namespace

int CComboBox::AddString(const std::string& strText) {
    QComboBox* p = Combo(m_hWnd);
    const QString keep = p->currentText();
    p->addItem(ToQString(strText));
    p->setEditText(keep);  // adding an entry does not change the edit field
    return p->count() - 1;
}

int CComboBox::InsertString(int nIndex, const std::string& strText) {
    QComboBox* p = Combo(m_hWnd);
    if (nIndex < 0 || nIndex > p->count()) {
        nIndex = p->count();
    }
    const QString keep = p->currentText();
    const bool bHadSelection = p->currentIndex() >= 0;
    p->insertItem(nIndex, ToQString(strText));
    if (!bHadSelection) {
        p->setCurrentIndex(-1);
    }
    p->setEditText(keep);
    return nIndex;
}

int CComboBox::DeleteString(int nIndex) {
    QComboBox* p = Combo(m_hWnd);
    if (nIndex < 0 || nIndex >= p->count()) {
        return CB_ERR;
    }
    p->removeItem(nIndex);
    return p->count();
}

void CComboBox::ResetContent() {
    QComboBox* p = Combo(m_hWnd);
    p->clear();
    p->setEditText(QString());
}

int CComboBox::GetCount() const {
    return Combo(m_hWnd)->count();
}

int CComboBox::GetCurSel() const {
    return Combo(m_hWnd)->currentIndex();
}

int CComboBox::SetCurSel(int nSelect) {
    QComboBox* p = Combo(m_hWnd);
    if (nSelect < 0 || nSelect >= p->count()) {
        p->setCurrentIndex(-1);
        p->setEditText(QString());
        return CB_ERR;
    }
    p->setCurrentIndex(nSelect);
    p->setEditText(p->itemText(nSelect));
    return nSelect;
}

void CComboBox::GetLBText(int nIndex, std::string& strText) const {
    strText = GetLBText(nIndex);
}

std::string CComboBox::GetLBText(int nIndex) const {
    QComboBox* p = Combo(m_hWnd);
    if (nIndex < 0 || nIndex >= p->count()) {
        return {};
    }
    return p->itemText(nIndex).toStdString();
}

void CComboBox::LimitText(int nMax) {
    if (QLineEdit* pEdit = Combo(m_hWnd)->lineEdit()) {
        pEdit->setMaxLength(nMax > 0 ? nMax : 32767);
    }
}

// ---- CListCtrl ----

QTableWidget* CListCtrl::Table() const {
    return qobject_cast<QTableWidget*>(m_hWnd);
}

DWORD CListCtrl::SetExtendedStyle(DWORD dwStyle) {
    Table()->setShowGrid((dwStyle & LVS_EX_GRIDLINES) != 0);
    const DWORD dwOld = m_hWnd->property("polar_exstyle").toUInt();
    m_hWnd->setProperty("polar_exstyle", dwStyle);
    return dwOld;
}

int CListCtrl::InsertColumn(int nCol, const std::string& strHeading, int /*nFormat*/, int nWidth) {
    QTableWidget* p = Table();
    if (nCol < 0 || nCol > p->columnCount()) {
        nCol = p->columnCount();
    }
    p->insertColumn(nCol);
    p->setHorizontalHeaderItem(nCol, new QTableWidgetItem(ToQString(strHeading)));
    if (nWidth >= 0) {
        p->setColumnWidth(nCol, nWidth);
    }
    return nCol;
}

int CListCtrl::InsertItem(int nItem, const std::string& strText) {
    QTableWidget* p = Table();
    if (nItem < 0 || nItem > p->rowCount()) {
        nItem = p->rowCount();
    }
    p->insertRow(nItem);
    for (int nCol = 0; nCol < p->columnCount(); ++nCol) {
        p->setItem(nItem, nCol, new QTableWidgetItem(nCol == 0 ? ToQString(strText) : QString()));
    }
    return nItem;
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, const std::string& strText) {
    QTableWidget* p = Table();
    if (nItem < 0 || nItem >= p->rowCount() || nSubItem < 0 || nSubItem >= p->columnCount()) {
        return FALSE;
    }
    if (QTableWidgetItem* pCell = p->item(nItem, nSubItem)) {
        pCell->setText(ToQString(strText));
    } else {
        p->setItem(nItem, nSubItem, new QTableWidgetItem(ToQString(strText)));
    }
    return TRUE;
}

std::string CListCtrl::GetItemText(int nItem, int nSubItem) const {
    const QTableWidgetItem* pCell = Table()->item(nItem, nSubItem);
    return pCell != nullptr ? pCell->text().toStdString() : std::string();
}

BOOL CListCtrl::DeleteItem(int nItem) {
    QTableWidget* p = Table();
    if (nItem < 0 || nItem >= p->rowCount()) {
        return FALSE;
    }
    p->removeRow(nItem);
    return TRUE;
}

BOOL CListCtrl::DeleteAllItems() {
    Table()->setRowCount(0);
    return TRUE;
}

int CListCtrl::GetItemCount() const {
    return Table()->rowCount();
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask) {
    QTableWidget* p = Table();
    if (nItem < 0 || nItem >= p->rowCount()) {
        return FALSE;
    }
    if (nMask & LVIS_SELECTED) {
        const QModelIndex index = p->model()->index(nItem, 0);
        const auto flags = QItemSelectionModel::Rows |
                           ((nState & LVIS_SELECTED) ? QItemSelectionModel::ClearAndSelect
                                                     : QItemSelectionModel::Deselect);
        p->selectionModel()->select(index, flags);
        if (nState & LVIS_SELECTED) {
            p->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        }
    }
    return TRUE;
}

int CListCtrl::GetNextItem(int nItem, int nFlags) const {
    QTableWidget* p = Table();
    for (int nRow = nItem + 1; nRow < p->rowCount(); ++nRow) {
        if ((nFlags & LVNI_SELECTED) == 0 ||
            p->selectionModel()->isRowSelected(nRow, QModelIndex())) {
            return nRow;
        }
    }
    return -1;
}

int CListCtrl::SubItemHitTest(LVHITTESTINFO* pInfo) const {
    QTableWidget* p = Table();
    const QPoint inViewport = p->viewport()->mapFrom(p, QPoint(pInfo->pt.x, pInfo->pt.y));
    const QModelIndex index = p->indexAt(inViewport);
    pInfo->iItem = index.isValid() ? index.row() : -1;
    pInfo->iSubItem = index.isValid() ? index.column() : -1;
    pInfo->flags = index.isValid() ? LVHT_ONITEM : LVHT_NOWHERE;
    return pInfo->iItem;
}

int CListCtrl::HitTest(LVHITTESTINFO* pInfo) const {
    const int nItem = SubItemHitTest(pInfo);
    pInfo->iSubItem = 0;
    return nItem;
}

BOOL CListCtrl::GetSubItemRect(int nItem, int nSubItem, UINT /*nCode*/, CRect* pRect) const {
    QTableWidget* p = Table();
    if (nItem < 0 || nItem >= p->rowCount() || nSubItem < 0 || nSubItem >= p->columnCount()) {
        return FALSE;
    }
    const QRect r = p->visualRect(p->model()->index(nItem, nSubItem));
    const QPoint topLeft = p->viewport()->mapTo(p, r.topLeft());
    *pRect = CRect{topLeft.x(), topLeft.y(), topLeft.x() + r.width(), topLeft.y() + r.height()};
    return TRUE;
}

BOOL CListCtrl::GetItemRect(int nItem, CRect* pRect, UINT nCode) const {
    CRect first;
    CRect last;
    const int nLast = std::max(0, Table()->columnCount() - 1);
    if (!GetSubItemRect(nItem, 0, nCode, &first) || !GetSubItemRect(nItem, nLast, nCode, &last)) {
        return FALSE;
    }
    *pRect = CRect{first.left, first.top, last.right, first.bottom};
    return TRUE;
}

int CListCtrl::GetColumnWidth(int nCol) const {
    return Table()->columnWidth(nCol);
}

BOOL CListCtrl::EnsureVisible(int nItem, BOOL bPartialOK) {
    QTableWidget* p = Table();
    if (nItem < 0 || nItem >= p->rowCount()) {
        return FALSE;
    }
    const QModelIndex index = p->model()->index(nItem, 0);
    const QRect row = p->visualRect(index);
    const QRect view = p->viewport()->rect();
    const bool bInView = bPartialOK ? row.intersects(view)
                                    : row.top() >= view.top() && row.bottom() <= view.bottom();
    if (!bInView) {
        p->scrollTo(index, QAbstractItemView::EnsureVisible);
    }
    return TRUE;
}

// ---- Tooltips ----

BOOL CToolTipCtrl::Create(CWnd* /*pParentWnd*/) {
    // Tips read as the dialogs do; the tip window is shared, so its font is the application's.
    QToolTip::setFont(StandardDialogFont());
    return TRUE;
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, const std::string& strText) {
    if (pWnd == nullptr || pWnd->GetSafeHwnd() == nullptr) {
        return FALSE;
    }
    pWnd->GetSafeHwnd()->setToolTip(m_bActive ? ToQString(strText) : QString());
    return TRUE;
}

void CToolTipCtrl::Activate(BOOL bActivate) {
    m_bActive = bActivate != FALSE;
}

void CTarnToolTipCtrl::AddWindowTool(CWnd* pWnd, const char* pszText) {
    AddTool(pWnd, pszText != nullptr ? pszText : "");
}
