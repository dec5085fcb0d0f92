#pragma once

#include <sys/types.h>

#include <string>

#include "data/io_status.h"

// What a path names before anything is written to it. file_io.h brings the first two
// declarations to its users; the rest is for data/ itself.

// What a write does with a path that names a FIFO, a character device or a socket: there is
// no content to replace and a reader may be waiting on it, so by default the bytes are written
// into it in place (a FIFO without a reader blocks until one comes). A caller that only wants
// data files (the editor) refuses them. Directories and block devices are always refused.
enum class SpecialFiles { WriteInPlace, Refuse };

// The descriptor of this process that a path names through /dev/stdin, /dev/stdout,
// /dev/stderr, /dev/fd/N or /proc/self/fd/N (also by way of symbolic links), or -1.
int OwnDescriptorNamedBy(const std::string& strPath);

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
IoStatus FindWriteTarget(const std::string& strPath, SpecialFiles special, WriteTarget& target);

// "WHAT PATH: the system's reason".
IoStatus DescribeFailure(const std::string& strWhat, const std::string& strPath, int nErrno);
// "PATH: it is not a regular file (a FIFO)" and the like.
std::string NotRegular(const std::string& strPath, mode_t mode);
// "PATH: it is a symbolic link to TARGET, which does not exist".
std::string DanglingLink(const std::string& strPath);
// The folder part of a path ("." when there is none) and the name in it.
void SplitPath(const std::string& strPath, std::string& strFolder, std::string& strName);
