#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

// The console table, then for chosen pairs how ours compares with the baseline of the same run.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            m_times[run.benchmark_name()] = run.GetAdjustedRealTime();
            m_units[run.benchmark_name()] = run.time_unit;
            for (const auto& [strCounter, counter] : run.counters) {
                m_counters[run.benchmark_name() + ":" + strCounter] = counter.value;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // Prints "what: baseline time / ours time" (faster: above 1), against a goal when given.
    void PrintSpeedup(const char* pszWhat, const std::string& strBaseline,
                      const std::string& strOurs, double dGoal) const {
        const double dBase = Milliseconds(strBaseline);
        const double dOurs = Milliseconds(strOurs);
        if (dBase <= 0 || dOurs <= 0) {
            return;
        }
        std::printf("%s: ours is %.2f times the baseline's speed (goal %.1f): %s\n", pszWhat,
                    dBase / dOurs, dGoal, dBase / dOurs >= dGoal ? "met" : "NOT met");
    }

    // Prints how many times the baseline's time ours takes, against a ceiling.
    void PrintCost(const char* pszWhat, const std::string& strBaseline, const std::string& strOurs,
                   double dCeiling) const {
        const double dBase = Milliseconds(strBaseline);
        const double dOurs = Milliseconds(strOurs);
        if (dBase <= 0 || dOurs <= 0) {
            return;
        }
        std::printf("%s: %.3f ms, %.2f times the baseline's %.3f ms (goal at most %.1f): %s\n",
                    pszWhat, dOurs, dOurs / dBase, dBase, dCeiling,
                    dOurs / dBase <= dCeiling ? "met" : "NOT met");
    }

    double Milliseconds(const std::string& strName) const {
        const auto it = m_times.find(strName);
        if (it == m_times.end()) {
            return -1;
        }
        return it->second / benchmark::GetTimeUnitMultiplier(m_units.at(strName)) * 1e3;
    }

    // A user counter of a run ("NAME:COUNTER"), or -1.
    double Counter(const std::string& strName) const {
        const auto it = m_counters.find(strName);
        return it == m_counters.end() ? -1 : it->second;
    }

  private:
    std::map<std::string, double> m_counters;
    std::map<std::string, double> m_times;
    std::map<std::string, benchmark::TimeUnit> m_units;
};
