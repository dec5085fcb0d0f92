#include "framework/custom_window.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "framework/wnd.h"

CustomWindowWidget::CustomWindowWidget(QWidget* pParent) : QWidget(pParent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

double CustomWindowWidget::DeviceScale() const {
    return m_dForcedScale > 0.0 ? m_dForcedScale : devicePixelRatioF();
}

void CustomWindowWidget::SetDeviceScale(double dScale) {
    m_dForcedScale = dScale;
    Redraw();
}

void CustomWindowWidget::ResizeImage() {
    // The window's messages and drawing are in client units; the image has the screen's device
    // pixels (twice as many each way at scale 2), so that what is drawn on it is shown one
    // pixel for one, never scaled up.
    const double dScale = DeviceScale();
    const auto device = [dScale](int n) {
        return std::max(1, static_cast<int>(std::ceil(n * dScale - 1e-9)));
    };
    QImage image(device(width()), device(height()), QImage::Format_RGB32);
    image.setDevicePixelRatio(dScale);
    image.fill(Qt::white);
    m_image = image;
}

void CustomWindowWidget::Redraw() {
    ResizeImage();
    if (CWnd* pWnd = CWnd::FromHandle(this)) {
        pWnd->Invalidate(TRUE);
        pWnd->UpdateWindow();
    }
}

void CustomWindowWidget::paintEvent(QPaintEvent* /*pEvent*/) {
    if (m_image.devicePixelRatio() != DeviceScale()) {
        // Moved to a screen of another density: drawn again at its resolution, once this
        // paint is over.
        QMetaObject::invokeMethod(
            this, [this] { Redraw(); }, Qt::QueuedConnection);
    }
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), m_image);
}

void CustomWindowWidget::resizeEvent(QResizeEvent* /*pEvent*/) {
    Redraw();
}

void CustomWindowWidget::SendMouse(unsigned nMessage, QMouseEvent* pEvent) {
    const QPoint p = pEvent->position().toPoint();
    // Qt keeps sending the mouse to the widget that got the press; the platform sends it only
    // while the pointer is over the window, unless the window has captured the mouse.
    if (!rect().contains(p) && CWnd::GetCapture() != CWnd::FromHandle(this)) {
        return;
    }
    ::SendMessage(this, nMessage, MouseKeyFlags(pEvent->buttons(), pEvent->modifiers()),
                  MAKELPARAM(p.x(), p.y()));
}

void CustomWindowWidget::mousePressEvent(QMouseEvent* pEvent) {
    if (pEvent->button() == Qt::LeftButton) {
        SendMouse(WM_LBUTTONDOWN, pEvent);
    }
}

void CustomWindowWidget::mouseReleaseEvent(QMouseEvent* pEvent) {
    if (pEvent->button() == Qt::LeftButton) {
        SendMouse(WM_LBUTTONUP, pEvent);
    }
}

void CustomWindowWidget::mouseDoubleClickEvent(QMouseEvent* pEvent) {
    if (pEvent->button() == Qt::LeftButton) {
        SendMouse(WM_LBUTTONDBLCLK, pEvent);
    }
}

void CustomWindowWidget::mouseMoveEvent(QMouseEvent* pEvent) {
    SendMouse(WM_MOUSEMOVE, pEvent);
}

void CustomWindowWidget::leaveEvent(QEvent* /*pEvent*/) {
    ::SendMessage(this, WM_MOUSELEAVE, 0, 0);
}

void CustomWindowWidget::wheelEvent(QWheelEvent* pEvent) {
    // The wheel message carries the screen position and the distance in its high word.
    const QPoint global = pEvent->globalPosition().toPoint();
    const int nDelta = pEvent->angleDelta().y();
    ::SendMessage(this, WM_MOUSEWHEEL,
                  MAKEWPARAM(MouseKeyFlags(pEvent->buttons(), pEvent->modifiers()),
                             static_cast<unsigned>(static_cast<short>(nDelta))),
                  MAKELPARAM(global.x(), global.y()));
}
