#include "apps/polarctl/live_poll.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

int MillisecondsUntil(LiveClock::time_point when, LiveClock::time_point now) {
    if (when <= now) {
        return 0;
    }
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(when - now).count();
    return static_cast<int>(std::min<decltype(ms)>(ms, 60000));
}

void Backoff::Failed(LiveClock::time_point now) {
    m_next = now + m_delay;
    m_delay = std::min(m_delay * 2, kLongest);
}

namespace {

// Writes what the descriptor takes now: the count written, or -1 when it failed. MSG_NOSIGNAL
// where it is a socket, so that a closed peer is an error and no SIGPIPE.
long WriteSome(int fd, const char* p, std::size_t n) {
    for (;;) {
        ssize_t nWritten = send(fd, p, n, MSG_NOSIGNAL);
        if (nWritten < 0 && errno == ENOTSOCK) {
            nWritten = write(fd, p, n);
        }
        if (nWritten >= 0) {
            return static_cast<long>(nWritten);
        }
        if (errno == EINTR) {
            continue;
        }
        return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
    }
}

}  // namespace

bool BoundedSender::Send(const char* p, std::size_t n) {
    if (!Flush()) {
        return false;
    }
    if (m_pending.empty()) {
        const long nWritten = WriteSome(m_fd, p, n);
        if (nWritten < 0) {
            return false;
        }
        p += nWritten;
        n -= static_cast<std::size_t>(nWritten);
    }
    if (m_pending.size() + n > kMaxPending) {
        return false;
    }
    m_pending.insert(m_pending.end(), p, p + n);
    return true;
}

bool BoundedSender::Flush() {
    if (m_pending.empty()) {
        return true;
    }
    const long nWritten = WriteSome(m_fd, m_pending.data(), m_pending.size());
    if (nWritten < 0) {
        return false;
    }
    m_pending.erase(m_pending.begin(), m_pending.begin() + nWritten);
    return true;
}
