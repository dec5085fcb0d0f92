// Reading and writing a data file of about 20 MB (many sail plans, polars of 30 points), ours
// beside the stream-function baseline in the same run. Prints MB/s and the ratios.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "bench/generated_polars.h"
#include "bench/ratio_reporter.h"
#include "bench/stdio_polar_file.h"
#include "data/polar_file.h"

namespace {

struct Fixture {
    Fixture() {
        strPath = (std::filesystem::temp_directory_path() /
                   ("polar-bench-" + std::to_string(::getpid()) + ".ppd"))
                      .string();
        plans = GenerateSailPlans();
        text = FormatPolarFile(plans);
        std::FILE* f = std::fopen(strPath.c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    ~Fixture() { std::filesystem::remove(strPath); }
    std::string strPath;
    SailPlanArray plans;
    std::string text;
};

Fixture& Data() {
    static Fixture fixture;
    return fixture;
}

void SetBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(Data().text.size()));
}

void BM_Read_Ours(benchmark::State& state) {
    for (auto _ : state) {
        PolarFileContents contents;
        LoadPolarFile(Data().strPath, contents);
        benchmark::DoNotOptimize(contents.aSailPlans.data());
    }
    SetBytes(state);
}

void BM_Read_Fscanf(benchmark::State& state) {
    for (auto _ : state) {
        SailPlanArray plans = StdioReadPolarFile(Data().strPath);
        benchmark::DoNotOptimize(plans.data());
    }
    SetBytes(state);
}

// Both writers hand the bytes to the system without waiting for the disk; the atomic save,
// which also syncs, is measured on its own below.
void BM_Write_Ours(benchmark::State& state) {
    const std::string strOut = Data().strPath + ".out";
    for (auto _ : state) {
        const std::string text = FormatPolarFile(Data().plans);
        std::FILE* f = std::fopen(strOut.c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    std::filesystem::remove(strOut);
    SetBytes(state);
}

void BM_Write_Fprintf(benchmark::State& state) {
    const std::string strOut = Data().strPath + ".out";
    for (auto _ : state) {
        StdioWritePolarFile(strOut, Data().plans);
    }
    std::filesystem::remove(strOut);
    SetBytes(state);
}

void BM_Save_OursAtomicWithSync(benchmark::State& state) {
    const std::string strOut = Data().strPath + ".out";
    for (auto _ : state) {
        SavePolarFile(strOut, Data().plans);
    }
    std::filesystem::remove(strOut);
    SetBytes(state);
}

BENCHMARK(BM_Read_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Read_Fscanf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Write_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Write_Fprintf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save_OursAtomicWithSync)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Data();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nfile size: %.1f MB\n", static_cast<double>(Data().text.size()) / 1e6);
    reporter.PrintSpeedup("read", "BM_Read_Fscanf", "BM_Read_Ours", 3.0);
    reporter.PrintSpeedup("write", "BM_Write_Fprintf", "BM_Write_Ours", 2.0);
    benchmark::Shutdown();
    return 0;
}
