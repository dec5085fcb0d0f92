#include "apps/polarctl/live_outputs.h"

#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <ostream>
#include <string>
#include <vector>

#include "logs/log_text.h"
#include "logs/nmea_sentence.h"

namespace {

class TcpServer : public LiveOutput {
  public:
    TcpServer(std::vector<int> fds, Kind kind, std::ostream& err)
        : LiveOutput(kind), m_listeners(std::move(fds)), m_err(err) {}
    ~TcpServer() override {
        for (const BoundedSender& client : m_clients) {
            close(client.Fd());
        }
        for (const int fd : m_listeners) {
            close(fd);
        }
    }

    void Send(std::string_view text) override {
        for (std::size_t i = 0; i < m_clients.size();) {
            if (m_clients[i].Send(text.data(), text.size())) {
                ++i;
            } else {
                Drop(i, true);
            }
        }
    }

    int Prepare(std::vector<pollfd>& fds, LiveClock::time_point) override {
        m_nFirst = fds.size();
        for (const int fd : m_listeners) {
            fds.push_back({fd, POLLIN, 0});
        }
        for (const BoundedSender& client : m_clients) {
            // Reading tells when a client has gone; what it sends is not used.
            fds.push_back(
                {client.Fd(), static_cast<short>(POLLIN | (client.Pending() ? POLLOUT : 0)), 0});
        }
        return -1;
    }

    void Service(const std::vector<pollfd>& fds, LiveClock::time_point now) override {
        const std::size_t nPolled = m_clients.size();
        const std::size_t nClientsFirst = m_nFirst + m_listeners.size();
        // From the last, so that dropping one leaves the entries of the others where they are.
        for (std::size_t i = nPolled; i-- > 0;) {
            const short revents = fds[nClientsFirst + i].revents;
            if (revents == 0) {
                continue;
            }
            bool bKeep = (revents & (POLLERR | POLLNVAL)) == 0;
            if (bKeep && (revents & (POLLIN | POLLHUP)) != 0) {
                std::array<char, 1024> discard;
                const ssize_t n = recv(m_clients[i].Fd(), discard.data(), discard.size(), 0);
                bKeep = n > 0 || (n < 0 && (errno == EAGAIN || errno == EINTR));
            }
            if (bKeep && (revents & POLLOUT) != 0) {
                bKeep = m_clients[i].Flush();
            }
            if (!bKeep) {
                Drop(i, false);
            }
        }
        for (std::size_t i = 0; i < m_listeners.size(); ++i) {
            if ((fds[m_nFirst + i].revents & POLLIN) != 0) {
                Accept(m_listeners[i], now);
            }
        }
    }

    std::size_t Connections() const override { return m_clients.size(); }
    std::uint64_t Dropped() const override { return m_nDropped; }
    bool Pending() const override {
        for (const BoundedSender& client : m_clients) {
            if (client.Pending()) {
                return true;
            }
        }
        return false;
    }

  private:
    void Accept(int fdListener, LiveClock::time_point now) {
        for (;;) {
            const int fd = accept4(fdListener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd < 0) {
                return;
            }
            if (m_clients.size() >= kMaxTcpClients) {
                TurnAway(fd, now);
                continue;
            }
            m_clients.emplace_back(fd);
        }
    }
    // A client beyond the cap: told in a text sentence that displays show, then closed; said
    // on standard error once a minute at most, with the count since.
    void TurnAway(int fd, LiveClock::time_point now) {
        static const std::string kFull =
            NmeaSentence("IITXT,01,01,01,server full: " + std::to_string(kMaxTcpClients) +
                         " clients at most") +
            "\r\n";
        send(fd, kFull.data(), kFull.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        close(fd);
        ++m_nDropped;
        ++m_nTurnedAway;
        if (now >= m_nextTurnAwayNote) {
            m_err << "polarctl: live: --out-tcp has " << kMaxTcpClients
                  << " clients, the most it serves; " << m_nTurnedAway << " more turned away\n";
            m_nTurnedAway = 0;
            m_nextTurnAwayNote = now + std::chrono::minutes(1);
        }
    }
    void Drop(std::size_t i, bool bTooSlow) {
        close(m_clients[i].Fd());
        m_clients.erase(m_clients.begin() + static_cast<std::ptrdiff_t>(i));
        if (bTooSlow) {
            ++m_nDropped;
        }
    }

    std::vector<int> m_listeners;
    std::ostream& m_err;
    std::vector<BoundedSender> m_clients;
    std::size_t m_nFirst = 0;
    std::uint64_t m_nDropped = 0;
    std::uint64_t m_nTurnedAway = 0;
    LiveClock::time_point m_nextTurnAwayNote{};
};

class Udp : public LiveOutput {
  public:
    Udp(std::unique_ptr<UdpSender> pSender, Kind kind)
        : LiveOutput(kind), m_pSender(std::move(pSender)) {}
    void Send(std::string_view text) override {
        // No one listening anywhere or a full buffer: the datagram is lost, as any may be.
        if (!m_pSender->Send(text)) {
            ++m_nDropped;
        }
    }
    // Errors only (a refusal from an address no one listens at), which move the sender on.
    int Prepare(std::vector<pollfd>& fds, LiveClock::time_point) override {
        m_nEntry = fds.size();
        fds.push_back({m_pSender->Fd(), 0, 0});
        return -1;
    }
    void Service(const std::vector<pollfd>& fds, LiveClock::time_point) override {
        if ((fds[m_nEntry].revents & POLLERR) != 0) {
            m_pSender->TakeError();
        }
    }
    std::uint64_t Dropped() const override { return m_nDropped; }

