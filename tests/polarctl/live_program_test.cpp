// polarctl live as a program: a replayed log, a TCP source that goes away and comes back, the
// polar file read again on SIGHUP, and a client too slow to keep.
#include <gtest/gtest.h>
#include <termios.h>
#include <zlib.h>

#include <csignal>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "data/polar_file.h"
#include "exchange/exchange.h"
#include "live/live_reader.h"
#include "logs/nmea_sentence.h"
#include "tests/support/live_process.h"
#include "tests/support/polar_builders.h"
#include "tests/support/program_runner.h"
#include "tests/support/sailed_log.h"
#include "tests/support/temp_dir.h"

namespace {

class LiveProgram : public testing::Test {
  protected:
    void SetUp() override { WritePolar(KnownPolar()); }

    void WritePolar(SAILPLAN plan) {
        SailPlanArray plans;
        plans.push_back(std::make_unique<SAILPLAN>(std::move(plan)));
        TempDir::Write(m_strPolar, FormatPolarFile(plans));
    }

    std::vector<std::string> LiveArgs(std::vector<std::string> more) const {
        std::vector<std::string> args = {"live", m_strPolar, "--sail-plan", "0"};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }

    TempDir m_dir;
    std::string m_strPolar = m_dir.File("POLAR.PPD");
};

// A second of sailing in 10 kn of true wind, 90 degrees off the bow.
std::string Second(int nSecond, double dBoatSpeed) {
    char sz[64];
    std::snprintf(sz, sizeof sz, "GPZDA,12%02d%02d.00,01,06,2026,00,00", nSecond / 60 % 60,
                  nSecond % 60);
    std::string text = NmeaSentence(sz) + "\r\n";
    std::snprintf(sz, sizeof sz, "IIVHW,,T,,M,%.2f,N,,K", dBoatSpeed);
    text += NmeaSentence(sz) + "\r\n";
    text += NmeaSentence("IIMWV,90.0,T,10.00,N,A") + "\r\n";
    return text;
}

// The values of a path in Signal K delta lines, one per line (nothing where it is missing).
std::vector<std::optional<double>> PathValues(const std::string& lines, const std::string& path) {
    std::vector<std::optional<double>> values;
    const std::string key = "\"path\":\"" + path + "\",\"value\":";
    std::size_t nStart = 0;
    for (std::size_t nEnd = lines.find('\n'); nEnd != std::string::npos;
         nEnd = lines.find('\n', nStart)) {
        const std::string line = lines.substr(nStart, nEnd - nStart);
        const std::size_t n = line.find(key);
        values.push_back(n == std::string::npos
                             ? std::nullopt
                             : std::optional<double>(std::stod(line.substr(n + key.size()))));
        nStart = nEnd + 1;
    }
    return values;
}

TEST_F(LiveProgram, AReplayedCompressedLogGivesWhatTheLibraryComputesUpdateByUpdate) {
    LogShape shape;
    shape.nLegs = 30;
    shape.bGround = true;
    shape.bBothTacks = true;
    const std::string log = GeneratedLog(KnownPolar(), shape);
    const std::string strLog = m_dir.File("day.nmea.gz");
    const gzFile file = gzopen(strLog.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(gzwrite(file, log.data(), static_cast<unsigned>(log.size())),
              static_cast<int>(log.size()));
    gzclose(file);

    const ProgramResult run = RunProgram(
        POLARCTL_PROGRAM, LiveArgs({"--replay", strLog, "--speed", "0", "--json", "--quiet"}));
    ASSERT_EQ(run.nExit, 0) << run.err;
    EXPECT_EQ(run.err, "");

    // The library, which its own tests hold to compare's percentages, on the plan as read back.
    PolarFileContents contents = ParsePolarFile(TempDir::Read(m_strPolar));
    SortSailPlan(*contents.aSailPlans[0]);
    const PerformanceCalculator calculator(*contents.aSailPlans[0]);
    std::vector<std::optional<double>> expected;
    LiveReader reader([&](const Performance& p) { expected.push_back(p.polarRatio); });
    reader.SetCalculator(&calculator);
    reader.Bytes(log);
    reader.EndOfChunk();

    const std::vector<std::optional<double>> got =
        PathValues(run.out, "performance.polarSpeedRatio");
    ASSERT_EQ(got.size(), expected.size());
    std::size_t nCompared = 0;
    for (std::size_t i = 0; i < got.size(); ++i) {
        ASSERT_EQ(got[i].has_value(), expected[i].has_value()) << "update " << i;
        if (got[i]) {
            EXPECT_NEAR(*got[i], *expected[i], 0.00006) << "update " << i;
            ++nCompared;
        }
    }
    EXPECT_GT(nCompared, 1000u);
}

TEST_F(LiveProgram, AReplayKeepsTheLogsPaceTimesTheSpeedAndSkipsItsLongPauses) {
    // Four seconds of log, then a pause of an hour, then a second more.
    std::string log;
    for (int i = 0; i <= 4; ++i) {
        log += Second(i, 3.6);
    }
    log += Second(3605, 3.6);
    const std::string strLog = m_dir.File("paced.nmea");
    TempDir::Write(strLog, log);
    const auto start = std::chrono::steady_clock::now();
    const ProgramResult run =
        RunProgram(POLARCTL_PROGRAM, LiveArgs({"--replay", strLog, "--speed", "2", "--quiet"}));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    ASSERT_EQ(run.nExit, 0) << run.err;
    EXPECT_GE(elapsed, std::chrono::milliseconds(1900)) << "four seconds of log at twice its pace";
    EXPECT_NE(run.out.find("$IIVPW"), std::string::npos);
}

TEST_F(LiveProgram, ATcpSourceThatClosesAndReopensIsReadAgainWithoutARestart) {
    const int nPort = FreeLoopbackPort();
    int fdListening = ListenOnLoopback(nPort);
    ASSERT_GE(fdListening, 0);
    LiveProcess live({POLARCTL_PROGRAM, "live", m_strPolar, "--sail-plan", "0", "--tcp",
                      "127.0.0.1:" + std::to_string(nPort), "--quiet"});
    int fd = AcceptWithin(fdListening, 5000);
    ASSERT_GE(fd, 0);
    const std::string first = Second(0, 3.6);  // half the polar's 7.2 kn
    ASSERT_EQ(::write(fd, first.data(), first.size()), static_cast<ssize_t>(first.size()));
    EXPECT_TRUE(live.WaitFor("PolarRatio", 5)) << live.Err();
    EXPECT_NE(live.Out().find(",G,50.0,,PolarRatio"), std::string::npos) << live.Out();

    // The source goes away altogether, then comes back on the same port.
    ::close(fd);
    ::close(fdListening);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    fdListening = ListenOnLoopback(nPort);
    ASSERT_GE(fdListening, 0);
    const auto reopened = std::chrono::steady_clock::now();
    fd = AcceptWithin(fdListening, 5000);
    ASSERT_GE(fd, 0) << "not connected again within 5 s";
    const std::size_t nBefore = live.Out().size();
    const std::string second = Second(2, 7.2);
    ASSERT_EQ(::write(fd, second.data(), second.size()), static_cast<ssize_t>(second.size()));
    EXPECT_TRUE(live.WaitFor(",G,100.0,,PolarRatio", 5, nBefore)) << live.Out();
    EXPECT_LT(std::chrono::steady_clock::now() - reopened, std::chrono::seconds(5));
    EXPECT_NE(live.Err().find("input lost"), std::string::npos) << live.Err();

    ::kill(live.Pid(), SIGTERM);
    EXPECT_EQ(live.Wait(5), 0);
    ::close(fd);
    ::close(fdListening);
}

TEST_F(LiveProgram, SighupReadsThePolarFileAgainAndABrokenFileKeepsTheOldOne) {
    LiveProcess live({POLARCTL_PROGRAM, "live", m_strPolar, "--sail-plan", "0", "--quiet"});
    ASSERT_TRUE(live.Write(Second(0, 3.6)));
    ASSERT_TRUE(live.WaitFor(",G,50.0,,PolarRatio", 5)) << live.Out() << live.Err();

    SAILPLAN faster = KnownPolar();  // the same shape, twice as fast
    for (const auto& pPolar : faster.m_aPolars) {
        for (const auto& pPoint : pPolar->m_aVectors) {
            pPoint->m_fSpeed *= 2;
        }
    }
    WritePolar(std::move(faster));
    ::kill(live.Pid(), SIGHUP);
    ASSERT_TRUE(live.WaitFor("read again", 5, 0, true)) << live.Err();
    std::size_t nBefore = live.Out().size();
    ASSERT_TRUE(live.Write(Second(1, 3.6)));
    EXPECT_TRUE(live.WaitFor(",G,25.0,,PolarRatio", 5, nBefore)) << live.Out();

    TempDir::Write(m_strPolar, "not a polar file at all");
    ::kill(live.Pid(), SIGHUP);
    ASSERT_TRUE(live.WaitFor("still sailing with", 5, 0, true)) << live.Err();
    nBefore = live.Out().size();
    ASSERT_TRUE(live.Write(Second(2, 7.2)));
    EXPECT_TRUE(live.WaitFor(",G,50.0,,PolarRatio", 5, nBefore)) << live.Out();

    live.CloseInput();
    EXPECT_EQ(live.Wait(5), 0);
}

TEST_F(LiveProgram, AClientThatDoesNotReadIsDroppedWhileAnotherGetsEverySentence) {
    const int nPort = FreeLoopbackPort();
    LiveProcess live({POLARCTL_PROGRAM, "live", m_strPolar, "--sail-plan", "0", "--out-tcp",
                      std::to_string(nPort)});
    const int fdSlow = ConnectToLoopback(nPort, 4096);
    ASSERT_GE(fdSlow, 0) << live.Err();
    const int fdFast = ConnectToLoopback(nPort);
    ASSERT_GE(fdFast, 0);
    std::string fromFast;
    std::thread reader([&] {
        char buffer[65536];
        for (ssize_t n; (n = ::read(fdFast, buffer, sizeof buffer)) > 0;) {
            fromFast.append(buffer, static_cast<std::size_t>(n));
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // both accepted

    // Enough sentences to fill the slow client's socket buffers and the bound past them.
    constexpr int kSeconds = 30000;
    std::string input;
    for (int i = 0; i < kSeconds; ++i) {
        input += Second(i % 86400, 5.0);
    }
    ASSERT_TRUE(live.Write(input));
    live.CloseInput();
    EXPECT_EQ(live.Wait(60), 0);
    reader.join();
    ::close(fdFast);
    ::close(fdSlow);

    std::size_t nVpw = 0;
    for (std::size_t n = fromFast.find("$IIVPW"); n != std::string::npos;
         n = fromFast.find("$IIVPW", n + 1)) {
        ++nVpw;
    }
    // An update each second, made by its wind reading; the fast client still connected at the
    // end.
    EXPECT_EQ(nVpw, static_cast<std::size_t>(kSeconds)) << live.Err();
    EXPECT_NE(live.Err().find("1 connections, 1 dropped"), std::string::npos) << live.Err();
}

TEST_F(LiveProgram, ASerialDeviceIsOpenedRawAtItsBaudRateAndRead) {
    const int fdMaster = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(fdMaster, 0);
    ASSERT_EQ(::grantpt(fdMaster), 0);
    ASSERT_EQ(::unlockpt(fdMaster), 0);
    const std::string strDevice = ::ptsname(fdMaster);
    LiveProcess live({POLARCTL_PROGRAM, "live", m_strPolar, "--sail-plan", "0", "--serial",
                      strDevice, "--baud", "38400", "--quiet"});
    // What is written before live opens the device is lost: written until it answers.
    const std::string text = Second(0, 3.6);
    bool bAnswered = false;
    for (int i = 0; i < 25 && !bAnswered; ++i) {
        ASSERT_EQ(::write(fdMaster, text.data(), text.size()), static_cast<ssize_t>(text.size()));
        bAnswered = live.WaitFor(",G,50.0,,PolarRatio", 0.2);
    }
    EXPECT_TRUE(bAnswered) << live.Err();
    termios tio{};
    ASSERT_EQ(::tcgetattr(fdMaster, &tio), 0);
    EXPECT_EQ(::cfgetispeed(&tio), static_cast<speed_t>(B38400));
    EXPECT_EQ(tio.c_lflag & static_cast<tcflag_t>(ICANON | ECHO), 0u) << "raw";
    ::kill(live.Pid(), SIGTERM);
    EXPECT_EQ(live.Wait(5), 0);
    ::close(fdMaster);
}

TEST_F(LiveProgram, AMissingSerialDeviceIsSaidAndTriedAgainUntilItIsThere) {
    TempDir devices;
    const std::string strDevice = devices.File("ttyUSB0");
    LiveProcess live({POLARCTL_PROGRAM, "live", m_strPolar, "--sail-plan", "0", "--serial",
                      strDevice, "--quiet"});
    EXPECT_TRUE(live.WaitFor("No such file or directory); trying again", 5, 0, true)) << live.Err();
    EXPECT_NE(live.Err().find("input not there (cannot open"), std::string::npos) << live.Err();
    // The device comes: a pseudo-terminal put where it was looked for.
    const int fdMaster = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(fdMaster, 0);
    ASSERT_EQ(::grantpt(fdMaster), 0);
    ASSERT_EQ(::unlockpt(fdMaster), 0);
    ASSERT_EQ(::symlink(::ptsname(fdMaster), strDevice.c_str()), 0);
    EXPECT_TRUE(live.WaitFor("input back", 6, 0, true)) << live.Err();
    ::kill(live.Pid(), SIGTERM);
    EXPECT_EQ(live.Wait(5), 0);
    ::close(fdMaster);
}

TEST_F(LiveProgram, SentencesGoToASerialDeviceAtItsBaudRate) {
    const int fdMaster = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(fdMaster, 0);
    ASSERT_EQ(::grantpt(fdMaster), 0);
    ASSERT_EQ(::unlockpt(fdMaster), 0);
    const std::string strDevice = ::ptsname(fdMaster);
    LiveProcess live({POLARCTL_PROGRAM, "live", m_strPolar, "--sail-plan", "0", "--out-serial",
                      strDevice, "--baud", "9600", "--quiet"});
    std::string received;
    for (int i = 0; i < 25 && received.find("PolarRatio*") == std::string::npos; ++i) {
        ASSERT_TRUE(live.Write(Second(i, 3.6)));
        pollfd entry{fdMaster, POLLIN, 0};
        while (::poll(&entry, 1, 200) > 0) {
            char buffer[4096];
            const ssize_t n = ::read(fdMaster, buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            received.append(buffer, static_cast<std::size_t>(n));
        }
    }
    EXPECT_NE(received.find(",G,50.0,,PolarRatio*"), std::string::npos) << received << live.Err();
    termios tio{};
    ASSERT_EQ(::tcgetattr(fdMaster, &tio), 0);
    EXPECT_EQ(::cfgetospeed(&tio), static_cast<speed_t>(B9600));
    live.CloseInput();
    EXPECT_EQ(live.Wait(5), 0);
    ::close(fdMaster);
}

TEST_F(LiveProgram, UdpInGivesSentencesByUdpAndDeltasByTcp) {
    const int nIn = FreeLoopbackPort(SOCK_DGRAM);
    const int fdNmea = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(fdNmea, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    socklen_t nLength = sizeof address;
    ::getsockname(fdNmea, reinterpret_cast<sockaddr*>(&address), &nLength);
    const int nNmea = ntohs(address.sin_port);
    const int nDeltas = FreeLoopbackPort();
    const int fdListening = ListenOnLoopback(nDeltas);
    ASSERT_GE(fdListening, 0);

    LiveProcess live({POLARCTL_PROGRAM, "live", m_strPolar, "--sail-plan", "0", "--udp",
                      std::to_string(nIn), "--out-udp", "127.0.0.1:" + std::to_string(nNmea),
                      "--signalk-tcp", "127.0.0.1:" + std::to_string(nDeltas), "--quiet"});
    const int fdDeltas = AcceptWithin(fdListening, 5000);
    ASSERT_GE(fdDeltas, 0) << live.Err();

    // A datagram without a line end after its last sentence; sent until live listens.
    std::string datagram = Second(0, 3.6);
    datagram.resize(datagram.size() - 2);
    const int fdSend = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    address.sin_port = htons(static_cast<std::uint16_t>(nIn));
    std::string received;
    for (int i = 0; i < 25 && received.find("TargetSpeed") == std::string::npos; ++i) {
        ::sendto(fdSend, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&address),
                 sizeof address);
        pollfd entry{fdNmea, POLLIN, 0};
        while (::poll(&entry, 1, 200) > 0) {
            char buffer[2048];
            const ssize_t n = ::recv(fdNmea, buffer, sizeof buffer, 0);
            received.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
        }
    }
    EXPECT_NE(received.find("$IIVPW,0.00,N,0.00,M*"), std::string::npos) << received;
    EXPECT_NE(received.find(",G,50.0,,PolarRatio*"), std::string::npos) << received;

    std::string deltas;
    pollfd entry{fdDeltas, POLLIN, 0};
    while (deltas.find("polarSpeedRatio") == std::string::npos && ::poll(&entry, 1, 5000) > 0) {
        char buffer[4096];
        const ssize_t n = ::read(fdDeltas, buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        deltas.append(buffer, static_cast<std::size_t>(n));
    }
    EXPECT_NE(deltas.find("{\"path\":\"performance.polarSpeedRatio\",\"value\":0.5000}"),
              std::string::npos)
        << deltas;
    EXPECT_EQ(deltas.rfind("{\"context\":\"vessels.self\"", 0), 0u) << deltas;

    ::kill(live.Pid(), SIGTERM);
    EXPECT_EQ(live.Wait(5), 0);
    for (const int fd : {fdNmea, fdListening, fdDeltas, fdSend}) {
        ::close(fd);
    }
}

}  // namespace
