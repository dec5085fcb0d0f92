// polarctl as a program: files it may not write or read, paths the system refuses, and
// writes that fail, each reported with its reason and exit code 1, never an abort.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/polar_builders.h"
#include "tests/support/program_runner.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// Runs the polarctl program, as another user (nobody) when asked and possible.
ProgramResult RunPolarctl(std::vector<std::string> args, bool bAsNobody = false) {
    if (!bAsNobody) {
        return RunProgram(POLARCTL_PROGRAM, std::move(args));
    }
    args.insert(args.begin(),
                {"--reuid=65534", "--regid=65534", "--clear-groups", POLARCTL_PROGRAM});
    return RunProgram("/usr/bin/setpriv", std::move(args));
}

class PolarctlProgram : public testing::Test {
  protected:
    void SetUp() override { TempDir::Write(m_strFile, kExampleFileText); }
    TempDir m_dir;
    std::string m_strFile = m_dir.File("POLAR.PPD");
};

TEST_F(PolarctlProgram, AReadOnlyFileIsWrittenOnlyWithForce) {
    TempDir::Write(m_strFile, "Main,\n6,45,\n40,4.1,-2\n");
    ::chmod(m_strFile.c_str(), 0444);
    const ProgramResult refused = RunPolarctl({"normalize", m_strFile});
    EXPECT_EQ(refused.nExit, 1);
    EXPECT_NE(refused.err.find("read-only"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("--force"), std::string::npos) << refused.err;
    EXPECT_EQ(TempDir::Read(m_strFile), "Main,\n6,45,\n40,4.1,-2\n");

    EXPECT_EQ(RunPolarctl({"normalize", m_strFile, "--force"}).nExit, 0);
    EXPECT_EQ(TempDir::Read(m_strFile), "Main,\r\n6.00,45.00,\r\n40.00,4.10,-2");

    // An export target follows the same rule.
    const std::string strOut = m_dir.File("main.csv");
    TempDir::Write(strOut, "kept");
    ::chmod(strOut.c_str(), 0444);
    EXPECT_EQ(RunPolarctl({"export", m_strFile, "--sail-plan", "0", "-o", strOut}).nExit, 1);
    EXPECT_EQ(TempDir::Read(strOut), "kept");
}

TEST_F(PolarctlProgram, NormalizeNamesWhatTheFileCannotHoldAndDoesNotEmptyAFile) {
    TempDir::Write(m_strFile, "Storm,\r\nMain,\r\n6,45,\r\n40,4.1,-2");
    const ProgramResult run = RunPolarctl({"normalize", m_strFile});
    EXPECT_EQ(run.nExit, 1);
    EXPECT_NE(run.err.find("Sail plan \"Storm\" has no wind speeds and is not saved."),
              std::string::npos)
        << run.err;
    EXPECT_EQ(TempDir::Read(m_strFile), "Main,\r\n6.00,45.00,\r\n40.00,4.10,-2");

    TempDir::Write(m_strFile, "Storm,\r\n");
    const ProgramResult empty = RunPolarctl({"normalize", m_strFile});
    EXPECT_EQ(empty.nExit, 1);
    EXPECT_NE(empty.err.find("would be empty"), std::string::npos) << empty.err;
    EXPECT_EQ(TempDir::Read(m_strFile), "Storm,\r\n");
    EXPECT_EQ(RunPolarctl({"normalize", m_strFile, "--force"}).nExit, 1);
    EXPECT_EQ(TempDir::Read(m_strFile), "");
}

TEST_F(PolarctlProgram, PathsTheSystemRefusesAreReportedNotAborted) {
    const std::string strGrid = m_dir.File("boat.csv");
    TempDir::Write(strGrid, "TWA;6;12\n52;5.1;6.8\n90;5.9;7.5\n");
    const std::string strLoop = m_dir.File("loop.ppd");
    fs::create_symlink(strLoop, strLoop);
    const std::string strLong = m_dir.File(std::string(300, 'n') + ".ppd");
    for (const std::string& strOut : {strLoop, strLong}) {
        const ProgramResult run = RunPolarctl({"import", strGrid, "-o", strOut});
        EXPECT_EQ(run.nExit, 1) << strOut << "\n" << run.err;
        EXPECT_NE(run.err.find(strOut), std::string::npos) << run.err;
    }
    EXPECT_NE(RunPolarctl({"import", strGrid, "-o", strLoop}).err.find("symbolic links"),
              std::string::npos);
    EXPECT_NE(RunPolarctl({"import", strGrid, "-o", strLong}).err.find("too long"),
              std::string::npos);
    for (const std::string& strIn : {strLoop, strLong}) {
        EXPECT_EQ(RunPolarctl({"normalize", strIn}).nExit, 1);
        EXPECT_EQ(
            RunPolarctl({"export", m_strFile, "--sail-plan", "0", "--format", "grid", "-o", strIn})
                .nExit,
            1);
    }
}

TEST_F(PolarctlProgram, RenderReplacesItsImageAtomicallyAndNamesAFailure) {
    // The longest name the folder holds: the temporary file beside it is named to fit too.
    const std::string strPng = m_dir.File(std::string(251, 'i') + ".png");
    TempDir::Write(strPng, "the old image");
    const std::vector<std::string> args = {"render",  m_strFile, "--sail-plan", "0",
                                           "--polar", "0",       "-o",          strPng};
    const ProgramResult run = RunPolarctl(args);
    EXPECT_EQ(run.nExit, 0) << run.err;
    EXPECT_EQ(TempDir::Read(strPng).substr(1, 3), "PNG");
    for (const auto& entry : fs::directory_iterator(m_dir.Path())) {
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos);
    }

    // A failure is named and leaves the old image whole.
    ::chmod(strPng.c_str(), 0444);
    const ProgramResult refused = RunPolarctl(args);
    EXPECT_EQ(refused.nExit, 1);
    EXPECT_NE(refused.err.find("read-only"), std::string::npos) << refused.err;
    EXPECT_EQ(TempDir::Read(strPng).substr(1, 3), "PNG");

    const std::string strGood = m_dir.File("good.png");
    EXPECT_EQ(
        RunPolarctl({"render", m_strFile, "--sail-plan", "0", "--polar", "0", "-o", strGood}).nExit,
        0);
    EXPECT_EQ(TempDir::Read(strGood).substr(1, 3), "PNG");
}

