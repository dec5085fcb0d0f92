#pragma once

#include <functional>
#include <string>
#include <string_view>

// The outcome of a file operation: empty error text on success, and the system's error number
// where one caused the failure.
struct IoStatus {
    std::string strError;
    int nErrno = 0;
    bool Ok() const { return strError.empty(); }
};

// Reads the whole file as bytes.
IoStatus ReadWholeFile(const std::string& strPath, std::string& strContent);

// Whether a file the user may not write is replaced all the same (a command's --force).
enum class ReadOnlyFiles { Refuse, Replace };

// Whether the file may be replaced: it does not exist, or it exists and the user may write it.
// A file without any write permission in its mode counts as read-only even for a user whom
// the system would let write it (the superuser), as the owner marked it so.
IoStatus CheckMayReplace(const std::string& strPath);

// Replaces the file's content atomically: the bytes go to a temporary file in the same folder,
// which is flushed to disk and renamed over the target. The target's permissions are kept (a
// new file gets the usual ones). A read-only target is refused unless the policy says
// otherwise. A failure leaves the old file whole.
IoStatus WriteFileAtomically(const std::string& strPath, std::string_view content,
                             ReadOnlyFiles readOnly = ReadOnlyFiles::Refuse);

// Copies a whole file over another (replacing it, atomically as above). A missing source is a
// failure with its reason.
IoStatus CopyFileAtomically(const std::string& strFrom, const std::string& strTo);

// The name a copy kept beside the file would get: PATH.bak, or PATH.bak.1, PATH.bak.2 ... when
// that exists.
std::string FreeCopyName(const std::string& strPath);
// Copies the file beside itself under the first free name of that series; never replaces a
// file. strCopy receives the name used.
IoStatus KeepCopyBeside(const std::string& strPath, std::string& strCopy);

// For tests: a fault to inject, as an error number (0: none), when a file is read or about to
// be renamed into place after writing.
enum class FileOperation { Read, Write };
using FileFaultHook = std::function<int(FileOperation, const std::string& strPath)>;
void SetFileFaultHook(FileFaultHook hook);
