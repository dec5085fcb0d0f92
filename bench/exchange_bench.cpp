// Importing a TWA/TWS grid of 181 angles by 71 wind speeds, beside the floor of reading it in
// the same run: splitting the same text into lines and cells. Then every format of the table
// writes and reads the same polar, in MB/s of its own text beside the grid's.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

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

// The grid's polar, read once: what every format writes.
const SAILPLAN& BenchPlan() {
    static const ImportResult result = ImportGrid(Grid(), "Bench");
    return *result.pSailPlan;
}

void BM_Write(benchmark::State& state, const ExchangeFormat* pFormat) {
    std::size_t nBytes = 0;
    for (auto _ : state) {
        const std::string text = pFormat->write(BenchPlan(), "bench.pol");
        nBytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * nBytes));
}

void BM_Read(benchmark::State& state, const ExchangeFormat* pFormat) {
    const std::string text = pFormat->write(BenchPlan(), "bench.pol");
    for (auto _ : state) {
        ImportResult result = pFormat->read(text, "Bench");
        benchmark::DoNotOptimize(result.pSailPlan.get());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> names;
    for (const ExchangeFormat& format : ExchangeFormats()) {
        names.emplace_back(format.name);
        benchmark::RegisterBenchmark(("BM_Write/" + names.back()).c_str(), BM_Write, &format)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_Read/" + names.back()).c_str(), BM_Read, &format)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf(
        "\nimport of a 181 x 71 grid: %.2f ms (goal well under 10 ms); splitting alone %.2f ms\n",
        reporter.Milliseconds("BM_ImportGrid"), reporter.Milliseconds("BM_SplitCells"));
    std::printf("\nthe same polar in every format (MB/s of the format's text; x the grid's):\n");
    const double dGridWrite = reporter.Counter("BM_Write/grid:bytes_per_second");
    const double dGridRead = reporter.Counter("BM_Read/grid:bytes_per_second");
    for (const std::string& name : names) {
        const double dWrite = reporter.Counter("BM_Write/" + name + ":bytes_per_second");
        const double dRead = reporter.Counter("BM_Read/" + name + ":bytes_per_second");
        if (dWrite > 0 && dRead > 0 && dGridWrite > 0 && dGridRead > 0) {
            std::printf("  %-12s write %7.1f MB/s (x%.2f)   read %7.1f MB/s (x%.2f)\n",
                        name.c_str(), dWrite / 1e6, dWrite / dGridWrite, dRead / 1e6,
                        dRead / dGridRead);
        }
    }
    benchmark::Shutdown();
    return 0;
}
