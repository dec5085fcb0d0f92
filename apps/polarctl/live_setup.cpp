#include "apps/polarctl/live_setup.h"

#include <unistd.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "apps/polarctl/command_line.h"
#include "apps/polarctl/live_sockets.h"
#include "exchange/exchange.h"

namespace {

constexpr const char* kBaudRates = "4800, 9600, 19200, 38400, 57600, 115200";

std::optional<int> ParseBaud(const std::string& strText) {
    if (strText.empty() || strText.size() > 6 ||
        strText.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    const int n = std::stoi(strText);
    return IsStandardBaudRate(n) ? std::optional<int>(n) : std::nullopt;
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

}  // namespace

int ParseLiveOptions(const ParsedArgs& parsed, LiveOptions& options, std::ostream& err) {
    struct Bounded {
        const char* pszOption;
        double dMax;
        double& dValue;
        const char* pszSays;
    };
    for (const Bounded& b :
         {Bounded{"--rate", 100, options.dRateHz, "updates a second, more than 0 and up to 100"},
          Bounded{"--damping", 600, options.dDampingSeconds, "seconds, from 0 (none) to 600"}}) {
        const auto text = parsed.Option(b.pszOption);
        if (!text) {
            continue;
        }
        const auto v = ParseExchangeNumber(*text, false);
        const bool bRate = b.dMax == 100;
        if (!v || !(*v <= b.dMax) || (bRate ? !(*v > 0) : !(*v >= 0))) {
            err << "polarctl: " << b.pszOption << " needs " << b.pszSays << "\n";
            return kExitUsage;
        }
        b.dValue = *v;
    }
    return kExitOk;
}

int MakeLiveInput(const ParsedArgs& parsed, LiveReader& reader, LiveSetup& setup,
                  std::ostream& err) {
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
    if (parsed.Option("--baud") && !parsed.Option("--serial") && !parsed.Option("--out-serial")) {
        err << "polarctl: --baud goes with --serial or --out-serial\n";
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
        reader.SetClock([&reader] { return reader.LogTime(); });
    } else if (const auto target = parsed.Option("--tcp")) {
        const auto hostPort = ParseHostPort(*target);
        if (!hostPort) {
            err << "polarctl: --tcp needs HOST:PORT\n";
            return kExitUsage;
        }
        auto pConnector = std::make_shared<TcpConnector>(*hostPort);
        setup.pInput = ReopeningInput(
            {[pConnector](std::string& strReasons) { return pConnector->Begin(strReasons); },
             [pConnector](const std::string& strWhy, std::string& strReasons) {
                 return pConnector->Next(strWhy, strReasons);
             }},
            reader, err);
    } else if (const auto port = parsed.Option("--udp")) {
        const auto nPort = ParsePort(*port);
        if (!nPort) {
            err << "polarctl: --udp needs a port from 1 to 65535\n";
            return kExitUsage;
        }
        std::vector<int> fds = BoundUdpSockets(*nPort, strError);
        if (!fds.empty()) {
            setup.pInput = DatagramInput(std::move(fds), reader);
        }
    } else if (const auto device = parsed.Option("--serial")) {
        const auto nBaud = ParseBaud(parsed.Option("--baud").value_or("4800"));
        if (!nBaud) {
            err << "polarctl: --baud is one of " << kBaudRates << "\n";
            return kExitUsage;
        }
        setup.pInput = ReopeningInput({[strDevice = *device, nBaud = *nBaud](std::string& strWhy) {
                                           return OpenSerialDevice(strDevice, nBaud, strWhy);
                                       },
                                       {}},
                                      reader, err);
    } else {
        setup.pInput = StreamInput(STDIN_FILENO, reader);
    }
    if (!setup.pInput) {
        err << "polarctl: " << strError << "\n";
        return kExitInputProblem;
    }
    return kExitOk;
}

int MakeLiveOutputs(const ParsedArgs& parsed, std::ostream& out, LiveSetup& setup,
                    std::ostream& err) {
    using Kind = LiveOutput::Kind;
    std::string strError;
    if (const auto port = parsed.Option("--out-tcp")) {
        const auto nPort = ParsePort(*port);
        if (!nPort) {
            err << "polarctl: --out-tcp needs a port from 1 to 65535\n";
            return kExitUsage;
        }
        std::vector<int> fds = ListeningTcpSockets(*nPort, strError);
        if (fds.empty()) {
            err << "polarctl: " << strError << "\n";
            return kExitInputProblem;
        }
        setup.outputs.push_back(TcpServerOutput(std::move(fds), Kind::Nmea, err));
    }
    if (const auto device = parsed.Option("--out-serial")) {
        const auto nBaud = ParseBaud(parsed.Option("--baud").value_or("4800"));
        if (!nBaud) {
            err << "polarctl: --baud is one of " << kBaudRates << "\n";
            return kExitUsage;
        }
        if (parsed.Option("--serial") == device) {
            err << "polarctl: --out-serial cannot be the --serial input's device\n";
            return kExitUsage;
        }
        setup.outputs.push_back(SerialOutput(*device, *nBaud, Kind::Nmea, err));
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
        std::unique_ptr<UdpSender> pSender = UdpSender::Open(*hostPort, strError);
        if (!pSender) {
            err << "polarctl: " << strError << "\n";
            return kExitInputProblem;
        }
        setup.outputs.push_back(UdpOutput(std::move(pSender), t.kind));
    }
    if (setup.outputs.empty() || parsed.Flag("--stdout") || parsed.Flag("--json")) {
        setup.outputs.push_back(std::make_unique<StreamOutput>(
            out, parsed.Flag("--json") ? Kind::SignalK : Kind::Nmea));
    }
    return kExitOk;
}
