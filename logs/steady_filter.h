#pragma once

#include <deque>

#include "logs/log_sample.h"

// Which samples count: the boat sails (at least 0.5 kn) and sails steadily (over the last
// seconds the true wind angle within 10 degrees, its speed within 20 %, the boat speed within
// 15 % of the sample's); with 0 seconds every sailing sample is steady. Samples of one log are
// given in log order; a new log starts anew.
class SteadyFilter {
  public:
    explicit SteadyFilter(double dSeconds) : m_dSeconds(dSeconds) {}
    bool Sailing(const LogSample& sample) const { return sample.fBoatSpeed >= 0.5f; }
    bool Steady(const LogSample& sample);
    // Sailing and steady; a moment not sailing breaks the steady stretch.
    bool Keep(const LogSample& sample) {
        if (!Sailing(sample)) {
            NewLog();
            return false;
        }
        return Steady(sample);
    }
    void NewLog() { m_window.clear(); }

  private:
    double m_dSeconds;
    std::deque<LogSample> m_window;
};