TEST_F(PolarctlProgram, FilesAndFoldersTheUserMayNotUseAreReported) {
    // Run as a user without the right to read it; the superuser reads every file, so the
    // test then drops to another user.
    const bool bAsNobody = ::geteuid() == 0;
    if (bAsNobody && RunPolarctl({"--help"}, true).nExit != 0) {
        GTEST_SKIP() << "the program cannot be run as another user here";
    }
    fs::permissions(m_dir.Path(), fs::perms::all);
    ::chmod(m_strFile.c_str(), bAsNobody ? 0600 : 0200);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"normalize", m_strFile},
          std::vector<std::string>{"vmg", m_strFile, "--apply"}}) {
        const ProgramResult run = RunPolarctl(args, bAsNobody);
        EXPECT_EQ(run.nExit, 1);
        EXPECT_NE(run.err.find("Permission denied"), std::string::npos) << run.err;
    }
    ::chmod(m_strFile.c_str(), 0644);
    EXPECT_EQ(TempDir::Read(m_strFile), kExampleFileText);

    // A folder the user may not search, as the place of an output.
    const std::string strGrid = m_dir.File("boat.csv");
    TempDir::Write(strGrid, "TWA;6;12\n52;5.1;6.8\n90;5.9;7.5\n");
    fs::create_directory(m_dir.File("closed"));
    ::chmod(m_dir.File("closed").c_str(), bAsNobody ? 0700 : 0);
    const std::string strOut = m_dir.File("closed/POLAR.PPD");
    const ProgramResult closed = RunPolarctl({"import", strGrid, "-o", strOut}, bAsNobody);
    EXPECT_EQ(closed.nExit, 1);
    EXPECT_NE(closed.err.find(strOut), std::string::npos) << closed.err;
    EXPECT_NE(closed.err.find("Permission denied"), std::string::npos) << closed.err;
    ::chmod(m_dir.File("closed").c_str(), 0700);
}

}  // namespace
