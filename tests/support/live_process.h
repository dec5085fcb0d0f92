#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <string>
#include <vector>

#include "tests/support/program_runner.h"

// A program left running as a child while a test talks to it: its standard input a pipe the
// test writes, its standard output and error read as they come.
class LiveProcess {
  public:
    explicit LiveProcess(std::vector<std::string> args) {
        std::signal(SIGPIPE, SIG_IGN);
        int aIn[2];
        int aOut[2];
        int aErr[2];
        if (::pipe2(aIn, O_CLOEXEC) != 0 || ::pipe2(aOut, O_CLOEXEC) != 0 ||
            ::pipe2(aErr, O_CLOEXEC) != 0) {
            return;
        }
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(aIn[0], 0);
            ::dup2(aOut[1], 1);
            ::dup2(aErr[1], 2);
            ExecProgram(args);
        }
        ::close(aIn[0]);
        ::close(aOut[1]);
        ::close(aErr[1]);
        m_fdIn = aIn[1];
        m_fdOut = aOut[0];
        m_fdErr = aErr[0];
    }
    ~LiveProcess() {
        if (m_pid > 0 && !m_bExited) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        CloseInput();
        for (const int fd : {m_fdOut, m_fdErr}) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }
    LiveProcess(const LiveProcess&) = delete;
    LiveProcess& operator=(const LiveProcess&) = delete;

    pid_t Pid() const { return m_pid; }
    const std::string& Out() const { return m_out; }
    const std::string& Err() const { return m_err; }

    // Writes all of text to standard input, reading the outputs meanwhile.
    bool Write(const std::string& text) {
        std::size_t nDone = 0;
        while (nDone < text.size()) {
            pollfd aPoll[3] = {{m_fdIn, POLLOUT, 0}, {m_fdOut, POLLIN, 0}, {m_fdErr, POLLIN, 0}};
            if (::poll(aPoll, 3, 5000) <= 0) {
                return false;
            }
            ReadReady(aPoll[1].revents, aPoll[2].revents);
            if (aPoll[0].revents != 0) {
                const ssize_t n = ::write(m_fdIn, text.data() + nDone, text.size() - nDone);
                if (n <= 0) {
                    return false;
                }
                nDone += static_cast<std::size_t>(n);
            }
        }
        return true;
    }
    void CloseInput() {
        if (m_fdIn >= 0) {
            ::close(m_fdIn);
            m_fdIn = -1;
        }
    }

    // Reads until what (on standard output, or error with bError) appears after nFrom; false
    // when it has not within the seconds.
    bool WaitFor(const std::string& what, double dSeconds, std::size_t nFrom = 0,
                 bool bError = false) {
        const auto deadline = std::chrono::steady_clock::now() +
                              std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                  std::chrono::duration<double>(dSeconds));
        const std::string& text = bError ? m_err : m_out;
        while (text.find(what, nFrom) == std::string::npos) {
            if (std::chrono::steady_clock::now() > deadline || !ReadSome(100)) {
                return text.find(what, nFrom) != std::string::npos;
            }
        }
        return true;
    }

    // Waits for the end (reading what comes); the exit code, 128 + the signal, or -1 when
    // it has not ended within the seconds.
    int Wait(double dSeconds) {
        const auto deadline = std::chrono::steady_clock::now() +
                              std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                  std::chrono::duration<double>(dSeconds));
        while (m_fdOut >= 0 || m_fdErr >= 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                return -1;
            }
            ReadSome(100);
        }
        int nStatus = 0;
        while (::waitpid(m_pid, &nStatus, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                return -1;
            }
            ::usleep(10000);
        }
        m_bExited = true;
        return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : 128 + WTERMSIG(nStatus);
    }

  private:
    // False when both outputs have ended.
    bool ReadSome(int nMilliseconds) {
        if (m_fdOut < 0 && m_fdErr < 0) {
            return false;
        }
        pollfd aPoll[2] = {{m_fdOut, POLLIN, 0}, {m_fdErr, POLLIN, 0}};
        if (::poll(aPoll, 2, nMilliseconds) > 0) {
            ReadReady(aPoll[0].revents, aPoll[1].revents);
        }
        return true;
    }
    void ReadReady(short outEvents, short errEvents) {
        if (m_fdOut >= 0 && outEvents != 0) {
            ReadOrClose(m_fdOut, m_out);
        }
        if (m_fdErr >= 0 && errEvents != 0) {
            ReadOrClose(m_fdErr, m_err);
        }
    }

    pid_t m_pid = -1;
    int m_fdIn = -1;
    int m_fdOut = -1;
    int m_fdErr = -1;
    bool m_bExited = false;
    std::string m_out;
    std::string m_err;
};

// A TCP port on the loopback that was free a moment ago.
inline int FreeLoopbackPort(int nType = SOCK_STREAM) {
    const int fd = ::socket(AF_INET, nType, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t nLength = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &nLength);
    ::close(fd);
    return ntohs(address.sin_port);
}

// A socket listening on the loopback port (SO_REUSEADDR: the port may be taken again at once).
inline int ListenOnLoopback(int nPort) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int nOne = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &nOne, sizeof nOne);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(nPort));
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 4) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// A connection accepted within the seconds, else -1.
inline int AcceptWithin(int fdListening, int nMilliseconds) {
    pollfd entry{fdListening, POLLIN, 0};
    if (::poll(&entry, 1, nMilliseconds) <= 0) {
        return -1;
    }
    return ::accept4(fdListening, nullptr, nullptr, SOCK_CLOEXEC);
}

// A connection to the loopback port, tried again for up to five seconds (the server may not be
// listening yet); nReceiveBuffer > 0 sets a small receive buffer first.
inline int ConnectToLoopback(int nPort, int nReceiveBuffer = 0) {
    for (int i = 0; i < 100; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (nReceiveBuffer > 0) {
            ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &nReceiveBuffer, sizeof nReceiveBuffer);
        }
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<std::uint16_t>(nPort));
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            return fd;
        }
        ::close(fd);
        ::usleep(50000);
    }
    return -1;
}
