// polarctl live: the instruments' data against a sail plan, told to the displays as it comes.
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "apps/polarctl/command_line.h"
#include "apps/polarctl/file_support.h"
#include "apps/polarctl/live_inputs.h"
#include "apps/polarctl/live_outputs.h"
#include "apps/polarctl/live_sockets.h"
#include "apps/polarctl/polarctl.h"
#include "data/polar_file.h"
#include "data/text_encoding.h"
#include "exchange/exchange.h"
#include "live/live_reader.h"
#include "live/nmea_output.h"
#include "live/signalk_delta.h"
#include "logs/log_text.h"

namespace {

volatile sig_atomic_t g_bReload = 0;
volatile sig_atomic_t g_bStop = 0;

extern "C" void OnHangUp(int) {
    g_bReload = 1;
}

extern "C" void OnStop(int) {
    g_bStop = 1;
}

// The handlers live needs while it runs; the earlier ones back when it ends. The signals are
// blocked but in the wait (Wait), so that one coming just before it still ends it.
class SignalHandlers {
  public:
    SignalHandlers() {
        g_bReload = 0;
        g_bStop = 0;
        Install(SIGHUP, OnHangUp, m_oldHangUp);
        Install(SIGINT, OnStop, m_oldInterrupt);
        Install(SIGTERM, OnStop, m_oldTerminate);
        Install(SIGPIPE, SIG_IGN, m_oldPipe);
        sigset_t handled;
        sigemptyset(&handled);
        for (const int nSignal : {SIGHUP, SIGINT, SIGTERM}) {
            sigaddset(&handled, nSignal);
        }
        sigprocmask(SIG_BLOCK, &handled, &m_oldMask);
        m_waitMask = m_oldMask;
        for (const int nSignal : {SIGHUP, SIGINT, SIGTERM}) {
            sigdelset(&m_waitMask, nSignal);
        }
    }
    // poll() with the signals let through; a signal ends it (its entries then hold nothing).
    void Wait(std::vector<pollfd>& fds, int nMilliseconds) const {
        timespec timeout{nMilliseconds / 1000, (nMilliseconds % 1000) * 1000000L};
        if (ppoll(fds.data(), fds.size(), nMilliseconds < 0 ? nullptr : &timeout, &m_waitMask) <
            0) {
            for (pollfd& entry : fds) {
                entry.revents = 0;
            }
        }
    }
    ~SignalHandlers() {
        sigprocmask(SIG_SETMASK, &m_oldMask, nullptr);
        sigaction(SIGHUP, &m_oldHangUp, nullptr);
        sigaction(SIGINT, &m_oldInterrupt, nullptr);
        sigaction(SIGTERM, &m_oldTerminate, nullptr);
        sigaction(SIGPIPE, &m_oldPipe, nullptr);
    }
    SignalHandlers(const SignalHandlers&) = delete;
    SignalHandlers& operator=(const SignalHandlers&) = delete;

