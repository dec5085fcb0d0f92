#include "framework/input_routing.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <vector>

#include "framework/wnd.h"

namespace {

bool IsInside(const QWidget* pOuter, const QWidget* pWidget) {
    return pWidget == pOuter || pOuter->isAncestorOf(pWidget);
}

// A message box, a file dialog or a drop-down list shown above the captured window.
bool IsAboveEverything(const QWidget* pWidget) {
    const QWidget* pWindow = pWidget->window();
    return pWindow == QApplication::activeModalWidget() ||
           pWindow == QApplication::activePopupWidget();
}

class InputRouter : public QObject {
  public:
    static InputRouter& Instance() {
        static InputRouter* pRouter = [] {
            auto* p = new InputRouter(qApp);
            qApp->installEventFilter(p);
            return p;
        }();
        return *pRouter;
    }

    QPointer<QWidget> m_pCapture;
    std::vector<QPointer<QWidget>> m_modals;
    bool m_bSwallowRelease = false;

    QWidget* ModalIn(const QWidget* pWindow) const {
        for (auto it = m_modals.rbegin(); it != m_modals.rend(); ++it) {
            if (*it && (*it)->window() == pWindow) {
                return it->data();
            }
        }
        return nullptr;
    }

  protected:
    bool eventFilter(QObject* pObject, QEvent* pEvent) override {
        if (!pObject->isWidgetType()) {
            return false;
        }
        auto* pWidget = static_cast<QWidget*>(pObject);
        switch (pEvent->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseMove:
                if (RouteToCapture(pWidget, static_cast<QMouseEvent*>(pEvent))) {
                    return true;
                }
                return IsShutOff(pWidget);
            case QEvent::Wheel:
                if (m_pCapture && !IsInside(m_pCapture, pWidget) && !IsAboveEverything(pWidget)) {
                    return true;
                }
                return IsShutOff(pWidget);
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::Shortcut:
                return IsShutOff(pWidget);
            case QEvent::Close:
                if (QWidget* pModal = pWidget->isWindow() ? ModalIn(pWidget) : nullptr) {
                    // As the close box of a disabled owner would: the pop-up on top is cancelled.
                    ::SendMessage(pModal, WM_COMMAND,
                                  MAKEWPARAM(static_cast<unsigned>(IDCANCEL), BN_CLICKED), 0);
                    pEvent->ignore();
                    return true;
                }
                return false;
            default:
                return false;
        }
    }

  private:
    using QObject::QObject;

    // A control of a window whose modal pop-up is running, outside that pop-up.
    bool IsShutOff(const QWidget* pWidget) const {
        const QWidget* pModal = ModalIn(pWidget->window());
        return pModal != nullptr && !IsInside(pModal, pWidget);
    }

    bool RouteToCapture(QWidget* pWidget, QMouseEvent* pEvent) {
        if (IsAboveEverything(pWidget)) {
            return false;
        }
        const QEvent::Type type = pEvent->type();
        if (!m_pCapture) {
            // The release of a press that ended a captured session belongs to that session.
            // It may never come here: when that press opened a message box, the release went
            // to the box's loop. A new press starts a click of its own, whose release must
            // reach what it pressed.
            if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
                m_bSwallowRelease = false;
            } else if (type == QEvent::MouseButtonRelease && m_bSwallowRelease) {
                m_bSwallowRelease = false;
                return true;
            }
            return false;
        }
        if (IsInside(m_pCapture, pWidget)) {
            return false;
        }
        UINT nMessage = WM_MOUSEMOVE;
        const bool bLeft = pEvent->button() == Qt::LeftButton;
        const bool bRight = pEvent->button() == Qt::RightButton;
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
            // Dialog windows take no double clicks: the second press is a press.
            if (!bLeft && !bRight) {
                return true;
            }
            nMessage = bLeft ? WM_LBUTTONDOWN : WM_RBUTTONDOWN;
            m_bSwallowRelease = true;
        } else if (type == QEvent::MouseButtonRelease) {
            if (!bLeft && !bRight) {
                return true;
            }
            nMessage = bLeft ? WM_LBUTTONUP : WM_RBUTTONUP;
            m_bSwallowRelease = false;
        }
        QPointer<QWidget> pCapture = m_pCapture;
        const QPoint p = pCapture->mapFromGlobal(pEvent->globalPosition().toPoint());
        ::SendMessage(pCapture.data(), nMessage,
                      MouseKeyFlags(pEvent->buttons(), pEvent->modifiers()),
                      MAKELPARAM(p.x(), p.y()));
        return true;
    }
};

}  // namespace

namespace input_routing {

void SetCaptureWidget(QWidget* pWidget) {
    InputRouter::Instance().m_pCapture = pWidget;
}

QWidget* CaptureWidget() {
    return InputRouter::Instance().m_pCapture.data();
}

void PushEmbeddedModal(QWidget* pPopup) {
    InputRouter::Instance().m_modals.emplace_back(pPopup);
}

void PopEmbeddedModal(QWidget* pPopup) {
    auto& modals = InputRouter::Instance().m_modals;
    std::erase_if(modals, [pPopup](const QPointer<QWidget>& p) { return !p || p == pPopup; });
}

QWidget* EmbeddedModalIn(const QWidget* pWindow) {
    return InputRouter::Instance().ModalIn(pWindow);
}

}  // namespace input_routing
