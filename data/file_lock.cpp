// The advisory lock of a data file.
#include "data/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <thread>
#include <utility>

#include "data/write_target.h"

FileLock::FileLock(FileLock&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        Release();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

FileLock::~FileLock() {
    Release();
}

void FileLock::Release() {
    if (m_fd >= 0) {
        ::flock(m_fd, LOCK_UN);
        ::close(m_fd);
        m_fd = -1;
    }
}

IoStatus FileLock::Acquire(const std::string& strPath, std::chrono::milliseconds wait) {
    Release();
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        // Non-blocking: opening a FIFO for reading would wait for a writer.
        const int fd = ::open(strPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) {
            if (errno == ENOENT) {
                return {};
            }
            return DescribeFailure("cannot lock", strPath, errno);
        }
        struct stat held {};
        if (::fstat(fd, &held) != 0 || !S_ISREG(held.st_mode)) {
            ::close(fd);
            return {};
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            // Still the file at the path? A writer that held the lock may have replaced it.
            struct stat now {};
            if (::stat(strPath.c_str(), &now) == 0 && now.st_dev == held.st_dev &&
                now.st_ino == held.st_ino) {
                m_fd = fd;
                return {};
            }
            ::close(fd);
            continue;
        }
        const int nErr = errno;
        ::close(fd);
        if (nErr != EWOULDBLOCK && nErr != EINTR) {
            return DescribeFailure("cannot lock", strPath, nErr);
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            const auto nSeconds = std::chrono::duration<double>(wait).count();
            char szSeconds[32];
            std::snprintf(szSeconds, sizeof szSeconds, "%g", nSeconds);
            return {strPath + ": another program is changing it (it stayed locked for " +
                        szSeconds + " s)",
                    EWOULDBLOCK};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}
