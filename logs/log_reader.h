#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "logs/log_sample.h"

// How far a reading has come: the bytes of the logs consumed so far (of a compressed log its
// compressed bytes), and their sum when the size of every log is known, else 0. A log that is not
// a regular file (a pipe on standard input, a FIFO) has no size and tells no position: its bytes
// are counted after decompression.
struct LogProgress {
    std::uint64_t nBytesRead = 0;
    std::uint64_t nBytesTotal = 0;
};

// How a reading is done. progress, when set, is called on the reading's thread as the logs are
// consumed (about once per MB of text, not throttled in time), its byte counts rising, and last
// with every byte read. cancelled, when set, is asked on the reading's thread before each MB
// of text and before each log; once it answers true the reading stops there, as if the logs
// had ended (within a MB, however long the log): the sink has had part of them, which the
// caller that cancelled knows to drop. A cancelled reading reports no final progress.
struct LogReadOptions {
    std::function<void(const LogProgress&)> progress;
    std::function<bool()> cancelled;
};

// Reads one log (NMEA 0183 text, or CSV with a header naming its columns; gzip-compressed or
// not, whatever its name) and hands every sample to the sink, in log order. Memory does not
// grow with the log. "-" reads standard input (compressed or not). False, with the reason, when
// the file cannot be opened (CheckLog); a compressed log cut short gives what came before it.
// True when cancelled (options.cancelled).
bool ReadLog(const std::string& strPath, LogCounts& counts, const LogSink& sink,
             std::string& strError, const LogReadOptions& options = {});

// Reads the logs one after another into the same counts; newLog runs before each, so that what
// depends on the order of samples (a steady stretch) starts anew. Every log is checked
// (CheckLog) before any is read; false, with the reason, at the first that cannot be.
bool ReadLogs(const std::vector<std::string>& aPaths, LogCounts& counts, const LogSink& sink,
              const std::function<void()>& newLog, std::string& strError,
              const LogReadOptions& options = {});

// Whether the log can be read: it exists, it is no folder, it may be read (standard input
// always). False with the reason, the path made printable (PrintableText).
bool CheckLog(const std::string& strPath, std::string& strError);

// The same for text in memory.
void ReadLogText(std::string_view text, LogCounts& counts, const LogSink& sink);
