#include "tests/desktop/x_user.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

void Pause(int nMilliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(nMilliseconds));
}

KeySym KeySymOf(const std::string& strName) {
    if (strName == "alt") {
        return XK_Alt_L;
    }
    if (strName == "ctrl") {
        return XK_Control_L;
    }
    if (strName == "shift") {
        return XK_Shift_L;
    }
    const KeySym sym = XStringToKeysym(strName.c_str());
    if (sym == NoSymbol) {
        throw std::invalid_argument("no key named " + strName);
    }
    return sym;
}

std::string KeyNameOf(char c) {
    switch (c) {
        case '.':
            return "period";
        case '-':
            return "minus";
        case ' ':
            return "space";
        case ',':
            return "comma";
        default:
            return std::string(1, c);
    }
}

}  // namespace

XUser::XUser(double dScale) : m_pDisplay(XOpenDisplay(nullptr)), m_dScale(dScale) {
    if (m_pDisplay == nullptr) {
        throw std::runtime_error("cannot open the X display");
    }
    int nEvent = 0;
    int nError = 0;
    int nMajor = 0;
    int nMinor = 0;
    if (!XTestQueryExtension(m_pDisplay, &nEvent, &nError, &nMajor, &nMinor)) {
        XCloseDisplay(m_pDisplay);
        throw std::runtime_error("the X server has no XTEST extension");
    }
}

XUser::~XUser() {
    XCloseDisplay(m_pDisplay);
}

void XUser::Sync() const {
    XSync(m_pDisplay, False);
}

QPoint XUser::ToServer(QPoint screen) const {
    return screen * m_dScale;
}

QPoint XUser::FromServer(QPoint server) const {
    // QPoint's division rounds each coordinate as Qt's own conversion from the server does.
    return server / m_dScale;
}

void XUser::MoveTo(QPoint screen) {
    const QPoint server = ToServer(screen);
    XTestFakeMotionEvent(m_pDisplay, -1, server.x(), server.y(), CurrentTime);
    Sync();
    Pause(15);
}

void XUser::Press(int nButton) {
    XTestFakeButtonEvent(m_pDisplay, static_cast<unsigned>(nButton), True, CurrentTime);
    Sync();
    Pause(15);
}

void XUser::Release(int nButton) {
    XTestFakeButtonEvent(m_pDisplay, static_cast<unsigned>(nButton), False, CurrentTime);
    Sync();
    Pause(15);
}

void XUser::Click(QPoint screen, int nButton) {
    MoveTo(screen);
    Press(nButton);
    Release(nButton);
}

void XUser::DoubleClick(QPoint screen) {
    MoveTo(screen);
    // The four button events go to the server at once, each to be made 15 ms after the one
    // before (XTest's delay): their times stay within the double-click interval however long
    // this process waits for a core on a busy machine.
    for (const Bool bDown : {True, False, True, False}) {
        XTestFakeButtonEvent(m_pDisplay, 1, bDown, 15);
    }
    Sync();
    Pause(15);
}

void XUser::Drag(QPoint from, QPoint to, int nSteps) {
    MoveTo(from);
    Press();
    for (int i = 1; i <= nSteps; ++i) {
        MoveTo(from + (to - from) * i / nSteps);
    }
    Release();
}

void XUser::Wheel(QPoint screen, int nNotches) {
    MoveTo(screen);
    const int nButton = nNotches > 0 ? 5 : 4;
    for (int i = 0; i < (nNotches > 0 ? nNotches : -nNotches); ++i) {
        Press(nButton);
        Release(nButton);
    }
}

void XUser::Key(const std::string& strChord) {
    std::vector<KeyCode> codes;
    std::stringstream parts(strChord);
    std::string strPart;
    while (std::getline(parts, strPart, '+')) {
        const KeyCode code = XKeysymToKeycode(m_pDisplay, KeySymOf(strPart));
        if (code == 0) {
            throw std::invalid_argument("no key code for " + strPart);
        }
        codes.push_back(code);
    }
    for (KeyCode code : codes) {
        XTestFakeKeyEvent(m_pDisplay, code, True, CurrentTime);
        Sync();
        Pause(10);
    }
    for (auto it = codes.rbegin(); it != codes.rend(); ++it) {
        XTestFakeKeyEvent(m_pDisplay, *it, False, CurrentTime);
        Sync();
        Pause(10);
    }
    Pause(15);
}

void XUser::Type(const std::string& strText) {
    for (char c : strText) {
        Key(KeyNameOf(c));
    }
}

QPoint XUser::ServerOrigin(unsigned long nWindow) const {
    int x = 0;
    int y = 0;
    Window child = 0;
    XTranslateCoordinates(m_pDisplay, nWindow, DefaultRootWindow(m_pDisplay), 0, 0, &x, &y, &child);
    return QPoint(x, y);
}

QPoint XUser::WindowOrigin(unsigned long nWindow) const {
    return FromServer(ServerOrigin(nWindow));
}

bool XUser::Managed(unsigned long nWindow) const {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(m_pDisplay, nWindow, &attributes) ||
        attributes.map_state != IsViewable) {
        return false;
    }
    if (attributes.override_redirect) {
        return true;
    }
    Window root = 0;
    Window parent = 0;
    Window* pChildren = nullptr;
    unsigned nChildren = 0;
    if (!XQueryTree(m_pDisplay, nWindow, &root, &parent, &pChildren, &nChildren)) {
        return false;
    }
    if (pChildren != nullptr) {
        XFree(pChildren);
    }
    return parent != root;
}

QRect XUser::WindowRect(unsigned long nWindow) const {
    // The outermost ancestor below the root is the window manager's frame.
    Window current = nWindow;
    for (;;) {
        Window root = 0;
        Window parent = 0;
        Window* pChildren = nullptr;
        unsigned nChildren = 0;
        if (!XQueryTree(m_pDisplay, current, &root, &parent, &pChildren, &nChildren)) {
            break;
        }
        if (pChildren != nullptr) {
            XFree(pChildren);
        }
        if (parent == root || parent == 0) {
            break;
        }
        current = parent;
    }
    XWindowAttributes attributes{};
    XGetWindowAttributes(m_pDisplay, current, &attributes);
    const QPoint origin = ServerOrigin(current);
    const QPoint end = origin + QPoint(attributes.width, attributes.height);
    return QRect(FromServer(origin), FromServer(end) - QPoint(1, 1));
}

void XUser::CloseBox(unsigned long nWindow) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = nWindow;
    event.xclient.message_type = XInternAtom(m_pDisplay, "_NET_CLOSE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = CurrentTime;
    event.xclient.data.l[1] = 2;  // a request from a pager or the like: the user's own
    XSendEvent(m_pDisplay, DefaultRootWindow(m_pDisplay), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
    Sync();
}
