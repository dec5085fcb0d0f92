// Warnings about values no boat reaches: named, never refused.
#include "apps/polarctl/plausibility.h"

#include <gtest/gtest.h>

#include "tests/support/polar_builders.h"
#include "tests/support/polarctl_runner.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(Plausibility, ValuesNoBoatReachesAreNamedNotRefused) {
    SAILPLAN plan("Main");
    AddPolar(plan, 10, 45, {{52, 6}, {90, 1000}, {120, 9999}});
    AddPolar(plan, 4, 45, {{52, 18}});  // above three times the wind speed plus 5 kn
    AddPolar(plan, 90, 45, {{52, 0}, {90, 0}});
    const std::vector<std::string> found = ImplausibleValues(plan);
    ASSERT_EQ(found.size(), 5u);
    EXPECT_EQ(found[0],
              "wind speed 10.00 kn, angle 90.00: boat speed 1000.00 kn is implausible "
              "(above 60 kn)");
    EXPECT_NE(found[2].find("three times the wind speed plus 5 kn"), std::string::npos);
    EXPECT_EQ(found[3], "wind speed 90.00 kn is implausible (above 80 kn)");
    EXPECT_EQ(found[4], "wind speed 90.00 kn: every boat speed is 0");

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
