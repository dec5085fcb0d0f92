#pragma once

#include <string>

// The outcome of a file operation: empty error text on success, and the system's error number
// where one caused the failure.
struct IoStatus {
    std::string strError;
    int nErrno = 0;
    bool Ok() const { return strError.empty(); }
};
