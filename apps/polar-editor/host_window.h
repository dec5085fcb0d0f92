#pragma once

#include <QWidget>

#include "polar/polar.h"

// The application's host window: invisible, it receives the editor's notifications and ends
// the application when the editor ends.
class HostWindow : public QWidget {
  public:
    explicit HostWindow(bool bVerbose) : m_bVerbose(bVerbose) {}
    int m_nOpenFlag = 0;
    polar_api::HWND m_hEditor = nullptr;

  protected:
    bool event(QEvent* pEvent) override;

  private:
    bool m_bVerbose;
};
