#pragma once

#include <QImage>
#include <QPainter>
#include <QWidget>

// The widget of a custom window: it shows its backing image, which the window's device
// contexts draw on at any time, and turns Qt's mouse input into the window's mouse messages.
class CustomWindowWidget : public QWidget {
  public:
    explicit CustomWindowWidget(QWidget* pParent);
    QImage& Image() { return m_image; }
    // Makes the image as large as the widget's client area in device pixels, white.
    void ResizeImage();
    // Draws at this many device pixels per client unit whatever the screen's (0: the screen's);
    // for pictures made without a screen.
    void SetDeviceScale(double dScale);
    double DeviceScale() const;
    // While set, the window's device contexts draw on this painter, as vector shapes in client
    // units, instead of on the image (a picture made for SVG or PDF).
    void SetVectorPainter(QPainter* pPainter) { m_pVectorPainter = pPainter; }
    QPainter* VectorPainter() const { return m_pVectorPainter; }

  protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void mouseDoubleClickEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void wheelEvent(QWheelEvent* pEvent) override;
    void leaveEvent(QEvent* pEvent) override;

  private:
    void SendMouse(unsigned nMessage, QMouseEvent* pEvent);
    void Redraw();
    QImage m_image;
    double m_dForcedScale = 0.0;
    QPainter* m_pVectorPainter = nullptr;
};
