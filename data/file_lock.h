#pragma once

#include <chrono>
#include <string>

#include "data/file_io.h"

// How long a writer waits for another holder of a data file's lock before it gives up.
constexpr std::chrono::milliseconds kFileLockWait{2000};

// An advisory lock on a data file (flock, exclusive), held by our programs for the reading and
// the writing of a read-change-write, so that two of them never interleave. Programs that do
// not lock are caught by the file's identity (see file_identity.h) instead.
//
// The lock is on the file the path names when it is taken. An atomic replace puts a new file
// at the path, so a lock taken on the file that was replaced meanwhile is given up and taken
// again on the new one. flock belongs to the open file description, not to the process: other
// descriptors of the same file opened and closed meanwhile (a reading) do not end it.
class FileLock {
  public:
    FileLock() = default;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    ~FileLock();

    // Takes the lock, waiting up to `wait` while another holds it; then fails with
    // "PATH: another program is changing it (it stayed locked for 2 s)". A path with no file
    // (a new file) or with something other than a regular file has nothing to lock: Ok, and
    // nothing held.
    IoStatus Acquire(const std::string& strPath, std::chrono::milliseconds wait = kFileLockWait);
    void Release();
    bool Held() const { return m_fd >= 0; }

  private:
    int m_fd = -1;
};
