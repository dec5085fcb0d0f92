#include "framework/handler_scope.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <vector>

#include "framework/dialog.h"

namespace handler_scope {
namespace {

int g_nDepth = 0;
std::vector<std::function<void()>> g_aWaiting;
bool g_bRunPosted = false;

void RunWaiting();

void PostRun() {
    if (g_bRunPosted || g_aWaiting.empty() || QCoreApplication::instance() == nullptr) {
        return;
    }
    g_bRunPosted = true;
    QTimer::singleShot(0, QCoreApplication::instance(), RunWaiting);
}

void RunWaiting() {
    g_bRunPosted = false;
    if (g_nDepth > 0) {
        return;  // the end of the outermost scope posts again
    }
    std::vector<std::function<void()>> aActions;
    aActions.swap(g_aWaiting);
    for (auto& action : aActions) {
        action();
    }
}

}  // namespace

Scope::Scope() {
    ++g_nDepth;
}

Scope::~Scope() {
    if (--g_nDepth == 0) {
        PostRun();
    }
}

bool Active() {
    return g_nDepth > 0;
}

int Depth() {
    return g_nDepth;
}

void WhenIdle(std::function<void()> action, bool bNowWhenIdle) {
    if (bNowWhenIdle && g_nDepth == 0) {
        action();
        return;
    }
    g_aWaiting.push_back(std::move(action));
    if (g_nDepth == 0) {
        PostRun();
    }
}

void CancelModalLoopsOf(QWidget* pWindow) {
    if (pWindow == nullptr) {
        return;
    }
    CDialog::CancelModalDialogsOf(pWindow);
    // Message boxes and file dialogs run their own loops as child windows of their owner.
    for (QDialog* pDialog : pWindow->findChildren<QDialog*>()) {
        if (pDialog->isVisible() && CWnd::FromHandle(pDialog) == nullptr) {
            pDialog->reject();
        }
    }
}

}  // namespace handler_scope
