// polarctl live: the instruments' data against a sail plan, told to the displays as it comes.
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
#include "apps/polarctl/live_setup.h"
#include "apps/polarctl/live_signals.h"
#include "apps/polarctl/polarctl.h"
#include "data/polar_file.h"
#include "data/text_encoding.h"
#include "exchange/exchange.h"
#include "live/live_encodings.h"
#include "live/live_reader.h"
#include "logs/log_text.h"

namespace {

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

void StatusLine(std::ostream& err, const LiveReader& reader, const LiveSetup& setup,
                std::uint64_t nWithheld) {
    const LogCounts& counts = reader.Counts();
    std::size_t nConnections = 0;
    std::uint64_t nDropped = 0;
    for (const auto& pOutput : setup.outputs) {
        nConnections += pOutput->Connections();
        nDropped += pOutput->Dropped();
    }
    const LiveOptions& options = reader.Options();
    err << "polarctl: live: input " << setup.pInput->State() << "; " << counts.nLines << " lines, "
        << counts.nBadLines << " bad, " << counts.nOtherSentences << " other; " << reader.Updates()
        << " updates";
    if (nWithheld > 0) {
        err << " (" << nWithheld << " withheld: too long to tell whole)";
    }
    err << ", rate ";
    if (options.dRateHz > 0) {
        err << options.dRateHz << " Hz";
    } else {
        err << "each wind reading";
    }
    err << ", damping ";
    if (options.dDampingSeconds > 0) {
        err << options.dDampingSeconds << " s";
    } else {
        err << "none";
    }
    err << "; " << nConnections << " connections, " << nDropped << " dropped" << std::endl;
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
    LiveOptions options;
    if (const int nExit = ParseLiveOptions(parsed, options, err); nExit != kExitOk) {
        return nExit;
    }
    LiveSetup setup;
    // The encodings the outputs use, each update's text in each; an update that one of them
    // cannot tell whole goes to none.
    const LiveEncoding* const aEncodings[] = {EncodingByName("nmea"), EncodingByName("signalk")};
    std::optional<std::string> aTexts[2];
    bool aUsed[2] = {false, false};
    const auto index = [](LiveOutput::Kind kind) { return kind == LiveOutput::Kind::Nmea ? 0 : 1; };
    std::uint64_t nWithheld = 0;
    LiveReader reader(
        [&](const Performance& performance) {
            const std::string strTime = aUsed[1] ? UtcTimestamp() : std::string();
            for (int i = 0; i < 2; ++i) {
                aTexts[i] = aUsed[i] ? aEncodings[i]->encode(performance, {strTime})
                                     : std::optional<std::string>(std::string());
                if (!aTexts[i]) {
                    ++nWithheld;
                    return;
                }
            }
            for (const auto& pOutput : setup.outputs) {
                pOutput->Send(*aTexts[index(pOutput->GetKind())]);
            }
        },
        options);
    reader.SetCalculator(pLoaded->pCalculator.get());
    if (const int nExit = MakeLiveInput(parsed, reader, setup, err); nExit != kExitOk) {
        return nExit;
    }
    if (const int nExit = MakeLiveOutputs(parsed, out, setup, err); nExit != kExitOk) {
        return nExit;
    }
    for (const auto& pOutput : setup.outputs) {
        aUsed[index(pOutput->GetKind())] = true;
    }

    LiveSignals signals;
    const bool bQuiet = parsed.Flag("--quiet");
    constexpr auto kStatusEvery = std::chrono::minutes(1);
    auto nextStatus = LiveClock::now() + kStatusEvery;
    std::optional<LiveClock::time_point> drainUntil;
    std::vector<pollfd> fds;
    while (!signals.StopAsked()) {
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
        signals.Wait(fds, nWait);
        now = LiveClock::now();
        if (signals.TakeReload()) {
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
            StatusLine(err, reader, setup, nWithheld);
            nextStatus = now + kStatusEvery;
        }
    }
    out.flush();
    if (!bQuiet) {
        StatusLine(err, reader, setup, nWithheld);
    }
    return kExitOk;
}
