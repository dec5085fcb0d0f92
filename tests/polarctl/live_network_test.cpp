// polarctl live on a network as a boat's is: a name that gives IPv6 first reaching peers that
// listen on IPv4 only, the system's own reason for a port in use, and the client beyond the cap.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "data/polar_file.h"
#include "logs/nmea_sentence.h"
#include "tests/support/live_process.h"
#include "tests/support/polar_builders.h"
#include "tests/support/program_runner.h"
#include "tests/support/sailed_log.h"
#include "tests/support/temp_dir.h"

namespace {

class LiveNetwork : public testing::Test {
  protected:
    void SetUp() override {
        SailPlanArray plans;
        plans.push_back(std::make_unique<SAILPLAN>(KnownPolar()));
        TempDir::Write(m_strPolar, FormatPolarFile(plans));
    }

    TempDir m_dir;
    std::string m_strPolar = m_dir.File("POLAR.PPD");
};

// A UDP socket on the IPv4 loopback, its port in nPort.
int UdpOnLoopback(int& nPort) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t nLength = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &nLength);
    nPort = ntohs(address.sin_port);
    return fd;
}

// Reads what comes on fd until it holds what, or the milliseconds have passed.
std::string ReadUntil(int fd, const std::string& what, int nMilliseconds) {
    std::string text;
    pollfd entry{fd, POLLIN, 0};
    while (text.find(what) == std::string::npos && ::poll(&entry, 1, nMilliseconds) > 0) {
        char buffer[4096];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
}

TEST_F(LiveNetwork, LocalhostListedIpv6FirstStillReachesIpv4OnlyPeers) {
    // A private mount namespace whose /etc/hosts lists ::1 first, as Debian's does.
    if (std::system("unshare -rm true >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "no private mount namespace here";
    }
    const std::string strHosts = m_dir.File("hosts");
    TempDir::Write(strHosts, "::1 localhost\n127.0.0.1 localhost\n");

    const int nSource = FreeLoopbackPort();
    const int fdSource = ListenOnLoopback(nSource);
    const int nDeltaTcp = FreeLoopbackPort();
    const int fdDeltaTcp = ListenOnLoopback(nDeltaTcp);
    int nDeltaUdp = 0;
    const int fdDeltaUdp = UdpOnLoopback(nDeltaUdp);
    ASSERT_GE(fdSource, 0);
    ASSERT_GE(fdDeltaTcp, 0);
    const std::string strCommand =
        "mount --bind '" + strHosts + "' /etc/hosts && exec '" POLARCTL_PROGRAM "' live '" +
        m_strPolar + "' --sail-plan 0 --quiet --tcp localhost:" + std::to_string(nSource) +
        " --signalk-udp localhost:" + std::to_string(nDeltaUdp) +
        " --signalk-tcp localhost:" + std::to_string(nDeltaTcp);
    LiveProcess live({"/usr/bin/unshare", "-rm", "/bin/sh", "-c", strCommand});

    const int fd = AcceptWithin(fdSource, 5000);
    ASSERT_GE(fd, 0) << "the IPv4 source was never reached: " << live.Err();
    const int fdDeltas = AcceptWithin(fdDeltaTcp, 5000);
    ASSERT_GE(fdDeltas, 0) << "the IPv4 delta server was never reached: " << live.Err();
    // Several cycles: the first datagram may go to ::1, where no one listens.
    std::string text;
    for (const char* pszTime : {"120000", "120001", "120002", "120003"}) {
        text += NmeaSentence(std::string("GPZDA,") + pszTime + ".00,01,06,2026,00,00") + "\r\n";
        text += NmeaSentence("IIVHW,,T,,M,3.60,N,,K") + "\r\n";
        text += NmeaSentence("IIMWV,90.0,T,10.00,N,A") + "\r\n";
    }
    ASSERT_EQ(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    EXPECT_NE(ReadUntil(fdDeltaUdp, "polarSpeedRatio", 5000).find("polarSpeedRatio"),
              std::string::npos)
        << live.Err();
    EXPECT_NE(ReadUntil(fdDeltas, "polarSpeedRatio", 5000).find("polarSpeedRatio"),
              std::string::npos)
        << live.Err();
    ::kill(live.Pid(), SIGTERM);
    EXPECT_EQ(live.Wait(5), 0);
    for (const int f : {fd, fdDeltas, fdSource, fdDeltaTcp, fdDeltaUdp}) {
        ::close(f);
    }
}

TEST_F(LiveNetwork, APortInUseIsSaidAsTheSystemSaysIt) {
    const int nPort = FreeLoopbackPort();
    const int fdTaken = ListenOnLoopback(nPort);
    ASSERT_GE(fdTaken, 0);
    const ProgramResult run = RunProgram(
        POLARCTL_PROGRAM,
        {"live", m_strPolar, "--sail-plan", "0", "--out-tcp", std::to_string(nPort), "--quiet"});
    EXPECT_EQ(run.nExit, 1);
    EXPECT_NE(run.err.find("port " + std::to_string(nPort) + ": Address already in use"),
              std::string::npos)
        << run.err;
    ::close(fdTaken);
}

TEST_F(LiveNetwork, SentencesGoToTheBroadcastAddress) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    socklen_t nLength = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &nLength);
    const int nPort = ntohs(address.sin_port);
    LiveProcess live({POLARCTL_PROGRAM, "live", m_strPolar, "--sail-plan", "0", "--out-udp",
                      "255.255.255.255:" + std::to_string(nPort), "--quiet"});
    std::string text;
    for (const char* pszTime : {"120000", "120001"}) {
        text += NmeaSentence(std::string("GPZDA,") + pszTime + ".00,01,06,2026,00,00") + "\r\n";
        text += NmeaSentence("IIVHW,,T,,M,3.60,N,,K") + "\r\n";
        text += NmeaSentence("IIMWV,90.0,T,10.00,N,A") + "\r\n";
    }
    ASSERT_TRUE(live.Write(text));
    EXPECT_NE(ReadUntil(fd, "PolarRatio", 5000).find("$IIVPW"), std::string::npos) << live.Err();
    live.CloseInput();
    EXPECT_EQ(live.Wait(5), 0);
    ::close(fd);
}

TEST_F(LiveNetwork, TheClientBeyondTheCapIsToldAndItIsSaid) {
    const int nPort = FreeLoopbackPort();
    LiveProcess live({POLARCTL_PROGRAM, "live", m_strPolar, "--sail-plan", "0", "--out-tcp",
                      std::to_string(nPort), "--quiet"});
    std::vector<int> clients;
    for (int i = 0; i < 64; ++i) {
        clients.push_back(ConnectToLoopback(nPort));
        ASSERT_GE(clients.back(), 0) << live.Err();
    }
    const int fdExtra = ConnectToLoopback(nPort);
    ASSERT_GE(fdExtra, 0);
    const std::string told = ReadUntil(fdExtra, "\r\n", 5000);
    EXPECT_EQ(told.rfind("$IITXT,01,01,01,server full: 64 clients at most*", 0), 0u) << told;
    EXPECT_TRUE(live.WaitFor("turned away", 5, 0, true)) << live.Err();
    live.CloseInput();
    EXPECT_EQ(live.Wait(5), 0);
    for (const int fd : clients) {
        ::close(fd);
    }
    ::close(fdExtra);
}

}  // namespace
