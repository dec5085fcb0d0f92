// Where a write goes: what a path names, found without changing anything.
#include "data/write_target.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

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

}  // namespace

IoStatus DescribeFailure(const std::string& strWhat, const std::string& strPath, int nErrno) {
    return {strWhat + " " + strPath + ": " + std::strerror(nErrno), nErrno};
}

std::string NotRegular(const std::string& strPath, mode_t mode) {
    return strPath + ": it is not a regular file (" + KindOf(mode) + ")";
}

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

std::string DanglingLink(const std::string& strPath) {
    return strPath + ": it is a symbolic link to " + MissingLinkTarget(strPath) +
           ", which does not exist";
}

IoStatus FindWriteTarget(const std::string& strPath, SpecialFiles special, WriteTarget& target) {
    if (strPath.empty()) {
        return {"cannot write a file without a name", ENOENT};
    }
    if (const int fd = OwnDescriptorNamedBy(strPath); fd >= 0) {
        struct stat st {};
        if (::fstat(fd, &st) != 0) {
            return DescribeFailure("cannot write", strPath, errno);
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
            return DescribeFailure("cannot write", strPath, nErr);
        }
        SplitPath(strPath, target.strFolder, target.strName);
        if (target.strName.empty()) {
            return DescribeFailure("cannot write", strPath, EISDIR);
        }
        struct stat folder {};
        if (::stat(target.strFolder.c_str(), &folder) != 0) {
            if (errno == ENOENT) {
                return {"cannot write " + strPath + ": the folder " + target.strFolder +
                            " does not exist",
                        ENOENT};
            }
            return DescribeFailure("cannot write", strPath, errno);
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
            return DescribeFailure("cannot write", strPath, nErr);
        }
        if (S_ISREG(st.st_mode)) {
            // The file is replaced where it is, so that the link keeps naming it.
            char szResolved[PATH_MAX];
            if (::realpath(strPath.c_str(), szResolved) == nullptr) {
                return DescribeFailure("cannot write", strPath, errno);
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