  private:
    static void Install(int nSignal, void (*handler)(int), struct sigaction& old) {
        struct sigaction action {};
        action.sa_handler = handler;
        sigemptyset(&action.sa_mask);
        sigaction(nSignal, &action, &old);
    }
    struct sigaction m_oldHangUp {};
    struct sigaction m_oldInterrupt {};
    struct sigaction m_oldTerminate {};
    struct sigaction m_oldPipe {};
    sigset_t m_oldMask{};
    sigset_t m_waitMask{};
};

// The chosen sail plan and what computes with it; read again on SIGHUP.
struct LoadedSailPlan {
    PolarFileContents contents;
    SAILPLAN* pPlan = nullptr;
    std::unique_ptr<PerformanceCalculator> pCalculator;
};

// Nothing, after telling why, when the file cannot be read (nExit kExitInputProblem) or has no
// such sail plan (kExitUsage, as every command that chooses one).
std::unique_ptr<LoadedSailPlan> LoadSailPlan(const std::string& strFile,
                                             const std::string& strWhich, std::ostream& err,
                                             int& nExit) {
    auto pLoaded = std::make_unique<LoadedSailPlan>();
    nExit = kExitInputProblem;
    if (!LoadOrComplain(strFile, pLoaded->contents, err)) {
        return nullptr;
    }
    nExit = kExitUsage;
    std::string strError;
    const auto nSailPlan =
        ChooseSailPlan(pLoaded->contents.aSailPlans, strWhich, strFile, strError);
    if (!nSailPlan) {
        err << "polarctl: " << strError << "\n";
        return nullptr;
    }
    pLoaded->pPlan = pLoaded->contents.aSailPlans[*nSailPlan].get();
    SortSailPlan(*pLoaded->pPlan);
    pLoaded->pCalculator = std::make_unique<PerformanceCalculator>(*pLoaded->pPlan);
    nExit = kExitOk;
    return pLoaded;
}

// Now in UTC as Signal K writes it: "2026-06-01T12:00:00.000Z".
std::string UtcTimestamp() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm tm{};
    gmtime_r(&t, &tm);
    char sz[96];  // room for any int the compiler can imagine in each field
    std::snprintf(sz, sizeof sz, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", tm.tm_year + 1900,
                  tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                  static_cast<int>(ms));
    return sz;
}

// Standard output: written in turn, flushed before each wait.
class StreamOutput : public LiveOutput {
  public:
    StreamOutput(std::ostream& out, Kind kind) : LiveOutput(kind), m_out(out) {}
    void Send(std::string_view text) override { m_out.write(text.data(), text.size()); }
    int Prepare(std::vector<pollfd>&, LiveClock::time_point) override {
        m_out.flush();
        return -1;
    }

  private:
    std::ostream& m_out;
};

// One input and the outputs, as the command line asks for them. MakeInput and MakeOutputs
// return kExitOk, or after telling why kExitUsage (a bad value) or kExitInputProblem (what
// cannot be opened).
struct LiveSetup {
    std::unique_ptr<LiveInput> pInput;
    std::vector<std::unique_ptr<LiveOutput>> outputs;
};

int MakeInput(const ParsedArgs& parsed, LiveReader& reader, LiveSetup& setup, std::ostream& err) {
    const char* const aInputs[] = {"--replay", "--tcp", "--udp", "--serial"};
    if (std::count_if(std::begin(aInputs), std::end(aInputs),
                      [&](const char* psz) { return parsed.Option(psz).has_value(); }) > 1) {
        err << "polarctl: live reads one input: --replay, --tcp, --udp or --serial\n";
        return kExitUsage;
    }
    if (parsed.Option("--speed") && !parsed.Option("--replay")) {
        err << "polarctl: --speed goes with --replay\n";
        return kExitUsage;
    }
    if (parsed.Option("--baud") && !parsed.Option("--serial")) {
        err << "polarctl: --baud goes with --serial\n";
        return kExitUsage;
    }
    std::string strError;
    if (const auto file = parsed.Option("--replay")) {
        double dSpeed = 1;
        if (const auto text = parsed.Option("--speed")) {
            const auto v = ParseExchangeNumber(*text, false);
            if (!v || *v < 0 || *v > 1e6) {
                err << "polarctl: --speed needs a number from 0 (as fast as it goes) up\n";
                return kExitUsage;
            }
            dSpeed = *v;
        }
        setup.pInput = ReplayInput(*file, dSpeed, reader, strError);
    } else if (const auto target = parsed.Option("--tcp")) {
        const auto hostPort = ParseHostPort(*target);
        if (!hostPort) {
            err << "polarctl: --tcp needs HOST:PORT\n";
            return kExitUsage;
        }
        setup.pInput = ReopeningInput(
            [hostPort](std::string& strWhy) { return StartTcpConnection(*hostPort, strWhy); }, true,
            reader, err);
    } else if (const auto port = parsed.Option("--udp")) {
        const auto nPort = ParsePort(*port);
        if (!nPort) {
            err << "polarctl: --udp needs a port from 1 to 65535\n";
            return kExitUsage;
        }
        const int fd = BoundUdpSocket(*nPort, strError);
        if (fd >= 0) {
            setup.pInput = DatagramInput(fd, reader);
        }
    } else if (const auto device = parsed.Option("--serial")) {
        const std::string strBaud = parsed.Option("--baud").value_or("4800");
        if (strBaud != "4800" && strBaud != "38400") {
            err << "polarctl: --baud is 4800 or 38400\n";
            return kExitUsage;
        }
        const int nBaud = strBaud == "38400" ? 38400 : 4800;
        setup.pInput = ReopeningInput(
            [strDevice = *device, nBaud](std::string& strWhy) {
                return OpenSerialDevice(strDevice, nBaud, strWhy);
            },
            false, reader, err);
    } else {
        setup.pInput = StreamInput(STDIN_FILENO, reader);
    }
    if (!setup.pInput) {
        err << "polarctl: " << strError << "\n";
        return kExitInputProblem;
    }
    return kExitOk;
}

