#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <limits>

#include "logs/log_sample.h"

// Recognises motoring from the sailing itself, where the log does not say the engine runs: the
// boat speed does not follow the wind. Time is cut into segments of 7.5 s. A sample looked like
// motoring when four segments in a row within 45 s of it show the true wind angle moving on
// more than 3 degrees, or the true wind speed more than 10 %, from each segment to the next
// while the boat speed, from those segments to the sample's own, stayed within 10 % (judged
// once per segment, for all its samples); when it points
// closer than 30 degrees to the true wind at more than 1 kn, which no sail drives; when it
// goes faster than 1.2 times the true wind speed plus 1 kn; faster than the true wind closer
// than 60 degrees to it or further than 150 from it (sails do not drive a keelboat so: a fast
// multihull's light-air beats and runs are taken for motoring); or slower than 0.4 times a
// true wind of 5 to 25 kn (manoeuvring in a harbour). A turn from one steady course to
// another moves the wind angle once, not on and on, and stays sailing.
//
// Each verdict needs the 45 s after its sample: samples are handed on with their verdict about
// that much later, in log order. Flush hands on what waits, judged on what is known.
class MotoringDetector {
  public:
    using Verdict = std::function<void(const LogSample&, bool bMotoring)>;
    explicit MotoringDetector(Verdict verdict) : m_verdict(std::move(verdict)) {}
    void Add(const LogSample& sample);
    void Flush();

    static constexpr double kSegmentSeconds = 7.5;
    static constexpr int kReach = 6;                 // segments either side of a sample's own: 45 s
    static constexpr float kBoatSpeedChange = 0.1f;  // of the sample's boat speed
    static constexpr float kWindAngleStep = 3.0f;    // degrees, from segment to segment
    static constexpr float kWindSpeedStep = 0.1f;    // of the sample's wind speed
    static constexpr float kUpwindAngle = 60.0f;
    static constexpr float kRunAngle = 150.0f;
    static constexpr float kCreepingWind = 5.0f;
    static constexpr float kCreepingWindMax = 25.0f;
    static constexpr float kCreepingShare = 0.4f;

  private:
    struct Segment {
        double dIndex = 0;  // the segment's start over kSegmentSeconds
        double dAngleSum = 0;
        double dWindSum = 0;
        int nSamples = 0;
        float fBoatMin = 0;
        float fBoatMax = 0;
    };
    void JudgeFirst();
    bool LooksLikeMotoring(const LogSample& sample);
    // The verdict on the drift around a segment, the same for all its samples: judged once.
    bool SegmentLooksLikeMotoring(double dIndex) const;
    // The segment at an index, or nullptr when it is not known.
    const Segment* At(double dIndex) const;

    Verdict m_verdict;
    std::deque<LogSample> m_pending;  // not judged yet, in log order
    double m_dFirstPendingIndex = 0;  // the segment of the first pending
    std::deque<Segment> m_segments;   // consecutive, from kReach before the first pending
    double m_dVerdictSegment = std::numeric_limits<double>::quiet_NaN();
    bool m_bSegmentVerdict = false;
};
