// Reading instrument logs for polarctl learn: ours beside a straightforward baseline (lines
// with std::getline, fields split with a string stream) in the same run, in MB/s; and the peak
// memory for a 10 MB and a 1 GB log (the reader must not grow with the log).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "bench/generated_log.h"
#include "bench/ratio_reporter.h"
#include "logs/logs.h"

namespace {

const std::string& Log() {
    static const std::string log = GenerateLog(64u << 20);
    return log;
}

void BM_Learn_ReadLog(benchmark::State& state) {
    for (auto _ : state) {
        Learner learner(LearnOptions{});
        LogCounts counts;
        ReadLogText(Log(), counts, [&](const LogSample& s) { learner.Add(s); });
        benchmark::DoNotOptimize(counts.nSamples);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(Log().size()));
}

// The baseline: std::getline and a string stream per field, the same sentences and values.
void BM_Baseline_GetlineStringStream(benchmark::State& state) {
    for (auto _ : state) {
        std::istringstream in(Log());
        std::string line;
        double dBoat = 0;
        std::size_t nSamples = 0;
        while (std::getline(in, line)) {
            const std::size_t nStar = line.find('*');
            if (nStar == std::string::npos || nStar + 2 >= line.size()) {
                continue;
            }
            unsigned char x = 0;
            for (std::size_t i = 1; i < nStar; ++i) {
                x ^= static_cast<unsigned char>(line[i]);
            }
            if (x != std::stoi(line.substr(nStar + 1, 2), nullptr, 16)) {
                continue;
            }
            std::istringstream fields(line.substr(1, nStar - 1));
            std::string field;
            std::vector<std::string> f;
            while (std::getline(fields, field, ',')) {
                f.push_back(field);
            }
            if (f.empty()) {
                continue;
            }
            if (f[0] == "IIVHW" && f.size() > 5) {
                dBoat = std::stod(f[5]);
            } else if (f[0] == "IIMWV" && f.size() > 3) {
                nSamples += std::stod(f[3]) > 0 && dBoat > 0 ? 1 : 0;
            }
        }
        benchmark::DoNotOptimize(nSamples);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(Log().size()));
}

// The other baseline: counting the lines as wc -l does (memchr for each line end), the most a
// line reader can do; learning's share of its speed is told.
void BM_Baseline_CountLines(benchmark::State& state) {
    for (auto _ : state) {
        const char* p = Log().data();
        const char* pEnd = p + Log().size();
        std::size_t nLines = 0;
        while ((p = static_cast<const char*>(std::memchr(p, '\n', pEnd - p))) != nullptr) {
            ++nLines;
            ++p;
        }
        benchmark::DoNotOptimize(nLines);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(Log().size()));
}

double PeakMegabytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Peak memory reading a log file of the size given (MB), through the file reader as learn does:
// plainly (0) or as --calibrate --holdout 20 (1).
// learn --calibrate --holdout 20: a fifth of the legs held out, the samples kept by degree and
// tack, the bins made with the sensors' errors the reading shows taken out, and the holdout
// measured.
void BM_Learn_CalibrateHoldout(benchmark::State& state) {
    for (auto _ : state) {
        LearnOptions options;
        options.fHoldoutPercent = 20;
        options.bSelfCalibrate = true;
        Learner learner(options);
        LogCounts counts;
        ReadLogText(Log(), counts, [&](const LogSample& s) { learner.Add(s); });
        const auto pLearned = learner.Result("Measured");
        benchmark::DoNotOptimize(learner.Holdout(*pLearned).dMedian);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(Log().size()));
}

void BM_Learn_PeakMemory(benchmark::State& state) {
    const auto nBytes = static_cast<std::size_t>(state.range(0)) << 20;
    const std::string strPath =
        (std::filesystem::temp_directory_path() / "polar-learn-bench.nmea").string();
    {
        std::ofstream out(strPath, std::ios::binary);
        const std::string block = GenerateLog(8u << 20);
        for (std::size_t n = 0; n < nBytes; n += block.size()) {
            out.write(block.data(),
                      static_cast<std::streamsize>(std::min(block.size(), nBytes - n)));
        }
    }
    const double dBefore = PeakMegabytes();
    LearnOptions options;
    if (state.range(1) != 0) {  // as --calibrate --holdout 20 learns
        options.fHoldoutPercent = 20;
        options.bSelfCalibrate = true;
    }
    for (auto _ : state) {
        Learner learner(options);
        LogCounts counts;
        std::string strError;
        ReadLog(
            strPath, counts, [&](const LogSample& s) { learner.Add(s); }, strError);
        benchmark::DoNotOptimize(counts.nSamples);
    }
    state.counters["peak_MB"] = PeakMegabytes();
    state.counters["peak_MB_before"] = dBefore;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(nBytes));
    std::filesystem::remove(strPath);
}

// A 64 MB log file, plain (0) or gzip-compressed (1), read as learn reads it: without an
// observer of the progress, and with one (as on a terminal).
std::string LogFilePath(bool bCompressed) {
    return (std::filesystem::temp_directory_path() /
            (bCompressed ? "polar-learn-bench.nmea.gz" : "polar-learn-bench-file.nmea"))
        .string();
}

std::string LogFile(bool bCompressed) {
    const std::string strPath = LogFilePath(bCompressed);
    if (!std::filesystem::exists(strPath)) {
        gzFile file = gzopen(strPath.c_str(), bCompressed ? "wb6" : "wbT");
        gzwrite(file, Log().data(), static_cast<unsigned>(Log().size()));
        gzclose(file);
    }
    return strPath;
}

void ReadFile(benchmark::State& state, const LogReadOptions& options) {
    const std::string strPath = LogFile(state.range(0) != 0);
    for (auto _ : state) {
        Learner learner(LearnOptions{});
        LogCounts counts;
        std::string strError;
        ReadLog(
            strPath, counts, [&](const LogSample& s) { learner.Add(s); }, strError, options);
        benchmark::DoNotOptimize(counts.nSamples);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(Log().size()));
}

void BM_Learn_ReadLogFile(benchmark::State& state) {
    ReadFile(state, {});
}

void BM_Learn_ReadLogFileObserved(benchmark::State& state) {
    std::uint64_t nLast = 0;
    LogReadOptions options;
    options.progress = [&](const LogProgress& p) { nLast = p.nBytesRead; };
    ReadFile(state, options);
    benchmark::DoNotOptimize(nLast);
}

BENCHMARK(BM_Learn_ReadLog)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Baseline_GetlineStringStream)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Baseline_CountLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Learn_CalibrateHoldout)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Learn_ReadLogFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Learn_ReadLogFileObserved)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Learn_PeakMemory)
    ->Args({10, 0})
    ->Args({1024, 0})
    ->Args({10, 1})
    ->Args({1024, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Log();  // made before any timing
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintSpeedup("reading logs", "BM_Baseline_GetlineStringStream", "BM_Learn_ReadLog",
                          5.0);
    // Learning is at least a tenth of the speed of counting lines.
    reporter.PrintCost("reading logs beside counting their lines", "BM_Baseline_CountLines",
                       "BM_Learn_ReadLog", 10.0);
    reporter.PrintCost("learning with --calibrate --holdout 20", "BM_Learn_ReadLog",
                       "BM_Learn_CalibrateHoldout", 2.0);
    for (const bool bCompressed : {false, true}) {
        std::filesystem::remove(LogFilePath(bCompressed));
    }
    benchmark::Shutdown();
    return 0;
}