int MakeOutputs(const ParsedArgs& parsed, std::ostream& out, LiveSetup& setup, std::ostream& err) {
    using Kind = LiveOutput::Kind;
    std::string strError;
    if (const auto port = parsed.Option("--out-tcp")) {
        const auto nPort = ParsePort(*port);
        if (!nPort) {
            err << "polarctl: --out-tcp needs a port from 1 to 65535\n";
            return kExitUsage;
        }
        const int fd = ListeningTcpSocket(*nPort, strError);
        if (fd < 0) {
            err << "polarctl: " << strError << "\n";
            return kExitInputProblem;
        }
        setup.outputs.push_back(TcpServerOutput(fd, Kind::Nmea));
    }
    struct Target {
        const char* pszOption;
        Kind kind;
        bool bTcp;
    };
    for (const Target& t :
         {Target{"--out-udp", Kind::Nmea, false}, Target{"--signalk-udp", Kind::SignalK, false},
          Target{"--signalk-tcp", Kind::SignalK, true}}) {
        const auto text = parsed.Option(t.pszOption);
        if (!text) {
            continue;
        }
        const auto hostPort = ParseHostPort(*text);
        if (!hostPort) {
            err << "polarctl: " << t.pszOption << " needs HOST:PORT\n";
            return kExitUsage;
        }
        if (t.bTcp) {
            setup.outputs.push_back(TcpClientOutput(*hostPort, t.kind, err));
            continue;
        }
        const int fd = ConnectedUdpSocket(*hostPort, strError);
        if (fd < 0) {
            err << "polarctl: " << strError << "\n";
            return kExitInputProblem;
        }
        setup.outputs.push_back(UdpOutput(fd, t.kind));
    }
    if (setup.outputs.empty() || parsed.Flag("--stdout") || parsed.Flag("--json")) {
        setup.outputs.push_back(std::make_unique<StreamOutput>(
            out, parsed.Flag("--json") ? Kind::SignalK : Kind::Nmea));
    }
    return kExitOk;
}

void StatusLine(std::ostream& err, const LiveReader& reader, const LiveSetup& setup) {
    const LogCounts& counts = reader.Counts();
    std::size_t nConnections = 0;
    std::uint64_t nDropped = 0;
    for (const auto& pOutput : setup.outputs) {
        nConnections += pOutput->Connections();
        nDropped += pOutput->Dropped();
    }
    err << "polarctl: live: input " << setup.pInput->State() << "; " << counts.nLines << " lines, "
        << counts.nBadLines << " bad, " << counts.nOtherSentences << " other; " << reader.Updates()
        << " updates; " << nConnections << " connections, " << nDropped << " dropped" << std::endl;
}

}  // namespace

