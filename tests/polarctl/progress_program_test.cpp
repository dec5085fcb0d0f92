// polarctl learn as a program: a line of progress on standard error when that is a terminal
// (a pseudo-terminal here), fed a log through a pipe slowly enough to show one; nothing of it
// when standard error is a pipe.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "tests/support/program_runner.h"
#include "tests/support/temp_dir.h"

namespace {

// A log of steady sailing in 10 kn of wind at five angles, about nBytes of CSV.
std::string SteadyLog(std::size_t nBytes) {
    std::string log = "time,TWS,TWA,STW\n";
    for (int nTime = 0; log.size() < nBytes;) {
        for (const int nAngle : {40, 60, 90, 120, 150}) {
            for (int i = 0; i < 60; ++i) {
                log += std::to_string(nTime++) + ",10," + std::to_string(nAngle) + "," +
                       std::to_string(5 + nAngle / 100.0) + "\n";
            }
        }
    }
    return log;
}

struct TerminalResult {
    int nExit = -1;
    std::string terminal;  // what standard error showed
    std::string out;
};

// Runs polarctl with standard error on a pseudo-terminal and standard output into a file; the
// input is written in parts with a pause after each, as a slow source would.
TerminalResult RunOnTerminal(std::vector<std::string> args, const std::vector<std::string>& parts,
                             const std::string& strOutFile) {
    TerminalResult result;
    int fdMaster = -1;
    int fdSlave = -1;
    int aIn[2];
    if (::openpty(&fdMaster, &fdSlave, nullptr, nullptr, nullptr) != 0 ||
        ::pipe2(aIn, O_CLOEXEC) != 0) {
        return result;
    }
    args.insert(args.begin(), POLARCTL_PROGRAM);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int fdOut = ::open(strOutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(aIn[0], 0);
        ::dup2(fdOut, 1);
        ::dup2(fdSlave, 2);
        ExecProgram(args);
    }
    ::close(fdSlave);
    ::close(aIn[0]);
    std::thread writer([&] {
        for (const std::string& part : parts) {
            for (std::size_t n = 0; n < part.size();) {
                const ssize_t w = ::write(aIn[1], part.data() + n, part.size() - n);
                if (w <= 0) {
                    break;
                }
                n += static_cast<std::size_t>(w);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
        }
        ::close(aIn[1]);
    });
    // The terminal reads end (EIO) once the program, its only other user, has ended.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd poll{fdMaster, POLLIN, 0};
        if (::poll(&poll, 1, 100) <= 0) {
            continue;
        }
        char buffer[4096];
        const ssize_t n = ::read(fdMaster, buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        result.terminal.append(buffer, static_cast<std::size_t>(n));
    }
    writer.join();
    ::close(fdMaster);
    int nStatus = 0;
    ::waitpid(pid, &nStatus, 0);
    result.nExit = WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : 128 + WTERMSIG(nStatus);
    result.out = TempDir::Read(strOutFile);
    return result;
}

TEST(PolarctlProgress, ATerminalSeesTheReadingGoOnAndTheLineClearedAtTheEnd) {
    TempDir dir;
    const std::string log = SteadyLog(4500000);
    // Parts of more than the reader's chunk, so that a chunk is done after each pause.
    const std::size_t nPart = log.size() / 4;
    const std::vector<std::string> parts = {log.substr(0, nPart), log.substr(nPart, nPart),
                                            log.substr(2 * nPart, nPart), log.substr(3 * nPart)};
    const std::vector<std::string> args = {"learn", "-", "-o", dir.File("POLAR.PPD")};
    const TerminalResult shown = RunOnTerminal(args, parts, dir.File("out.txt"));
    ASSERT_EQ(shown.nExit, 0) << shown.terminal;
    EXPECT_NE(shown.terminal.find("\rread "), std::string::npos) << shown.terminal;
    EXPECT_NE(shown.terminal.find(" MB, "), std::string::npos) << shown.terminal;
    EXPECT_NE(shown.terminal.find(" MB/s"), std::string::npos) << shown.terminal;
    // Standard input has no size: no share of a total, no time left.
    EXPECT_EQ(shown.terminal.find(" of "), std::string::npos) << shown.terminal;
    EXPECT_EQ(shown.terminal.find("left"), std::string::npos) << shown.terminal;
    // It ends on a cleared line: a carriage return, spaces over the widest line, another.
    ASSERT_GE(shown.terminal.size(), 2u);
    EXPECT_EQ(shown.terminal.back(), '\r');
    const std::size_t nLastStart = shown.terminal.rfind('\r', shown.terminal.size() - 2);
    ASSERT_NE(nLastStart, std::string::npos);
    const std::string cleared =
        shown.terminal.substr(nLastStart + 1, shown.terminal.size() - nLastStart - 2);
    EXPECT_FALSE(cleared.empty());
    EXPECT_EQ(cleared.find_first_not_of(' '), std::string::npos) << shown.terminal;

    // With standard error a pipe, no trace of it, and the same summary on standard output.
    std::string input;
    for (const std::string& part : parts) {
        input += part;
    }
    const ProgramResult piped =
        RunProgram(POLARCTL_PROGRAM, {"learn", "-", "-o", dir.File("POLAR2.PPD")}, {input});
    EXPECT_EQ(piped.nExit, 0);
    EXPECT_EQ(piped.err, "");
    std::string expectedOut = shown.out;
    const std::size_t nWrote = expectedOut.rfind("wrote ");
    ASSERT_NE(nWrote, std::string::npos);
    expectedOut.replace(nWrote, std::string::npos, "wrote " + dir.File("POLAR2.PPD") + "\n");
    EXPECT_EQ(piped.out, expectedOut);
    EXPECT_EQ(TempDir::Read(dir.File("POLAR.PPD")), TempDir::Read(dir.File("POLAR2.PPD")));
}

}  // namespace
