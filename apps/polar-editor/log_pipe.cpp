#include "apps/polar-editor/log_pipe.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <vector>

LogPipe::LogPipe(const std::string& strFile) {
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
    m_thread = std::thread([this] { Copy(); });
}

LogPipe::~LogPipe() {
    Stop();
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
    std::vector<char> buffer(1 << 16);
    while (!m_bStop.load()) {
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
        while (nDone < static_cast<std::size_t>(nRead) && !m_bStop.load()) {
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
