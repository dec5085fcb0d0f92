// polar-editor's window: from nothing to a drawn window on the bundled sample and on a 10 MB
// data file (goals: under 150 ms and under 500 ms), beside the toolkit's own cost of drawing a
// main window with an empty tree in the same run; and learn in the application (on its own
// thread, through the pipe that makes Cancel immediate) beside the log reader called directly,
// as polarctl learn calls it (goal: at least 0.9 times its speed).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QMainWindow>
#include <QTreeWidget>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "apps/polar-editor/editor_plugin.h"
#include "apps/polar-editor/log_job.h"
#include "apps/polar-editor/main_window.h"
#include "apps/polar-editor/questions.h"
#include "bench/generated_polars.h"
#include "bench/ratio_reporter.h"
#include "data/file_io.h"
#include "data/polar_file.h"
#include "logs/logs.h"

namespace {

const std::string& TenMegabyteFile() {
    static const std::string strPath = [] {
        SailPlanArray plans = GenerateSailPlans();
        plans.resize(plans.size() / 2);  // about 10 MB of the 20
        const std::string strFile =
            (std::filesystem::temp_directory_path() / "polar-app-bench.PPD").string();
        WriteFileAtomically(strFile, FormatPolarFile(plans));
        return strFile;
    }();
    return strPath;
}

const std::string& LogFile() {
    static const std::string strPath = [] {
        std::string log;
        for (int t = 0; log.size() < (32u << 20); ++t) {
            char sz[96];
            std::snprintf(sz, sizeof sz, "GPZDA,%02d%02d%02d.00,01,06,2026,00,00", (t / 3600) % 24,
                          (t / 60) % 60, t % 60);
            log += NmeaSentence(sz) + "\r\n";
            std::snprintf(sz, sizeof sz, "IIVHW,,T,,M,%.2f,N,,K", 6.0 + (t % 7) * 0.05);
            log += NmeaSentence(sz) + "\r\n";
            std::snprintf(sz, sizeof sz, "IIMWV,%.1f,T,%.2f,N,A", 40.0 + (t / 300 % 28) * 5,
                          10.0 + (t % 5) * 0.1);
            log += NmeaSentence(sz) + "\r\n";
        }
        const std::string strFile =
            (std::filesystem::temp_directory_path() / "polar-app-bench.nmea").string();
        WriteFileAtomically(strFile, log);
        return strFile;
    }();
    return strPath;
}

// Questions nobody is asked while the window is drawn.
class NoQuestions : public DialogQuestions {};

// The window made, the file read and shown, and everything painted once (grab paints every
// child as the screen would).
void DrawnWindow(benchmark::State& state, const std::string& strFile) {
    EditorPlugin editor(DefaultPalette(), 44, false);
    NoQuestions questions;
    for (auto _ : state) {
        MainWindow window(editor, questions, DefaultPalette());
        window.ShowFile(QString::fromStdString(strFile));
        window.resize(1100, 760);
        window.show();
        benchmark::DoNotOptimize(window.grab());
    }
}

void BM_Window_Sample(benchmark::State& state) {
    DrawnWindow(state, POLAR_SAMPLE_FILE);
}
BENCHMARK(BM_Window_Sample)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Window_TenMegabytes(benchmark::State& state) {
    DrawnWindow(state, TenMegabyteFile());
}
BENCHMARK(BM_Window_TenMegabytes)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Baseline_EmptyTreeWindow(benchmark::State& state) {
    for (auto _ : state) {
        QMainWindow window;
        window.setCentralWidget(new QTreeWidget);
        window.resize(1100, 760);
        window.show();
        benchmark::DoNotOptimize(window.grab());
    }
}
BENCHMARK(BM_Baseline_EmptyTreeWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Learn_InTheApplication(benchmark::State& state) {
    for (auto _ : state) {
        auto pJob = LogJob::Learn({QString::fromStdString(LogFile())}, LearnOptions{}, "Learned");
        // The event loop waits as the application's does, without taking a core.
        QEventLoop loop;
        std::optional<LogJobResult> result;
        pJob->Start(&loop, [&result, &loop](LogJobResult r) {
            result = std::move(r);
            loop.quit();
        });
        loop.exec();
        benchmark::DoNotOptimize(result->pLearned);
    }
}
BENCHMARK(BM_Learn_InTheApplication)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Learn_ReaderDirectly(benchmark::State& state) {
    for (auto _ : state) {
        Learner learner{LearnOptions{}};
        LogCounts counts;
        std::string strError;
        ReadLogs(
            {LogFile()}, counts, [&learner](const LogSample& s) { learner.Add(s); },
            [&learner] { learner.NewLog(); }, strError);
        benchmark::DoNotOptimize(learner.Result("Learned"));
    }
}
BENCHMARK(BM_Learn_ReaderDirectly)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TenMegabyteFile();  // made before any timing
    LogFile();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n");
    for (const auto& [pszWhat, pszName, dGoal] :
         {std::tuple{"drawn window on the sample", "BM_Window_Sample/real_time", 150.0},
          std::tuple{"drawn window on a 10 MB file", "BM_Window_TenMegabytes/real_time", 500.0}}) {
        const double dMs = reporter.Milliseconds(pszName);
        std::printf("%s: %.1f ms (the toolkit's empty window: %.1f ms), goal under %.0f ms: %s\n",
                    pszWhat, dMs, reporter.Milliseconds("BM_Baseline_EmptyTreeWindow/real_time"),
                    dGoal, dMs >= 0 && dMs < dGoal ? "met" : "NOT met");
    }
    reporter.PrintSpeedup("learn in the application", "BM_Learn_ReaderDirectly/real_time",
                          "BM_Learn_InTheApplication/real_time", 0.9);
    std::filesystem::remove(TenMegabyteFile());
    std::filesystem::remove(LogFile());
    benchmark::Shutdown();
    return 0;
}
