// What identifies a file as it was read, and the check against it before a replace.
#include "data/file_identity.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "data/file_io.h"

namespace {

void TakeStat(const struct stat& st, FileIdentity& identity) {
    identity.nModifiedSeconds = static_cast<std::int64_t>(st.st_mtim.tv_sec);
    identity.nModifiedNanoseconds = static_cast<std::int64_t>(st.st_mtim.tv_nsec);
    identity.nDevice = static_cast<std::uint64_t>(st.st_dev);
    identity.nInode = static_cast<std::uint64_t>(st.st_ino);
}

}  // namespace

std::uint64_t HashOfBytes(std::string_view bytes) {
    std::uint64_t nHash = 14695981039346656037ULL;
    for (const char c : bytes) {
        nHash ^= static_cast<unsigned char>(c);
        nHash *= 1099511628211ULL;
    }
    return nHash;
}

IoStatus ReadFileWithIdentity(const std::string& strPath, std::string& strContent,
                              FileIdentity& identity) {
    identity = {};
    strContent.clear();
    if (const int nFault = InjectedFault(FileOperation::Read, strPath); nFault != 0) {
        return DescribeFailure("cannot read", strPath, nFault);
    }
    const int fd = ::open(strPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return DescribeFailure("cannot open", strPath, errno);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int nErr = errno;
        ::close(fd);
        return DescribeFailure("cannot use", strPath, nErr);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return {NotRegular(strPath, st.st_mode), 0};
    }
    // Back to blocking reads: the descriptor is a regular file.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    IoStatus status = ReadWholeDescriptor(fd, strPath, strContent);
    // A writer in place during the reading shows in the time taken after it.
    if (status.Ok() && ::fstat(fd, &st) == 0) {
        TakeStat(st, identity);
        identity.nSize = strContent.size();
        identity.nHash = HashOfBytes(strContent);
        identity.bKnown = true;
    }
    ::close(fd);
    return status;
}

FileIdentity IdentityOfWritten(const std::string& strPath, std::string_view content) {
    FileIdentity identity;
    struct stat st {};
    if (::stat(strPath.c_str(), &st) == 0) {
        TakeStat(st, identity);
    }
    identity.nSize = content.size();
    identity.nHash = HashOfBytes(content);
    identity.bKnown = true;
    return identity;
}

IoStatus CompareWithFile(const std::string& strPath, const FileIdentity& asRead,
                         FileChange& change) {
    struct stat st {};
    if (::stat(strPath.c_str(), &st) != 0) {
        if (errno == ENOENT) {
            change = asRead.bKnown ? FileChange::Missing : FileChange::Unchanged;
            return {};
        }
        return DescribeFailure("cannot use", strPath, errno);
    }
    if (!asRead.bKnown) {
        change = FileChange::Changed;
        return {};
    }
    if (S_ISREG(st.st_mode) && static_cast<std::uint64_t>(st.st_size) != asRead.nSize) {
        change = FileChange::Changed;
        return {};
    }
    // The same size: only the bytes tell. Times alone cannot, as a file system's clock may
    // give two writes within a few milliseconds the same time.
    std::string strNow;
    FileIdentity now;
    if (IoStatus status = ReadFileWithIdentity(strPath, strNow, now); !status.Ok()) {
        return status;
    }
    change = now.nSize == asRead.nSize && now.nHash == asRead.nHash ? FileChange::Unchanged
                                                                    : FileChange::Changed;
    return {};
}
