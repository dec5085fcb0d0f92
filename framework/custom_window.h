#pragma once

#include <QImage>
#include <QWidget>

// The widget of a custom window: it shows its backing image, which the window's device
// contexts draw on at any time, and turns Qt's mouse input into the window's mouse messages.
class CustomWindowWidget : public QWidget {
  public:
    explicit CustomWindowWidget(QWidget* pParent);
    QImage& Image() { return m_image; }
    // Makes the image as large as the widget's client area, white.
    void ResizeImage();

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
    QImage m_image;
};
