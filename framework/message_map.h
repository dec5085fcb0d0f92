#pragma once

#include <functional>
#include <vector>

#include "framework/win_defs.h"
#include "framework/win_types.h"

class CWnd;
class CDC;

// Headers of WM_NOTIFY messages.
struct NMHDR {
    void* hwndFrom;
    std::uintptr_t idFrom;
    UINT code;
};

struct NMITEMACTIVATE {
    NMHDR hdr;
    int iItem;
    int iSubItem;
    UINT uNewState;
    UINT uOldState;
    UINT uChanged;
    CPoint ptAction;
    LPARAM lParam;
    UINT uKeyFlags;
};

struct NMLISTVIEW {
    NMHDR hdr;
    int iItem;
    int iSubItem;
    UINT uNewState;
    UINT uOldState;
    UINT uChanged;
    CPoint ptAction;
    LPARAM lParam;
};

struct NMUPDOWN {
    NMHDR hdr;
    int iPos;
    int iDelta;
};

struct HELPINFO {
    UINT cbSize;
    int iContextType;
    int iCtrlId;
    void* hItemHandle;
    std::uintptr_t dwContextId;
    CPoint MousePos;
};

constexpr WORD LOWORD(std::uintptr_t v) {
    return static_cast<WORD>(v & 0xFFFF);
}
constexpr WORD HIWORD(std::uintptr_t v) {
    return static_cast<WORD>((v >> 16) & 0xFFFF);
}
constexpr WPARAM MAKEWPARAM(unsigned lo, unsigned hi) {
    return static_cast<WPARAM>((lo & 0xFFFF) | ((hi & 0xFFFF) << 16));
}
constexpr LPARAM MAKELPARAM(int lo, int hi) {
    return static_cast<LPARAM>(static_cast<std::uint32_t>((lo & 0xFFFF) | ((hi & 0xFFFF) << 16)));
}
// The signed coordinates packed into a mouse message's lParam.
constexpr int GET_X_LPARAM(LPARAM lp) {
    return static_cast<short>(lp & 0xFFFF);
}
constexpr int GET_Y_LPARAM(LPARAM lp) {
    return static_cast<short>((lp >> 16) & 0xFFFF);
}

// One row of a message map: message, notification code and control id select it; the handler
// gets the window and the message's parameters.
struct MessageMapEntry {
    UINT nMessage;
    UINT nCode;
    int nId;
    std::function<LRESULT(CWnd*, WPARAM, LPARAM)> handler;
};

struct MessageMap {
    const MessageMap* (*pfnGetBaseMap)();
    std::vector<MessageMapEntry> entries;
};

