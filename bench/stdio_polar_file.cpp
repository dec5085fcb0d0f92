#include "bench/stdio_polar_file.h"

#include <cstdio>

namespace {

bool ReadPolar(std::FILE* f, PERF_POLAR& polar, bool* pbLast) {
    *pbLast = false;
    if (std::fscanf(f, "%f,", &polar.m_fWindSpeed) != 1 ||
        std::fscanf(f, "%f,", &polar.m_fTackingAngle) != 1) {
        return false;
    }
    for (;;) {
        float x = 0;
        if (std::fscanf(f, "%f,", &x) != 1) {
            return false;
        }
        if (x > -0.5f) {
            float s = 0;
            if (std::fscanf(f, "%f,", &s) != 1) {
                return false;
            }
            polar.m_aVectors.push_back(std::make_unique<PERF_VECTOR>(PERF_VECTOR{x, s}));
        } else {
            *pbLast = x < -1.5f;
            return true;
        }
    }
}

}  // namespace

SailPlanArray StdioReadPolarFile(const std::string& strPath) {
    SailPlanArray plans;
    std::FILE* f = std::fopen(strPath.c_str(), "r");
    if (f == nullptr) {
        return plans;
    }
    while (!std::feof(f)) {
        auto plan = std::make_unique<SAILPLAN>(std::string());
        int c = 0;
        while ((c = std::fgetc(f)) != EOF && c != ',') {
            // Text mode on Windows turns CR LF into LF; here the CR is dropped by hand.
            if (c != '\n' && c != '\t' && c != '\r' && plan->m_strName.size() < 99) {
                plan->m_strName.push_back(static_cast<char>(c));
            }
        }
        if (c == EOF) {
            break;
        }
        bool bLast = false;
        while (!bLast) {
            auto polar = std::make_unique<PERF_POLAR>(0.0f, 0.0f);
            if (!ReadPolar(f, *polar, &bLast)) {
                bLast = true;
                break;
            }
            plan->m_aPolars.push_back(std::move(polar));
        }
        plans.push_back(std::move(plan));
    }
    std::fclose(f);
    return plans;
}

void StdioWritePolarFile(const std::string& strPath, const SailPlanArray& aSailPlans) {
    std::FILE* f = std::fopen(strPath.c_str(), "w");
    if (f == nullptr) {
        return;
    }
    for (std::size_t s = 0; s < aSailPlans.size(); ++s) {
        const SAILPLAN& plan = *aSailPlans[s];
        std::fprintf(f, "%s,\r\n", plan.m_strName.c_str());
        for (std::size_t p = 0; p < plan.m_aPolars.size(); ++p) {
            const PERF_POLAR& polar = *plan.m_aPolars[p];
            std::fprintf(f, "%0.2f,%0.2f,\r\n", static_cast<double>(polar.m_fWindSpeed),
                         static_cast<double>(polar.m_fTackingAngle));
            for (const auto& v : polar.m_aVectors) {
                std::fprintf(f, "%0.2f,%0.2f,", static_cast<double>(v->m_fAngle),
                             static_cast<double>(v->m_fSpeed));
            }
            const bool bLastPolar = p + 1 == plan.m_aPolars.size();
            const bool bLastPlan = s + 1 == aSailPlans.size();
            std::fprintf(f, bLastPolar && bLastPlan ? "%d" : "%d\r\n", bLastPolar ? -2 : -1);
        }
    }
    std::fclose(f);
}
