// A data file shared by several writers: what a reader found is recognised right before a
// replace, and the advisory lock keeps two of our read-change-writes apart.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>

#include "data/file_identity.h"
#include "data/file_lock.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace std::chrono_literals;

FileChange ChangeOf(const std::string& strPath, const FileIdentity& asRead) {
    FileChange change = FileChange::Unchanged;
    EXPECT_TRUE(CompareWithFile(strPath, asRead, change).Ok());
    return change;
}

TEST(FileIdentity, TellsChangedBytesFromATouchOrTheSameBytesWrittenAgain) {
    TempDir dir;
    const std::string strPath = dir.File("POLAR.PPD");
    TempDir::Write(strPath, "Main,\r\n6,45,\r\n40,4.1,-2");
    std::string strText;
    FileIdentity asRead;
    ASSERT_TRUE(ReadFileWithIdentity(strPath, strText, asRead).Ok());
    EXPECT_TRUE(asRead.bKnown);
    EXPECT_EQ(asRead.nSize, strText.size());
    EXPECT_EQ(asRead.nHash, HashOfBytes(strText));
    EXPECT_EQ(ChangeOf(strPath, asRead), FileChange::Unchanged);

    // Only touched, or replaced with the very same bytes: nothing there would be lost.
    const timespec times[2] = {{0, UTIME_NOW}, {0, UTIME_NOW}};
    ASSERT_EQ(::utimensat(AT_FDCWD, strPath.c_str(), times, 0), 0);
    EXPECT_EQ(ChangeOf(strPath, asRead), FileChange::Unchanged);
    ASSERT_TRUE(WriteFileAtomically(strPath, strText).Ok());
    EXPECT_EQ(ChangeOf(strPath, asRead), FileChange::Unchanged);

    // Other bytes of the same size, written in place within the clock's tick: only the hash
    // tells them apart.
    std::string strOther = strText;
    strOther[strOther.size() - 3] = '5';
    TempDir::Write(strPath, strOther);
    EXPECT_EQ(ChangeOf(strPath, asRead), FileChange::Changed);
    // Replaced by a rename, as atomic writers do.
    ASSERT_TRUE(WriteFileAtomically(strPath, strText + "\r\n").Ok());
    EXPECT_EQ(ChangeOf(strPath, asRead), FileChange::Changed);

    // Our own write becomes what a later save is checked against.
    const FileIdentity written = IdentityOfWritten(strPath, strText + "\r\n");
    EXPECT_EQ(ChangeOf(strPath, written), FileChange::Unchanged);

    ASSERT_EQ(::unlink(strPath.c_str()), 0);
    EXPECT_EQ(ChangeOf(strPath, asRead), FileChange::Missing);
    // Nothing was read there: a file that appears since is another program's.
    EXPECT_EQ(ChangeOf(strPath, FileIdentity{}), FileChange::Unchanged);
    TempDir::Write(strPath, "");
    EXPECT_EQ(ChangeOf(strPath, FileIdentity{}), FileChange::Changed);
}

TEST(FileIdentity, IsReadOnlyFromARegularFile) {
    TempDir dir;
    std::string strText;
    FileIdentity identity;
    const IoStatus status = ReadFileWithIdentity(dir.Path().string(), strText, identity);
    EXPECT_FALSE(status.Ok());
    EXPECT_FALSE(identity.bKnown);
    const std::string strFifo = dir.File("fifo");
    ASSERT_EQ(::mkfifo(strFifo.c_str(), 0600), 0);
    // Opened without a writer there, it must not wait for one.
    EXPECT_NE(ReadFileWithIdentity(strFifo, strText, identity).strError.find("FIFO"),
              std::string::npos);
}

TEST(FileLock, WaitsForTheHolderThenFailsNamingTheFile) {
    TempDir dir;
    const std::string strPath = dir.File("POLAR.PPD");
    TempDir::Write(strPath, "x");
    FileLock first;
    ASSERT_TRUE(first.Acquire(strPath).Ok());
    EXPECT_TRUE(first.Held());

    FileLock second;
    const IoStatus refused = second.Acquire(strPath, 50ms);
    EXPECT_FALSE(refused.Ok());
    EXPECT_FALSE(second.Held());
    EXPECT_EQ(refused.strError.find(strPath), 0u) << refused.strError;
    EXPECT_NE(refused.strError.find("another program"), std::string::npos) << refused.strError;

    // A holder that lets go within the wait is waited for.
    auto release = std::async(std::launch::async, [&first] {
        std::this_thread::sleep_for(100ms);
        first.Release();
    });
    EXPECT_TRUE(second.Acquire(strPath, 5s).Ok());
    EXPECT_TRUE(second.Held());
    release.get();
}

TEST(FileLock, FollowsTheFileThatReplacedTheLockedOne) {
    TempDir dir;
    const std::string strPath = dir.File("POLAR.PPD");
    TempDir::Write(strPath, "old");
    FileLock writer;
    ASSERT_TRUE(writer.Acquire(strPath).Ok());
    // The waiter opens the old file; the writer replaces it and lets go.
    auto waiter = std::async(std::launch::async, [&strPath] {
        FileLock lock;
        const IoStatus status = lock.Acquire(strPath, 5s);
        // What it holds must be the file now at the path: nobody else can take that one.
        const int fd = ::open(strPath.c_str(), O_RDONLY | O_CLOEXEC);
        const bool bExcluded = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
        ::close(fd);
        return status.Ok() && lock.Held() && bExcluded;
    });
    std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(WriteFileAtomically(strPath, "new").Ok());
    writer.Release();
    EXPECT_TRUE(waiter.get());
}

TEST(FileLock, HasNothingToLockWhereNoRegularFileIs) {
    TempDir dir;
    FileLock lock;
    EXPECT_TRUE(lock.Acquire(dir.File("new.ppd")).Ok());
    EXPECT_FALSE(lock.Held());
    const std::string strFifo = dir.File("fifo");
    ASSERT_EQ(::mkfifo(strFifo.c_str(), 0600), 0);
    EXPECT_TRUE(lock.Acquire(strFifo).Ok());  // returns at once: no writer is waited for
    EXPECT_FALSE(lock.Held());
}

}  // namespace
