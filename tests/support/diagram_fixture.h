#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <memory>

#include "data/angle_units.h"
#include "data/number_text.h"
#include "diagram/diagram_host.h"
#include "diagram/geometry.h"
#include "tests/support/gui_driver.h"
#include "tests/support/polar_builders.h"

// The diagram in its host, 600 x 400 pixels unless told otherwise, with distinct colours.
class DiagramFixture : public testing::Test {
  public:
    static constexpr COLORREF kGrid = RGB(0, 128, 0);
    static constexpr COLORREF kBackground = RGB(255, 255, 255);
    static constexpr COLORREF kCurve = RGB(0, 0, 255);
    static constexpr COLORREF kSector = RGB(255, 255, 0);
    static constexpr COLORREF kOthers = RGB(255, 0, 255);

    void SetUp() override { m_pInteraction = &ScriptedInteraction::Install(); }
    void TearDown() override {
        m_pHost.reset();
        ScriptedInteraction::Uninstall();
    }

    DiagramHost& Host(int nWidth = 600, int nHeight = 400) {
        if (m_pHost == nullptr) {
            m_pHost = std::make_unique<DiagramHost>(nWidth, nHeight, kGrid, kBackground, kCurve,
                                                    kSector, kOthers);
            GuiDriver(m_pHost->GetSafeHwnd()).Activate();
        }
        return *m_pHost;
    }
    QWidget* GraphWidget() { return Host().Graph().GetSafeHwnd(); }
    static QRgb Rgb(COLORREF cr) { return qRgb(GetRValue(cr), GetGValue(cr), GetBValue(cr)); }
    QRgb Pixel(int x, int y) { return Host().Image().pixel(x, y); }
    // The device pixel of a logical point, with the diagram's current mapping.
    QPoint Device(CPoint logical) {
        CClientDC dc(&Host().Graph());
        Host().Graph().PrepareDC(&dc);
        dc.LPtoDP(&logical);
        return QPoint(logical.x, logical.y);
    }
    // The device pixel at an angle (degrees off the wind) and a distance in logical units.
    QPoint DeviceAt(double dDegrees, double dRadius) {
        const double a = dDegrees * kRadiansPerDegree;
        return Device(CPoint{static_cast<int>(std::lround(dRadius * std::sin(a))),
                             static_cast<int>(std::lround(dRadius * std::cos(a)))});
    }

    SAILPLAN m_plan{"Main"};
    std::unique_ptr<DiagramHost> m_pHost;
    ScriptedInteraction* m_pInteraction = nullptr;
};
