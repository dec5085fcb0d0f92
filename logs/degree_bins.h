#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "logs/calibration.h"
#include "logs/distribution.h"
#include "logs/log_sample.h"

// Kept samples' boat speeds by wind speed bin, tack and whole degree of wind angle, so that the
// angle bins can be made after the reading, with the sensors' errors the reading showed taken
// out. Memory does not grow with the log: at most a histogram per wind speed, tack and degree.
class DegreeBins {
  public:
    explicit DegreeBins(std::size_t nWindBins) : m_aDegrees(nWindBins * 2 * kDegrees) {}
    void Add(const LogSample& sample, int nWindBin);
    // Each degree's speeds as calibrated sensors would have given them: the wind speed bin, the
    // corrected angle (0 to 180) and tack, the speeds and the factor to scale them by.
    using Visit = std::function<void(int nWindBin, float fAngle, bool bPort,
                                     const Distribution& speeds, double dScale)>;
    void ForEach(const Calibration& calibration, const Visit& visit) const;

  private:
    static constexpr std::size_t kDegrees = 181;
    std::vector<std::unique_ptr<Distribution>> m_aDegrees;
};
