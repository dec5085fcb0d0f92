#pragma once

#include <string>
#include <string_view>

// The outcome of a file operation: empty error text on success.
struct IoStatus {
    std::string strError;
    bool Ok() const { return strError.empty(); }
};

// Reads the whole file as bytes.
IoStatus ReadWholeFile(const std::string& strPath, std::string& strContent);

// Replaces the file's content atomically: the bytes go to a temporary file in the same folder,
// which is flushed to disk and renamed over the target. The target's permissions are kept (a
// new file gets the usual ones). A failure leaves the old file whole.
IoStatus WriteFileAtomically(const std::string& strPath, std::string_view content);

// Copies a whole file over another (replacing it, atomically as above). A missing source is a
// failure with its reason.
IoStatus CopyFileAtomically(const std::string& strFrom, const std::string& strTo);
