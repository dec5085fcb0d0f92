// The interface of libpolar.so for host programs: the three exported functions, the message
// the editor sends to the host and the commands the host may send to the editor (with their
// types, in polar_messages.h), and the event that carries messages between Qt widgets. A Qt
// host needs nothing else.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include "polar/polar_messages.h"

namespace polar_api {

// A window handle: the window's widget.
using HWND = QWidget*;

// Messages between widgets travel as this event, sent synchronously with
// QCoreApplication::sendEvent; the receiver writes its answer into result. A host receives
// WM_POLAR_NOTIFY in its window's event(); it sends commands to the editor's window the same
// way.
constexpr QEvent::Type kMessageEventType = static_cast<QEvent::Type>(QEvent::User + 0x500);

class MessageEvent : public QEvent {
  public:
    MessageEvent(UINT nMessage, WPARAM wp, LPARAM lp)
        : QEvent(kMessageEventType), message(nMessage), wParam(wp), lParam(lp) {}
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
};

// Sends a message to a window and returns the receiver's result.
inline LRESULT SendMessage(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam) {
    MessageEvent event(nMessage, wParam, lParam);
    QCoreApplication::sendEvent(hWnd, &event);
    return event.result;
}

}  // namespace polar_api

extern "C" {

// All three are called on the thread of the host's QApplication, and never throw.
//
// Opens the editor on the data file (the host keeps the path alive while the editor is open).
// The colours are those of the diagram's grid, background, current curve, tacking sector and
// other polars; nLanguage a telephone country code (49 German, 33 French, 34 Spanish, 47
// Norwegian, 46 Swedish, others English). The library writes 1 into *pOpenFlag while an editor
// is open and 0 when it ends, and the editor window's handle into *pDialogHandle. Needs the
// host's QApplication; returns false when no editor could be made. Call it only while the
// open flag is 0; one editor exists at a time. It may show a message (a data file that could
// not be read) before it returns.
using PolarFunction = bool (*)(polar_api::HWND hHostWnd, const char* pszDataFile,
                               polar_api::COLORREF crGrid, polar_api::COLORREF crBackground,
                               polar_api::COLORREF crCurve, polar_api::COLORREF crTackingSector,
                               polar_api::COLORREF crOtherPolars, int nLanguage, int* pOpenFlag,
                               polar_api::HWND* pDialogHandle);
// Makes an open editor read its data file again and show it, keeping the sail plan and wind
// speed selected where the file still holds them; does nothing while the open flag is 0. With
// changes not yet saved the user is asked first (No keeps them). Called while one of the
// editor's dialogs or messages is open, the reload follows once it has closed. Command
// ID_POLAR_RELOAD does the same.
using ReloadPolarFunction = void (*)();
// Closes an open editor without saving or notifying; always returns false. It may be called
// at any time while the open flag is 1, also from the host's WM_POLAR_NOTIFY handler or while
// one of the editor's dialogs or messages is open: the editor then ends at once (its window
// and dialogs close, the open flag becomes 0, nothing more is saved or notified) and its
// memory is released once control is back in the event loop.
using ClosePolarFunction = bool (*)();

bool polar(polar_api::HWND hHostWnd, const char* pszDataFile, polar_api::COLORREF crGrid,
           polar_api::COLORREF crBackground, polar_api::COLORREF crCurve,
           polar_api::COLORREF crTackingSector, polar_api::COLORREF crOtherPolars, int nLanguage,
           int* pOpenFlag, polar_api::HWND* pDialogHandle);
void reload_polar();
bool close_polar();
}
