#pragma once

#include "framework/win_types.h"

// The mapping from logical to device coordinates of a device context, with the platform's
// rules: text mode (one logical unit a pixel) and isotropic mode, where the viewport extent is
// shrunk on one axis so that a logical unit has the same length along x and y.

constexpr int MM_TEXT = 1;
constexpr int MM_ISOTROPIC = 7;

class Mapping {
  public:
    int SetMapMode(int nMode);
    int GetMapMode() const { return m_nMode; }
    CSize SetWindowExt(CSize size);
    CPoint SetWindowOrg(CPoint pt);
    CSize SetViewportExt(CSize size);
    CPoint SetViewportOrg(CPoint pt);
    CSize GetWindowExt() const { return m_wndExt; }
    CSize GetViewportExt() const { return m_vpExt; }
    CPoint GetViewportOrg() const { return m_vpOrg; }

    // Both round to the nearest point, halves upwards (floor of value + 0.5).
    CPoint LPtoDP(CPoint pt) const;
    CPoint DPtoLP(CPoint pt) const;
    // Device x and y of a logical point before rounding.
    double DeviceX(double x) const;
    double DeviceY(double y) const;
    // Device length of a logical length along x (absolute).
    double ScaleX() const;

  private:
    void FixIsotropic();

    int m_nMode = MM_TEXT;
    CSize m_wndExt{1, 1};
    CPoint m_wndOrg{0, 0};
    CSize m_vpExt{1, 1};
    CPoint m_vpOrg{0, 0};
};
