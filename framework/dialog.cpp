#include "framework/dialog.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QResizeEvent>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <utility>
#include <vector>

#include "framework/input_routing.h"
#include "framework/interaction.h"
#include "framework/text_translation.h"

namespace {

// The modal dialogs whose loops run, innermost last, with their owners.
std::vector<std::pair<CDialog*, QPointer<QWidget>>>& RunningModals() {
    static std::vector<std::pair<CDialog*, QPointer<QWidget>>> aRunning;
    return aRunning;
}

std::function<void(CDialog*)>& ModalHook() {
    static std::function<void(CDialog*)> hook;
    return hook;
}

// Thrown by a failed exchange; UpdateData turns it into its false result.
struct DataExchangeFailure {};

int MulDiv(int a, int b, int c) {
    const long long n = static_cast<long long>(a) * b;
    return static_cast<int>(n >= 0 ? (n + c / 2) / c : (n - c / 2) / c);
}

}  // namespace

// The top-level widget of a dialog: Enter, Esc and the close box become the dialog's
// commands, wherever the focus is inside the dialog. A modal pop-up laid into its owner's window
// keeps its keys and its Tab cycle to itself.
class DialogWidget : public QWidget {
  public:
    DialogWidget(QWidget* pParent, Qt::WindowFlags flags, bool bEmbedded)
        : QWidget(pParent, flags), m_bEmbedded(bEmbedded) {}

    void WatchKeys(QWidget* pWidget) { pWidget->installEventFilter(this); }
    void AddAccelerator(const QKeySequence& keys, int nId) {
        m_accelerators.push_back({keys, nId});
    }

  protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override {
        if (pEvent->type() == QEvent::KeyPress && Owns(pWatched) &&
            HandleKey(static_cast<QKeyEvent*>(pEvent))) {
            return true;
        }
        return QWidget::eventFilter(pWatched, pEvent);
    }

    void keyPressEvent(QKeyEvent* pEvent) override {
        if (!HandleKey(pEvent)) {
            QWidget::keyPressEvent(pEvent);
        }
        if (m_bEmbedded) {
            pEvent->accept();  // the owner's dialog never hears the pop-up's keys
        }
    }

    bool focusNextPrevChild(bool bNext) override {
        if (!m_bEmbedded) {
            return QWidget::focusNextPrevChild(bNext);
        }
        QWidget* pStart = QApplication::focusWidget();
        if (pStart == nullptr || !isAncestorOf(pStart)) {
            pStart = this;
        }
        QWidget* pWidget = pStart;
        do {
            pWidget = bNext ? pWidget->nextInFocusChain() : pWidget->previousInFocusChain();
            if (isAncestorOf(pWidget) && TakesTab(pWidget, this)) {
                pWidget->setFocus(bNext ? Qt::TabFocusReason : Qt::BacktabFocusReason);
                return true;
            }
        } while (pWidget != pStart && pWidget != nullptr);
        return true;
    }

    void closeEvent(QCloseEvent* pEvent) override {
        pEvent->ignore();
        Command(IDCANCEL);
    }

    void resizeEvent(QResizeEvent* /*pEvent*/) override {
        ::SendMessage(this, WM_SIZE, isMaximized() ? SIZE_MAXIMIZED : SIZE_RESTORED,
                      MAKELPARAM(width(), height()));
    }

    // Messages from outside the framework (a host's commands) reach the dialog's procedure.
    bool event(QEvent* pEvent) override {
        if (pEvent->type() == polar_api::kMessageEventType) {
            auto* pMessage = static_cast<polar_api::MessageEvent*>(pEvent);
            if (CWnd* pWnd = CWnd::FromHandle(this)) {
                pMessage->result =
                    pWnd->WindowProc(pMessage->message, pMessage->wParam, pMessage->lParam);
            }
            return true;
        }
        return QWidget::event(pEvent);
    }

