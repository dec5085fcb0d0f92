#include <gtest/gtest.h>

#include <QApplication>

#include "framework/dc.h"
#include "framework/dialog.h"
#include "tests/support/gui_driver.h"

namespace {

class Canvas : public CWnd {
    DECLARE_MESSAGE_MAP()

  public:
    std::vector<std::string> events;
    COLORREF m_crFill = RGB(0, 128, 255);

    void OnLButtonDown(UINT, CPoint pt) { Record("down", pt); }
    void OnLButtonUp(UINT, CPoint pt) { Record("up", pt); }
    void OnLButtonDblClk(UINT, CPoint pt) { Record("dblclk", pt); }
    void OnMouseMove(UINT nFlags, CPoint pt) {
        if (nFlags & MK_LBUTTON) {
            Record("drag", pt);
        }
    }
    BOOL OnMouseWheel(UINT, short zDelta, CPoint) {
        events.push_back("wheel " + std::to_string(zDelta));
        return TRUE;
    }
    BOOL OnEraseBkgnd(CDC* pDC) {
        events.push_back("erase");
        CRect rc;
        GetClientRect(&rc);
        pDC->FillSolidRect(rc, RGB(255, 255, 255));
        return TRUE;
    }
    void OnPaint() {
        events.push_back("paint");
        CPaintDC dc(this);
        dc.FillSolidRect(10, 10, 5, 5, m_crFill);
    }

  private:
    void Record(const char* pszWhat, CPoint pt) {
        events.push_back(std::string(pszWhat) + " " + std::to_string(pt.x) + "," +
                         std::to_string(pt.y));
    }
};

BEGIN_MESSAGE_MAP(Canvas, CWnd)
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_MOUSEMOVE()
ON_WM_MOUSEWHEEL()
ON_WM_ERASEBKGND()
ON_WM_PAINT()
END_MESSAGE_MAP()

class CustomWindow : public testing::Test {
  protected:
    void SetUp() override {
        m_template = DialogTemplate{
            502, 0x0409, WS_POPUP | WS_CAPTION, 200, 150, "Host", "MS Sans Serif", 8, {}};
        m_dialog.CreateIndirect(&m_template);
        m_canvas.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect{10, 10, 110, 90}, &m_dialog,
                        1234);
        GuiDriver(m_dialog.GetSafeHwnd()).Activate();
        m_canvas.events.clear();
    }
    DialogTemplate m_template;
    CDialog m_dialog;
    Canvas m_canvas;
};

TEST_F(CustomWindow, MouseInputArrivesAsMessagesWithClientPoints) {
    QWidget* pWidget = m_canvas.GetSafeHwnd();
    EXPECT_EQ(pWidget->objectName(), "1234");
    GuiDriver::Press(pWidget, {20, 30});
    GuiDriver::Move(pWidget, {25, 35}, true);
    GuiDriver::Release(pWidget, {25, 35});
    GuiDriver::DoubleClick(pWidget, {40, 50});
    GuiDriver::Wheel(pWidget, {40, 50}, -120);
    std::vector<std::string> mine;
    for (const auto& e : m_canvas.events) {
        if (e != "erase" && e != "paint") {
            mine.push_back(e);
        }
    }
    ASSERT_GE(mine.size(), 5u);
    EXPECT_EQ(mine[0], "down 20,30");
    EXPECT_EQ(mine[1], "drag 25,35");
    EXPECT_EQ(mine[2], "up 25,35");
    EXPECT_NE(std::find(mine.begin(), mine.end(), "dblclk 40,50"), mine.end());
    EXPECT_EQ(mine.back(), "wheel -120");
}

TEST_F(CustomWindow, InvalidateAndUpdateWindowPaintAtOnce) {
    m_canvas.m_crFill = RGB(200, 0, 0);
    m_canvas.Invalidate(TRUE);
    m_canvas.UpdateWindow();
    EXPECT_EQ(m_canvas.events, (std::vector<std::string>{"erase", "paint"}));
    const QImage* pImage = m_canvas.GetBackingImage();
    ASSERT_NE(pImage, nullptr);
    EXPECT_EQ(pImage->size(), QSize(100, 80));
    EXPECT_EQ(pImage->pixel(12, 12), qRgb(200, 0, 0));
    EXPECT_EQ(pImage->pixel(50, 50), qRgb(255, 255, 255));
    // Nothing invalid: nothing painted.
    m_canvas.UpdateWindow();
    EXPECT_EQ(m_canvas.events.size(), 2u);
}

TEST_F(CustomWindow, MouseCaptureIsHeldUntilReleased) {
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    m_canvas.SetCapture();
    EXPECT_EQ(CWnd::GetCapture(), &m_canvas);
    CWnd::ReleaseCapture();
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
}

}  // namespace
