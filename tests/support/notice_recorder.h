#pragma once

#include <QWidget>
#include <vector>

#include "polar/polar.h"

// A host window that records the editor's notifications (WM_POLAR_NOTIFY's wParam).
class NoticeRecorder : public QWidget {
  public:
    bool event(QEvent* pEvent) override {
        if (pEvent->type() == polar_api::kMessageEventType) {
            auto* p = static_cast<polar_api::MessageEvent*>(pEvent);
            if (p->message == polar_api::WM_POLAR_NOTIFY) {
                notices.push_back(p->wParam);
            }
            return true;
        }
        return QWidget::event(pEvent);
    }
    std::vector<polar_api::WPARAM> notices;
};
