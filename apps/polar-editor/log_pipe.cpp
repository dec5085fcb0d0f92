#include "apps/polar-editor/log_pipe.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <vector>

LogPipe::LogPipe(const std::string& strFile, const std::atomic<bool>& cancel) : m_cancel(cancel) {
    m_fdFile = ::open(strFile.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fdFile < 0) {
        m_strError = "cannot open " + strFile + ": " + std::strerror(errno);
        return;
    }
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        m_strError = std::string("cannot make a pipe: ") + std::strerror(errno);
        return;
    }
    m_fdRead = fds[0];
    m_fdWrite = fds[1];
    // A large pipe lets the copy and the reader run with few switches between them; the
    // system's default limit allows 1 MB. Smaller is slower, not wrong.
    ::fcntl(m_fdWrite, F_SETPIPE_SZ, 1 << 20);
    m_thread = std::thread([this] { Copy(); });
}

LogPipe::~LogPipe() {
    m_bStop.store(true);
    // The reader's end goes first, so that a copy waiting for room in the pipe ends.
    if (m_fdRead >= 0) {
        ::close(m_fdRead);
    }
    if (m_thread.joinable()) {
        m_thread.join();
    }
    if (m_fdFile >= 0) {
        ::close(m_fdFile);
    }
}

std::string LogPipe::Path() const {
    return "/proc/self/fd/" + std::to_string(m_fdRead);
}

std::string LogPipe::CopyError() {
    if (m_thread.joinable()) {
        m_thread.join();
    }
    return m_strCopyError;
}

void LogPipe::Copy() {
    // A reader that stops early closes its end: the write then fails with EPIPE instead of
    // the signal ending the program.
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
    // The kernel moves the file's pages into the pipe without a copy through this thread
    // (splice); a file it cannot splice is copied through a buffer.
    bool bSplice = true;
    std::vector<char> buffer;
    while (!Stopping()) {
        if (bSplice) {
            const ssize_t nMoved = ::splice(m_fdFile, nullptr, m_fdWrite, nullptr, 1 << 18,
                                            SPLICE_F_MOVE | SPLICE_F_MORE);
            if (nMoved > 0) {
                m_nCopied.fetch_add(static_cast<std::uint64_t>(nMoved), std::memory_order_relaxed);
                continue;
            }
            if (nMoved == 0) {
                break;
            }
            if (errno == EINTR) {
                continue;
            }
            if (errno != EINVAL) {
                if (errno != EPIPE) {
                    m_strCopyError = std::string("cannot read the log: ") + std::strerror(errno);
                }
                break;  // EPIPE: the reader is gone
            }
            bSplice = false;
            buffer.resize(1 << 18);
        }
        const ssize_t nRead = ::read(m_fdFile, buffer.data(), buffer.size());
        if (nRead < 0 && errno == EINTR) {
            continue;
        }
        if (nRead < 0) {
            m_strCopyError = std::string("cannot read the log: ") + std::strerror(errno);
            break;
        }
        if (nRead == 0) {
            break;
        }
        std::size_t nDone = 0;
        while (nDone < static_cast<std::size_t>(nRead) && !Stopping()) {
            const ssize_t nWritten =
                ::write(m_fdWrite, buffer.data() + nDone, static_cast<std::size_t>(nRead) - nDone);
            if (nWritten < 0 && errno == EINTR) {
                continue;
            }
            if (nWritten < 0) {
                m_bStop.store(true);  // the reader is gone
                break;
            }
            nDone += static_cast<std::size_t>(nWritten);
            m_nCopied.fetch_add(static_cast<std::uint64_t>(nWritten), std::memory_order_relaxed);
        }
    }
    ::close(m_fdWrite);
    // A signal the failed write raised stays with this thread: take it away.
    const timespec none{0, 0};
    while (sigtimedwait(&pipeSignal, nullptr, &none) == SIGPIPE) {
    }
}
