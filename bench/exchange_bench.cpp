// Importing a TWA/TWS grid of 181 angles by 71 wind speeds, beside the floor of reading it in
// the same run: splitting the same text into lines and cells.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "bench/ratio_reporter.h"
#include "exchange/exchange.h"
#include "exchange/text_lines.h"

namespace {

const std::string& Grid() {
    static const std::string text = [] {
        std::string s = "TWA\\TWS";
        for (int w = 0; w < 71; ++w) {
            s += '\t';  // not `"\t" + string`, which trips GCC 12's -Wrestrict at -O3
            s += std::to_string(4 + w * 0.5).substr(0, 4);
        }
        s += "\n";
        char cell[32];
        for (int a = 0; a <= 180; ++a) {
            s += std::to_string(a);
            for (int w = 0; w < 71; ++w) {
                std::snprintf(cell, sizeof cell, "\t%.2f", 3.0 + 0.05 * w + 0.02 * a);
                s += cell;
            }
            s += "\n";
        }
        return s;
    }();
    return text;
}

void BM_SplitCells(benchmark::State& state) {
    for (auto _ : state) {
        std::size_t n = 0;
        for (const TextLine& line : SplitLines(Grid())) {
            n += SplitCells(line.text, '\t').size();
        }
        benchmark::DoNotOptimize(n);
    }
}

void BM_ImportGrid(benchmark::State& state) {
    for (auto _ : state) {
        ImportResult result = ImportGrid(Grid(), "Bench");
        benchmark::DoNotOptimize(result.pSailPlan.get());
    }
}

BENCHMARK(BM_SplitCells)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportGrid)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf(
        "\nimport of a 181 x 71 grid: %.2f ms (goal well under 10 ms); splitting alone %.2f ms\n",
        reporter.Milliseconds("BM_ImportGrid"), reporter.Milliseconds("BM_SplitCells"));
    benchmark::Shutdown();
    return 0;
}
