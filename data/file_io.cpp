#include "data/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

FileFaultHook& FaultHook() {
    static FileFaultHook hook;
    return hook;
}

int InjectedFault(FileOperation op, const std::string& strPath) {
    return FaultHook() ? FaultHook()(op, strPath) : 0;
}

IoStatus Describe(const std::string& strWhat, const std::string& strPath, int nErrno) {
    return {strWhat + " " + strPath + ": " + std::strerror(nErrno), nErrno};
}

mode_t DefaultFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

// The file a path names, following symbolic links, so that a link keeps pointing at the
// data it names after the replacement.
std::string ResolveTarget(const std::string& strPath) {
    char resolved[PATH_MAX];
    if (::realpath(strPath.c_str(), resolved) != nullptr) {
        return resolved;
    }
    return strPath;
}

bool WriteAll(int fd, std::string_view content) {
    const char* p = content.data();
    std::size_t nLeft = content.size();
    while (nLeft > 0) {
        const ssize_t n = ::write(fd, p, nLeft);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        p += n;
        nLeft -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

void SetFileFaultHook(FileFaultHook hook) {
    FaultHook() = std::move(hook);
}

IoStatus ReadWholeFile(const std::string& strPath, std::string& strContent) {
    strContent.clear();
    if (const int nFault = InjectedFault(FileOperation::Read, strPath); nFault != 0) {
        return Describe("cannot read", strPath, nFault);
    }
    const int fd = ::open(strPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return Describe("cannot open", strPath, errno);
    }
    struct stat st {};
    std::size_t nExpected = 0;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
        nExpected = static_cast<std::size_t>(st.st_size);
    }
    // Read straight into the string; a file that grows meanwhile is read to its end.
    std::size_t nSize = 0;
    strContent.resize(nExpected > 0 ? nExpected + 1 : std::size_t{1} << 16);
    for (;;) {
        if (nSize == strContent.size()) {
            strContent.resize(strContent.size() * 2);
        }
        const ssize_t n = ::read(fd, strContent.data() + nSize, strContent.size() - nSize);
        if (n == 0) {
            break;
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int nErr = errno;
            ::close(fd);
            strContent.clear();
            return Describe("cannot read", strPath, nErr);
        }
        nSize += static_cast<std::size_t>(n);
    }
    strContent.resize(nSize);
    ::close(fd);
    return {};
}

IoStatus CheckMayReplace(const std::string& strPath) {
    struct stat st {};
    if (::stat(strPath.c_str(), &st) != 0) {
        return {};  // nothing there to lose; the write itself reports what stands in its way
    }
    if (S_ISREG(st.st_mode) && (st.st_mode & 0222) == 0) {
        return {strPath + " is read-only: nothing was written", EACCES};
    }
    if (::access(strPath.c_str(), W_OK) != 0) {
        const int nErr = errno;
        if (nErr == EACCES || nErr == EPERM || nErr == EROFS) {
            return {strPath + " is read-only (" + std::strerror(nErr) + "): nothing was written",
                    nErr};
        }
    }
    return {};
}

IoStatus WriteFileAtomically(const std::string& strPath, std::string_view content,
                             ReadOnlyFiles readOnly) {
    const std::string strTarget = ResolveTarget(strPath);
    // A loop of links names no file; renaming over it would only replace the link.
    struct stat st {};
    const bool bExists = ::stat(strTarget.c_str(), &st) == 0;
    if (!bExists && errno == ELOOP) {
        return Describe("cannot write", strPath, ELOOP);
    }
    if (readOnly == ReadOnlyFiles::Refuse) {
        if (IoStatus status = CheckMayReplace(strTarget); !status.Ok()) {
            return status;
        }
    }
    std::string strTemp = strTarget + ".tmp-XXXXXX";
    const int fd = ::mkostemp(strTemp.data(), O_CLOEXEC);
    if (fd < 0) {
        return Describe("cannot create a temporary file beside", strPath, errno);
    }
    const mode_t mode = bExists ? static_cast<mode_t>(st.st_mode & 07777) : DefaultFileMode();
    int nErr = 0;
    if (!WriteAll(fd, content)) {
        nErr = errno;
    } else if (::fchmod(fd, mode) != 0) {
        nErr = errno;
    } else if (::fsync(fd) != 0) {
        nErr = errno;
    }
    if (::close(fd) != 0 && nErr == 0) {
        nErr = errno;
    }
    if (nErr == 0) {
        nErr = InjectedFault(FileOperation::Write, strPath);
    }
    if (nErr == 0 && ::rename(strTemp.c_str(), strTarget.c_str()) != 0) {
        nErr = errno;
    }
    if (nErr != 0) {
        ::unlink(strTemp.c_str());
        return Describe("cannot write", strPath, nErr);
    }
    return {};
}

IoStatus CopyFileAtomically(const std::string& strFrom, const std::string& strTo) {
    std::string content;
    IoStatus status = ReadWholeFile(strFrom, content);
    if (!status.Ok()) {
        return status;
    }
    return WriteFileAtomically(strTo, content);
}

std::string FreeCopyName(const std::string& strPath) {
    std::string strName = strPath + ".bak";
    struct stat st {};
    for (int n = 1; ::lstat(strName.c_str(), &st) == 0; ++n) {
        strName = strPath + ".bak." + std::to_string(n);
    }
    return strName;
}

IoStatus KeepCopyBeside(const std::string& strPath, std::string& strCopy) {
    std::string content;
    if (IoStatus status = ReadWholeFile(strPath, content); !status.Ok()) {
        return status;
    }
    // O_EXCL: a copy that appeared meanwhile is skipped, never replaced.
    for (int nTry = 0; nTry < 1000; ++nTry) {
        strCopy = FreeCopyName(strPath);
        const int fd =
            ::open(strCopy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, DefaultFileMode());
        if (fd < 0) {
            if (errno == EEXIST) {
                continue;
            }
            return Describe("cannot create the copy", strCopy, errno);
        }
        int nErr = 0;
        if (!WriteAll(fd, content) || ::fsync(fd) != 0) {
            nErr = errno;
        }
        if (::close(fd) != 0 && nErr == 0) {
            nErr = errno;
        }
        if (nErr != 0) {
            ::unlink(strCopy.c_str());
            return Describe("cannot write the copy", strCopy, nErr);
        }
        return {};
    }
    return {"no free name for a copy of " + strPath, EEXIST};
}
