#include "logs/steady_filter.h"

#include <cmath>

bool SteadyFilter::Steady(const LogSample& sample) {
    while (!m_window.empty() && (m_window.front().dTime < sample.dTime - m_dSeconds ||
                                 m_window.front().dTime > sample.dTime)) {
        m_window.pop_front();
    }
    if (m_dSeconds <= 0) {
        return true;  // no steadiness asked for
    }
    // The window must reach back over (nearly) the whole span: a moment after a gap is not
    // known to be steady yet.
    bool bSteady = !m_window.empty() && m_window.front().dTime <= sample.dTime - m_dSeconds + 1.5;
    for (const LogSample& s : m_window) {
        if (!bSteady) {
            break;
        }
        bSteady = std::fabs(s.fWindAngle - sample.fWindAngle) <= 10.0f &&
                  std::fabs(s.fWindSpeed - sample.fWindSpeed) <= 0.2f * sample.fWindSpeed &&
                  std::fabs(s.fBoatSpeed - sample.fBoatSpeed) <= 0.15f * sample.fBoatSpeed;
    }
    m_window.push_back(sample);
    return bSteady;
}
