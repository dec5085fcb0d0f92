// polarctl live: sentences per second through live beside the log reader alone in the same
// run (goal: at least 100,000 a second replayed), through the library and through the program
// replaying a file, and the replay's time beside learn's on the same log (goal: at most twice);
// the time from a sentence written to live's input to its last sentence read from its output
// (goal: under 1 ms), and from a TCP source to an --out-tcp client (median and 99th
// percentile, goal under 1 ms at the 99th); and the program's peak memory replaying an hour's
// and a day's log (flat: the same).
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "bench/generated_log.h"
#include "bench/ratio_reporter.h"
#include "data/polar_file.h"
#include "exchange/exchange.h"
#include "live/live_reader.h"
#include "live/nmea_output.h"
#include "live/signalk_delta.h"
#include "logs/logs.h"
#include "logs/nmea_sentence.h"

extern char** environ;

namespace {

constexpr std::size_t kSentencesPerSecond = 3;  // GenerateLog's

const std::string& Log() {
    static const std::string log = GenerateLog(16u << 20);
    return log;
}

std::int64_t Sentences(const std::string& log) {
    std::int64_t n = 0;
    for (const char c : log) {
        n += c == '\n';
    }
    return n;
}

// A sail plan of three polars about the generated log's 10 kn.
const char kPolarFile[] =
    "Bench,\r\n6.00,42.00,\r\n40.00,4.00,60.00,5.10,90.00,5.80,120.00,5.50,150.00,4.60,180.00,"
    "3.60,-1\r\n10.00,40.00,\r\n40.00,5.60,60.00,6.60,90.00,7.20,120.00,7.00,150.00,6.20,180.00,"
    "5.20,-1\r\n14.00,38.00,\r\n40.00,6.40,60.00,7.20,90.00,7.80,120.00,7.80,150.00,7.30,180.00,"
    "6.50,-2";

std::string TempFile(const char* pszName, const std::string& content) {
    const std::string strPath =
        (std::filesystem::temp_directory_path() / (std::to_string(::getpid()) + "-" + pszName))
            .string();
    std::ofstream(strPath, std::ios::binary) << content;
    return strPath;
}

// The log reader alone: what learn and compare do before their own work.
void BM_LogReaderAlone(benchmark::State& state) {
    for (auto _ : state) {
        LogCounts counts;
        ReadLogText(Log(), counts, [](const LogSample& s) { benchmark::DoNotOptimize(s); });
        benchmark::DoNotOptimize(counts.nSamples);
    }
    state.SetItemsProcessed(state.iterations() * Sentences(Log()));
}

// live's work without its input and output: chunks read, each update computed and written as
// sentences and as a delta.
void BM_LiveLibrary(benchmark::State& state) {
    PolarFileContents contents = ParsePolarFile(kPolarFile);
    SortSailPlan(*contents.aSailPlans[0]);
    const PerformanceCalculator calculator(*contents.aSailPlans[0]);
    for (auto _ : state) {
        std::size_t nBytes = 0;
        LiveReader reader([&](const Performance& p) {
            nBytes += PerformanceSentences(p).value_or(std::string()).size();
            nBytes += SignalKDelta(p, "2026-06-01T12:00:00.000Z").size();
        });
        reader.SetCalculator(&calculator);
        const std::string_view log = Log();
        for (std::size_t n = 0; n < log.size(); n += 16384) {
            reader.Bytes(log.substr(n, 16384));
        }
        reader.EndOfChunk();
        benchmark::DoNotOptimize(nBytes);
    }
    state.SetItemsProcessed(state.iterations() * Sentences(Log()));
}

// polarctl running with a pipe for its standard input, and its standard output to a file
// (pszOutput) or a pipe this process reads; ended by closing its input.
class LiveChild {
  public:
    LiveChild(std::vector<std::string> args, const char* pszOutput) {
        int aIn[2];
        int aOut[2];
        if (::pipe2(aIn, O_CLOEXEC) != 0 || ::pipe2(aOut, O_CLOEXEC) != 0) {
            return;
        }
        args.insert(args.begin(), POLARCTL_PROGRAM);
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, aIn[0], 0);
        if (pszOutput != nullptr) {
            posix_spawn_file_actions_addopen(&actions, 1, pszOutput, O_WRONLY, 0);
        } else {
            posix_spawn_file_actions_adddup2(&actions, aOut[1], 1);
        }
        if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
            m_pid = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(aIn[0]);
        ::close(aOut[1]);
        m_fdIn = aIn[1];
        m_fdOut = aOut[0];
    }
    ~LiveChild() { Wait(); }
    LiveChild(const LiveChild&) = delete;
    LiveChild& operator=(const LiveChild&) = delete;

