#include "apps/polarctl/live_setup.h"

#include <unistd.h>

#include <algorithm>
#include <iterator>
#include <ostream>
#include <string>

#include "apps/polarctl/command_line.h"
#include "apps/polarctl/live_sockets.h"
#include "exchange/exchange.h"

namespace {

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
