#pragma once

#include <poll.h>

#include <chrono>
#include <cstddef>
#include <vector>

using LiveClock = std::chrono::steady_clock;

// A part of live's loop that waits on descriptors or on time: before each wait it adds its
// descriptors and says how long it may wait at most; after it, it handles what came.
class LivePollable {
  public:
    virtual ~LivePollable() = default;
    // Adds its entries (remembering where) and returns the longest wait it allows in
    // milliseconds, -1 for any.
    virtual int Prepare(std::vector<pollfd>& fds, LiveClock::time_point now) = 0;
    virtual void Service(const std::vector<pollfd>& fds, LiveClock::time_point now) = 0;
};

// The shorter of two waits in milliseconds, -1 being any.
inline int ShorterWait(int a, int b) {
    if (a < 0) {
        return b;
    }
    return b < 0 || a < b ? a : b;
}

// Milliseconds from now to a moment, rounded up, 0 when it has passed.
int MillisecondsUntil(LiveClock::time_point when, LiveClock::time_point now);

// When to try a lost connection again: a quarter second after the first failure, twice as
// long after each further one, never more than 4 s, so that a source back again is read within
// 5 s; from the start again once a connection works.
class Backoff {
  public:
    void Failed(LiveClock::time_point now);
    void Succeeded() { m_delay = kFirst; }
    bool Due(LiveClock::time_point now) const { return now >= m_next; }
    LiveClock::time_point Next() const { return m_next; }

  private:
    static constexpr std::chrono::milliseconds kFirst{250};
    static constexpr std::chrono::milliseconds kLongest{4000};
    std::chrono::milliseconds m_delay = kFirst;
    LiveClock::time_point m_next{};
};

// Bytes waiting for a non-blocking descriptor, never more than a bound: what a reader too slow
// to take them would otherwise make grow without end.
class BoundedSender {
  public:
    static constexpr std::size_t kMaxPending = 64 * 1024;

    explicit BoundedSender(int fd) : m_fd(fd) {}
    int Fd() const { return m_fd; }
    bool Pending() const { return !m_pending.empty(); }
    // False when the descriptor failed, or when the bytes would pass the bound.
    bool Send(const char* p, std::size_t n);
    // Writes what waits; false when the descriptor failed.
    bool Flush();

  private:
    int m_fd;
    std::vector<char> m_pending;
};
