#include "apps/polarctl/live_inputs.h"

#include <sys/socket.h>
#include <unistd.h>
#include <zlib.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <ostream>
#include <utility>

#include "apps/polarctl/live_sockets.h"
#include "logs/log_text.h"

namespace {

constexpr std::size_t kChunk = 16 * 1024;

// Reads what is there now, in nReads reads at most (then the others get their turn); false at
// the end or on an error (EAGAIN is neither). A descriptor that may block (standard input is
// not ours to make non-blocking) is read once per readiness.
bool ReadAvailable(int fd, LiveReader& reader, int nReads = 16) {
    std::array<char, kChunk> buffer;
    for (int i = 0; i < nReads; ++i) {
        const ssize_t n = read(fd, buffer.data(), buffer.size());
        if (n > 0) {
            reader.Bytes(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
    return true;
}

class Stream : public LiveInput {
  public:
    Stream(int fd, LiveReader& reader) : m_fd(fd), m_reader(reader) {}
    int Prepare(std::vector<pollfd>& fds, LiveClock::time_point) override {
        m_nEntry = fds.size();
        fds.push_back({m_bEnded ? -1 : m_fd, POLLIN, 0});
        return -1;
    }
    void Service(const std::vector<pollfd>& fds, LiveClock::time_point) override {
        if (!m_bEnded && fds[m_nEntry].revents != 0 && !ReadAvailable(m_fd, m_reader, 1)) {
            m_reader.EndOfChunk();
            m_bEnded = true;
        }
    }
    bool Ended() const override { return m_bEnded; }
    const char* State() const override { return m_bEnded ? "ended" : "reading"; }

  private:
    int m_fd;
    LiveReader& m_reader;
    std::size_t m_nEntry = 0;
    bool m_bEnded = false;
};

class Datagrams : public LiveInput {
  public:
    Datagrams(std::vector<int> fds, LiveReader& reader) : m_fds(std::move(fds)), m_reader(reader) {}
    ~Datagrams() override {
        for (const int fd : m_fds) {
            close(fd);
        }
    }
    int Prepare(std::vector<pollfd>& fds, LiveClock::time_point) override {
        m_nEntry = fds.size();
        for (const int fd : m_fds) {
            fds.push_back({fd, POLLIN, 0});
        }
        return -1;
    }
    void Service(const std::vector<pollfd>& fds, LiveClock::time_point) override {
        for (std::size_t i = 0; i < m_fds.size(); ++i) {
            if (fds[m_nEntry + i].revents != 0) {
                Receive(m_fds[i]);
            }
        }
    }
    const char* State() const override { return "listening"; }

  private:
    void Receive(int fd) {
        std::array<char, 65536> buffer;
        for (int i = 0; i < 64; ++i) {
            const ssize_t n = recv(fd, buffer.data(), buffer.size(), 0);
            if (n < 0) {
                return;
            }
            m_reader.Bytes(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
            m_reader.EndOfChunk();  // a datagram's last sentence may come without its line end
        }
    }

    std::vector<int> m_fds;
    LiveReader& m_reader;
    std::size_t m_nEntry = 0;
};

class Reopening : public LiveInput {
  public:
    Reopening(ReopeningSource source, LiveReader& reader, std::ostream& err)
        : m_source(std::move(source)), m_reader(reader), m_err(err) {}
    ~Reopening() override { Close(); }

    int Prepare(std::vector<pollfd>& fds, LiveClock::time_point now) override {
        if (m_fd < 0 && m_backoff.Due(now)) {
            Open(now);
        }
        m_nEntry = fds.size();
        fds.push_back({m_fd, static_cast<short>(m_bWaitingForConnection ? POLLOUT : POLLIN), 0});
        return m_fd < 0 ? MillisecondsUntil(m_backoff.Next(), now) : -1;
    }

    void Service(const std::vector<pollfd>& fds, LiveClock::time_point now) override {
        const short revents = fds[m_nEntry].revents;
        if (m_fd < 0 || revents == 0) {
            return;
        }
        if (m_bWaitingForConnection) {
            std::string strWhy;
            if (!ConnectionMade(m_fd, strWhy)) {
                // The name's next address, if it has one left.
                Close();
                std::string strError;
                m_fd = m_source.next(strWhy, strError);
                if (m_fd < 0) {
                    Lost(now, strError);
                }
                return;
            }
            m_bWaitingForConnection = false;
            Connected();
            return;
        }
        errno = 0;
        if (!ReadAvailable(m_fd, m_reader)) {
            Lost(now, errno != 0 ? std::strerror(errno) : "closed");
        }
    }

    const char* State() const override {
        return m_fd < 0 ? "waiting" : m_bWaitingForConnection ? "connecting" : "connected";
    }

  private:
    void Open(LiveClock::time_point now) {
        std::string strError;
        m_fd = m_source.open(strError);
        if (m_fd < 0) {
            Lost(now, strError);
            return;
        }
        m_bWaitingForConnection = static_cast<bool>(m_source.next);
        if (!m_bWaitingForConnection) {
            Connected();
        }
    }
    void Connected() {
        m_backoff.Succeeded();
        if (!m_strTold.empty()) {
            m_err << "polarctl: live: input back\n";
        }
        m_strTold.clear();
        m_bEverOpen = true;
    }
    // Said once for each new reason (a device unplugged, then missing), with the wait before
    // the next try.
    void Lost(LiveClock::time_point now, const std::string& strWhy) {
        Close();
        m_reader.EndOfChunk();  // a line cut by the loss is not joined to the next one's start
        m_backoff.Failed(now);
        if (strWhy != m_strTold) {
            const auto wait = std::chrono::duration<double>(m_backoff.Next() - now).count();
            m_err << "polarctl: live: input " << (m_bEverOpen ? "lost" : "not there") << " ("
                  << PrintableText(strWhy) << "); trying again in " << wait
                  << " s, then less often\n";
            m_strTold = strWhy;
        }
    }
    void Close() {
        if (m_fd >= 0) {
            close(m_fd);
            m_fd = -1;
        }
    }

    ReopeningSource m_source;
    LiveReader& m_reader;
    std::ostream& m_err;
    int m_fd = -1;
    bool m_bWaitingForConnection = false;
    bool m_bEverOpen = false;
    std::string m_strTold;
    Backoff m_backoff;
    std::size_t m_nEntry = 0;
};

class Replay : public LiveInput {
  public:
    Replay(gzFile file, double dSpeed, LiveReader& reader)
        : m_file(file), m_dSpeed(dSpeed), m_reader(reader) {}
    ~Replay() override { gzclose(m_file); }

    int Prepare(std::vector<pollfd>&, LiveClock::time_point now) override {
        return m_bEnded ? -1 : MillisecondsUntil(m_due, now);
    }

    void Service(const std::vector<pollfd>&, LiveClock::time_point now) override {
        if (m_bEnded || now < m_due) {
            return;
        }
        std::array<char, 4096> line;
        // A batch at a time, so that the outputs are served while a log is read at full speed.
        for (int i = 0; i < 2000; ++i) {
            if (gzgets(m_file, line.data(), static_cast<int>(line.size())) == nullptr) {
                m_reader.EndOfChunk();
                m_bEnded = true;
                return;
            }
            m_reader.Bytes(line.data());
            if (m_dSpeed > 0 && Ahead(now)) {
                return;
            }
        }
    }

    bool Ended() const override { return m_bEnded; }
    const char* State() const override { return m_bEnded ? "ended" : "replaying"; }

  private:
    // Whether the log's clock has run ahead of the replay's; m_due is when it catches up.
    bool Ahead(LiveClock::time_point now) {
        const double dLogTime = m_reader.LogTime();
        // The first time, a clock going back, and a gap of more than a minute start the
        // pacing afresh: a log's pauses are not waited through.
        if (!m_bAnchored || dLogTime < m_dLastLogTime || dLogTime - m_dLastLogTime > 60) {
            m_bAnchored = true;
            m_dAnchorLogTime = dLogTime;
            m_anchor = now;
        }
        m_dLastLogTime = dLogTime;
        const auto offset = std::chrono::duration<double>((dLogTime - m_dAnchorLogTime) / m_dSpeed);
        m_due = m_anchor + std::chrono::duration_cast<LiveClock::duration>(offset);
        return m_due > now;
    }

    gzFile m_file;
    double m_dSpeed;
    LiveReader& m_reader;
    bool m_bEnded = false;
    bool m_bAnchored = false;
    double m_dAnchorLogTime = 0;
    double m_dLastLogTime = 0;
    LiveClock::time_point m_anchor{};
    LiveClock::time_point m_due{};
};

}  // namespace

std::unique_ptr<LiveInput> StreamInput(int fd, LiveReader& reader) {
    return std::make_unique<Stream>(fd, reader);
}

std::unique_ptr<LiveInput> DatagramInput(std::vector<int> fds, LiveReader& reader) {
    return std::make_unique<Datagrams>(std::move(fds), reader);
}

std::unique_ptr<LiveInput> ReopeningInput(ReopeningSource source, LiveReader& reader,
                                          std::ostream& err) {
    return std::make_unique<Reopening>(std::move(source), reader, err);
}

std::unique_ptr<LiveInput> ReplayInput(const std::string& strFile, double dSpeed,
                                       LiveReader& reader, std::string& strError) {
    const gzFile file = gzopen(strFile.c_str(), "rb");
    if (file == nullptr) {
        strError = "cannot open ";
        strError += PrintableText(strFile);
        strError += ": ";
        strError += errno != 0 ? std::strerror(errno) : "out of memory";
        return nullptr;
    }
    gzbuffer(file, 128 * 1024);
    return std::make_unique<Replay>(file, dSpeed, reader);
}
