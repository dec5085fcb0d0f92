#pragma once

#include <cstdint>
#include <vector>

// A distribution of values kept as a histogram of fixed resolution, so that its memory does
// not grow with the number of values: count, mean, spread and percentiles.
class Distribution {
  public:
    Distribution(double dResolution, double dMaximum);
    void Add(double d);
    // Every value of another distribution, times dScale (each where its bucket's value falls).
    void AddScaled(const Distribution& other, double dScale);
    std::uint64_t Count() const { return m_nCount; }
    double Mean() const;
    double Spread() const;  // standard deviation
    double Percentile(double dPercent) const;

  private:
    double m_dResolution;
    std::vector<std::uint32_t> m_aBuckets;
    std::uint64_t m_nCount = 0;
    double m_dSum = 0;
    double m_dSumOfSquares = 0;
};
