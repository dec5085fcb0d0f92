#pragma once

#include <QWidget>
#include <functional>

#include "polar/polar.h"

// The window the editor knows as its host: invisible, it receives the editor's notifications
// and hands each to onNotice.
class HostWindow : public QWidget {
  public:
    explicit HostWindow(bool bVerbose) : m_bVerbose(bVerbose) {}
    int m_nOpenFlag = 0;
    polar_api::HWND m_hEditor = nullptr;
    // WM_POLAR_NOTIFY's wParam: 0 closed without saving, 1 saved and closed, 2 saved.
    std::function<void(polar_api::WPARAM)> onNotice;

  protected:
    bool event(QEvent* pEvent) override;

  private:
    bool m_bVerbose;
};
