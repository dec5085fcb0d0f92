#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// A steady sample of a log as the polar chart shows it.
struct LoggedPoint {
    float fWindSpeed;
    float fAngle;
    float fSpeed;
};

// Keeps every item while they are few; when twice nLimit are kept, every second of them, then
// every fourth, ...: spread evenly over all that came, never twice nLimit held.
template <typename T>
class EvenlyThinned {
  public:
    explicit EvenlyThinned(std::size_t nLimit) : m_nLimit(nLimit) {}
    void Add(const T& item) {
        if (m_nSeen++ % m_nStride != 0) {
            return;
        }
        m_kept.push_back(item);
        if (m_kept.size() == 2 * m_nLimit) {
            for (std::size_t i = 0; i < m_nLimit; ++i) {
                m_kept[i] = m_kept[2 * i];
            }
            m_kept.resize(m_nLimit);
            m_nStride *= 2;
        }
    }
    std::uint64_t Seen() const { return m_nSeen; }
    std::vector<T> Take() { return std::exchange(m_kept, {}); }

  private:
    std::size_t m_nLimit;
    std::uint64_t m_nSeen = 0;
    std::uint64_t m_nStride = 1;
    std::vector<T> m_kept;
};
