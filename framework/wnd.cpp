#include "framework/wnd.h"

#include <QApplication>
#include <QScreen>
#include <exception>
#include <new>

#include "data/invalid_argument.h"
#include "framework/controls.h"
#include "framework/custom_window.h"
#include "framework/dc.h"
#include "framework/handler_scope.h"
#include "framework/input_routing.h"
#include "framework/interaction.h"
#include "framework/text_translation.h"

namespace {

constexpr const char* kCWndProperty = "polar_cwnd";
constexpr const char* kEmbeddedPopupProperty = "polar_embedded_popup";

QString ToQString(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

int ControlId(const QWidget* pWidget) {
    bool bOk = false;
    const int nId = pWidget->objectName().toInt(&bOk);
    return bOk ? nId : 0;
}

void SetControlId(QWidget* pWidget, int nId) {
    pWidget->setObjectName(QString::number(nId));
}

LRESULT SendMessage(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam) {
    if (hWnd == nullptr) {
        return 0;
    }
    if (CWnd* pWnd = CWnd::FromHandle(hWnd)) {
        return pWnd->WindowProc(nMessage, wParam, lParam);
    }
    WinMessageEvent event(nMessage, wParam, lParam);
    QCoreApplication::sendEvent(hWnd, &event);
    return event.result;
}

void NotifyCommand(QWidget* pControl, UINT nCode) {
    QWidget* pParent = pControl->parentWidget();
    if (pParent != nullptr && CWnd::FromHandle(pParent) != nullptr) {
        ::SendMessage(pParent, WM_COMMAND,
                      MAKEWPARAM(static_cast<unsigned>(ControlId(pControl)), nCode),
                      reinterpret_cast<LPARAM>(pControl));
    }
}

void NotifyParent(QWidget* pControl, NMHDR* pHeader) {
    QWidget* pParent = pControl->parentWidget();
    pHeader->hwndFrom = pControl;
    pHeader->idFrom = static_cast<std::uintptr_t>(ControlId(pControl));
    if (pParent != nullptr && CWnd::FromHandle(pParent) != nullptr) {
        ::SendMessage(pParent, WM_NOTIFY, pHeader->idFrom, reinterpret_cast<LPARAM>(pHeader));
    }
}

const MessageMap* CWnd::GetThisMessageMap() {
    static const MessageMap map{nullptr, {}};
    return &map;
}

const MessageMap* CWnd::GetMessageMap() const {
    return GetThisMessageMap();
}

CWnd::~CWnd() {
    if (m_hWnd != nullptr && m_pWidgetAlive != nullptr) {
        m_hWnd->setProperty(kCWndProperty, QVariant());
        if (m_bOwnsWidget) {
            delete m_hWnd;
        }
    }
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (hWnd == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<CWnd*>(hWnd->property(kCWndProperty).value<quintptr>());
}

void CWnd::Attach(HWND hWnd, bool bOwnsWidget) {
    m_hWnd = hWnd;
    m_pWidgetAlive = hWnd;
    m_bOwnsWidget = bOwnsWidget;
    hWnd->setProperty(kCWndProperty, QVariant::fromValue(reinterpret_cast<quintptr>(this)));
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    if (hWnd != nullptr) {
        hWnd->setProperty(kCWndProperty, QVariant());
    }
    m_hWnd = nullptr;
    m_pWidgetAlive = nullptr;
    m_bOwnsWidget = false;
    return hWnd;
}

int CWnd::GetDlgCtrlID() const {
    return m_hWnd != nullptr ? ControlId(m_hWnd) : 0;
}

CWnd* CWnd::GetParent() const {
    return m_hWnd != nullptr ? FromHandle(m_hWnd->parentWidget()) : nullptr;
}

CWnd* CWnd::GetDlgItem(int nId) const {
    if (m_hWnd == nullptr) {
        return nullptr;
    }
    for (QObject* pChild : m_hWnd->children()) {
        auto* pWidget = qobject_cast<QWidget*>(pChild);
        if (pWidget != nullptr && pWidget->objectName() == QString::number(nId)) {
            if (CWnd* pWnd = FromHandle(pWidget)) {
                return pWnd;
            }
            // An unbound control gets a wrapper that lives as long as its widget.
            auto* pWrapper = new CWnd;
            pWrapper->Attach(pWidget);
            QObject::connect(pWidget, &QObject::destroyed, [pWrapper] {
                pWrapper->m_hWnd = nullptr;
                delete pWrapper;
            });
            return pWrapper;
        }
    }
    return nullptr;
}

LRESULT CWnd::SendMessage(UINT nMessage, WPARAM wParam, LPARAM lParam) {
    return WindowProc(nMessage, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT nMessage, WPARAM wParam, LPARAM lParam) {
    const handler_scope::Scope scope;
    // A handler that throws is abandoned and the user told; no exception leaves a handler,
    // since it would unwind through the toolkit's event delivery.
    const auto tell = [this](const std::string& strText) {
        GetInteraction().MessageBox(m_hWnd, strText, TranslateText("Error"),
                                    MB_OK | MB_ICONEXCLAMATION);
    };
    try {
        if (nMessage == WM_COMMAND) {
            return OnCommand(wParam, lParam) ? 0 : DefWindowProc(nMessage, wParam, lParam);
        }
        if (nMessage == WM_NOTIFY) {
            LRESULT result = 0;
            if (OnNotify(wParam, lParam, &result)) {
                return result;
            }
            return DefWindowProc(nMessage, wParam, lParam);
        }
        LRESULT result = 0;
        if (DispatchMap(nMessage, 0, 0, wParam, lParam, &result)) {
            return result;
        }
        return DefWindowProc(nMessage, wParam, lParam);
    } catch (const InvalidArgumentException& e) {
        // As the platform does: the handler is abandoned and the user is told.
        tell(FormatText("An invalid argument was given: %1", {e.what()}));
    } catch (const std::bad_alloc&) {
        tell(TranslateText("There was not enough memory to finish the command; it was abandoned."));
    } catch (const std::exception& e) {
        tell(FormatText("The command was abandoned after an internal error: %1", {e.what()}));
    } catch (...) {
        tell(TranslateText("The command was abandoned after an internal error."));
    }
    return 0;
}

bool CWnd::DispatchMap(UINT nMessage, UINT nCode, int nId, WPARAM wParam, LPARAM lParam,
                       LRESULT* pResult) {
    const bool bByControl = nMessage == WM_COMMAND || nMessage == WM_NOTIFY;
    for (const MessageMap* pMap = GetMessageMap(); pMap != nullptr;
         pMap = pMap->pfnGetBaseMap != nullptr ? pMap->pfnGetBaseMap() : nullptr) {
        for (const MessageMapEntry& entry : pMap->entries) {
            if (entry.nMessage != nMessage) {
                continue;
            }
            if (bByControl && (entry.nCode != nCode || entry.nId != nId)) {
                continue;
            }
            *pResult = entry.handler(this, wParam, lParam);
            return true;
        }
    }
    return false;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    return DispatchMap(WM_COMMAND, HIWORD(wParam), static_cast<short>(LOWORD(wParam)), wParam,
                       lParam, &result)
               ? TRUE
               : FALSE;
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    const auto* pHeader = reinterpret_cast<const NMHDR*>(lParam);
    return DispatchMap(WM_NOTIFY, pHeader->code, static_cast<int>(pHeader->idFrom), wParam, lParam,
                       pResult)
               ? TRUE
               : FALSE;
}

LRESULT CWnd::DefWindowProc(UINT nMessage, WPARAM /*wParam*/, LPARAM /*lParam*/) {
    if (nMessage == WM_ERASEBKGND) {
        return 1;
    }
    return 0;
}

BOOL CWnd::EnableWindow(BOOL bEnable) {
    const bool bWasDisabled = m_hWnd != nullptr && !m_hWnd->isEnabled();
    if (m_hWnd != nullptr) {
        m_hWnd->setEnabled(bEnable != FALSE);
    }
    return bWasDisabled ? TRUE : FALSE;
}

BOOL CWnd::IsWindowEnabled() const {
    return m_hWnd != nullptr && m_hWnd->isEnabled();
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    if (m_hWnd == nullptr) {
        return FALSE;
    }
    const bool bWasVisible = m_hWnd->isVisible();
    m_hWnd->setVisible(nCmdShow != SW_HIDE);
    // Showing a window activates it, as on the platform. Left to the window manager, a window
    // mapped just after a message box closed may stay without focus.
    if (nCmdShow == SW_SHOW && m_hWnd->isWindow()) {
        m_hWnd->raise();
        m_hWnd->activateWindow();
    }
    return bWasVisible ? TRUE : FALSE;
}

BOOL CWnd::IsWindowVisible() const {
    return m_hWnd != nullptr && m_hWnd->isVisible();
}

void CWnd::SetWindowText(const std::string& strText) {
    if (m_hWnd == nullptr) {
        return;
    }
    if (m_hWnd->isWindow()) {
        m_hWnd->setWindowTitle(ToQString(strText));
        return;
    }
    SetControlText(m_hWnd, ToQString(strText));
}

std::string CWnd::GetWindowText() const {
    if (m_hWnd == nullptr) {
        return {};
    }
    const QString text = m_hWnd->isWindow() ? m_hWnd->windowTitle() : ControlText(m_hWnd);
    return text.toStdString();
}

CWnd* CWnd::SetFocus() {
    CWnd* pOld = GetFocus();
    if (m_hWnd != nullptr) {
        m_hWnd->setFocus(Qt::OtherFocusReason);
    }
    return pOld;
}

CWnd* CWnd::GetFocus() {
    QWidget* pFocus = QApplication::focusWidget();
    while (pFocus != nullptr && FromHandle(pFocus) == nullptr) {
        pFocus = pFocus->parentWidget();
    }
    return FromHandle(pFocus);
}

void CWnd::GetClientRect(CRect* pRect) const {
    *pRect = m_hWnd != nullptr ? CRect{0, 0, m_hWnd->width(), m_hWnd->height()} : CRect{};
}

void CWnd::GetWindowRect(CRect* pRect) const {
    if (m_hWnd == nullptr) {
        *pRect = CRect{};
        return;
    }
    const QPoint topLeft = m_hWnd->mapToGlobal(QPoint(0, 0));
    *pRect = CRect{topLeft.x(), topLeft.y(), topLeft.x() + m_hWnd->width(),
                   topLeft.y() + m_hWnd->height()};
}

bool IsEmbeddedPopup(const QWidget* pWidget) {
    return pWidget != nullptr && !pWidget->isWindow() &&
           pWidget->property(kEmbeddedPopupProperty).toBool();
}

UINT MouseKeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    UINT n = 0;
    n |= (buttons & Qt::LeftButton) ? MK_LBUTTON : 0;
    n |= (buttons & Qt::RightButton) ? MK_RBUTTON : 0;
    n |= (modifiers & Qt::ShiftModifier) ? MK_SHIFT : 0;
    n |= (modifiers & Qt::ControlModifier) ? MK_CONTROL : 0;
    return n;
}

bool TakesTab(const QWidget* pWidget, const QWidget* pDialog) {
    return (pWidget->focusPolicy() & Qt::TabFocus) != 0 && pWidget->isEnabled() &&
           pWidget->isVisibleTo(pDialog);
}

void MarkEmbeddedPopup(QWidget* pWidget) {
    pWidget->setProperty(kEmbeddedPopupProperty, true);
}

namespace {

// A pop-up's position is in screen coordinates, also where it is laid into its owner.
QPoint PopupPosition(const QWidget* pWidget, QPoint screen) {
    return IsEmbeddedPopup(pWidget) ? pWidget->parentWidget()->mapFromGlobal(screen) : screen;
}

}  // namespace

void CWnd::MoveWindow(int x, int y, int cx, int cy, BOOL /*bRepaint*/) {
    if (m_hWnd == nullptr) {
        return;
    }
    if (m_hWnd->minimumSize() == m_hWnd->maximumSize()) {
        m_hWnd->setFixedSize(cx, cy);  // a dialog the user may not resize; the program may
    }
    const QPoint topLeft = PopupPosition(m_hWnd, QPoint(x, y));
    m_hWnd->setGeometry(topLeft.x(), topLeft.y(), cx, cy);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner) {
    if (m_hWnd == nullptr) {
        return;
    }
    QWidget* pOwner = pAlternateOwner != nullptr ? pAlternateOwner->m_hWnd : m_hWnd->parentWidget();
    QRect area;
    if (IsEmbeddedPopup(m_hWnd) && pAlternateOwner == nullptr) {
        pOwner = m_hWnd->parentWidget();
    }
    if (pOwner != nullptr && pOwner->isVisible()) {
        area = QRect(pOwner->mapToGlobal(QPoint(0, 0)), pOwner->size());
    } else if (QScreen* pScreen = QGuiApplication::primaryScreen()) {
        area = pScreen->availableGeometry();
    }
    const QSize size = m_hWnd->frameSize();
    m_hWnd->move(
        PopupPosition(m_hWnd, area.center() - QPoint(size.width() / 2, size.height() / 2)));
}

void CWnd::ClientToScreen(CPoint* pPoint) const {
    if (m_hWnd != nullptr) {
        const QPoint p = m_hWnd->mapToGlobal(QPoint(pPoint->x, pPoint->y));
        *pPoint = CPoint{p.x(), p.y()};
    }
}

void CWnd::ScreenToClient(CPoint* pPoint) const {
    if (m_hWnd != nullptr) {
        const QPoint p = m_hWnd->mapFromGlobal(QPoint(pPoint->x, pPoint->y));
        *pPoint = CPoint{p.x(), p.y()};
    }
}

void CWnd::InvalidateRect(const CRect* /*pRect*/, BOOL bErase) {
    m_bNeedsPaint = true;
    m_bNeedsErase = m_bNeedsErase || bErase != FALSE;
    if (m_hWnd != nullptr) {
        m_hWnd->update();
    }
}

void CWnd::UpdateWindow() {
    if (!m_bNeedsPaint || m_hWnd == nullptr) {
        return;
    }
    if (m_bNeedsErase) {
        m_bNeedsErase = false;
        CClientDC dc(this);
        SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(&dc), 0);
    }
    m_bNeedsPaint = false;
    SendMessage(WM_PAINT, 0, 0);
    m_hWnd->update();
}

CWnd* CWnd::SetCapture() {
    CWnd* pOld = GetCapture();
    if (m_hWnd != nullptr) {
        input_routing::SetCaptureWidget(m_hWnd);
    }
    return pOld;
}

BOOL CWnd::ReleaseCapture() {
    input_routing::SetCaptureWidget(nullptr);
    return TRUE;
}

CWnd* CWnd::GetCapture() {
    return FromHandle(input_routing::CaptureWidget());
}

BOOL CWnd::DestroyWindow() {
    if (m_hWnd == nullptr) {
        return FALSE;
    }
    if (input_routing::CaptureWidget() == m_hWnd) {
        ReleaseCapture();
    }
    SendMessage(WM_DESTROY, 0, 0);
    HWND hWnd = Detach();
    hWnd->hide();
    // The widget may be inside one of its own event handlers right now: it goes once control
    // returns to the event loop; this object no longer answers for it.
    hWnd->deleteLater();
    PostNcDestroy();
    return TRUE;
}

QImage* CWnd::GetBackingImage() {
    auto* pCustom = dynamic_cast<CustomWindowWidget*>(m_hWnd);
    return pCustom != nullptr ? &pCustom->Image() : nullptr;
}

BOOL CWnd::Create(const char* /*pszClassName*/, const char* pszWindowName, DWORD dwStyle,
                  const CRect& rect, CWnd* pParentWnd, UINT nId) {
    auto* pWidget = new CustomWindowWidget(pParentWnd != nullptr ? pParentWnd->m_hWnd : nullptr);
    SetControlId(pWidget, static_cast<int>(nId));
    if (pParentWnd != nullptr && pParentWnd->m_hWnd != nullptr) {
        pWidget->setFont(pParentWnd->m_hWnd->font());  // its dialog's font, not the desktop's
    }
    pWidget->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    pWidget->ResizeImage();
    if (pszWindowName != nullptr) {
        pWidget->setWindowTitle(QString::fromUtf8(pszWindowName));
    }
    Attach(pWidget, true);
    pWidget->setVisible((dwStyle & WS_VISIBLE) != 0);
    return TRUE;
}
