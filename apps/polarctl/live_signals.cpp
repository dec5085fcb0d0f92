#include "apps/polarctl/live_signals.h"

namespace {

volatile sig_atomic_t g_bReload = 0;
volatile sig_atomic_t g_bStop = 0;

extern "C" void OnHangUp(int) {
    g_bReload = 1;
}

extern "C" void OnStop(int) {
    g_bStop = 1;
}

void Install(int nSignal, void (*handler)(int), struct sigaction& old) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    sigaction(nSignal, &action, &old);
}

constexpr int kAnswered[] = {SIGHUP, SIGINT, SIGTERM};

}  // namespace

LiveSignals::LiveSignals() {
    g_bReload = 0;
    g_bStop = 0;
    Install(SIGHUP, OnHangUp, m_oldHangUp);
    Install(SIGINT, OnStop, m_oldInterrupt);
    Install(SIGTERM, OnStop, m_oldTerminate);
    Install(SIGPIPE, SIG_IGN, m_oldPipe);
    sigset_t answered;
    sigemptyset(&answered);
    for (const int nSignal : kAnswered) {
        sigaddset(&answered, nSignal);
    }
    sigprocmask(SIG_BLOCK, &answered, &m_oldMask);
    m_waitMask = m_oldMask;
    for (const int nSignal : kAnswered) {
        sigdelset(&m_waitMask, nSignal);
    }
}

LiveSignals::~LiveSignals() {
    sigprocmask(SIG_SETMASK, &m_oldMask, nullptr);
    sigaction(SIGHUP, &m_oldHangUp, nullptr);
    sigaction(SIGINT, &m_oldInterrupt, nullptr);
    sigaction(SIGTERM, &m_oldTerminate, nullptr);
    sigaction(SIGPIPE, &m_oldPipe, nullptr);
}

void LiveSignals::Wait(std::vector<pollfd>& fds, int nMilliseconds) const {
    timespec timeout{nMilliseconds / 1000, (nMilliseconds % 1000) * 1000000L};
    if (ppoll(fds.data(), fds.size(), nMilliseconds < 0 ? nullptr : &timeout, &m_waitMask) < 0) {
        for (pollfd& entry : fds) {
            entry.revents = 0;
        }
    }
}

bool LiveSignals::TakeReload() {
    const bool b = g_bReload != 0;
    g_bReload = 0;
    return b;
}

bool LiveSignals::StopAsked() const {
    return g_bStop != 0;
}
