#pragma once

#include <random>
#include <string>

#include "data/sailplan.h"

// The data of the benchmarks: about 20 MB as a data file, 1800 sail plans of 30 polars of 30
// points each, the same every run.
inline SailPlanArray GenerateSailPlans() {
    constexpr int kSailPlans = 1800;
    constexpr int kPolarsPerPlan = 30;
    constexpr int kPointsPerPolar = 30;
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> jitter(-0.5f, 0.5f);
    SailPlanArray plans;
    for (int s = 0; s < kSailPlans; ++s) {
        auto plan = std::make_unique<SAILPLAN>("Sail plan " + std::to_string(s));
        for (int p = 0; p < kPolarsPerPlan; ++p) {
            plan->InsertPolar(p, 2.0f + static_cast<float>(p), 38.0f + jitter(rng));
            PERF_POLAR& polar = *plan->m_aPolars.back();
            for (int i = 0; i < kPointsPerPolar; ++i) {
                polar.InsertVector(i, 30.0f + 5.0f * static_cast<float>(i) + jitter(rng),
                                   4.0f + 0.3f * static_cast<float>(p) + jitter(rng));
            }
        }
        plans.push_back(std::move(plan));
    }
    return plans;
}
