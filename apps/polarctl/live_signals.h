#pragma once

#include <poll.h>
#include <signal.h>

#include <vector>

// The signals live answers while it runs: SIGHUP reads the polar file again, SIGINT and
// SIGTERM end it, SIGPIPE is ignored (a peer gone is an error of its write). The earlier
// handlers come back when it ends. The signals are blocked but in the wait (Wait), so that one
// coming just before it still ends it. One at a time in a process.
class LiveSignals {
  public:
    LiveSignals();
    ~LiveSignals();
    LiveSignals(const LiveSignals&) = delete;
    LiveSignals& operator=(const LiveSignals&) = delete;

    // poll() with the signals let through; a signal ends it (its entries then hold nothing).
    void Wait(std::vector<pollfd>& fds, int nMilliseconds) const;
    // Whether SIGHUP came since the last call.
    bool TakeReload();
    bool StopAsked() const;

  private:
    struct sigaction m_oldHangUp {};
    struct sigaction m_oldInterrupt {};
    struct sigaction m_oldTerminate {};
    struct sigaction m_oldPipe {};
    sigset_t m_oldMask{};
    sigset_t m_waitMask{};
};
