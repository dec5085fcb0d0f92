#include "framework/mapping.h"

#include <cmath>
#include <cstdlib>

int Mapping::SetMapMode(int nMode) {
    const int nOld = m_nMode;
    m_nMode = nMode;
    if (nMode == MM_TEXT) {
        m_wndExt = {1, 1};
        m_vpExt = {1, 1};
    }
    return nOld;
}

CSize Mapping::SetWindowExt(CSize size) {
    const CSize old = m_wndExt;
    if (m_nMode == MM_ISOTROPIC && size.cx != 0 && size.cy != 0) {
        m_wndExt = size;
        FixIsotropic();
    }
    return old;
}

CPoint Mapping::SetWindowOrg(CPoint pt) {
    const CPoint old = m_wndOrg;
    m_wndOrg = pt;
    return old;
}

CSize Mapping::SetViewportExt(CSize size) {
    const CSize old = m_vpExt;
    if (m_nMode == MM_ISOTROPIC && size.cx != 0 && size.cy != 0) {
        m_vpExt = size;
        FixIsotropic();
    }
    return old;
}

CPoint Mapping::SetViewportOrg(CPoint pt) {
    const CPoint old = m_vpOrg;
    m_vpOrg = pt;
    return old;
}

// Square pixels assumed: the axis with the larger scale is brought down to the smaller one.
void Mapping::FixIsotropic() {
    const double xdim = std::fabs(static_cast<double>(m_vpExt.cx) / m_wndExt.cx);
    const double ydim = std::fabs(static_cast<double>(m_vpExt.cy) / m_wndExt.cy);
    if (xdim > ydim) {
        const int nMin = m_vpExt.cx >= 0 ? 1 : -1;
        m_vpExt.cx = static_cast<int>(std::floor(m_vpExt.cx * ydim / xdim + 0.5));
        if (m_vpExt.cx == 0) {
            m_vpExt.cx = nMin;
        }
    } else if (ydim > xdim) {
        const int nMin = m_vpExt.cy >= 0 ? 1 : -1;
        m_vpExt.cy = static_cast<int>(std::floor(m_vpExt.cy * xdim / ydim + 0.5));
        if (m_vpExt.cy == 0) {
            m_vpExt.cy = nMin;
        }
    }
}

double Mapping::DeviceX(double x) const {
    return (x - m_wndOrg.x) * m_vpExt.cx / m_wndExt.cx + m_vpOrg.x;
}

double Mapping::DeviceY(double y) const {
    return (y - m_wndOrg.y) * m_vpExt.cy / m_wndExt.cy + m_vpOrg.y;
}

double Mapping::ScaleX() const {
    return std::fabs(static_cast<double>(m_vpExt.cx) / m_wndExt.cx);
}

CPoint Mapping::LPtoDP(CPoint pt) const {
    return CPoint{static_cast<int>(std::floor(DeviceX(pt.x) + 0.5)),
                  static_cast<int>(std::floor(DeviceY(pt.y) + 0.5))};
}

CPoint Mapping::DPtoLP(CPoint pt) const {
    const double x = static_cast<double>(pt.x - m_vpOrg.x) * m_wndExt.cx / m_vpExt.cx + m_wndOrg.x;
    const double y = static_cast<double>(pt.y - m_vpOrg.y) * m_wndExt.cy / m_vpExt.cy + m_wndOrg.y;
    return CPoint{static_cast<int>(std::floor(x + 0.5)), static_cast<int>(std::floor(y + 0.5))};
}
