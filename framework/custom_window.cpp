#include "framework/custom_window.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "framework/wnd.h"

CustomWindowWidget::CustomWindowWidget(QWidget* pParent) : QWidget(pParent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CustomWindowWidget::ResizeImage() {
    // One image pixel per client unit, the units the window's messages and drawing use; on a
    // high-density screen Qt scales the image up when it shows it.
    QImage image(size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    m_image = image;
}

void CustomWindowWidget::paintEvent(QPaintEvent* /*pEvent*/) {
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), m_image);
}

void CustomWindowWidget::resizeEvent(QResizeEvent* /*pEvent*/) {
    ResizeImage();
    if (CWnd* pWnd = CWnd::FromHandle(this)) {
        pWnd->Invalidate(TRUE);
        pWnd->UpdateWindow();
    }
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