    // A dialog that holds the mouse (the cell editor) hears every press, inside or outside.
    void mousePressEvent(QMouseEvent* pEvent) override {
        if (pEvent->button() == Qt::LeftButton) {
            const QPoint p = pEvent->position().toPoint();
            ::SendMessage(this, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x(), p.y()));
        }
    }

    void wheelEvent(QWheelEvent* pEvent) override {
        const QPoint global = pEvent->globalPosition().toPoint();
        ::SendMessage(
            this, WM_MOUSEWHEEL,
            MAKEWPARAM(0, static_cast<unsigned>(static_cast<short>(pEvent->angleDelta().y()))),
            MAKELPARAM(global.x(), global.y()));
    }

  private:
    // Keys typed into this dialog's own controls are the dialog's; a drop-down list, a menu
    // or another dialog above it (a window of its own, or a pop-up laid into this one) takes
    // its own keys.
    bool Owns(QObject* pWatched) const {
        for (auto* pWidget = qobject_cast<QWidget*>(pWatched); pWidget != nullptr;
             pWidget = pWidget->parentWidget()) {
            if (pWidget == this) {
                return true;
            }
            if (pWidget->isWindow() || IsEmbeddedPopup(pWidget)) {
                return false;
            }
        }
        return false;
    }

    // An edit field being typed in keeps its own keys (its undo, its selection).
    static bool InTextField() {
        QWidget* pFocus = QApplication::focusWidget();
        auto* pCombo = qobject_cast<QComboBox*>(pFocus);
        return qobject_cast<QLineEdit*>(pFocus) != nullptr ||
               (pCombo != nullptr && pCombo->isEditable());
    }

    bool HandleAccelerator(QKeyEvent* pEvent) {
        if (m_accelerators.empty() || InTextField() ||
            QApplication::activePopupWidget() != nullptr) {
            return false;
        }
        const QKeySequence pressed(pEvent->keyCombination());
        for (const auto& [keys, nId] : m_accelerators) {
            if (keys.matches(pressed) == QKeySequence::ExactMatch) {
                Command(nId);
                return true;
            }
        }
        return false;
    }

    bool HandleKey(QKeyEvent* pEvent) {
        if (HandleAccelerator(pEvent)) {
            return true;
        }
        const int nKey = pEvent->key();
        if (pEvent->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
            return false;
        }
        if (QApplication::activePopupWidget() != nullptr) {
            return false;  // an open drop-down list or menu takes every key
        }
        if (nKey == Qt::Key_F1) {
            HELPINFO info{};
            info.cbSize = sizeof info;
            ::SendMessage(this, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
            return true;
        }
        if (nKey == Qt::Key_Return || nKey == Qt::Key_Enter) {
            Command(IDOK);
            return true;
        }
        if (nKey == Qt::Key_Escape) {
            Command(IDCANCEL);
            return true;
        }
        return false;
    }

    void Command(int nId) {
        if (CWnd::FromHandle(this) != nullptr) {
            ::SendMessage(this, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(nId), BN_CLICKED), 0);
        }
    }

    bool m_bEmbedded;
    std::vector<std::pair<QKeySequence, int>> m_accelerators;
};

QFont DialogFont(const DialogTemplate& dialogTemplate) {
    // The templates' font maps to Liberation Sans, metric-compatible with the Windows fonts
    // the templates were laid out in.
    QFont font("Liberation Sans");
    font.setPointSize(dialogTemplate.nPointSize > 0 ? dialogTemplate.nPointSize : 8);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

void ApplyDialogFont(QWidget* pRoot, const QFont& font) {
    pRoot->setFont(font);
    for (QWidget* pWidget : pRoot->findChildren<QWidget*>()) {
        pWidget->setFont(font);
        if (auto* pCombo = qobject_cast<QComboBox*>(pWidget)) {
            // The drop-down list is a window of its own.
            pCombo->view()->setFont(font);
            pCombo->view()->window()->setFont(font);
        }
    }
}

DialogBaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    const int nWidth = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return DialogBaseUnits{(nWidth / 26 + 1) / 2, metrics.height()};
}

