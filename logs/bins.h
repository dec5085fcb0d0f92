#pragma once

#include <cstddef>

#include "logs/learn_options.h"

// The bins of wind speed and angle that kept samples fall into. The options must outlive it.
class Bins {
  public:
    explicit Bins(const LearnOptions& options) : m_options(options) {}
    // The wind speed's bin, or -1 when it is farther than half the gap to its neighbours.
    int WindBin(float fWindSpeed) const;
    int AngleBin(float fAngle) const;
    float Angle(int nBin) const { return static_cast<float>(nBin) * m_options.fAngleStep; }
    float WindSpeed(int nBin) const { return m_options.windSpeeds[static_cast<std::size_t>(nBin)]; }

  private:
    const LearnOptions& m_options;
};
