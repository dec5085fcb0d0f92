// Reading, replacing and copying whole files.
#include "data/file_io.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "data/temporary_file.h"
#include "data/write_target.h"

namespace {

FileFaultHook& FaultHook() {
    static FileFaultHook hook;
    return hook;
}

}  // namespace

int InjectedFault(FileOperation op, const std::string& strPath) {
    return FaultHook() ? FaultHook()(op, strPath) : 0;
}

namespace {

mode_t DefaultFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
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

// A socket file is written by connecting to it; the standard streams, which may be sockets
// too, are written through their descriptors instead (see OwnDescriptorNamedBy).
int ConnectToSocket(const std::string& strPath) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (strPath.size() >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return -1;
    }
    std::memcpy(address.sun_path, strPath.c_str(), strPath.size() + 1);
    int nErr = 0;
    for (const int nType : {SOCK_STREAM, SOCK_SEQPACKET}) {
        const int fd = ::socket(AF_UNIX, nType | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            return -1;
        }
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            return fd;
        }
        nErr = errno;
        ::close(fd);
        if (nErr != EPROTOTYPE) {
            break;
        }
    }
    errno = nErr;
    return -1;
}

IoStatus WriteInPlace(const std::string& strPath, const WriteTarget& target,
                      std::string_view content) {
    int fd = target.fd;
    if (target.kind == WriteTarget::Kind::InPlace) {
        fd = S_ISSOCK(target.mode) ? ConnectToSocket(strPath)
                                   : ::open(strPath.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) {
            return DescribeFailure("cannot write", strPath, errno);
        }
    }
    int nErr = InjectedFault(FileOperation::Write, strPath);
    if (nErr == 0 && !WriteAll(fd, content)) {
        nErr = errno;
    }
    if (target.kind == WriteTarget::Kind::InPlace && ::close(fd) != 0 && nErr == 0 &&
        errno != EINTR) {
        nErr = errno;
    }
    return nErr != 0 ? DescribeFailure("cannot write", strPath, nErr) : IoStatus{};
}

IoStatus ReplaceFile(const std::string& strPath, const WriteTarget& target,
                     std::string_view content) {
    // Everything below works relative to the folder, so that a path as long as the system
    // allows still has room for the temporary name.
    const int nFolder = ::open(target.strFolder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (nFolder < 0) {
        return DescribeFailure("cannot write", strPath, errno);
    }
    TemporaryFile temp;
    if (!CreateTemporaryFile(nFolder, target.strName, temp)) {
        const int nErr = errno;
        ::close(nFolder);
        return DescribeFailure("cannot create a temporary file beside", strPath, nErr);
    }
    const mode_t mode = target.kind == WriteTarget::Kind::RegularFile
                            ? static_cast<mode_t>(target.mode & 07777)
                            : DefaultFileMode();
    int nErr = 0;
    if (!WriteAll(temp.fd, content)) {
        nErr = errno;
    } else if (::fchmod(temp.fd, mode) != 0) {
        nErr = errno;
    } else if (::fsync(temp.fd) != 0) {
        nErr = errno;
    }
    if (::close(temp.fd) != 0 && nErr == 0) {
        nErr = errno;
    }
    if (nErr == 0) {
        nErr = InjectedFault(FileOperation::Write, strPath);
    }
    if (nErr == 0 &&
        ::renameat(nFolder, temp.strName.c_str(), nFolder, target.strName.c_str()) != 0) {
        nErr = errno;
    }
    if (nErr != 0) {
        ::unlinkat(nFolder, temp.strName.c_str(), 0);
    }
    ForgetTemporaryFile(temp);
    ::close(nFolder);
    return nErr != 0 ? DescribeFailure("cannot write", strPath, nErr) : IoStatus{};
}

}  // namespace

void SetFileFaultHook(FileFaultHook hook) {
    FaultHook() = std::move(hook);
}

IoStatus ReadWholeDescriptor(int fd, const std::string& strName, std::string& strContent) {
    strContent.clear();
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
            strContent.clear();
            return DescribeFailure("cannot read", strName, nErr);
        }
        nSize += static_cast<std::size_t>(n);
    }
    strContent.resize(nSize);
    return {};
}

IoStatus ReadWholeFile(const std::string& strPath, std::string& strContent) {
    strContent.clear();
    if (const int nFault = InjectedFault(FileOperation::Read, strPath); nFault != 0) {
        return DescribeFailure("cannot read", strPath, nFault);
    }
    const int fd = ::open(strPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return DescribeFailure("cannot open", strPath, errno);
    }
    IoStatus status = ReadWholeDescriptor(fd, strPath, strContent);
    ::close(fd);
    return status;
}

IoStatus CheckMayReplace(const std::string& strPath) {
    struct stat st {};
    if (::stat(strPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return {};  // nothing there to lose; the write itself reports what stands in its way
    }
    if ((st.st_mode & 0222) == 0) {
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

IoStatus CheckRegularFile(const std::string& strPath) {
    struct stat st {};
    if (::lstat(strPath.c_str(), &st) != 0) {
        return errno == ENOENT ? IoStatus{} : DescribeFailure("cannot use", strPath, errno);
    }
    if (S_ISLNK(st.st_mode) && ::stat(strPath.c_str(), &st) != 0) {
        if (errno == ENOENT) {
            return {DanglingLink(strPath), ENOENT};
        }
        return DescribeFailure("cannot use", strPath, errno);
    }
    return S_ISREG(st.st_mode) ? IoStatus{} : IoStatus{NotRegular(strPath, st.st_mode), 0};
}

IoStatus CheckWriteTarget(const std::string& strPath, SpecialFiles special) {
    WriteTarget target;
    return FindWriteTarget(strPath, special, target);
}

IoStatus WriteFileAtomically(const std::string& strPath, std::string_view content,
                             ReadOnlyFiles readOnly, SpecialFiles special) {
    WriteTarget target;
    if (IoStatus status = FindWriteTarget(strPath, special, target); !status.Ok()) {
        return status;
    }
    if (target.kind == WriteTarget::Kind::InPlace || target.kind == WriteTarget::Kind::Descriptor) {
        return WriteInPlace(strPath, target, content);
    }
    if (target.kind == WriteTarget::Kind::RegularFile && readOnly == ReadOnlyFiles::Refuse) {
        if (IoStatus status = CheckMayReplace(strPath); !status.Ok()) {
            return status;
        }
    }
    return ReplaceFile(strPath, target, content);
}

IoStatus CopyFileAtomically(const std::string& strFrom, const std::string& strTo,
                            SpecialFiles special) {
    if (special == SpecialFiles::Refuse) {
        struct stat st {};
        if (::stat(strFrom.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
            return {"cannot copy " + NotRegular(strFrom, st.st_mode), 0};
        }
        if (IoStatus status = CheckWriteTarget(strTo, special); !status.Ok()) {
            return status;
        }
    }
    std::string content;
    IoStatus status = ReadWholeFile(strFrom, content);
    if (!status.Ok()) {
        return status;
    }
    return WriteFileAtomically(strTo, content, ReadOnlyFiles::Refuse, special);
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
    // Reading a FIFO or a device would wait or never end, and gives nothing to keep.
    if (struct stat st{}; ::stat(strPath.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        return {"cannot keep a copy of " + NotRegular(strPath, st.st_mode), 0};
    }
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
            return DescribeFailure("cannot create the copy", strCopy, errno);
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
            return DescribeFailure("cannot write the copy", strCopy, nErr);
        }
        return {};
    }
    return {"no free name for a copy of " + strPath, EEXIST};
}
