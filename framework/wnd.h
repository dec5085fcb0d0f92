#pragma once

#include <QEvent>
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "framework/message_map.h"
#include "framework/win_defs.h"
#include "framework/win_types.h"
#include "polar/polar.h"

// A window handle: the window's widget, as hosts know it.
using HWND = polar_api::HWND;

constexpr int SW_HIDE = 0;
constexpr int SW_SHOW = 5;

// Sends a message to a window and returns the receiver's result once its handler has run.
// A window of this framework gets it through its message map; any other widget (a host's
// window) receives a WinMessageEvent and answers through its result.
LRESULT SendMessage(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);

// A window of the framework: a widget with a message map. Deleting a CWnd that owns its
// widget destroys the widget.
class CWnd {
  public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    static const MessageMap* GetThisMessageMap();
    virtual const MessageMap* GetMessageMap() const;

    HWND GetSafeHwnd() const { return m_hWnd; }
    static CWnd* FromHandle(HWND hWnd);
    // Binds this object to an existing widget (a control of a dialog).
    void Attach(HWND hWnd, bool bOwnsWidget = false);
    HWND Detach();

    int GetDlgCtrlID() const;
    CWnd* GetParent() const;
    CWnd* GetDlgItem(int nId) const;

    LRESULT SendMessage(UINT nMessage, WPARAM wParam = 0, LPARAM lParam = 0);
    // Runs the message through the message map, reporting an invalid-argument exception that
    // a handler throws and abandoning that handler.
    LRESULT WindowProc(UINT nMessage, WPARAM wParam, LPARAM lParam);

    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    void SetWindowText(const std::string& strText);
    std::string GetWindowText() const;
    void GetWindowText(std::string& strText) const { strText = GetWindowText(); }
    int GetWindowTextLength() const { return static_cast<int>(GetWindowText().size()); }
    CWnd* SetFocus();
    static CWnd* GetFocus();
    void GetClientRect(CRect* pRect) const;
    void GetWindowRect(CRect* pRect) const;
    void MoveWindow(int x, int y, int cx, int cy, BOOL bRepaint = TRUE);
    void CenterWindow(CWnd* pAlternateOwner = nullptr);
    void ClientToScreen(CPoint* pPoint) const;
    void ScreenToClient(CPoint* pPoint) const;

    // Marks the window for painting; UpdateWindow then paints at once (erase, then paint).
    void InvalidateRect(const CRect* pRect, BOOL bErase = TRUE);
    void Invalidate(BOOL bErase = TRUE) { InvalidateRect(nullptr, bErase); }
    void UpdateWindow();

    CWnd* SetCapture();
    static BOOL ReleaseCapture();
    static CWnd* GetCapture();

    virtual BOOL DestroyWindow();
    // A custom window's image that drawing goes to; null for controls.
    virtual QImage* GetBackingImage();

    // Creates a custom child window with a backing image of its client size; double-clicks
    // and the mouse reach its message map.
    BOOL Create(const char* pszClassName, const char* pszWindowName, DWORD dwStyle,
                const CRect& rect, CWnd* pParentWnd, UINT nId);

  protected:
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT nMessage, WPARAM wParam, LPARAM lParam);
    // Called after the window is gone; a window that deletes itself does it here.
    virtual void PostNcDestroy() {}
    // Dispatches through the maps of the class chain; false when no row matched.
    bool DispatchMap(UINT nMessage, UINT nCode, int nId, WPARAM wParam, LPARAM lParam,
                     LRESULT* pResult);

    HWND m_hWnd = nullptr;
    // Null once the widget is gone: a child control's widget goes with its dialog's, which may
    // be deleted before the object that wraps it.
    QPointer<QWidget> m_pWidgetAlive;
    bool m_bOwnsWidget = false;
    bool m_bNeedsPaint = false;
    bool m_bNeedsErase = false;

    friend class CustomWindowWidget;
    friend class DialogWidget;
};

// A message from outside the framework, delivered to a host window's event(): the event of
// the public host interface.
using WinMessageEvent = polar_api::MessageEvent;

// Tells the parent of a control about a user action on it.
void NotifyCommand(QWidget* pControl, UINT nCode);
void NotifyParent(QWidget* pControl, NMHDR* pHeader);
// The control id a widget of a dialog carries.
int ControlId(const QWidget* pWidget);
void SetControlId(QWidget* pWidget, int nId);
// A pop-up dialog laid into its owner's window as a child widget (where a program may not place
// a window of its own); its positions still read as screen coordinates.
bool IsEmbeddedPopup(const QWidget* pWidget);
void MarkEmbeddedPopup(QWidget* pWidget);
// The key-state flags of a mouse message (MK_...).
UINT MouseKeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
// A control of a dialog that the Tab key (and a dialog's initial focus) can land on.
bool TakesTab(const QWidget* pWidget, const QWidget* pDialog);