    int OutputFd() const { return m_fdOut; }
    bool Write(std::string_view text) {
        while (!text.empty()) {
            const ssize_t n = ::write(m_fdIn, text.data(), text.size());
            if (n <= 0) {
                return false;
            }
            text.remove_prefix(static_cast<std::size_t>(n));
        }
        return true;
    }
    // Asks it to end (an input other than standard input does not end with it).
    void Terminate() const {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
        }
    }
    // Ends its input and waits for it; whether it did its work (exit 0).
    bool Wait() {
        if (m_fdIn >= 0) {
            ::close(m_fdIn);
            ::close(m_fdOut);
            m_fdIn = -1;
        }
        int nStatus = 0;
        if (m_pid > 0 && ::waitpid(m_pid, &nStatus, 0) == m_pid) {
            m_pid = -1;
            m_bDone = WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0;
        }
        return m_bDone;
    }
    // The child's peak resident memory so far (VmHWM), in MB; -1 when it cannot be read.
    double PeakMegabytes() const {
        std::ifstream status("/proc/" + std::to_string(m_pid) + "/status");
        std::string strLine;
        while (std::getline(status, strLine)) {
            if (strLine.rfind("VmHWM:", 0) == 0) {
                return std::stod(strLine.substr(6)) / 1024.0;
            }
        }
        return -1;
    }

  private:
    pid_t m_pid = -1;
    int m_fdIn = -1;
    int m_fdOut = -1;
    bool m_bDone = false;
};

// Runs polarctl with the arguments, its standard output to /dev/null; whether it did its work.
bool RunToNull(std::vector<std::string> args) {
    LiveChild child(std::move(args), "/dev/null");
    return child.Wait();
}

// The program replaying a log file as fast as it goes, sentences to standard output.
void BM_LiveProgramReplay(benchmark::State& state) {
    const std::string strPolar = TempFile("bench.ppd", kPolarFile);
    const std::string strLog = TempFile("bench.nmea", Log());
    for (auto _ : state) {
        if (!RunToNull({"live", strPolar, "--sail-plan", "0", "--replay", strLog, "--speed", "0",
                        "--quiet"})) {
            state.SkipWithError("polarctl live failed");
        }
    }
    state.SetItemsProcessed(state.iterations() * Sentences(Log()));
    std::filesystem::remove(strPolar);
    std::filesystem::remove(strLog);
}

// learn on the same log file: the baseline of the replay's time.
void BM_LearnProgram(benchmark::State& state) {
    const std::string strLog = TempFile("learn.nmea", Log());
    const std::string strOut = TempFile("learned.ppd", "");
    for (auto _ : state) {
        std::filesystem::remove(strOut);
        if (!RunToNull({"learn", strLog, "-o", strOut})) {
            state.SkipWithError("polarctl learn failed");
        }
    }
    state.SetItemsProcessed(state.iterations() * Sentences(Log()));
    std::filesystem::remove(strLog);
    std::filesystem::remove(strOut);
}

// A TCP socket on the IPv4 loopback: listening on a free port (given in nPort), or connected.
int LoopbackListener(int& nPort) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(fd, 4);
    socklen_t nLength = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &nLength);
    nPort = ntohs(address.sin_port);
    return fd;
}

int LoopbackConnection(int nPort) {
    for (int i = 0; i < 100; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<std::uint16_t>(nPort));
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            return fd;
        }
        ::close(fd);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return -1;
}