  private:
    std::unique_ptr<UdpSender> m_pSender;
    std::size_t m_nEntry = 0;
    std::uint64_t m_nDropped = 0;
};

class TcpClient : public LiveOutput {
  public:
    TcpClient(HostPort target, Kind kind, std::ostream& err)
        : LiveOutput(kind), m_connector(std::move(target)), m_err(err) {}
    ~TcpClient() override { Close(); }

    void Send(std::string_view text) override {
        if (!m_pSender || m_bConnecting) {
            ++m_nDropped;
            return;
        }
        if (!m_pSender->Send(text.data(), text.size())) {
            Lost(LiveClock::now(), "too slow, or the connection failed");
        }
    }

    int Prepare(std::vector<pollfd>& fds, LiveClock::time_point now) override {
        if (!m_pSender && m_backoff.Due(now)) {
            std::string strError;
            Connecting(m_connector.Begin(strError), now, strError);
        }
        m_nEntry = fds.size();
        const bool bWrite = m_pSender && (m_bConnecting || m_pSender->Pending());
        fds.push_back({m_pSender ? m_pSender->Fd() : -1,
                       static_cast<short>(POLLIN | (bWrite ? POLLOUT : 0)), 0});
        return m_pSender ? -1 : MillisecondsUntil(m_backoff.Next(), now);
    }

    void Service(const std::vector<pollfd>& fds, LiveClock::time_point now) override {
        const short revents = fds[m_nEntry].revents;
        if (!m_pSender || revents == 0) {
            return;
        }
        std::string strError;
        if (m_bConnecting) {
            if (!ConnectionMade(m_pSender->Fd(), strError)) {
                // The name's next address, if it has one left.
                Close();
                std::string strReasons;
                Connecting(m_connector.Next(strError, strReasons), now, strReasons);
                return;
            }
            m_bConnecting = false;
            m_backoff.Succeeded();
            if (m_bToldProblem) {
                m_err << "polarctl: live: connected to " << Target() << "\n";
                m_bToldProblem = false;
            }
            return;
        }
        if ((revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            std::array<char, 1024> discard;
            const ssize_t n = recv(m_pSender->Fd(), discard.data(), discard.size(), 0);
            if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
                Lost(now, "closed");
                return;
            }
        }
        if ((revents & POLLOUT) != 0 && !m_pSender->Flush()) {
            Lost(now, "the connection failed");
        }
    }

    std::size_t Connections() const override { return m_pSender && !m_bConnecting ? 1 : 0; }
    std::uint64_t Dropped() const override { return m_nDropped; }
    bool Pending() const override { return m_pSender && m_pSender->Pending(); }

  private:
    void Close() {
        if (m_pSender) {
            close(m_pSender->Fd());
            m_pSender.reset();
        }
    }
    void Connecting(int fd, LiveClock::time_point now, const std::string& strError) {
        if (fd < 0) {
            Lost(now, strError);
            return;
        }
        m_pSender = std::make_unique<BoundedSender>(fd);
        m_bConnecting = true;
    }
    std::string Target() const {
        return PrintableText(m_connector.Target().strHost) + ":" + m_connector.Target().strPort;
    }
    void Lost(LiveClock::time_point now, const std::string& strWhy) {
        Close();
        m_bConnecting = false;
        m_backoff.Failed(now);
        if (!m_bToldProblem) {
            m_err << "polarctl: live: output to " << Target() << " lost (" << PrintableText(strWhy)
                  << "); trying again\n";
            m_bToldProblem = true;
        }
    }

