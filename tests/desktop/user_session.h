#pragma once

#include <QCoreApplication>
#include <functional>
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
