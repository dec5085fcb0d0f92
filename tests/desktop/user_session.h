#pragma once

#include <QCoreApplication>
#include <QWidget>
#include <functional>
#include <string>
#include <type_traits>

#include "tests/desktop/x_user.h"

// A test's steps run as a user takes them: on a thread of their own, with real input through
// the X server, while the application's thread runs its event loop, the nested loops of modal
// dialogs included. The steps look at the application only through OnGui.

// Runs a function on the application's thread and returns its result.
template <class Function>
auto OnGui(Function function) -> std::invoke_result_t<Function> {
    using Result = std::invoke_result_t<Function>;
    if constexpr (std::is_void_v<Result>) {
        QMetaObject::invokeMethod(qApp, function, Qt::BlockingQueuedConnection);
    } else {
        Result result{};
        QMetaObject::invokeMethod(
            qApp, [&] { result = function(); }, Qt::BlockingQueuedConnection);
        return result;
    }
}

// Waits until a condition, checked on the application's thread, holds; false after the
// timeout.
bool WaitUntil(const std::function<bool()>& condition, int nTimeoutMs = 5000);

// Runs the steps on a user thread while this (the application's) thread runs events; then
// runs the clean-up on the application's thread until no modal loop is left open.
void RunAsUser(const std::function<void(XUser&)>& steps, const std::function<void()>& cleanUp);

// With POLAR_DESKTOP_SHOTS set to a folder, the screen as the X server shows it goes there as
// <test>-<n>-<what>.png, for a person to look at; *pnShot counts the test's pictures. Call it
// from the user's thread.
void ScreenShot(const std::string& strWhat, int* pnShot);

// Waits until the window manager has placed a window where Qt has it, so that a click goes
// where both agree; false when no such window came or it never settled. window is called on
// the application's thread and may return null while the window is not there yet.
bool WaitForPlacedWindow(XUser& user, const std::function<QWidget*()>& window);
// The same for the active modal window (a message box, a modal dialog).
bool WaitForPlacedModal(XUser& user);
