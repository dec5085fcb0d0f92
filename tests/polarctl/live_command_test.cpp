// polarctl live's command line: what it refuses before it reads anything, and how.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/polar_file.h"
#include "tests/support/polar_builders.h"
#include "tests/support/polarctl_runner.h"
#include "tests/support/sailed_log.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(LiveCommand, BadValuesAreBadUsageAndWhatCannotBeOpenedAnInputProblem) {
    TempDir dir;
    const std::string strPolar = dir.File("POLAR.PPD");
    SailPlanArray plans;
    plans.push_back(std::make_unique<SAILPLAN>(KnownPolar()));
    TempDir::Write(strPolar, FormatPolarFile(plans));
    struct Case {
        std::vector<std::string> more;
        int nExit;
        const char* pszSaid;
    };
    const Case cases[] = {
        {{"--sail-plan", "Other"}, 2, "Known"},  // the message names the sail plans there are
        {{"--sail-plan", "0", "--tcp", "a:1", "--udp", "5"}, 2, "one input"},
        {{"--sail-plan", "0", "--speed", "2"}, 2, "--speed goes with --replay"},
        {{"--sail-plan", "0", "--replay", "x", "--speed", "-1"}, 2, "--speed needs"},
        {{"--sail-plan", "0", "--serial", "/dev/null", "--baud", "1200"},
         2,
         "--baud is one of 4800,"},
        {{"--sail-plan", "0", "--baud", "4800"}, 2, "--baud goes with --serial"},
        {{"--sail-plan", "0", "--tcp", "no-port"}, 2, "--tcp needs HOST:PORT"},
        {{"--sail-plan", "0", "--rate", "0"}, 2, "--rate needs"},
        {{"--sail-plan", "0", "--damping", "-1"}, 2, "--damping needs"},
        {{"--sail-plan", "0", "--udp", "70000"}, 2, "--udp needs a port"},
        {{"--sail-plan", "0", "--out-tcp", "0"}, 2, "--out-tcp needs a port"},
        {{"--sail-plan", "0", "--signalk-udp", "host:"}, 2, "--signalk-udp needs HOST:PORT"},
        {{"--sail-plan", "0", "--replay", dir.File("missing.nmea")}, 1, "missing.nmea"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"live", strPolar};
        args.insert(args.end(), c.more.begin(), c.more.end());
        const CliRun run = Polarctl(args);
        EXPECT_EQ(run.nExit, c.nExit) << c.more.back() << ": " << run.err;
        EXPECT_NE(run.err.find(c.pszSaid), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
    // The polar file is read again on SIGHUP: standard input cannot be it.
    EXPECT_EQ(Polarctl({"live", "-", "--sail-plan", "0"}).nExit, 2);
    EXPECT_EQ(Polarctl({"live", dir.File("none.ppd"), "--sail-plan", "0"}).nExit, 1);
}

TEST(LiveCommand, TheStatusLineSaysTheRateAndTheDamping) {
    TempDir dir;
    const std::string strPolar = dir.File("POLAR.PPD");
    SailPlanArray plans;
    plans.push_back(std::make_unique<SAILPLAN>(KnownPolar()));
    TempDir::Write(strPolar, FormatPolarFile(plans));
    const std::string strLog = dir.File("empty.nmea");
    TempDir::Write(strLog, "");
    CliRun run = Polarctl({"live", strPolar, "--sail-plan", "0", "--replay", strLog, "--rate", "2",
                           "--damping", "5"});
    EXPECT_EQ(run.nExit, 0) << run.err;
    EXPECT_NE(run.err.find("rate 2 Hz, damping 5 s"), std::string::npos) << run.err;
    run = Polarctl({"live", strPolar, "--sail-plan", "0", "--replay", strLog});
    EXPECT_NE(run.err.find("rate each wind reading, damping none"), std::string::npos) << run.err;
}

}  // namespace
