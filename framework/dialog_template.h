#pragma once

#include <string>
#include <vector>

#include "framework/win_defs.h"

// An in-memory dialog template: the dialog's frame and its controls in tab order, positions
// in dialog units.

enum class ControlClass { Button, Edit, Static, ComboBox, ListView, UpDown };

struct DialogItemTemplate {
    int nId;
    ControlClass cls;
    DWORD dwStyle;  // WS_* plus the class's own style bits
    int x, y, cx, cy;
    std::string strText;
};

struct DialogTemplate {
    int nId;
    WORD wLanguage;
    DWORD dwStyle;
    int cx, cy;
    std::string strCaption;
    std::string strFont;
    int nPointSize;
    std::vector<DialogItemTemplate> items;

    const DialogItemTemplate* FindItem(int nItemId) const {
        for (const auto& item : items) {
            if (item.nId == nItemId) {
                return &item;
            }
        }
        return nullptr;
    }
};
