// Writes to paths that are not plain files: links, FIFOs, devices, sockets, the process's own
// descriptors, names at the length limit, and a write ended by a signal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#include "data/polar_file.h"
#include "data/temporary_file.h"
#include "tests/support/polar_builders.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// Reads what is there to read from a descriptor, waiting up to a second for each part.
std::string ReadAvailable(int fd, std::size_t nExpected) {
    std::string text;
    char buffer[4096];
    pollfd p{fd, POLLIN, 0};
    while (text.size() < nExpected && ::poll(&p, 1, 1000) > 0) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
}

TEST(SpecialFiles, ALinkedFileIsReplacedInItsOwnFolderAndTheLinkStays) {
    TempDir dir;
    fs::create_directory(dir.File("data"));
    fs::create_directory(dir.File("links"));
    const std::string strTarget = dir.File("data/POLAR.PPD");
    TempDir::Write(strTarget, "old");
    ::chmod(strTarget.c_str(), 0640);
    // A relative link, reached through a second one.
    fs::create_symlink("../data/POLAR.PPD", dir.File("links/first"));
    fs::create_symlink("first", dir.File("links/second"));
    ASSERT_TRUE(WriteFileAtomically(dir.File("links/second"), "new").Ok());
    EXPECT_EQ(TempDir::Read(strTarget), "new");
    EXPECT_EQ(fs::read_symlink(dir.File("links/first")), "../data/POLAR.PPD");
    EXPECT_EQ(fs::read_symlink(dir.File("links/second")), "first");
    EXPECT_EQ(fs::status(strTarget).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(TempDir::Names(dir.File("data")), std::vector<std::string>{"POLAR.PPD"});
    EXPECT_EQ(TempDir::Names(dir.File("links")), (std::vector<std::string>{"first", "second"}));
}

TEST(SpecialFiles, AFifoIsWrittenInPlace) {
    TempDir dir;
    const std::string strFifo = dir.File("pipe");
    ASSERT_EQ(::mkfifo(strFifo.c_str(), 0600), 0);
    const int fdReader = ::open(strFifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(fdReader, 0);
    ASSERT_TRUE(SavePolarFile(strFifo, ExampleSailPlans()).Ok());
    EXPECT_EQ(ReadAvailable(fdReader, std::strlen(kExampleFileText)), kExampleFileText);
    ::close(fdReader);
    EXPECT_TRUE(fs::is_fifo(strFifo));
    EXPECT_EQ(TempDir::Names(dir.Path()), std::vector<std::string>{"pipe"});
}

TEST(SpecialFiles, ACharacterDeviceIsWrittenInPlace) {
    // A terminal of the test's own, reached through a link in the test's folder.
    const int fdMaster = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (fdMaster < 0) {
        GTEST_SKIP() << "no terminals can be opened here";
    }
    ASSERT_EQ(::grantpt(fdMaster), 0);
    ASSERT_EQ(::unlockpt(fdMaster), 0);
    const std::string strTerminal = ::ptsname(fdMaster);
    const int fdSlave = ::open(strTerminal.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fdSlave, 0);
    termios raw{};
    ASSERT_EQ(::tcgetattr(fdSlave, &raw), 0);
    ::cfmakeraw(&raw);  // the bytes as written, no CR added
    ASSERT_EQ(::tcsetattr(fdSlave, TCSANOW, &raw), 0);

    TempDir dir;
    const std::string strLink = dir.File("terminal");
    fs::create_symlink(strTerminal, strLink);
    const IoStatus status = WriteFileAtomically(strLink, "6.00,45.00,\n");
    EXPECT_TRUE(status.Ok()) << status.strError;
    EXPECT_EQ(ReadAvailable(fdMaster, 12), "6.00,45.00,\n");
    EXPECT_TRUE(fs::is_symlink(strLink));
    EXPECT_TRUE(fs::is_character_file(strTerminal));
    EXPECT_EQ(TempDir::Names(dir.Path()), std::vector<std::string>{"terminal"});
    ::close(fdSlave);
    ::close(fdMaster);
}

TEST(SpecialFiles, ASocketIsWrittenThroughAConnection) {
    TempDir dir;
    const std::string strSocket = dir.File("socket");
    const int fdListen = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (strSocket.size() >= sizeof address.sun_path) {
        GTEST_SKIP() << "the temporary folder's name is too long for a socket";
    }
    std::copy(strSocket.begin(), strSocket.end(), address.sun_path);
    ASSERT_EQ(::bind(fdListen, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(fdListen, 1), 0);
    std::string received;
    std::thread server([&] {
        pollfd p{fdListen, POLLIN, 0};
        if (::poll(&p, 1, 5000) != 1) {
            return;  // nobody connected
        }
        const int fd = ::accept(fdListen, nullptr, nullptr);
        char buffer[4096];
        for (ssize_t n; fd >= 0 && (n = ::read(fd, buffer, sizeof buffer)) > 0;) {
            received.append(buffer, static_cast<std::size_t>(n));
        }
        ::close(fd);
    });
    const IoStatus status = WriteFileAtomically(strSocket, kExampleFileText);
    server.join();
    ::close(fdListen);
    EXPECT_TRUE(status.Ok()) << status.strError;
    EXPECT_EQ(received, kExampleFileText);
    EXPECT_TRUE(fs::is_socket(strSocket));
}

TEST(SpecialFiles, AProcessDescriptorIsWrittenThroughAsItWasOpened) {
    // What a shell's `>> FILE` gives a program as /dev/stdout: the bytes are appended to that
    // file, which is not replaced.
    TempDir dir;
    const std::string strLog = dir.File("log.txt");
    TempDir::Write(strLog, "before\n");
    const int fd = ::open(strLog.c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(fd, 0);
    const std::string strLink = dir.File("out");
    fs::create_symlink("/proc/self/fd/" + std::to_string(fd), strLink);
    EXPECT_EQ(OwnDescriptorNamedBy(strLink), fd);
    EXPECT_EQ(OwnDescriptorNamedBy("/dev/fd/" + std::to_string(fd)), fd);
    EXPECT_EQ(OwnDescriptorNamedBy(strLog), -1);
    struct stat before {};
    ::stat(strLog.c_str(), &before);
    ASSERT_TRUE(WriteFileAtomically(strLink, "after\n").Ok());
    ASSERT_TRUE(WriteFileAtomically("/dev/fd/" + std::to_string(fd), "again\n").Ok());
    ::close(fd);
    EXPECT_EQ(TempDir::Read(strLog), "before\nafter\nagain\n");
    struct stat after {};
    ::stat(strLog.c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_TRUE(fs::is_symlink(strLink));
}

TEST(SpecialFiles, WhatNoFileCanReplaceIsRefusedAndNothingIsCreated) {
    TempDir dir;
    fs::create_directory(dir.File("folder"));
    fs::create_symlink("missing.ppd", dir.File("dangling"));
    fs::create_symlink("dangling", dir.File("chain"));
    fs::create_symlink("loop", dir.File("loop"));
    const std::vector<std::string> before = TempDir::Names(dir.Path());
    const struct {
        std::string strPath;
        std::string strReason;
    } aCases[] = {
        {dir.File("dangling"), "it is a symbolic link to missing.ppd, which does not exist"},
        {dir.File("chain"), "it is a symbolic link to missing.ppd, which does not exist"},
        {dir.File("folder"), "it is not a regular file (a directory)"},
        {dir.File("no/such/POLAR.PPD"), "the folder " + dir.File("no/such") + " does not exist"},
        {dir.File("loop"), "Too many levels of symbolic links"},
        {dir.File("folder/"), "it is not a regular file (a directory)"},
    };
    for (const auto& c : aCases) {
        const IoStatus checked = CheckWriteTarget(c.strPath);
        const IoStatus written = WriteFileAtomically(c.strPath, "x");
        EXPECT_FALSE(written.Ok()) << c.strPath;
        EXPECT_EQ(written.strError, "cannot write " + c.strPath + ": " + c.strReason);
        EXPECT_EQ(checked.strError, written.strError);
    }
    EXPECT_EQ(TempDir::Names(dir.Path()), before);
    EXPECT_TRUE(TempDir::Names(dir.File("folder")).empty());
    EXPECT_TRUE(fs::is_symlink(dir.File("dangling")));
}

TEST(SpecialFiles, ADataFileCanBeRequiredToBeARegularFile) {
    TempDir dir;
    const std::string strFile = dir.File("POLAR.PPD");
    TempDir::Write(strFile, kExampleFileText);
    fs::create_symlink("POLAR.PPD", dir.File("link"));
    const std::string strFifo = dir.File("pipe");
    ASSERT_EQ(::mkfifo(strFifo.c_str(), 0600), 0);
    fs::create_symlink("pipe", dir.File("to-pipe"));
    fs::create_directory(dir.File("folder"));
    fs::create_symlink("gone", dir.File("dangling"));

    EXPECT_TRUE(CheckRegularFile(strFile).Ok());
    EXPECT_TRUE(CheckRegularFile(dir.File("link")).Ok());
    EXPECT_TRUE(CheckRegularFile(dir.File("new.ppd")).Ok());  // to be created
    EXPECT_EQ(CheckRegularFile(strFifo).strError, strFifo + ": it is not a regular file (a FIFO)");
    EXPECT_EQ(CheckRegularFile(dir.File("to-pipe")).strError,
              dir.File("to-pipe") + ": it is not a regular file (a FIFO)");
    EXPECT_EQ(CheckRegularFile(dir.File("folder")).strError,
              dir.File("folder") + ": it is not a regular file (a directory)");
    EXPECT_EQ(CheckRegularFile(dir.File("dangling")).strError,
              dir.File("dangling") + ": it is a symbolic link to gone, which does not exist");

    // None of these opens the FIFO: without a reader or writer that would wait for ever.
    const std::string strRefused =
        "cannot write " + strFifo + ": it is not a regular file (a FIFO)";
    EXPECT_EQ(
        WriteFileAtomically(strFifo, "x", ReadOnlyFiles::Replace, SpecialFiles::Refuse).strError,
        strRefused);
    EXPECT_EQ(SavePolarFile(strFifo, ExampleSailPlans(), nullptr, ReadOnlyFiles::Refuse,
                            SpecialFiles::Refuse)
                  .strError,
              strRefused);
    EXPECT_EQ(CopyFileAtomically(strFile, strFifo, SpecialFiles::Refuse).strError, strRefused);
    EXPECT_EQ(CopyFileAtomically(strFifo, dir.File("copy.ppd"), SpecialFiles::Refuse).strError,
              "cannot copy " + strFifo + ": it is not a regular file (a FIFO)");
    std::string strCopy;
    EXPECT_FALSE(KeepCopyBeside(strFifo, strCopy).Ok());
    EXPECT_TRUE(fs::is_fifo(strFifo));
    EXPECT_FALSE(fs::exists(dir.File("copy.ppd")));
    EXPECT_FALSE(fs::exists(strFifo + ".bak"));

    // A regular file through a link is still written under the refusing policy.
    ASSERT_TRUE(CopyFileAtomically(strFile, dir.File("link"), SpecialFiles::Refuse).Ok());
    EXPECT_TRUE(fs::is_symlink(dir.File("link")));
}

TEST(AtomicWrite, TheTemporaryNameFitsWhereverTheNameDoes) {
    TempDir dir;
    // The longest names the folder holds, one cut inside a character if cut at the byte.
    std::string strAccented;
    while (strAccented.size() < 255) {
        strAccented += "\xC3\xA9";  // é
    }
    strAccented.resize(253);
    for (const std::string& strName :
         {std::string(254, 'p'), std::string(255, 'p'), strAccented + ".p"}) {
        const std::string strPath = dir.File(strName);
        TempDir::Write(strPath, "old");
        const IoStatus status = WriteFileAtomically(strPath, "new");
        EXPECT_TRUE(status.Ok()) << strName.size() << ": " << status.strError;
        EXPECT_EQ(TempDir::Read(strPath), "new");
        EXPECT_EQ(TempDir::Names(dir.Path()), std::vector<std::string>{strName});
        fs::remove(strPath);
    }
}

// Runs a write in a child process whose fault hook sends SIGTERM just before the rename;
// returns how the child ended.
int WriteEndedBySignal(const std::string& strPath, bool bCleanUp, bool bIgnored) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (bIgnored) {
            std::signal(SIGTERM, SIG_IGN);
        }
        if (bCleanUp) {
            CleanUpTemporaryFilesOnSignals();
        }
        SetFileFaultHook([](FileOperation op, const std::string&) {
            if (op == FileOperation::Write) {
                std::raise(SIGTERM);
            }
            return 0;
        });
        const bool bOk = WriteFileAtomically(strPath, std::string(1 << 20, 'x')).Ok();
        ::_exit(bOk ? 0 : 1);
    }
    int nStatus = 0;
    ::waitpid(pid, &nStatus, 0);
    return nStatus;
}

TEST(SignalCleanup, AWriteEndedBySignalLeavesNoTemporaryFile) {
    TempDir dir;
    const std::string strPath = dir.File("POLAR.PPD");
    TempDir::Write(strPath, "old");

    const int nStatus = WriteEndedBySignal(strPath, true, false);
    ASSERT_TRUE(WIFSIGNALED(nStatus));  // ended by the signal itself, as it would have been
    EXPECT_EQ(WTERMSIG(nStatus), SIGTERM);
    EXPECT_EQ(TempDir::Names(dir.Path()), std::vector<std::string>{"POLAR.PPD"});
    EXPECT_EQ(TempDir::Read(strPath), "old");

    // The data layer alone installs nothing: a host's signals stay the host's.
    const int nWithout = WriteEndedBySignal(strPath, false, false);
    ASSERT_TRUE(WIFSIGNALED(nWithout));
    EXPECT_EQ(TempDir::Names(dir.Path()).size(), 2u);
    for (const std::string& strName : TempDir::Names(dir.Path())) {
        if (strName != "POLAR.PPD") {
            fs::remove(dir.File(strName));
        }
    }

    // An ignored signal stays ignored, and the write goes through.
    const int nIgnored = WriteEndedBySignal(strPath, true, true);
    ASSERT_TRUE(WIFEXITED(nIgnored));
    EXPECT_EQ(WEXITSTATUS(nIgnored), 0);
    EXPECT_EQ(TempDir::Read(strPath), std::string(1 << 20, 'x'));
    EXPECT_EQ(TempDir::Names(dir.Path()), std::vector<std::string>{"POLAR.PPD"});
}

}  // namespace
