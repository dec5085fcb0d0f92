#include "apps/polar-editor/host_window.h"

#include <cstdio>

bool HostWindow::event(QEvent* pEvent) {
    if (pEvent->type() != polar_api::kMessageEventType) {
        return QWidget::event(pEvent);
    }
    auto* pMessage = static_cast<polar_api::MessageEvent*>(pEvent);
    if (pMessage->message == polar_api::WM_POLAR_NOTIFY) {
        if (m_bVerbose) {
            static const char* const kMeaning[] = {"closed without saving", "saved and closed",
                                                   "saved"};
            const auto n = pMessage->wParam;
            std::fprintf(stderr, "polar-editor: WM_POLAR_NOTIFY %u (%s)\n",
                         static_cast<unsigned>(n), n < 3 ? kMeaning[n] : "unknown");
        }
        if (onNotice) {
            onNotice(pMessage->wParam);
        }
    }
    pMessage->result = 0;
    return true;
}
