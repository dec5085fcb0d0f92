#pragma once

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <thread>
#include <utility>

// Runs work on a thread of its own and hands its result to onDone on the receiver's thread,
// through the receiver's event loop. The caller keeps the thread and joins it before the
// receiver goes; a result that arrives for a receiver already gone is dropped.
template <typename Result>
std::thread RunOffThread(QObject* pReceiver, std::function<Result()> work,
                         std::function<void(Result)> onDone) {
    QPointer<QObject> receiver(pReceiver);
    return std::thread([receiver, work = std::move(work), onDone = std::move(onDone)] {
        auto pResult = std::make_shared<Result>(work());
        if (receiver != nullptr) {
            QMetaObject::invokeMethod(
                receiver.data(), [onDone, pResult] { onDone(std::move(*pResult)); },
                Qt::QueuedConnection);
        }
    });
}
