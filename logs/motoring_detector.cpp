#include "logs/motoring_detector.h"

#include <algorithm>
#include <cmath>

namespace {

// The wind angle from the bow, 0 to 360, so that a boat turning through the wind from astern
// moves on smoothly instead of folding back.
float AngleFromBow(const LogSample& s) {
    return s.bPort ? 360.0f - s.fWindAngle : s.fWindAngle;
}

double SegmentIndex(double dTime) {
    return std::floor(dTime / MotoringDetector::kSegmentSeconds);
}

}  // namespace

void MotoringDetector::Add(const LogSample& sample) {
    const double dIndex = SegmentIndex(sample.dTime);
    // Time running backwards (logs joined out of order) or a long gap starts anew.
    if (!m_segments.empty() &&
        (dIndex < m_segments.back().dIndex || dIndex - m_segments.back().dIndex > 4 * kReach)) {
        Flush();
    }
    if (m_segments.empty()) {
        m_segments.push_back({dIndex});
    }
    while (m_segments.back().dIndex < dIndex) {
        m_segments.push_back({m_segments.back().dIndex + 1});
    }
    Segment& segment = m_segments.back();
    segment.dAngleSum += AngleFromBow(sample);
    segment.dWindSum += sample.fWindSpeed;
    segment.fBoatMin =
        segment.nSamples == 0 ? sample.fBoatSpeed : std::min(segment.fBoatMin, sample.fBoatSpeed);
    segment.fBoatMax =
        segment.nSamples == 0 ? sample.fBoatSpeed : std::max(segment.fBoatMax, sample.fBoatSpeed);
    ++segment.nSamples;
    m_pending.push_back(sample);
    // Judged once the segments kReach after its own are complete.
    while (!m_pending.empty() && SegmentIndex(m_pending.front().dTime) + kReach < dIndex) {
        JudgeFirst();
    }
}

void MotoringDetector::Flush() {
    while (!m_pending.empty()) {
        JudgeFirst();
    }
    m_segments.clear();
}

void MotoringDetector::JudgeFirst() {
    const LogSample sample = m_pending.front();
    m_pending.pop_front();
    m_verdict(sample, LooksLikeMotoring(sample));
    if (!m_pending.empty()) {
        const double dKeepFrom = SegmentIndex(m_pending.front().dTime) - kReach;
        while (!m_segments.empty() && m_segments.front().dIndex < dKeepFrom) {
            m_segments.pop_front();
        }
    }
}

const MotoringDetector::Segment* MotoringDetector::At(double dIndex) const {
    if (m_segments.empty() || dIndex < m_segments.front().dIndex ||
        dIndex > m_segments.back().dIndex) {
        return nullptr;
    }
    return &m_segments[static_cast<std::size_t>(dIndex - m_segments.front().dIndex)];
}

bool MotoringDetector::LooksLikeMotoring(const LogSample& s) const {
    if (s.fBoatSpeed > 1.0f && s.fWindAngle < 30.0f) {
        return true;
    }
    if (s.fBoatSpeed > 1.5f * s.fWindSpeed + 1.0f) {
        return true;
    }
    const double dOwn = SegmentIndex(s.dTime);
    const float fBoatTolerance = kBoatSpeedChange * s.fBoatSpeed;
    // Four segments in a row from j, each known, the boat speed steady from them to the sample.
    for (double j = dOwn - kReach; j + 3 <= dOwn + kReach; ++j) {
        float fBoatMin = s.fBoatSpeed;
        float fBoatMax = s.fBoatSpeed;
        bool bKnown = true;
        for (double k = std::min(j, dOwn); k <= std::max(j + 3, dOwn) && bKnown; ++k) {
            const Segment* p = At(k);
            bKnown = p != nullptr && p->nSamples > 0;
            if (bKnown) {
                fBoatMin = std::min(fBoatMin, p->fBoatMin);
                fBoatMax = std::max(fBoatMax, p->fBoatMax);
            }
        }
        if (!bKnown || fBoatMax - fBoatMin > fBoatTolerance) {
            continue;
        }
        bool bAngleMoves = true;
        bool bWindMoves = true;
        for (double k = j; k < j + 3; ++k) {
            const Segment& a = *At(k);
            const Segment& b = *At(k + 1);
            const double dAngleStep = b.dAngleSum / b.nSamples - a.dAngleSum / a.nSamples;
            const double dWindStep = b.dWindSum / b.nSamples - a.dWindSum / a.nSamples;
            bAngleMoves = bAngleMoves && std::fabs(dAngleStep) > kWindAngleStep;
            bWindMoves = bWindMoves && std::fabs(dWindStep) > kWindSpeedStep * s.fWindSpeed;
        }
        if (bAngleMoves || bWindMoves) {
            return true;
        }
    }
    return false;
}
