#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "data/sailplan.h"
#include "logs/calibration.h"
#include "logs/degree_bins.h"
#include "logs/distribution.h"
#include "logs/learn_options.h"
#include "logs/log_sample.h"
#include "logs/sample_stages.h"

// How far a learned polar lies from the held-out legs: for each bin whose held-out samples are
// enough for a point, the difference (kn) between their percentile and the polar's speed there.
struct HoldoutError {
    std::uint64_t nLegs = 0;     // legs held out
    std::uint64_t nSamples = 0;  // their samples
    int nBins = 0;               // bins measured
    double dMedian = 0;          // of the bins' differences, in kn
    double dPercentile90 = 0;
};

// Learns a polar from samples: each bin with enough samples becomes a point at the bin's
// percentile of boat speeds. With a holdout percentage, that share of the steady legs is kept
// apart to measure the learned polar on. Self-calibrating (LearnOptions::bSelfCalibrate), it
// keeps the samples by whole degree and tack, and at Finish makes the bins with the wind angle
// offset and boat speed factor that the reading showed taken out: one reading, where applying
// a known calibration (LearnOptions::calibration) needs the estimate from a reading before.
class Learner {
  public:
    explicit Learner(LearnOptions options);
    Learner(const Learner&) = delete;
    Learner& operator=(const Learner&) = delete;
    void Add(const LogSample& sample) { m_stages.Add(sample); }
    void NewLog() { m_stages.NewLog(); }
    // Takes the samples still waiting in the stages and, self-calibrating, makes the bins;
    // Result does it too. No sample may be added after it.
    void Finish();
    std::unique_ptr<SAILPLAN> Result(const std::string& strName);
    // After Finish: where the samples went, the points per wind speed, as text and as JSON (the
    // JSON has the points per wind speed, and its bins carry each bin's count, percentile,
    // mean, spread and whether both tacks sailed it).
    const StageCounts& Counts() const { return m_stages.Counts(); }
    // After Result: the polars left out because their points were the same speed at every
    // angle, as motoring makes them.
    int FlatPolars() const { return m_nFlatPolars; }
    int Points() const;
    int PointsAt(int nWindBin) const;
    std::string Summary() const;
    std::string ReportJson() const;
    // The held-out legs against a learned polar (Result's, fitted or not).
    HoldoutError Holdout(const SAILPLAN& learned) const;
    // After Finish: the sensors' errors as the kept samples show them (after the options'
    // calibration), with how sure they are.
    const SensorEstimates& Estimates() const { return m_estimates; }
    // Self-calibrating, after Finish: the calibration the bins were made with (only the
    // estimates sure enough to apply).
    const ::Calibration& SelfCalibration() const { return m_selfCalibration; }

  private:
    struct Bin {
        Distribution speeds{0.01, 60.0};
        std::uint64_t nPort = 0;
    };
    void Keep(const LogSample& sample, int nWind);
    // Self-calibrating: the bins made from the degrees, the errors taken out.
    void MakeBinsFromDegrees();
    Bin& BinAt(std::size_t nIndex);
    Distribution& HeldAt(std::size_t nIndex);
    bool HeldOut(std::uint64_t nLeg) const;
    // Whether a bin holds enough samples to become a point.
    bool IsPoint(const Bin* pBin) const {
        return pBin != nullptr &&
               pBin->speeds.Count() >= static_cast<std::uint64_t>(m_options.nMinSamples);
    }
    const Bin* At(int nWind, int nAngle) const {
        return m_bins[static_cast<std::size_t>(nWind * m_nAngleBins + nAngle)].get();
    }

    LearnOptions m_options;
    SampleStages m_stages;
    // The bins, by wind speed bin and angle bin (each made on its first sample).
    int m_nAngleBins;
    std::vector<std::unique_ptr<Bin>> m_bins;
    // The held-out legs' boat speeds, by bin like m_bins.
    std::vector<std::unique_ptr<Distribution>> m_held;
    std::uint64_t m_nHeldLegs = 0;
    std::uint64_t m_nHeldSamples = 0;
    std::uint64_t m_nLastHeldLeg = 0;
    CalibrationEstimator m_calibration;
    SensorEstimates m_estimates;
    bool m_bFinished = false;
    int m_nFlatPolars = 0;
    std::uint64_t m_nHoldoutPercent;
    // Self-calibrating: the kept and the held-out samples by degree until Finish.
    std::unique_ptr<DegreeBins> m_pDegrees;
    std::unique_ptr<DegreeBins> m_pHeldDegrees;
    ::Calibration m_selfCalibration;
};
