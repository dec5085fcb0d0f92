#include "data/file_io.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/random.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iterator>
#include <optional>

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

const char* KindOf(mode_t mode) {
    if (S_ISDIR(mode)) {
        return "a directory";
    }
    if (S_ISFIFO(mode)) {
        return "a FIFO";
    }
    if (S_ISCHR(mode)) {
        return "a character device";
    }
    if (S_ISBLK(mode)) {
        return "a block device";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    return "of an unknown kind";
}

std::string NotRegular(const std::string& strPath, mode_t mode) {
    return strPath + ": it is not a regular file (" + KindOf(mode) + ")";
}

// The folder part of a path ("." when there is none) and the name in it.
void SplitPath(const std::string& strPath, std::string& strFolder, std::string& strName) {
    const std::size_t nSlash = strPath.find_last_of('/');
    // Single characters assigned as such: GCC 12 at -O3 warns falsely (-Wrestrict) about
    // assigning a literal here.
    if (nSlash == std::string::npos) {
        strFolder.assign(1, '.');
        strName = strPath;
    } else {
        strFolder = nSlash == 0 ? std::string(1, '/') : strPath.substr(0, nSlash);
        strName = strPath.substr(nSlash + 1);
    }
}

// The text of a symbolic link, or empty.
std::string LinkText(const std::string& strPath) {
    char szLink[PATH_MAX];
    const ssize_t n = ::readlink(strPath.c_str(), szLink, sizeof szLink);
    return n > 0 ? std::string(szLink, static_cast<std::size_t>(n)) : std::string();
}

// What a symbolic link that leads nowhere names in the end: the text of the last link of its
// chain.
std::string MissingLinkTarget(const std::string& strPath) {
    std::string strStep = strPath;
    std::string strText = LinkText(strPath);
    for (int nHops = 0; nHops < 40 && !strText.empty(); ++nHops) {
        std::string strFolder;
        std::string strName;
        SplitPath(strStep, strFolder, strName);
        const std::string strNext = strText[0] == '/' ? strText : strFolder + "/" + strText;
        struct stat st {};
        if (::lstat(strNext.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            break;
        }
        strStep = strNext;
        strText = LinkText(strStep);
    }
    return strText;
}

std::string DanglingLink(const std::string& strPath) {
    return strPath + ": it is a symbolic link to " + MissingLinkTarget(strPath) +
           ", which does not exist";
}

// The descriptor a path names by itself, without following links.
std::optional<int> DescriptorInName(const std::string& strPath) {
    if (strPath == "/dev/stdin") {
        return 0;
    }
    if (strPath == "/dev/stdout") {
        return 1;
    }
    if (strPath == "/dev/stderr") {
        return 2;
    }
    const std::string aPrefixes[] = {"/dev/fd/", "/proc/self/fd/", "/proc/thread-self/fd/",
                                     "/proc/" + std::to_string(::getpid()) + "/fd/"};
    for (const std::string& strPrefix : aPrefixes) {
        if (strPath.size() <= strPrefix.size() ||
            strPath.compare(0, strPrefix.size(), strPrefix) != 0) {
            continue;
        }
        const char* pBegin = strPath.data() + strPrefix.size();
        const char* pEnd = strPath.data() + strPath.size();
        int n = 0;
        const auto [p, ec] = std::from_chars(pBegin, pEnd, n);
        if (ec == std::errc() && p == pEnd && n >= 0) {
            return n;
        }
    }
    return std::nullopt;
}

// Where a write goes.
struct WriteTarget {
    enum class Kind { NewFile, RegularFile, InPlace, Descriptor };
    Kind kind = Kind::NewFile;
    std::string strFolder;  // a new or regular file: the folder that holds it
    std::string strName;    // and its name there
    mode_t mode = 0;        // st_mode of what is there
    int fd = -1;            // Kind::Descriptor
};

// Looks at the path without changing anything: where the bytes would go, or why they cannot.
IoStatus FindWriteTarget(const std::string& strPath, SpecialFiles special, WriteTarget& target) {
    if (strPath.empty()) {
        return {"cannot write a file without a name", ENOENT};
    }
    if (const int fd = OwnDescriptorNamedBy(strPath); fd >= 0) {
        struct stat st {};
        if (::fstat(fd, &st) != 0) {
            return Describe("cannot write", strPath, errno);
        }
        if (special == SpecialFiles::Refuse && !S_ISREG(st.st_mode)) {
            return {"cannot write " + NotRegular(strPath, st.st_mode), 0};
        }
        // A regular file behind a refusing policy is replaced like any other (found below).
        if (special == SpecialFiles::WriteInPlace) {
            target.kind = WriteTarget::Kind::Descriptor;
            target.fd = fd;
            target.mode = st.st_mode;
            return {};
        }
    }
    struct stat st {};
    if (::lstat(strPath.c_str(), &st) != 0) {
        const int nErr = errno;
        if (nErr != ENOENT) {
            return Describe("cannot write", strPath, nErr);
        }
        SplitPath(strPath, target.strFolder, target.strName);
        if (target.strName.empty()) {
            return Describe("cannot write", strPath, EISDIR);
        }
        struct stat folder {};
        if (::stat(target.strFolder.c_str(), &folder) != 0) {
            if (errno == ENOENT) {
                return {"cannot write " + strPath + ": the folder " + target.strFolder +
                            " does not exist",
                        ENOENT};
            }
            return Describe("cannot write", strPath, errno);
        }
        target.kind = WriteTarget::Kind::NewFile;
        return {};
    }
    std::string strReal = strPath;
    if (S_ISLNK(st.st_mode)) {
        if (::stat(strPath.c_str(), &st) != 0) {
            const int nErr = errno;
            if (nErr == ENOENT) {
                // Creating the file the link names would be a guess at what was meant.
                return {"cannot write " + DanglingLink(strPath), ENOENT};
            }
            return Describe("cannot write", strPath, nErr);
        }
        if (S_ISREG(st.st_mode)) {
            // The file is replaced where it is, so that the link keeps naming it.
            char szResolved[PATH_MAX];
            if (::realpath(strPath.c_str(), szResolved) == nullptr) {
                return Describe("cannot write", strPath, errno);
            }
            strReal = szResolved;
        }
    }
    target.mode = st.st_mode;
    if (S_ISREG(st.st_mode)) {
        SplitPath(strReal, target.strFolder, target.strName);
        target.kind = WriteTarget::Kind::RegularFile;
        return {};
    }
    // A directory cannot be replaced by a file, and a block device holds a disk's data.
    if (S_ISDIR(st.st_mode) || S_ISBLK(st.st_mode) || special == SpecialFiles::Refuse ||
        !(S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode) || S_ISSOCK(st.st_mode))) {
        return {"cannot write " + NotRegular(strPath, st.st_mode), 0};
    }
    target.kind = WriteTarget::Kind::InPlace;
    return {};
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
            return Describe("cannot write", strPath, errno);
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
    return nErr != 0 ? Describe("cannot write", strPath, nErr) : IoStatus{};
}

// The temporary files being written, for the signal handler to remove. A slot is free while
// its folder descriptor is -1; lock-free atomics are safe to read in a handler.
struct PendingTemporaryFile {
    std::atomic<int> nFolder{-1};
    char szName[NAME_MAX + 1] = {};
};
PendingTemporaryFile g_aPending[8];
constexpr int kCleanupSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM};

