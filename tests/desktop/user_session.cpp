#include "tests/desktop/user_session.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <thread>

bool WaitUntil(const std::function<bool()>& condition, int nTimeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(nTimeoutMs);
    for (;;) {
        if (OnGui(condition)) {
            return true;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void RunAsUser(const std::function<void(XUser&)>& steps, const std::function<void()>& cleanUp) {
    std::atomic<bool> bDone{false};
    // The server counts device pixels; the steps work in the application's coordinates.
    const double dScale = qApp->devicePixelRatio();
    std::thread user([&] {
        try {
            XUser x(dScale);
            steps(x);
        } catch (const std::exception& e) {
            ADD_FAILURE() << "the user's steps failed: " << e.what();
        }
        bDone = true;
    });
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(20);
    // Runs inside whatever loop is innermost: a step that failed may have left a dialog open,
    // and the clean-up closes it so that the loops unwind.
    std::chrono::steady_clock::time_point done;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!bDone) {
            return;
        }
        if (done == std::chrono::steady_clock::time_point()) {
            done = std::chrono::steady_clock::now();
        } else if (std::chrono::steady_clock::now() - done > std::chrono::seconds(20)) {
            // Better a clear end than a run that hangs until its time is up.
            const QWidget* pModal = QApplication::activeModalWidget();
            const auto* pBox = qobject_cast<const QMessageBox*>(pModal);
            std::fprintf(stderr, "a dialog left open by the steps could not be closed: %s %s\n",
                         pModal != nullptr ? qPrintable(pModal->windowTitle()) : "",
                         pBox != nullptr ? qPrintable(pBox->text()) : "");
            std::_Exit(3);
        }
        cleanUp();
        loop.quit();
    });
    poll.start();
    loop.exec();
    user.join();
}

void ScreenShot(const std::string& strWhat, int* pnShot) {
    const char* pszFolder = std::getenv("POLAR_DESKTOP_SHOTS");
    if (pszFolder == nullptr || *pszFolder == '\0') {
        return;
    }
    std::string strTest = testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(strTest.begin(), strTest.end(), '/', '-');  // a parameterised test's name
    const std::string strPath = std::string(pszFolder) + "/" + strTest + "-" +
                                std::to_string(++*pnShot) + "-" + strWhat + ".png";
    // A window just mapped is painted a moment later.
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    OnGui([&] {
        QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromStdString(strPath));
    });
}

bool WaitForPlacedWindow(XUser& user, const std::function<QWidget*()>& window) {
    if (!WaitUntil([&window] {
            QWidget* pWindow = window();
            return pWindow != nullptr && pWindow->isVisible();
        })) {
        return false;
    }
    // The window manager may still move a window just mapped, and Qt learns of it a moment
    // later.
    const unsigned long nWindow = OnGui([&window] { return window()->winId(); });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    // Before the window manager has framed a window, the server has it where Qt asked, which
    // may be where Qt has it too: not yet where it will stay.
    while (!user.Managed(nWindow) ||
           OnGui([&window] {
               QWidget* pWindow = window();
               return pWindow != nullptr ? pWindow->mapToGlobal(QPoint(0, 0)) : QPoint();
           }) != user.WindowOrigin(nWindow)) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

bool WaitForPlacedModal(XUser& user) {
    return WaitForPlacedWindow(user, [] { return QApplication::activeModalWidget(); });
}
