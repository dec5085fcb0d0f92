// The history of steps on the 20 MB data: what 1000 single-point edits add to it, and how long
// an undo takes, beside the baseline of a history that copies the whole data for each step.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "bench/generated_polars.h"
#include "data/edit_history.h"

namespace {

SailPlanArray& Plans() {
    static SailPlanArray plans = GenerateSailPlans();
    return plans;
}

// Point i of some polar of some sail plan, moved a little: one user's cell edit.
int EditOnePoint(SailPlanArray& plans, int k) {
    const int s = (k * 37) % static_cast<int>(plans.size());
    PERF_POLAR& polar =
        *plans[static_cast<std::size_t>(s)]->m_aPolars[static_cast<std::size_t>(k % 30)];
    polar.m_aVectors[static_cast<std::size_t>(k % 30)]->m_fSpeed += 0.01f;
    return s;
}

void BM_History_1000PointEdits(benchmark::State& state) {
    EditHistory history;
    for (auto _ : state) {
        state.PauseTiming();
        history.Reset(Plans());
        state.ResumeTiming();
        for (int k = 0; k < 1000; ++k) {
            const int s = EditOnePoint(Plans(), k);
            history.Record(Plans(), {s}, {}, {s, k % 30, k % 30});
        }
    }
    state.counters["history_MB"] = static_cast<double>(history.Bytes()) / 1e6;
}

// The baseline: a copy of all the data for each of the steps (here only ten, the rest
// extrapolated in the counter).
void BM_Baseline_FullCopyPerStep(benchmark::State& state) {
    std::size_t nBytes = 0;
    for (auto _ : state) {
        nBytes = 0;
        for (int k = 0; k < 10; ++k) {
            EditOnePoint(Plans(), k);
            SailPlanArray copy;
            copy.reserve(Plans().size());
            for (const auto& p : Plans()) {
                auto c = std::make_unique<SAILPLAN>(p->m_strName);
                for (const auto& polar : p->m_aPolars) {
                    c->InsertPolar(c->GetPolarCount(), polar->m_fWindSpeed, polar->m_fTackingAngle);
                    for (const auto& v : polar->m_aVectors) {
                        c->m_aPolars.back()->InsertVector(c->m_aPolars.back()->GetVectorCount(),
                                                          v->m_fAngle, v->m_fSpeed);
                        nBytes += sizeof(PERF_VECTOR) + sizeof(void*);
                    }
                }
            }
            benchmark::DoNotOptimize(copy);
        }
    }
    state.counters["history_MB_for_1000"] = static_cast<double>(nBytes) / 10.0 * 1000.0 / 1e6;
}

void BM_History_UndoRedoPointStep(benchmark::State& state) {
    EditHistory history;
    history.Reset(Plans());
    const int s = EditOnePoint(Plans(), 5);
    history.Record(Plans(), {s}, {}, {});
    for (auto _ : state) {
        history.Undo(Plans());
        history.Redo(Plans());
    }
}

void BM_History_UndoRedoSailPlanDeletion(benchmark::State& state) {
    EditHistory history;
    history.Reset(Plans());
    auto removed = std::move(Plans()[900]);
    Plans().erase(Plans().begin() + 900);
    history.Record(Plans(), {}, {}, {});
    for (auto _ : state) {
        history.Undo(Plans());
        history.Redo(Plans());
    }
    history.Undo(Plans());
}

BENCHMARK(BM_History_1000PointEdits)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Baseline_FullCopyPerStep)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_History_UndoRedoPointStep)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_History_UndoRedoSailPlanDeletion)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
