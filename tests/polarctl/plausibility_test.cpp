// Warnings about values no boat reaches, as the commands print them: named, never refused.
#include <gtest/gtest.h>

#include "tests/support/polarctl_runner.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(Plausibility, CommandsWarnAboutValuesNoBoatReachesAndGoOn) {
    TempDir dir;
    const std::string strGrid = dir.File("fast.csv");
    TempDir::Write(strGrid, "TWA;10\n52;6\n90;1000\n120;9999\n");
    const CliRun run = Polarctl({"import", strGrid, "-o", dir.File("POLAR.PPD")});
    EXPECT_EQ(run.nExit, 0) << run.err;  // a warning, not a failure
    EXPECT_NE(run.err.find("warning: sail plan \"fast\": wind speed 10.00 kn, angle 90.00"),
              std::string::npos)
        << run.err;
    for (const char* pszCommand : {"check", "vmg"}) {
        const CliRun other = Polarctl({pszCommand, dir.File("POLAR.PPD")});
        EXPECT_EQ(other.nExit, 0) << pszCommand;
        EXPECT_NE((other.out + other.err).find("boat speed 9999.00 kn is implausible"),
                  std::string::npos)
            << pszCommand;
    }
}

}  // namespace