// A cycle's sentences written by a TCP source that live reads (--tcp) to the update's last
// sentence read by an --out-tcp client; each cycle's time kept, the median and the 99th
// percentile given as counters (microseconds).
void BM_LiveTcpToTcp(benchmark::State& state) {
    const std::string strPolar = TempFile("tcp.ppd", kPolarFile);
    int nSource = 0;
    const int fdListening = LoopbackListener(nSource);
    int nOut = 0;
    ::close(LoopbackListener(nOut));  // a port free a moment ago
    LiveChild child({"live", strPolar, "--sail-plan", "0", "--quiet", "--tcp",
                     "127.0.0.1:" + std::to_string(nSource), "--out-tcp", std::to_string(nOut)},
                    "/dev/null");
    pollfd entry{fdListening, POLLIN, 0};
    const int fdSource = ::poll(&entry, 1, 5000) > 0 ? ::accept(fdListening, nullptr, nullptr) : -1;
    const int fdClient = LoopbackConnection(nOut);
    if (fdSource < 0 || fdClient < 0) {
        state.SkipWithError("polarctl live did not connect");
        child.Terminate();
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the client accepted
    const std::string cycle = NmeaSentence("IIVHW,,T,,M,6.00,N,,K") + "\r\n" +
                              NmeaSentence("IIMWV,45.0,T,10.00,N,A") + "\r\n";
    std::vector<double> micros;
    std::string pending;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (::send(fdSource, cycle.data(), cycle.size(), MSG_NOSIGNAL) < 0) {
            state.SkipWithError("the source's connection failed");
            break;
        }
        char buffer[4096];
        while (pending.find("TargetSpeed") == std::string::npos) {
            const ssize_t n = ::read(fdClient, buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            pending.append(buffer, static_cast<std::size_t>(n));
        }
        pending.clear();
        micros.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(micros.begin(), micros.end());
    if (!micros.empty()) {
        state.counters["p50_us"] = micros[micros.size() / 2];
        state.counters["p99_us"] = micros[std::min(micros.size() - 1, micros.size() * 99 / 100)];
    }
    child.Terminate();
    child.Wait();
    for (const int fd : {fdSource, fdClient, fdListening}) {
        ::close(fd);
    }
    std::filesystem::remove(strPolar);
}

// The program's peak memory (VmHWM) after a log of state.range(0) hours came on its standard
// input, read while it waits for more. (A child's ru_maxrss would hold this process's memory
// too, which the spawn carries into it.)
void BM_LivePeakMemory(benchmark::State& state) {
    const std::string strPolar = TempFile("memory.ppd", kPolarFile);
    // GenerateLog writes some 175 bytes a second of log.
    const std::string log = GenerateLog(static_cast<std::size_t>(state.range(0)) * 3600 * 175);
    double dPeak = -1;
    for (auto _ : state) {
        LiveChild child({"live", strPolar, "--sail-plan", "0", "--quiet"}, "/dev/null");
        if (!child.Write(log)) {
            state.SkipWithError("polarctl live did not read its input");
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the last read done
        dPeak = child.PeakMegabytes();
    }
    state.counters["peak_MB"] = dPeak;
    std::filesystem::remove(strPolar);
}

// One update's way through the program: a boat speed and an MWV sentence written to its standard
// input, then its output read until the update's last sentence (the second XDR) has come.
void BM_LiveSentenceToOutput(benchmark::State& state) {
    const std::string strPolar = TempFile("latency.ppd", kPolarFile);
    LiveChild child({"live", strPolar, "--sail-plan", "0", "--quiet"}, nullptr);
    const std::string speed = NmeaSentence("IIVHW,,T,,M,6.00,N,,K") + "\r\n";
    const std::string wind = NmeaSentence("IIMWV,45.0,T,10.00,N,A") + "\r\n";
    // Reads until the update's last sentence has come.
    std::string pending;
    const auto readUpdate = [&] {
        char buffer[4096];
        while (pending.find("TargetSpeed") == std::string::npos) {
            const ssize_t n = ::read(child.OutputFd(), buffer, sizeof buffer);
            if (n <= 0) {
                return false;
            }
            pending.append(buffer, static_cast<std::size_t>(n));
        }
        pending.clear();
        return true;
    };
    if (!child.Write(speed) || !child.Write(wind) || !readUpdate()) {
        state.SkipWithError("no output from polarctl live");
    }
    // The wind reading makes the update; the boat speed before it only the state.
    const std::string cycle = speed + wind;
    for (auto _ : state) {
        if (!child.Write(cycle) || !readUpdate()) {
            state.SkipWithError("no output from polarctl live");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
    std::filesystem::remove(strPolar);
}

}  // namespace

BENCHMARK(BM_LogReaderAlone)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiveLibrary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiveProgramReplay)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LearnProgram)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LiveTcpToTcp)->Unit(benchmark::kMicrosecond)->UseRealTime()->Iterations(2000);
BENCHMARK(BM_LiveSentenceToOutput)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_LivePeakMemory)->Arg(1)->Arg(24)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
    std::signal(SIGPIPE, SIG_IGN);  // a program that ended early is an error, not our end
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double dSentences = static_cast<double>(Sentences(Log()));
    for (const char* pszName :
         {"BM_LogReaderAlone", "BM_LiveLibrary", "BM_LiveProgramReplay/real_time"}) {
        const double dMs = reporter.Milliseconds(pszName);
        if (dMs > 0) {
            std::printf("%s: %.0f sentences a second (goal for live at least 100000)\n", pszName,
                        dSentences / dMs * 1e3);
        }
    }
    // No goal for these: the ratio says what live's work costs beside reading alone.
    const double dReader = reporter.Milliseconds("BM_LogReaderAlone");
    for (const char* pszName : {"BM_LiveLibrary", "BM_LiveProgramReplay/real_time"}) {
        const double dMs = reporter.Milliseconds(pszName);
        if (dReader > 0 && dMs > 0) {
            std::printf("%s: %.2f times the log reader's time alone\n", pszName, dMs / dReader);
        }
    }
    reporter.PrintCost("the replay beside learn on the same log", "BM_LearnProgram/real_time",
                       "BM_LiveProgramReplay/real_time", 2.0);
    const double dP99 = reporter.Counter("BM_LiveTcpToTcp/iterations:2000/real_time:p99_us");
    if (dP99 > 0) {
        std::printf(
            "a TCP source's cycle to an --out-tcp client: median %.0f us, 99th percentile "
            "%.0f us (goal under 1 ms): %s\n",
            reporter.Counter("BM_LiveTcpToTcp/iterations:2000/real_time:p50_us"), dP99,
            dP99 < 1000 ? "met" : "NOT met");
    }
    const double dUpdate = reporter.Milliseconds("BM_LiveSentenceToOutput/real_time");
    if (dUpdate > 0) {
        std::printf("a sentence read to its output written: %.3f ms (goal under 1 ms): %s\n",
                    dUpdate, dUpdate < 1.0 ? "met" : "NOT met");
    }
    benchmark::Shutdown();
    return 0;
}