int DialogUnitsToPixelsX(int nUnits, DialogBaseUnits units) {
    return MulDiv(nUnits, units.cx, 4);
}
int DialogUnitsToPixelsY(int nUnits, DialogBaseUnits units) {
    return MulDiv(nUnits, units.cy, 8);
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_MESSAGE(WM_INITDIALOG, OnInitDialogMessage)
END_MESSAGE_MAP()

CDialog::CDialog(const DialogTemplate* pTemplate, CWnd* pParentWnd)
    : m_pTemplate(pTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {
    // A dialog object deleted while its window exists (not from inside one of its handlers)
    // takes the window with it at once.
    if (m_hWnd != nullptr) {
        delete Detach();
    }
}

void CDialog::SetModalHook(std::function<void(CDialog*)> hook) {
    ModalHook() = std::move(hook);
}

void CDialog::Build(QWidget* pParent, bool bEmbedded) {
    const DialogTemplate& t = *m_pTemplate;
    Qt::WindowFlags flags = Qt::Dialog;
    if (bEmbedded) {
        flags = Qt::Widget;
    } else if ((t.dwStyle & WS_CAPTION) == 0) {
        flags = Qt::Tool | Qt::FramelessWindowHint;
    } else if ((t.dwStyle & WS_THICKFRAME) != 0) {
        flags |= Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
        if ((t.dwStyle & WS_MAXIMIZEBOX) != 0) {
            flags |= Qt::WindowMaximizeButtonHint;
        }
    } else {
        flags |= Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
    }
    auto* pDialog = new DialogWidget(pParent, flags, bEmbedded);
    pDialog->setObjectName(QString("dialog-%1").arg(t.nId));
    if (bEmbedded) {
        MarkEmbeddedPopup(pDialog);
        pDialog->setAutoFillBackground(true);
    }
    const QFont font = DialogFont(t);
    pDialog->setFont(font);
    // Group box titles stand on the frame's top line, as on the platform.
    pDialog->setStyleSheet(
        "QGroupBox { border: 1px solid #a0a0a0; border-radius: 2px; margin-top: 0.6em; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }");
    m_baseUnits = BaseUnitsOf(font);
    pDialog->setWindowTitle(QString::fromUtf8(t.strCaption.c_str()));
    const QSize size(DialogUnitsToPixelsX(t.cx, m_baseUnits),
                     DialogUnitsToPixelsY(t.cy, m_baseUnits));
    if ((t.dwStyle & WS_THICKFRAME) != 0 && !bEmbedded) {
        // The template's size is the smallest the window takes, and where it starts.
        pDialog->setMinimumSize(size);
        pDialog->resize(size);
    } else {
        pDialog->setFixedSize(size);
    }

    QList<QWidget*> widgets;
    for (const DialogItemTemplate& item : t.items) {
        QWidget* pWidget = CreateControlWidget(item, pDialog);
        // Edges, not widths, are converted, so that controls touching in dialog units touch.
        const int left = DialogUnitsToPixelsX(item.x, m_baseUnits);
        const int top = DialogUnitsToPixelsY(item.y, m_baseUnits);
        const int right = DialogUnitsToPixelsX(item.x + item.cx, m_baseUnits);
        int bottom = DialogUnitsToPixelsY(item.y + item.cy, m_baseUnits);
        if (item.cls == ControlClass::ComboBox) {
            // A combo box's template height is that of its dropped list.
            bottom = top + pWidget->sizeHint().height();
        }
        pWidget->setGeometry(left, top, right - left, bottom - top);
        if (item.cls == ControlClass::UpDown && (item.dwStyle & UDS_AUTOBUDDY) &&
            !widgets.isEmpty()) {
            // The buddy is the control before it; aligned right, the arrows take the buddy's
            // right end.
            QWidget* pBuddy = widgets.back();
            const QRect buddy = pBuddy->geometry();
            const int nWidth = std::max(right - left, 14);
            if (item.dwStyle & UDS_ARROWKEYS) {
                AttachArrowKeys(pWidget, pBuddy);
            }
            if (item.dwStyle & UDS_ALIGNRIGHT) {
                pBuddy->setGeometry(buddy.x(), buddy.y(), buddy.width() - nWidth + 2,
                                    buddy.height());
                pWidget->setGeometry(buddy.right() - nWidth + 1, buddy.y(), nWidth, buddy.height());
            }
        }
        pDialog->WatchKeys(pWidget);
        for (QWidget* pChild : pWidget->findChildren<QWidget*>()) {
            pDialog->WatchKeys(pChild);
        }
        widgets.append(pWidget);
    }
    // Every control in the template's font, set on each: the desktop's default font, its
    // per-class fonts (combo boxes, list headers) and its scaling must not change what the
    // layout in dialog units was computed for.
    ApplyDialogFont(pDialog, font);
    // Group boxes frame the controls around them and stay below them.
    for (QWidget* pWidget : widgets) {
        if (qobject_cast<QGroupBox*>(pWidget) != nullptr) {
            pWidget->lower();
        }
    }
    QWidget* pPrevious = nullptr;
    for (QWidget* pWidget : widgets) {
        if (pWidget->focusPolicy() == Qt::NoFocus) {
            continue;
        }
        if (pPrevious != nullptr) {
            QWidget::setTabOrder(pPrevious, pWidget);
        }
        pPrevious = pWidget;
    }
    Attach(pDialog, true);
}

BOOL CDialog::CreateIndirect(const DialogTemplate* pTemplate, CWnd* pParentWnd) {
    if (pTemplate != nullptr) {
        m_pTemplate = pTemplate;
    }
    if (m_pTemplate == nullptr) {
        return FALSE;
    }
    m_pParentWnd = pParentWnd;
    m_bModal = false;
    Build(pParentWnd != nullptr ? pParentWnd->GetSafeHwnd() : nullptr, false);
    InitDialog();
    if (m_hWnd != nullptr && (m_pTemplate->dwStyle & WS_VISIBLE) != 0) {
        m_hWnd->show();
    }
    return m_hWnd != nullptr ? TRUE : FALSE;
}

int CDialog::DoModal() {
    if (m_pTemplate == nullptr) {
        return -1;
    }
    m_bModal = true;
    m_bEnded = false;
    m_nModalResult = IDCANCEL;
    QWidget* pOwner =
        m_pParentWnd != nullptr ? m_pParentWnd->GetSafeHwnd() : QApplication::activeWindow();
    // A pop-up without a caption (the cell editor) must sit exactly where the program puts it;
    // only a window system may place a top-level window (Wayland never lets a program do it,
    // X11 window managers may move it), so it is laid into its owner's window instead.
    const bool bEmbedded = (m_pTemplate->dwStyle & WS_CAPTION) == 0 && pOwner != nullptr;
    if (bEmbedded) {
        pOwner = pOwner->window();
    }
    const QPointer<QWidget> pFocusBefore = QApplication::focusWidget();
    Build(pOwner, bEmbedded);
    if (!bEmbedded) {
        m_hWnd->setWindowModality(Qt::ApplicationModal);
    }
    // As on the platform, a dialog that its initialisation did not place is centred.
    const QRect created = m_hWnd->geometry();
    InitDialog();
    if (!m_bEnded && m_hWnd != nullptr) {
        if (m_hWnd->geometry().topLeft() == created.topLeft()) {
            CenterWindow();
        }
        QPointer<QWidget> pPopup = m_hWnd;
        if (bEmbedded) {
            input_routing::PushEmbeddedModal(m_hWnd);
            m_hWnd->raise();
            m_hWnd->show();
            // A child widget shown in an active window does not take the focus by itself.
            if (QWidget* pFocus = m_hWnd->focusWidget()) {
                pFocus->setFocus(Qt::OtherFocusReason);
            }
        } else {
            m_hWnd->show();
            m_hWnd->activateWindow();
        }
        QEventLoop loop;
        m_pLoop = &loop;
        RunningModals().emplace_back(this, QPointer<QWidget>(pOwner));
        if (ModalHook()) {
            // Deferred: the dialog must be running before anybody answers it.
            QTimer::singleShot(0, &loop, [this] {
                if (ModalHook()) {
                    ModalHook()(this);
                }
            });
        }
        loop.exec();
        m_pLoop = nullptr;
        std::erase_if(RunningModals(), [this](const auto& entry) { return entry.first == this; });
        if (bEmbedded) {
            input_routing::PopEmbeddedModal(pPopup);
        }
    }
    // The focus goes back where it was, as when the platform re-enables the owner; before the
    // pop-up goes, so that it does not wander through the owner's controls on the way.
    if (bEmbedded && pFocusBefore) {
        pFocusBefore->setFocus(Qt::OtherFocusReason);
    }
    if (m_hWnd != nullptr) {
        // A window that goes takes its mouse capture with it.
        if (input_routing::CaptureWidget() == m_hWnd) {
            ReleaseCapture();
        }
        HWND hWnd = Detach();
        hWnd->hide();
        hWnd->deleteLater();
    }
    return m_nModalResult;
}

void CDialog::InitDialog() {
    // A dialog whose initialisation answers TRUE gets the focus on its first tab stop.
    if (SendMessage(WM_INITDIALOG, 0, 0) == 0 || m_hWnd == nullptr || m_bEnded) {
        return;
    }
    for (QWidget* pChild : m_hWnd->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (TakesTab(pChild, m_hWnd)) {
            pChild->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void CDialog::CancelModalDialogsOf(QWidget* pWindow) {
    const auto aRunning = RunningModals();
    for (const auto& [pDialog, pOwner] : aRunning) {
        if (pOwner != nullptr && (pOwner == pWindow || pWindow->isAncestorOf(pOwner))) {
            pDialog->EndDialog(IDCANCEL);
        }
    }
}

void CDialog::EndDialog(int nResult) {
    m_nModalResult = nResult;
    m_bEnded = true;
    if (m_pLoop != nullptr) {
        m_pLoop->exit(0);
    } else if (!m_bModal && m_hWnd != nullptr) {
        m_hWnd->hide();
    }
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const DataExchangeFailure&) {
        return FALSE;
    }
    return TRUE;
}

void CDialog::AddAccelerator(const char* pszKeys, int nCommandId) {
    if (auto* pDialog = dynamic_cast<DialogWidget*>(m_hWnd)) {
        pDialog->AddAccelerator(QKeySequence(QString::fromUtf8(pszKeys)), nCommandId);
    }
}

void CDialog::GotoDlgCtrl(CWnd* pWnd) {
    if (pWnd != nullptr) {
        pWnd->SetFocus();
        if (auto* pEdit = qobject_cast<QLineEdit*>(pWnd->GetSafeHwnd())) {
            pEdit->selectAll();
        }
    }
}

void CDialog::DoDataExchange(CDataExchange* /*pDX*/) {}

LRESULT CDialog::OnInitDialogMessage(WPARAM, LPARAM) {
    return OnInitDialog();
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) {
        return;
    }
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (CWnd::OnCommand(wParam, lParam)) {
        return TRUE;
    }
    if (HIWORD(wParam) != BN_CLICKED) {
        return FALSE;
    }
    // The standard buttons, when the map does not take them.
    if (LOWORD(wParam) == IDOK) {
        OnOK();
        return TRUE;
    }
    if (LOWORD(wParam) == IDCANCEL) {
        OnCancel();
        return TRUE;
    }
    return FALSE;
}

// ---- Data exchange ----

HWND CDataExchange::PrepareCtrl(int nId) {
    CWnd* pCtrl = m_pDlgWnd->GetDlgItem(nId);
    m_hWndLastControl = pCtrl != nullptr ? pCtrl->GetSafeHwnd() : nullptr;
    m_bEditLastControl = false;
    if (m_hWndLastControl == nullptr) {
        throw std::logic_error("dialog control " + std::to_string(nId) + " does not exist");
    }
    return m_hWndLastControl;
}

HWND CDataExchange::PrepareEditCtrl(int nId) {
    HWND hWnd = PrepareCtrl(nId);
    m_bEditLastControl = true;
    return hWnd;
}

void CDataExchange::Fail() {
    if (m_hWndLastControl != nullptr) {
        m_hWndLastControl->setFocus(Qt::OtherFocusReason);
        if (auto* pEdit = qobject_cast<QLineEdit*>(m_hWndLastControl)) {
            pEdit->selectAll();
        }
    }
    throw DataExchangeFailure{};
}

void DDX_Control(CDataExchange* pDX, int nId, CWnd& rControl) {
    if (rControl.GetSafeHwnd() == nullptr) {
        HWND hWnd = pDX->PrepareCtrl(nId);
        if (CWnd* pOld = CWnd::FromHandle(hWnd); pOld != nullptr && pOld != &rControl) {
            pOld->Detach();
        }
        rControl.Attach(hWnd);
    }
}

std::string FormatDialogFloat(double dValue) {
    char buf[64];
    const auto [pEnd, ec] =
        std::to_chars(buf, buf + sizeof buf, dValue, std::chars_format::general, 6);
    (void)ec;
    return std::string(buf, pEnd);
}

namespace {
bool g_bDecimalComma = false;
}  // namespace

bool SetDecimalComma(bool bAccepted) {
    return std::exchange(g_bDecimalComma, bAccepted);
}

bool DecimalCommaAccepted() {
    return g_bDecimalComma;
}

std::string WithDecimalPoint(std::string_view text) {
    std::string s(text);
    if (g_bDecimalComma) {
        std::replace(s.begin(), s.end(), ',', '.');
    }
    return s;
}

bool ParseDialogFloat(std::string_view typed, double& dValue) {
    const std::string strText = WithDecimalPoint(typed);
    const std::string_view text = strText;
    std::size_t i = 0;
    auto isBlank = [&](std::size_t k) {
        return k < text.size() && (text[k] == ' ' || text[k] == '\t');
    };
    auto isDigit = [&](std::size_t k) {
        return k < text.size() && text[k] >= '0' && text[k] <= '9';
    };
    while (isBlank(i)) {
        ++i;
    }
    const std::size_t nStart = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    std::size_t nDigits = 0;
    while (isDigit(i)) {
        ++i, ++nDigits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (isDigit(i)) {
            ++i, ++nDigits;
        }
    }
    if (nDigits == 0) {
        return false;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        if (!isDigit(i)) {
            return false;
        }
        while (isDigit(i)) {
            ++i;
        }
    }
    const std::size_t nEnd = i;
    while (isBlank(i)) {
        ++i;
    }
    if (i != text.size()) {
        return false;
    }
    std::string number(text.substr(nStart, nEnd - nStart));
    if (!number.empty() && number.front() == '+') {
        number.erase(0, 1);
    }
    double d = 0.0;
    const auto [p, ec] = std::from_chars(number.data(), number.data() + number.size(), d);
    if (ec != std::errc() && ec != std::errc::result_out_of_range) {
        return false;
    }
    (void)p;
    if (d == 0.0 && text[nStart] != '0') {
        return false;
    }
    dValue = d;
    return true;
}

void DDX_Text(CDataExchange* pDX, int nId, float& value) {
    HWND hWnd = pDX->PrepareEditCtrl(nId);
    if (pDX->m_bSaveAndValidate) {
        double d = 0.0;
        if (!ParseDialogFloat(ControlText(hWnd).toStdString(), d)) {
            GetInteraction().MessageBox(pDX->m_pDlgWnd->GetSafeHwnd(),
                                        TranslateText("Please enter a number."),
                                        TranslateText("Invalid entry"), MB_OK | MB_ICONEXCLAMATION);
            pDX->Fail();
        }
        value = static_cast<float>(d);
    } else {
        SetControlText(hWnd, QString::fromStdString(FormatDialogFloat(value)));
    }
}

void DDX_Text(CDataExchange* pDX, int nId, std::string& value) {
    HWND hWnd = pDX->PrepareEditCtrl(nId);
    if (pDX->m_bSaveAndValidate) {
        value = ControlText(hWnd).toStdString();
    } else {
        SetControlText(hWnd, QString::fromUtf8(value.c_str()));
    }
}

void DDV_MinMaxFloat(CDataExchange* pDX, const float& value, float minVal, float maxVal) {
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) {
        return;
    }
    GetInteraction().MessageBox(pDX->m_pDlgWnd->GetSafeHwnd(),
                                FormatText("Please enter a number between %1 and %2.",
                                           {FormatDialogFloat(minVal), FormatDialogFloat(maxVal)}),
                                TranslateText("Invalid entry"), MB_OK | MB_ICONEXCLAMATION);
    pDX->Fail();
}

void DDV_MaxChars(CDataExchange* pDX, const std::string& value, int nChars) {
    if (pDX->m_bSaveAndValidate) {
        if (static_cast<int>(value.size()) > nChars) {
            GetInteraction().MessageBox(
                pDX->m_pDlgWnd->GetSafeHwnd(),
                FormatText("Please enter no more than %1 characters.", {std::to_string(nChars)}),
                TranslateText("Invalid entry"), MB_OK | MB_ICONEXCLAMATION);
            pDX->Fail();
        }
    } else if (pDX->m_hWndLastControl != nullptr) {
        if (auto* pEdit = qobject_cast<QLineEdit*>(pDX->m_hWndLastControl)) {
            pEdit->setMaxLength(nChars);
        }
    }
}
