#pragma once

#include <sys/types.h>

#include <string>

#include "data/file_io.h"

// Inside data/: what a path names before anything is written to it.

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
// The fault a test injects for this operation on this path (0: none); see SetFileFaultHook.
int InjectedFault(FileOperation op, const std::string& strPath);
