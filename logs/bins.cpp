#include "logs/bins.h"

#include <cmath>
#include <cstddef>

int Bins::WindBin(float fWindSpeed) const {
    const auto& ws = m_options.windSpeeds;
    int nBest = -1;
    for (std::size_t i = 0; i < ws.size(); ++i) {
        if (nBest < 0 || std::fabs(ws[i] - fWindSpeed) <
                             std::fabs(ws[static_cast<std::size_t>(nBest)] - fWindSpeed)) {
            nBest = static_cast<int>(i);
        }
    }
    if (nBest < 0) {
        return -1;
    }
    const auto i = static_cast<std::size_t>(nBest);
    // Farther than half the gap to the neighbour on the sample's side: dropped.
    const bool bAbove = fWindSpeed > ws[i];
    float fHalfGap = 0;
    if (bAbove) {
        fHalfGap =
            i + 1 < ws.size() ? (ws[i + 1] - ws[i]) / 2 : (i > 0 ? (ws[i] - ws[i - 1]) / 2 : 1);
    } else {
        fHalfGap =
            i > 0 ? (ws[i] - ws[i - 1]) / 2 : (i + 1 < ws.size() ? (ws[i + 1] - ws[i]) / 2 : 1);
    }
    return std::fabs(fWindSpeed - ws[i]) <= fHalfGap ? nBest : -1;
}

int Bins::AngleBin(float fAngle) const {
    return static_cast<int>(std::lround(fAngle / m_options.fAngleStep));
}