    TcpConnector m_connector;
    std::ostream& m_err;
    std::unique_ptr<BoundedSender> m_pSender;
    bool m_bConnecting = false;
    bool m_bToldProblem = false;
    Backoff m_backoff;
    std::size_t m_nEntry = 0;
    std::uint64_t m_nDropped = 0;
};

// A serial device that displays listen on. A slow link (4800 baud carries about 480 bytes a
// second) is never sent stale updates: one that comes while the last is still being written
// is dropped, so what a display shows is at most one update old.
class Serial : public LiveOutput {
  public:
    Serial(std::string strDevice, int nBaud, Kind kind, std::ostream& err)
        : LiveOutput(kind), m_strDevice(std::move(strDevice)), m_nBaud(nBaud), m_err(err) {}
    ~Serial() override { Close(); }

    void Send(std::string_view text) override {
        if (!m_pSender || m_pSender->Pending()) {
            ++m_nDropped;
            return;
        }
        if (!m_pSender->Send(text.data(), text.size())) {
            Lost(LiveClock::now(), "the device failed");
        }
    }
    int Prepare(std::vector<pollfd>& fds, LiveClock::time_point now) override {
        if (!m_pSender && m_backoff.Due(now)) {
            std::string strError;
            const int fd = OpenSerialDevice(m_strDevice, m_nBaud, strError);
            if (fd < 0) {
                Lost(now, strError);
            } else {
                m_pSender = std::make_unique<BoundedSender>(fd);
                m_backoff.Succeeded();
                if (!m_strTold.empty()) {
                    m_err << "polarctl: live: output " << PrintableText(m_strDevice) << " back\n";
                }
                m_strTold.clear();
            }
        }
        m_nEntry = fds.size();
        fds.push_back({m_pSender ? m_pSender->Fd() : -1,
                       static_cast<short>(m_pSender && m_pSender->Pending() ? POLLOUT : 0), 0});
        return m_pSender ? -1 : MillisecondsUntil(m_backoff.Next(), now);
    }
    void Service(const std::vector<pollfd>& fds, LiveClock::time_point now) override {
        const short revents = fds[m_nEntry].revents;
        if (!m_pSender || revents == 0) {
            return;
        }
        if ((revents & (POLLERR | POLLHUP | POLLNVAL)) != 0 || !m_pSender->Flush()) {
            Lost(now, "the device failed or was unplugged");
        }
    }
    std::size_t Connections() const override { return m_pSender ? 1 : 0; }
    std::uint64_t Dropped() const override { return m_nDropped; }
    bool Pending() const override { return m_pSender && m_pSender->Pending(); }

  private:
    void Close() {
        if (m_pSender) {
            close(m_pSender->Fd());
            m_pSender.reset();
        }
    }
    void Lost(LiveClock::time_point now, const std::string& strWhy) {
        Close();
        m_backoff.Failed(now);
        if (strWhy != m_strTold) {
            m_err << "polarctl: live: output " << PrintableText(m_strDevice) << " not there ("
                  << PrintableText(strWhy) << "); trying again\n";
            m_strTold = strWhy;
        }
    }

    std::string m_strDevice;
    int m_nBaud;
    std::ostream& m_err;
    std::unique_ptr<BoundedSender> m_pSender;
    Backoff m_backoff;
    std::string m_strTold;
    std::size_t m_nEntry = 0;
    std::uint64_t m_nDropped = 0;
};

}  // namespace

std::unique_ptr<LiveOutput> SerialOutput(const std::string& strDevice, int nBaud,
                                         LiveOutput::Kind kind, std::ostream& err) {
    return std::make_unique<Serial>(strDevice, nBaud, kind, err);
}

std::unique_ptr<LiveOutput> TcpServerOutput(std::vector<int> listeningFds, LiveOutput::Kind kind,
                                            std::ostream& err) {
    return std::make_unique<TcpServer>(std::move(listeningFds), kind, err);
}

std::unique_ptr<LiveOutput> UdpOutput(std::unique_ptr<UdpSender> pSender, LiveOutput::Kind kind) {
    return std::make_unique<Udp>(std::move(pSender), kind);
}

std::unique_ptr<LiveOutput> TcpClientOutput(const HostPort& target, LiveOutput::Kind kind,
                                            std::ostream& err) {
    return std::make_unique<TcpClient>(target, kind, err);
}
