#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "logs/log_sample.h"

// Reads one log (NMEA 0183 text, or CSV with a header naming its columns; gzip-compressed or
// not, whatever its name) and hands every sample to the sink, in log order. Memory does not
// grow with the log. "-" reads standard input (compressed or not). False, with the reason, when
// the file cannot be opened; a compressed log cut short gives what came before it.
bool ReadLog(const std::string& strPath, LogCounts& counts, const LogSink& sink,
             std::string& strError);

// Reads the logs one after another into the same counts; newLog runs before each, so that what
// depends on the order of samples (a steady stretch) starts anew. False, with the reason, at the
// first log that cannot be opened.
bool ReadLogs(const std::vector<std::string>& aPaths, LogCounts& counts, const LogSink& sink,
              const std::function<void()>& newLog, std::string& strError);

// The same for text in memory.
void ReadLogText(std::string_view text, LogCounts& counts, const LogSink& sink);
