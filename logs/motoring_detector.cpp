#include "logs/motoring_detector.h"

#include <algorithm>
#include <cmath>
#include <limits>

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
    // A time so far out that whole segments cannot be counted (a garbled log): judged alone.
    if (!(std::fabs(dIndex) < 1e12)) {
        Flush();
        m_verdict(sample, false);
        return;
    }
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
    if (m_pending.empty()) {
        m_dFirstPendingIndex = dIndex;
    }
    m_pending.push_back(sample);
    // Judged once the segments kReach after its own are complete.
    while (!m_pending.empty() && m_dFirstPendingIndex + kReach < dIndex) {
        JudgeFirst();
    }
}

void MotoringDetector::Flush() {
    while (!m_pending.empty()) {
        JudgeFirst();
    }
    m_segments.clear();
    m_dVerdictSegment = std::numeric_limits<double>::quiet_NaN();
}

void MotoringDetector::JudgeFirst() {
    const LogSample sample = m_pending.front();
    m_pending.pop_front();
    m_verdict(sample, LooksLikeMotoring(sample));
    if (!m_pending.empty()) {
        m_dFirstPendingIndex = SegmentIndex(m_pending.front().dTime);
        const double dKeepFrom = m_dFirstPendingIndex - kReach;
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

bool MotoringDetector::LooksLikeMotoring(const LogSample& s) {
    if (s.fBoatSpeed > 1.0f && s.fWindAngle < 30.0f) {
        return true;
    }
    if (s.fBoatSpeed > 1.2f * s.fWindSpeed + 1.0f) {
        return true;
    }
    // Faster than the wind close-hauled or on a run, which sails do not drive a keelboat to
    // (motor-sailing in a light breeze, motoring downwind).
    if (s.fBoatSpeed > 1.0f && s.fBoatSpeed > s.fWindSpeed &&
        (s.fWindAngle < kUpwindAngle || s.fWindAngle > kRunAngle)) {
        return true;
    }
    // Creeping along in a breeze that would drive the boat well: manoeuvring under engine (in a
    // gale a boat may sail slowly under storm canvas).
    if (s.fWindSpeed >= kCreepingWind && s.fWindSpeed <= kCreepingWindMax &&
        s.fBoatSpeed < kCreepingShare * s.fWindSpeed) {
        return true;
    }
    const double dOwn = SegmentIndex(s.dTime);
    if (dOwn != m_dVerdictSegment) {
        m_dVerdictSegment = dOwn;
        m_bSegmentVerdict = SegmentLooksLikeMotoring(dOwn);
    }
    return m_bSegmentVerdict;
}

bool MotoringDetector::SegmentLooksLikeMotoring(double dOwn) const {
    const Segment* pOwn = At(dOwn);
    if (pOwn == nullptr || pOwn->nSamples == 0) {
        return false;
    }
    // The segments kReach either side, copied once: whether known, their boat speeds, and
    // whether the wind angle or speed moved on from each to the next.
    constexpr int kSpan = 2 * kReach + 1;
    bool aKnown[kSpan];
    float aBoatMin[kSpan];
    float aBoatMax[kSpan];
    double aAngle[kSpan];
    double aWind[kSpan];
    for (int i = 0; i < kSpan; ++i) {
        const Segment* p = At(dOwn - kReach + i);
        aKnown[i] = p != nullptr && p->nSamples > 0;
        if (aKnown[i]) {
            aBoatMin[i] = p->fBoatMin;
            aBoatMax[i] = p->fBoatMax;
            aAngle[i] = p->dAngleSum / p->nSamples;
            aWind[i] = p->dWindSum / p->nSamples;
        }
    }
    const double dWindStep = kWindSpeedStep * aWind[kReach];
    bool aMoves[kSpan - 1];
    bool bAnyRun = false;
    for (int i = 0; i + 1 < kSpan; ++i) {
        aMoves[i] = aKnown[i] && aKnown[i + 1] &&
                    (std::fabs(aAngle[i + 1] - aAngle[i]) > kWindAngleStep ||
                     std::fabs(aWind[i + 1] - aWind[i]) > dWindStep);
        bAnyRun = bAnyRun || (i >= 2 && aMoves[i] && aMoves[i - 1] && aMoves[i - 2]);
    }
    if (!bAnyRun) {
        return false;  // the usual case of sailing: no run of four moving segments
    }
    const float fBoatTolerance = kBoatSpeedChange * 0.5f * (aBoatMin[kReach] + aBoatMax[kReach]);
    // Four segments in a row from j, the boat speed steady from them to the sample's own, and
    // the angle, or the speed, moving on at each step.
    for (int j = 0; j + 3 < kSpan; ++j) {
        const auto steps = [&](const double* pValues, double dStep) {
            for (int k = j; k < j + 3; ++k) {
                if (!(std::fabs(pValues[k + 1] - pValues[k]) > dStep)) {
                    return false;
                }
            }
            return true;
        };
        if (!(aMoves[j] && aMoves[j + 1] && aMoves[j + 2])) {
            continue;
        }
        float fBoatMin = aBoatMin[kReach];
        float fBoatMax = aBoatMax[kReach];
        bool bKnown = true;
        for (int k = std::min(j, kReach); k <= std::max(j + 3, kReach) && bKnown; ++k) {
            bKnown = aKnown[k];
            if (bKnown) {
                fBoatMin = std::min(fBoatMin, aBoatMin[k]);
                fBoatMax = std::max(fBoatMax, aBoatMax[k]);
            }
        }
        if (bKnown && fBoatMax - fBoatMin <= fBoatTolerance &&
            (steps(aAngle, kWindAngleStep) || steps(aWind, dWindStep))) {
            return true;
        }
    }
    return false;
}