// Builders of message map rows for the handler signatures the windows use.
namespace message_map {

template <class T>
MessageMapEntry Command(UINT nCode, int nId, void (T::*pfn)()) {
    return {WM_COMMAND, nCode, nId, [pfn](CWnd* p, WPARAM, LPARAM) {
                (static_cast<T*>(p)->*pfn)();
                return LRESULT{0};
            }};
}

template <class T>
MessageMapEntry Notify(UINT nCode, int nId, void (T::*pfn)(NMHDR*, LRESULT*)) {
    return {WM_NOTIFY, nCode, nId, [pfn](CWnd* p, WPARAM, LPARAM lParam) {
                LRESULT result = 0;
                (static_cast<T*>(p)->*pfn)(reinterpret_cast<NMHDR*>(lParam), &result);
                return result;
            }};
}

template <class T>
MessageMapEntry Mouse(UINT nMessage, void (T::*pfn)(UINT, CPoint)) {
    return {nMessage, 0, 0, [pfn](CWnd* p, WPARAM wParam, LPARAM lParam) {
                (static_cast<T*>(p)->*pfn)(static_cast<UINT>(wParam),
                                           CPoint{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
                return LRESULT{0};
            }};
}

template <class T>
MessageMapEntry Wheel(BOOL (T::*pfn)(UINT, short, CPoint)) {
    return {WM_MOUSEWHEEL, 0, 0, [pfn](CWnd* p, WPARAM wParam, LPARAM lParam) {
                return static_cast<LRESULT>(
                    (static_cast<T*>(p)->*pfn)(LOWORD(wParam), static_cast<short>(HIWORD(wParam)),
                                               CPoint{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}));
            }};
}

template <class T>
MessageMapEntry Size(void (T::*pfn)(UINT, int, int)) {
    return {WM_SIZE, 0, 0, [pfn](CWnd* p, WPARAM wParam, LPARAM lParam) {
                (static_cast<T*>(p)->*pfn)(static_cast<UINT>(wParam), LOWORD(lParam),
                                           HIWORD(lParam));
                return LRESULT{0};
            }};
}

template <class T>
MessageMapEntry Paint(void (T::*pfn)()) {
    return {WM_PAINT, 0, 0, [pfn](CWnd* p, WPARAM, LPARAM) {
                (static_cast<T*>(p)->*pfn)();
                return LRESULT{0};
            }};
}

template <class T>
MessageMapEntry EraseBackground(BOOL (T::*pfn)(CDC*)) {
    return {
        WM_ERASEBKGND, 0, 0, [pfn](CWnd* p, WPARAM wParam, LPARAM) {
            return static_cast<LRESULT>((static_cast<T*>(p)->*pfn)(reinterpret_cast<CDC*>(wParam)));
        }};
}

template <class T>
MessageMapEntry Help(BOOL (T::*pfn)(HELPINFO*)) {
    return {WM_HELP, 0, 0, [pfn](CWnd* p, WPARAM, LPARAM lParam) {
                return static_cast<LRESULT>(
                    (static_cast<T*>(p)->*pfn)(reinterpret_cast<HELPINFO*>(lParam)));
            }};
}

template <class T>
MessageMapEntry Message(UINT nMessage, LRESULT (T::*pfn)(WPARAM, LPARAM)) {
    return {nMessage, 0, 0, [pfn](CWnd* p, WPARAM wParam, LPARAM lParam) {
                return (static_cast<T*>(p)->*pfn)(wParam, lParam);
            }};
}

}  // namespace message_map

#define DECLARE_MESSAGE_MAP()                     \
  public:                                         \
    static const MessageMap* GetThisMessageMap(); \
    const MessageMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)          \
    const MessageMap* theClass::GetMessageMap() const { \
        return GetThisMessageMap();                     \
    }                                                   \
    const MessageMap* theClass::GetThisMessageMap() {   \
        using ThisClass = theClass;                     \
        static const MessageMap map {                   \
            &baseClass::GetThisMessageMap, {
#define END_MESSAGE_MAP() \
    }                     \
    }                     \
    ;                     \
    return &map;          \
    }

#define ON_BN_CLICKED(id, fn) message_map::Command(BN_CLICKED, id, &ThisClass::fn),
#define ON_COMMAND(id, fn) message_map::Command(BN_CLICKED, id, &ThisClass::fn),
#define ON_CBN_SELCHANGE(id, fn) message_map::Command(CBN_SELCHANGE, id, &ThisClass::fn),
#define ON_CBN_KILLFOCUS(id, fn) message_map::Command(CBN_KILLFOCUS, id, &ThisClass::fn),
#define ON_EN_KILLFOCUS(id, fn) message_map::Command(EN_KILLFOCUS, id, &ThisClass::fn),
#define ON_EN_CHANGE(id, fn) message_map::Command(EN_CHANGE, id, &ThisClass::fn),
#define ON_NOTIFY(code, id, fn) message_map::Notify(code, id, &ThisClass::fn),
#define ON_WM_LBUTTONDOWN() message_map::Mouse(WM_LBUTTONDOWN, &ThisClass::OnLButtonDown),
#define ON_WM_LBUTTONUP() message_map::Mouse(WM_LBUTTONUP, &ThisClass::OnLButtonUp),
#define ON_WM_LBUTTONDBLCLK() message_map::Mouse(WM_LBUTTONDBLCLK, &ThisClass::OnLButtonDblClk),
#define ON_WM_MOUSEMOVE() message_map::Mouse(WM_MOUSEMOVE, &ThisClass::OnMouseMove),
#define ON_WM_MOUSEWHEEL() message_map::Wheel(&ThisClass::OnMouseWheel),
#define ON_WM_PAINT() message_map::Paint(&ThisClass::OnPaint),
#define ON_WM_SIZE() message_map::Size(&ThisClass::OnSize),
#define ON_WM_ERASEBKGND() message_map::EraseBackground(&ThisClass::OnEraseBkgnd),
#define ON_WM_HELPINFO() message_map::Help(&ThisClass::OnHelpInfo),
#define ON_MESSAGE(msg, fn) message_map::Message(msg, &ThisClass::fn),
