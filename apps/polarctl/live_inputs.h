#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

#include "apps/polarctl/live_poll.h"
#include "live/live_reader.h"

// Where live's instrument data come from. Each hands what it reads to the reader.
class LiveInput : public LivePollable {
  public:
    // Whether the input is over for good (the end of a file or of standard input).
    virtual bool Ended() const { return false; }
    // A word for the status line: "connected", "waiting", "reading".
    virtual const char* State() const = 0;
};

// A descriptor read until its end (standard input).
std::unique_ptr<LiveInput> StreamInput(int fd, LiveReader& reader);
// Datagrams on a bound UDP socket, each read as lines.
std::unique_ptr<LiveInput> DatagramInput(int fd, LiveReader& reader);
// A connection opened by open (a TCP source, a serial device) and opened again, with backoff,
// when it fails or ends. open returns a descriptor or -1 with the reason; bConnecting: the
// descriptor is a connection begun, usable once writable. Problems are told on err, once
// until the connection works again.
std::unique_ptr<LiveInput> ReopeningInput(std::function<int(std::string&)> open, bool bConnecting,
                                          LiveReader& reader, std::ostream& err);
// A log file (gzip-compressed or not) read at dSpeed times its own pace by the log's clock;
// 0 as fast as it goes. False with the reason where it cannot be opened.
std::unique_ptr<LiveInput> ReplayInput(const std::string& strFile, double dSpeed,
                                       LiveReader& reader, std::string& strError);