int RegisterPending(int nFolder, const std::string& strName) {
    for (int i = 0; i < static_cast<int>(std::size(g_aPending)); ++i) {
        int nFree = -1;
        if (g_aPending[i].nFolder.compare_exchange_strong(nFree, -2)) {
            std::memcpy(g_aPending[i].szName, strName.c_str(), strName.size() + 1);
            g_aPending[i].nFolder.store(nFolder);
            return i;
        }
    }
    return -1;  // more writes at once than slots: this one is not cleaned up
}

void ReleasePending(int nSlot) {
    if (nSlot >= 0) {
        g_aPending[nSlot].nFolder.store(-1);
    }
}

extern "C" void RemovePendingAndEnd(int nSignal) {
    for (PendingTemporaryFile& pending : g_aPending) {
        const int nFolder = pending.nFolder.load();
        if (nFolder >= 0) {
            ::unlinkat(nFolder, pending.szName, 0);
        }
    }
    // SA_RESETHAND gave the signal its default action back; it is blocked while this handler
    // runs and ends the process as soon as the handler returns.
    ::raise(nSignal);
}

// Blocks the signals that remove temporary files while one is being created and registered, so
// that a file is never created without the handler knowing it.
class CleanupSignalsBlocked {
  public:
    CleanupSignalsBlocked() {
        sigset_t set;
        ::sigemptyset(&set);
        for (const int nSignal : kCleanupSignals) {
            ::sigaddset(&set, nSignal);
        }
        ::pthread_sigmask(SIG_BLOCK, &set, &m_old);
    }
    ~CleanupSignalsBlocked() { ::pthread_sigmask(SIG_SETMASK, &m_old, nullptr); }
    CleanupSignalsBlocked(const CleanupSignalsBlocked&) = delete;
    CleanupSignalsBlocked& operator=(const CleanupSignalsBlocked&) = delete;

  private:
    sigset_t m_old;
};

