#pragma once

#include <QPoint>
#include <QRect>
#include <string>

struct _XDisplay;

// A user at the X server: real pointer and keyboard input through the XTEST extension, which
// the server delivers as it delivers a person's (to the window under the pointer, the focused
// window, the window manager's key bindings), and what the server knows about windows.
// Usable from any thread: it has its own connection.
//
// Points and rectangles are the application's screen coordinates: the server's pixels divided
// by the scale the application draws the screen at (QT_SCALE_FACTOR), rounded as Qt rounds
// them, so that what the steps read from widgets and what the server says compare as they are.
class XUser {
  public:
    explicit XUser(double dScale = 1.0);
    ~XUser();
    XUser(const XUser&) = delete;
    XUser& operator=(const XUser&) = delete;

    void MoveTo(QPoint screen);
    void Press(int nButton = 1);
    void Release(int nButton = 1);
    void Click(QPoint screen, int nButton = 1);
    void DoubleClick(QPoint screen);
    // Press at one point, move there in steps with the button held, release.
    void Drag(QPoint from, QPoint to, int nSteps = 8);
    // Wheel notches over a point: positive down (towards the user), negative up.
    void Wheel(QPoint screen, int nNotches);
    // A key by its X name ("Escape", "Return", "Up", "F4"), with modifiers held
    // ("alt+F4", "ctrl+z").
    void Key(const std::string& strChord);
    // Digits, letters, '.', '-' and blanks, one key at a time.
    void Type(const std::string& strText);

    // The outer rectangle of a top-level window as the server has it, in screen coordinates.
    QRect WindowRect(unsigned long nWindow) const;
    // The position of a window's inside on the screen, as the server has it.
    QPoint WindowOrigin(unsigned long nWindow) const;
    // Whether the window manager has taken a window and shows it (framed it); a window that
    // bypasses it (a menu, a tooltip) once it is shown.
    bool Managed(unsigned long nWindow) const;
    // Asks the window manager to close a window, as its close box does.
    void CloseBox(unsigned long nWindow);

  private:
    void Sync() const;
    QPoint ToServer(QPoint screen) const;
    QPoint FromServer(QPoint server) const;
    QPoint ServerOrigin(unsigned long nWindow) const;
    _XDisplay* m_pDisplay;
    double m_dScale;
};
