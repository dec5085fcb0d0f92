#include "apps/polarctl/live_outputs.h"

#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <ostream>
#include <vector>

#include "logs/log_text.h"

namespace {

class TcpServer : public LiveOutput {
  public:
    TcpServer(int fd, Kind kind) : LiveOutput(kind), m_listener(fd) {}
    ~TcpServer() override {
        for (const BoundedSender& client : m_clients) {
            close(client.Fd());
        }
        close(m_listener);
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
        fds.push_back({m_listener, POLLIN, 0});
        for (const BoundedSender& client : m_clients) {
            // Reading tells when a client has gone; what it sends is not used.
            fds.push_back(
                {client.Fd(), static_cast<short>(POLLIN | (client.Pending() ? POLLOUT : 0)), 0});
        }
        return -1;
    }

    void Service(const std::vector<pollfd>& fds, LiveClock::time_point) override {
        const std::size_t nPolled = m_clients.size();
        // From the last, so that dropping one leaves the entries of the others where they are.
        for (std::size_t i = nPolled; i-- > 0;) {
            const short revents = fds[m_nFirst + 1 + i].revents;
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
        if ((fds[m_nFirst].revents & POLLIN) != 0) {
            Accept();
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
    static constexpr std::size_t kMaxClients = 64;

    void Accept() {
        for (;;) {
            const int fd = accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd < 0) {
                return;
            }
            if (m_clients.size() >= kMaxClients) {
                close(fd);
                ++m_nDropped;
                continue;
            }
            m_clients.emplace_back(fd);
        }
    }
    void Drop(std::size_t i, bool bTooSlow) {
        close(m_clients[i].Fd());
        m_clients.erase(m_clients.begin() + static_cast<std::ptrdiff_t>(i));
        if (bTooSlow) {
            ++m_nDropped;
        }
    }

    int m_listener;
    std::vector<BoundedSender> m_clients;
    std::size_t m_nFirst = 0;
    std::uint64_t m_nDropped = 0;
};

class Udp : public LiveOutput {
  public:
    Udp(int fd, Kind kind) : LiveOutput(kind), m_fd(fd) {}
    ~Udp() override { close(m_fd); }
    void Send(std::string_view text) override {
        // No one listening (ECONNREFUSED) or a full buffer: the datagram is lost, as any may be.
        if (send(m_fd, text.data(), text.size(), MSG_NOSIGNAL | MSG_DONTWAIT) < 0) {
            ++m_nDropped;
        }
    }
    std::uint64_t Dropped() const override { return m_nDropped; }

  private:
    int m_fd;
    std::uint64_t m_nDropped = 0;
};

class TcpClient : public LiveOutput {
  public:
    TcpClient(HostPort target, Kind kind, std::ostream& err)
        : LiveOutput(kind), m_target(std::move(target)), m_err(err) {}
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
            const int fd = StartTcpConnection(m_target, strError);
            if (fd < 0) {
                Lost(now, strError);
            } else {
                m_pSender = std::make_unique<BoundedSender>(fd);
                m_bConnecting = true;
            }
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
                Lost(now, strError);
                return;
            }
            m_bConnecting = false;
            m_backoff.Succeeded();
            if (m_bToldProblem) {
                m_err << "polarctl: live: connected to " << PrintableText(m_target.strHost) << ":"
                      << m_target.strPort << "\n";
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
    void Lost(LiveClock::time_point now, const std::string& strWhy) {
        Close();
        m_bConnecting = false;
        m_backoff.Failed(now);
        if (!m_bToldProblem) {
            m_err << "polarctl: live: output to " << PrintableText(m_target.strHost) << ":"
                  << m_target.strPort << " lost (" << PrintableText(strWhy) << "); trying again\n";
            m_bToldProblem = true;
        }
    }

    HostPort m_target;
    std::ostream& m_err;
    std::unique_ptr<BoundedSender> m_pSender;
    bool m_bConnecting = false;
    bool m_bToldProblem = false;
    Backoff m_backoff;
    std::size_t m_nEntry = 0;
    std::uint64_t m_nDropped = 0;
};

}  // namespace

std::unique_ptr<LiveOutput> TcpServerOutput(int nListeningFd, LiveOutput::Kind kind) {
    return std::make_unique<TcpServer>(nListeningFd, kind);
}

std::unique_ptr<LiveOutput> UdpOutput(int fd, LiveOutput::Kind kind) {
    return std::make_unique<Udp>(fd, kind);
}

std::unique_ptr<LiveOutput> TcpClientOutput(const HostPort& target, LiveOutput::Kind kind,
                                            std::ostream& err) {
    return std::make_unique<TcpClient>(target, kind, err);
}
