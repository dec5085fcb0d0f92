#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "apps/polarctl/live_poll.h"
#include "apps/polarctl/live_sockets.h"

// Where live's sentences or deltas go. Each output takes text of one kind (NMEA sentences or
// Signal K delta lines, chosen where it is made) and never blocks the loop: what a peer does not
// take in time is dropped, not held without bound.
class LiveOutput : public LivePollable {
  public:
    enum class Kind { Nmea, SignalK };
    explicit LiveOutput(Kind kind) : m_kind(kind) {}
    Kind GetKind() const { return m_kind; }

    virtual void Send(std::string_view text) = 0;
    // For the status line: clients or connections now, and those dropped as too slow.
    virtual std::size_t Connections() const { return 0; }
    virtual std::uint64_t Dropped() const { return 0; }
    // Whether bytes still wait to be written.
    virtual bool Pending() const { return false; }

    int Prepare(std::vector<pollfd>&, LiveClock::time_point) override { return -1; }
    void Service(const std::vector<pollfd>&, LiveClock::time_point) override {}

  private:
    Kind m_kind;
};

// A TCP server on the listening sockets for up to kMaxTcpClients clients at a time, each sent
// everything from when it connects; a client that falls BoundedSender::kMaxPending behind is
// dropped. One beyond the cap is told so in a line and closed, and said on err (once a minute
// at most).
constexpr std::size_t kMaxTcpClients = 64;
std::unique_ptr<LiveOutput> TcpServerOutput(std::vector<int> listeningFds, LiveOutput::Kind kind,
                                            std::ostream& err);
// Datagrams to host:port, one per performance.
std::unique_ptr<LiveOutput> UdpOutput(std::unique_ptr<UdpSender> pSender, LiveOutput::Kind kind);
// A serial device at nBaud, opened raw, opened again with backoff when missing or unplugged
// (said on err once for each new reason); an update that comes while the last is still being
// written is dropped rather than sent late.
std::unique_ptr<LiveOutput> SerialOutput(const std::string& strDevice, int nBaud,
                                         LiveOutput::Kind kind, std::ostream& err);
// A TCP connection to host:port, opened again with backoff when it fails; what comes while it
// is down, or more than it takes, is dropped. Problems are told on err once.
std::unique_ptr<LiveOutput> TcpClientOutput(const HostPort& target, LiveOutput::Kind kind,
                                            std::ostream& err);
