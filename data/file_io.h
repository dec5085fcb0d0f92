#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "data/io_status.h"
#include "data/write_target.h"

// Reads the whole file as bytes.
IoStatus ReadWholeFile(const std::string& strPath, std::string& strContent);
// Reads an open descriptor (a pipe, standard input) to its end; strName names it in messages.
IoStatus ReadWholeDescriptor(int fd, const std::string& strName, std::string& strContent);

// Whether a file the user may not write is replaced all the same (a command's --force).
enum class ReadOnlyFiles { Refuse, Replace };

// Whether the file may be replaced: it does not exist, or it exists and the user may write it.
// A file without any write permission in its mode counts as read-only even for a user whom
// the system would let write it (the superuser), as the owner marked it so. Only regular
// files are judged; anything else is left to the write.
IoStatus CheckMayReplace(const std::string& strPath);

// Whether the path can hold a data file: it does not exist, or it is, or links to, a regular
// file. Otherwise the text says what it is ("PATH: it is not a regular file (a FIFO)"; a
// directory, a character or block device, a socket), or that it is a symbolic link to
// nothing, or why it cannot be looked at (a loop of links, a folder that may not be searched).
IoStatus CheckRegularFile(const std::string& strPath);

// What WriteFileAtomically would refuse before writing a byte: a directory, a block device, a
// symbolic link to nothing, a missing folder, a path the system refuses, and with
// SpecialFiles::Refuse anything but a regular file. A command checks its outputs with it
// before long work.
IoStatus CheckWriteTarget(const std::string& strPath,
                          SpecialFiles special = SpecialFiles::WriteInPlace);

// Replaces the file's content atomically: the bytes go to a temporary file in the same folder,
// which is flushed to disk and renamed over the target. A symbolic link is followed: the file
// it names is replaced in its own folder and the link stays. The target's permissions are kept
// (a new file gets the usual ones). A read-only target is refused unless the policy says
// otherwise. A failure leaves the old file whole. The temporary file's name fits wherever the
// target's does (a long name is shortened for it).
// A FIFO, character device or socket is written in place or refused (see SpecialFiles), and a
// path that names one of the process's own descriptors (/dev/stdout, /dev/fd/N,
// /proc/self/fd/N) is written through that descriptor, at its position or appended as it was
// opened. See CheckWriteTarget for what is refused.
IoStatus WriteFileAtomically(const std::string& strPath, std::string_view content,
                             ReadOnlyFiles readOnly = ReadOnlyFiles::Refuse,
                             SpecialFiles special = SpecialFiles::WriteInPlace);

// Copies a whole file over another (replacing it, atomically as above). A missing source is a
// failure with its reason. With SpecialFiles::Refuse, a source that is not a regular file is
// refused before it is read (reading a FIFO waits for a writer, a device may never end) and so
// is such a target.
IoStatus CopyFileAtomically(const std::string& strFrom, const std::string& strTo,
                            SpecialFiles special = SpecialFiles::WriteInPlace);

// The name a copy kept beside the file would get: PATH.bak, or PATH.bak.1, PATH.bak.2 ... when
// that exists.
std::string FreeCopyName(const std::string& strPath);
// Copies the file beside itself under the first free name of that series; never replaces a
// file. strCopy receives the name used. Only a regular file has a copy kept.
IoStatus KeepCopyBeside(const std::string& strPath, std::string& strCopy);

// For tests: a fault to inject, as an error number (0: none), when a file is read, or about to
// be renamed into place after writing (before writing, for a write in place).
enum class FileOperation { Read, Write };
using FileFaultHook = std::function<int(FileOperation, const std::string& strPath)>;
void SetFileFaultHook(FileFaultHook hook);
// The fault the hook injects for this operation on this path (0: none), for data/ itself.
int InjectedFault(FileOperation op, const std::string& strPath);
