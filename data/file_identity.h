#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "data/file_io.h"

// A file as a reader found it: enough to tell, right before the file is replaced, whether
// another program has changed it since. Size and modification time come from the descriptor
// the bytes were read through, the hash from the bytes themselves.
struct FileIdentity {
    bool bKnown = false;  // false: nothing was read (a new file)
    std::uint64_t nSize = 0;
    std::int64_t nModifiedSeconds = 0;
    std::int64_t nModifiedNanoseconds = 0;
    std::uint64_t nDevice = 0;
    std::uint64_t nInode = 0;
    std::uint64_t nHash = 0;
};

// A hash of the bytes (64-bit FNV-1a): the same bytes give the same value in every process.
std::uint64_t HashOfBytes(std::string_view bytes);

// Reads the whole file and what identifies it, both from one descriptor, so that the identity
// belongs to exactly the bytes read.
IoStatus ReadFileWithIdentity(const std::string& strPath, std::string& strContent,
                              FileIdentity& identity);

// The identity of a file this process has just written with these bytes (the size and hash of
// the bytes, the time and inode of what is now at the path).
FileIdentity IdentityOfWritten(const std::string& strPath, std::string_view content);

// What the file at the path is now, against what a reader found.
enum class FileChange {
    Unchanged,  // the same bytes (a file only touched, or written again unchanged, is the same)
    Changed,    // other bytes: replacing it would lose what another program wrote
    Missing,    // gone: nothing there to lose
};
// Reads the file again and compares. An identity that is not known (nothing was read) counts
// as Unchanged when the path is still missing, and as Changed when a file appeared there. A
// file that cannot be read now is reported by the status.
IoStatus CompareWithFile(const std::string& strPath, const FileIdentity& asRead,
                         FileChange& change);
