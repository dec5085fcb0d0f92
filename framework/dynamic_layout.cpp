#include "framework/dynamic_layout.h"

#include <algorithm>

void DynamicLayout::Start(const QWidget* pDialog) {
    m_start = pDialog->size();
    m_items.clear();
}

void DynamicLayout::Add(QWidget* pControl, Share move, Share grow) {
    if (pControl != nullptr) {
        m_items.push_back({pControl, pControl->geometry(), move, grow});
    }
}

void DynamicLayout::Resize(int cx, int cy) const {
    // Never smaller than the start: the template's layout is the least there is.
    const int dx = std::max(0, cx - m_start.width());
    const int dy = std::max(0, cy - m_start.height());
    for (const Item& item : m_items) {
        if (item.pControl == nullptr) {
            continue;
        }
        item.pControl->setGeometry(item.start.x() + dx * item.move.nX / 100,
                                   item.start.y() + dy * item.move.nY / 100,
                                   item.start.width() + dx * item.grow.nX / 100,
                                   item.start.height() + dy * item.grow.nY / 100);
    }
}