// A name for the temporary file beside strName: "NAME.tmp-" and six random characters, with
// NAME shortened (at a character boundary) when the whole would not fit the folder's limit.
std::string TemporaryName(const std::string& strName, std::size_t nNameMax) {
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    constexpr std::size_t kSuffix = 11;  // ".tmp-XXXXXX"
    std::size_t nStem = strName.size();
    if (nStem + kSuffix > nNameMax) {
        nStem = nNameMax > kSuffix ? nNameMax - kSuffix : 0;
        while (nStem > 0 && (static_cast<unsigned char>(strName[nStem]) & 0xC0) == 0x80) {
            --nStem;
        }
    }
    static std::atomic<std::uint64_t> s_nCounter{0};
    std::uint64_t nBits = 0;
    if (::getrandom(&nBits, sizeof nBits, GRND_NONBLOCK) != sizeof nBits) {
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME, &now);
        nBits = static_cast<std::uint64_t>(now.tv_nsec) ^
                (static_cast<std::uint64_t>(::getpid()) << 32) ^
                (++s_nCounter * 0x9E3779B97F4A7C15ull);
    }
    std::string strTemp = strName.substr(0, nStem) + ".tmp-";
    for (int i = 0; i < 6; ++i) {
        strTemp += kChars[nBits % (sizeof kChars - 1)];
        nBits /= sizeof kChars - 1;
    }
    return strTemp;
}

IoStatus ReplaceFile(const std::string& strPath, const WriteTarget& target,
                     std::string_view content) {
    // Everything below works relative to the folder, so that a path as long as the system
    // allows still has room for the temporary name.
    const int nFolder = ::open(target.strFolder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (nFolder < 0) {
        return Describe("cannot write", strPath, errno);
    }
    long nNameMax = ::fpathconf(nFolder, _PC_NAME_MAX);
    if (nNameMax <= 0 || nNameMax > NAME_MAX) {
        nNameMax = NAME_MAX;
    }
    std::string strTemp;
    int fd = -1;
    int nSlot = -1;
    {
        const CleanupSignalsBlocked blocked;
        for (int nTry = 0; nTry < 100; ++nTry) {
            strTemp = TemporaryName(target.strName, static_cast<std::size_t>(nNameMax));
            fd = ::openat(nFolder, strTemp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (fd >= 0 || errno != EEXIST) {
                break;
            }
        }
        if (fd >= 0) {
            nSlot = RegisterPending(nFolder, strTemp);
        }
    }
    if (fd < 0) {
        const int nErr = errno;
        ::close(nFolder);
        return Describe("cannot create a temporary file beside", strPath, nErr);
    }
    const mode_t mode = target.kind == WriteTarget::Kind::RegularFile
                            ? static_cast<mode_t>(target.mode & 07777)
                            : DefaultFileMode();
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
    if (nErr == 0 && ::renameat(nFolder, strTemp.c_str(), nFolder, target.strName.c_str()) != 0) {
        nErr = errno;
    }
    if (nErr != 0) {
        ::unlinkat(nFolder, strTemp.c_str(), 0);
    }
    ReleasePending(nSlot);
    ::close(nFolder);
    return nErr != 0 ? Describe("cannot write", strPath, nErr) : IoStatus{};
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
            return Describe("cannot read", strName, nErr);
        }
        nSize += static_cast<std::size_t>(n);
    }
    strContent.resize(nSize);
    return {};
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
        return errno == ENOENT ? IoStatus{} : Describe("cannot use", strPath, errno);
    }
    if (S_ISLNK(st.st_mode) && ::stat(strPath.c_str(), &st) != 0) {
        if (errno == ENOENT) {
            return {DanglingLink(strPath), ENOENT};
        }
        return Describe("cannot use", strPath, errno);
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

int OwnDescriptorNamedBy(const std::string& strPath) {
    std::string strStep = strPath;
    for (int nHops = 0; nHops < 40; ++nHops) {
        if (const std::optional<int> fd = DescriptorInName(strStep)) {
            return ::fcntl(*fd, F_GETFD) != -1 ? *fd : -1;
        }
        struct stat st {};
        if (::lstat(strStep.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            return -1;
        }
        const std::string strLink = LinkText(strStep);
        if (strLink.empty()) {
            return -1;
        }
        if (strLink[0] == '/') {
            strStep = strLink;
        } else {
            std::string strFolder;
            std::string strName;
            SplitPath(strStep, strFolder, strName);
            strStep = strFolder + "/" + strLink;
        }
    }
    return -1;
}

void CleanUpTemporaryFilesOnSignals() {
    for (const int nSignal : kCleanupSignals) {
        struct sigaction old {};
        if (::sigaction(nSignal, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) {
            continue;  // ignored (nohup, a background job): leave it so
        }
        struct sigaction action {};
        action.sa_handler = RemovePendingAndEnd;
        ::sigemptyset(&action.sa_mask);
        for (const int nOther : kCleanupSignals) {
            ::sigaddset(&action.sa_mask, nOther);
        }
        action.sa_flags = SA_RESETHAND;
        ::sigaction(nSignal, &action, nullptr);
    }
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