int RunLive(const ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
    const std::string strFile = parsed.aPositional.at(0);
    const std::optional<std::string> which = parsed.Option("--sail-plan");
    if (!which || IsStandardStream(strFile)) {
        err << "polarctl: live needs POLAR.PPD (a file, read again on SIGHUP) --sail-plan "
               "INDEX|NAME (see polarctl live --help)\n";
        return kExitUsage;
    }
    int nLoadExit = kExitOk;
    std::unique_ptr<LoadedSailPlan> pLoaded = LoadSailPlan(strFile, *which, err, nLoadExit);
    if (!pLoaded) {
        return nLoadExit;
    }
    LiveSetup setup;
    std::string strNmea;
    std::string strDelta;
    bool bNmea = false;
    bool bSignalK = false;
    LiveReader reader([&](const Performance& performance) {
        if (bNmea) {
            strNmea = PerformanceSentences(performance);
        }
        if (bSignalK) {
            strDelta = SignalKDelta(performance, UtcTimestamp());
            strDelta += '\n';
        }
        for (const auto& pOutput : setup.outputs) {
            pOutput->Send(pOutput->GetKind() == LiveOutput::Kind::Nmea ? strNmea : strDelta);
        }
    });
    reader.SetCalculator(pLoaded->pCalculator.get());
    if (const int nExit = MakeInput(parsed, reader, setup, err); nExit != kExitOk) {
        return nExit;
    }
    if (const int nExit = MakeOutputs(parsed, out, setup, err); nExit != kExitOk) {
        return nExit;
    }
    for (const auto& pOutput : setup.outputs) {
        (pOutput->GetKind() == LiveOutput::Kind::Nmea ? bNmea : bSignalK) = true;
    }

    const SignalHandlers handlers;
    const bool bQuiet = parsed.Flag("--quiet");
    constexpr auto kStatusEvery = std::chrono::minutes(1);
    auto nextStatus = LiveClock::now() + kStatusEvery;
    std::optional<LiveClock::time_point> drainUntil;
    std::vector<pollfd> fds;
    while (g_bStop == 0) {
        LiveClock::time_point now = LiveClock::now();
        fds.clear();
        int nWait = bQuiet ? -1 : MillisecondsUntil(nextStatus, now);
        bool bPending = false;
        for (const auto& pOutput : setup.outputs) {
            nWait = ShorterWait(nWait, pOutput->Prepare(fds, now));
            bPending = bPending || pOutput->Pending();
        }
        if (setup.pInput->Ended()) {
            // The input is over: what waits for the clients goes, for a second at most.
            if (!drainUntil) {
                drainUntil = now + std::chrono::seconds(1);
            }
            if (!bPending || now >= *drainUntil) {
                break;
            }
            nWait = ShorterWait(nWait, MillisecondsUntil(*drainUntil, now));
        } else {
            nWait = ShorterWait(nWait, setup.pInput->Prepare(fds, now));
        }
        handlers.Wait(fds, nWait);
        now = LiveClock::now();
        if (g_bReload != 0) {
            g_bReload = 0;
            if (auto pNew = LoadSailPlan(strFile, *which, err, nLoadExit)) {
                pLoaded = std::move(pNew);
                reader.SetCalculator(pLoaded->pCalculator.get());
                err << "polarctl: live: " << PrintableText(strFile) << " read again\n";
            } else {
                err << "polarctl: live: still sailing with the sail plan read before\n";
            }
        }
        // The outputs first: the input's sends may drop clients, whose entries are then gone.
        for (const auto& pOutput : setup.outputs) {
            pOutput->Service(fds, now);
        }
        if (!setup.pInput->Ended()) {
            setup.pInput->Service(fds, now);
        }
        if (!bQuiet && now >= nextStatus) {
            StatusLine(err, reader, setup);
            nextStatus = now + kStatusEvery;
        }
    }
    out.flush();
    if (!bQuiet) {
        StatusLine(err, reader, setup);
    }
    return kExitOk;
}
