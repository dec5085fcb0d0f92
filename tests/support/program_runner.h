#pragma once

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <string>
#include <vector>

// A program run as a child: what its standard input holds, where its standard output goes,
// and what it wrote.
struct ProgramStreams {
    std::string strInput;  // given through a pipe
    int fdOutput = -1;     // standard output's descriptor; -1: a pipe, read into out
};

struct ProgramResult {
    int nExit;  // 128 + the signal when one ended it
    std::string out;
    std::string err;
};

// In a forked child: runs args[0] with the arguments that follow; never returns.
[[noreturn]] inline void ExecProgram(std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (auto& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
}

// Appends what a readable descriptor holds to text; at its end (or an error) closes it and
// sets it to -1.
inline void ReadOrClose(int& fd, std::string& text) {
    char buffer[65536];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) {
        text.append(buffer, static_cast<std::size_t>(n));
    } else {
        ::close(fd);
        fd = -1;
    }
}

// Runs strProgram with args; a child still running after nTimeoutSeconds is killed (exit
// 128 + SIGKILL), so that a program that waits for ever fails the test instead of hanging it.
inline ProgramResult RunProgram(const std::string& strProgram, std::vector<std::string> args,
                                const ProgramStreams& streams = {}, int nTimeoutSeconds = 20) {
    std::signal(SIGPIPE, SIG_IGN);  // a child that does not read its input
    int aIn[2];
    int aOut[2];
    int aErr[2];
    if (::pipe2(aIn, O_CLOEXEC) != 0 || ::pipe2(aOut, O_CLOEXEC) != 0 ||
        ::pipe2(aErr, O_CLOEXEC) != 0) {
        return {-1, {}, "no pipe"};
    }
    args.insert(args.begin(), strProgram);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(aIn[0], 0);
        ::dup2(streams.fdOutput >= 0 ? streams.fdOutput : aOut[1], 1);
        ::dup2(aErr[1], 2);
        ExecProgram(args);
    }
    ::close(aIn[0]);
    ::close(aOut[1]);
    ::close(aErr[1]);
    ::fcntl(aIn[1], F_SETFL, O_NONBLOCK);
    ProgramResult result{0, {}, {}};
    int fdIn = aIn[1];
    if (streams.strInput.empty()) {
        ::close(fdIn);
        fdIn = -1;
    }
    std::size_t nWritten = 0;
    int fdOut = aOut[0];
    int fdErr = aErr[0];
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(nTimeoutSeconds);
    while (fdIn >= 0 || fdOut >= 0 || fdErr >= 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            break;
        }
        pollfd aPoll[3] = {{fdIn, POLLOUT, 0}, {fdOut, POLLIN, 0}, {fdErr, POLLIN, 0}};
        if (::poll(aPoll, 3, 100) <= 0) {
            continue;
        }
        if (fdIn >= 0 && aPoll[0].revents != 0) {
            const ssize_t n = ::write(fdIn, streams.strInput.data() + nWritten,
                                      streams.strInput.size() - nWritten);
            nWritten += n > 0 ? static_cast<std::size_t>(n) : 0;
            if (n < 0 || nWritten == streams.strInput.size()) {
                ::close(fdIn);
                fdIn = -1;
            }
        }
        int* aFds[2] = {&fdOut, &fdErr};
        std::string* aTexts[2] = {&result.out, &result.err};
        for (int i = 0; i < 2; ++i) {
            if (*aFds[i] >= 0 && aPoll[i + 1].revents != 0) {
                ReadOrClose(*aFds[i], *aTexts[i]);
            }
        }
    }
    for (const int fd : {fdIn, fdOut, fdErr}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    int nStatus = 0;
    ::waitpid(pid, &nStatus, 0);
    result.nExit = WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : 128 + WTERMSIG(nStatus);
    return result;
}
