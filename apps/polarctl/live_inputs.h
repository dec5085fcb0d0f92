#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

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
// Datagrams on bound UDP sockets, each read as lines.
std::unique_ptr<LiveInput> DatagramInput(std::vector<int> fds, LiveReader& reader);
// What a reopening input opens. open: a descriptor, or -1 with the reason. next, for a
// connection begun (usable once writable): after that one failed for the reason given, the
// next address's connection, or -1 with the reasons; empty for a device, usable at once.
struct ReopeningSource {
    std::function<int(std::string&)> open;
    std::function<int(const std::string&, std::string&)> next;
};
// A connection or device opened again, with backoff, when it fails or ends. Problems are told
// on err, once for each new reason, until the input works again.
std::unique_ptr<LiveInput> ReopeningInput(ReopeningSource source, LiveReader& reader,
                                          std::ostream& err);
// A log file (gzip-compressed or not) read at dSpeed times its own pace by the log's clock;
// 0 as fast as it goes. False with the reason where it cannot be opened.
std::unique_ptr<LiveInput> ReplayInput(const std::string& strFile, double dSpeed,
                                       LiveReader& reader, std::string& strError);
