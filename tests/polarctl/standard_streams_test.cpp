// polarctl as a program on standard input and output ("-"), on outputs that are not plain
// files, on a full standard output, and ended by a signal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "data/polar_file.h"
#include "tests/support/polar_builders.h"
#include "tests/support/program_runner.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kWriteError =
    "polarctl: write error on standard output: No space left on device\n";

// A log of steady sailing in 10 kn of wind at five angles, a minute each.
std::string SteadyLog() {
    std::string log = "time,TWS,TWA,STW\n";
    int nTime = 0;
    for (const int nAngle : {40, 60, 90, 120, 150}) {
        for (int i = 0; i < 60; ++i) {
            log += std::to_string(nTime++) + ",10," + std::to_string(nAngle) + "," +
                   std::to_string(5 + nAngle / 100.0) + "\n";
        }
    }
    return log;
}

class PolarctlStreams : public testing::Test {
  protected:
    void SetUp() override {
        TempDir::Write(m_strFile, kExampleFileText);
        TempDir::Write(m_strLog, SteadyLog());
    }
    static ProgramResult Run(std::vector<std::string> args, const std::string& strInput = "") {
        return RunProgram(POLARCTL_PROGRAM, std::move(args), {strInput});
    }
    static ProgramResult RunInto(int fdOutput, std::vector<std::string> args) {
        return RunProgram(POLARCTL_PROGRAM, std::move(args), {"", fdOutput});
    }
    std::string Grid() const {
        const std::string strGrid = m_dir.File("expected.pol");
        EXPECT_EQ(Run({"export", m_strFile, "--sail-plan", "0", "-o", strGrid}).nExit, 0);
        return TempDir::Read(strGrid);
    }

    TempDir m_dir;
    std::string m_strFile = m_dir.File("POLAR.PPD");
    std::string m_strLog = m_dir.File("log.csv");
};

TEST_F(PolarctlStreams, DataFilesThroughStandardInputAndOutput) {
    // normalize - is a filter; what it would print goes to standard error.
    const ProgramResult normalized = Run({"normalize", "-"}, "Main,\n6,45,\n40,4.1,-2\n");
    EXPECT_EQ(normalized.nExit, 0) << normalized.err;
    EXPECT_EQ(normalized.out, "Main,\r\n6.00,45.00,\r\n40.00,4.10,-2");
    EXPECT_EQ(normalized.err, "wrote -\n");
    EXPECT_EQ(Run({"normalize", m_strFile, "-o", "-"}).out, kExampleFileText);
    EXPECT_EQ(Run({"normalize", "-", "-o", m_dir.File("out.ppd")}, kExampleFileText).nExit, 0);
    EXPECT_EQ(TempDir::Read(m_dir.File("out.ppd")), kExampleFileText);

    const ProgramResult dumped = Run({"dump", "-", "--json"}, kExampleFileText);
    EXPECT_EQ(dumped.nExit, 0);
    EXPECT_EQ(dumped.out, Run({"dump", m_strFile, "--json"}).out);
    EXPECT_EQ(Run({"check", "-"}, kExampleFileText).nExit, 0);
    // A problem is placed in "-".
    EXPECT_NE(Run({"dump", "-"}, "Main,\r\n6,45,\r\n40,x").err.find("-:3:"), std::string::npos);

    // smooth - and vmg - --apply write the changed file to standard output.
    const ProgramResult smoothed =
        Run({"smooth", "-", "--sail-plan", "0", "--polar", "0"}, kExampleFileText);
    EXPECT_EQ(smoothed.nExit, 0) << smoothed.err;
    EXPECT_NE(smoothed.err.find("degree"), std::string::npos);
    const PolarFileContents back = ParsePolarFile(smoothed.out);
    EXPECT_FALSE(back.stop);
    EXPECT_EQ(back.aSailPlans.size(), 2u);
    EXPECT_NE(smoothed.out, kExampleFileText);
    const ProgramResult applied = Run({"vmg", "-", "--apply"}, kExampleFileText);
    EXPECT_EQ(applied.nExit, 0) << applied.err;
    EXPECT_NE(applied.err.find("upwind"), std::string::npos);
    EXPECT_EQ(ParsePolarFile(applied.out).aSailPlans.size(), 2u);
    EXPECT_EQ(applied.out.find("6.00,45.00,"), std::string::npos) << applied.out;  // new angle
    EXPECT_NE(Run({"vmg", "-", "--json"}, kExampleFileText).out.find("\"upwind_angle\""),
              std::string::npos);
}

TEST_F(PolarctlStreams, OtherFormatsImagesAndLanguageFilesThroughStandardStreams) {
    const std::string strGrid = Grid();
    const ProgramResult exported =
        Run({"export", m_strFile, "--sail-plan", "0", "--format", "grid", "-o", "-"});
    EXPECT_EQ(exported.out, strGrid);
    EXPECT_NE(exported.err.find("exported \"Main\" (grid) to -"), std::string::npos);

    // Standard input has no file name to call the sail plan by.
    const std::string strImported = m_dir.File("imported.ppd");
    EXPECT_EQ(Run({"import", "-", "-o", strImported}, strGrid).nExit, 0);
    EXPECT_EQ(TempDir::Read(strImported).rfind("Imported,\r\n", 0), 0u);
    const ProgramResult toOutput = Run({"import", "-", "-o", "-", "--sail-plan", "Main"}, strGrid);
    const PolarFileContents imported = ParsePolarFile(toOutput.out);
    ASSERT_EQ(imported.aSailPlans.size(), 1u) << toOutput.out;
    EXPECT_EQ(imported.aSailPlans[0]->m_strName, "Main");
    EXPECT_EQ(imported.aSailPlans[0]->m_aPolars.size(), 2u);

    const ProgramResult rendered =
        Run({"render", "-", "--sail-plan", "0", "--polar", "0", "-o", "-"}, kExampleFileText);
    EXPECT_EQ(rendered.nExit, 0) << rendered.err;
    EXPECT_EQ(rendered.out.substr(0, 4), "\x89PNG");

    const ProgramResult built = Run({"lgx", "build", "-", "-o", "-"}, "Save\tSichern\n");
    EXPECT_EQ(built.nExit, 0) << built.err;
    EXPECT_EQ(Run({"lgx", "dump", "-"}, built.out).out, "Save\tSichern\n");
}

TEST_F(PolarctlStreams, LogsFromStandardInputAndResultsToStandardOutput) {
    const ProgramResult learned = Run({"learn", "-", "-o", "-"}, SteadyLog());
    EXPECT_EQ(learned.nExit, 0) << learned.err;
    EXPECT_EQ(learned.out,
              "Measured,\r\n10.00,40.00,\r\n40.00,5.40,60.00,5.60,90.00,5.90,120.00,6.20,150.00,"
              "6.50,-2");
    EXPECT_NE(learned.err.find("lines: 301"), std::string::npos);  // the summary, beside

    const ProgramResult report =
        Run({"learn", m_strLog, "-o", m_dir.File("x.ppd"), "--report", "-"});
    EXPECT_EQ(report.nExit, 0) << report.err;
    EXPECT_EQ(report.out.rfind("{\"samples\": 300,", 0), 0u) << report.out;

    const ProgramResult compared =
        Run({"compare", "-", m_strFile, "--sail-plan", "0", "--json"}, SteadyLog());
    EXPECT_EQ(compared.out,
              Run({"compare", m_strLog, m_strFile, "--sail-plan", "0", "--json"}).out);
    EXPECT_EQ(compared.out.rfind("{\"samples\": 251,", 0), 0u) << compared.out;

    // Standard input is read once; standard output holds one result.
    EXPECT_EQ(Run({"compare", "-", "-", "--sail-plan", "0"}).nExit, 2);
    EXPECT_EQ(Run({"learn", m_strLog, "-o", "-", "--report", "-"}).nExit, 2);
    EXPECT_EQ(Run({"import", m_strFile, "-o", "-", "--append"}).nExit, 2);
    EXPECT_EQ(Run({"learn", m_strLog, "-o", "-", "--append"}).nExit, 2);
}

TEST_F(PolarctlStreams, OutputsNamingStandardOutputReachIt) {
    // What /dev/stdout is: a link to the program's own descriptor.
    const std::string strLink = m_dir.File("stdout");
    fs::create_symlink("/proc/self/fd/1", strLink);
    const std::string strGrid = Grid();
    const std::vector<std::string> args = {"export",   m_strFile, "--sail-plan", "0",
                                           "--format", "grid",    "-o",          strLink};
    const ProgramResult piped = Run(args);
    EXPECT_EQ(piped.nExit, 0) << piped.err;
    EXPECT_EQ(piped.out, strGrid);
    EXPECT_NE(piped.err.find("exported"), std::string::npos);
    EXPECT_TRUE(fs::is_symlink(strLink));

    // Standard output appending to a file: the result is appended, the file not replaced.
    const std::string strLog = m_dir.File("log.txt");
    TempDir::Write(strLog, "before\n");
    const int fd = ::open(strLog.c_str(), O_WRONLY | O_APPEND);
    EXPECT_EQ(RunInto(fd, args).nExit, 0);
    ::close(fd);
    EXPECT_EQ(TempDir::Read(strLog), "before\n" + strGrid);
    EXPECT_TRUE(fs::is_symlink(strLink));
}

TEST_F(PolarctlStreams, AFifoOutputReachesItsReader) {
    const std::string strFifo = m_dir.File("pipe.pol");
    ASSERT_EQ(::mkfifo(strFifo.c_str(), 0600), 0);
    const std::string strGrid = Grid();
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"export", m_strFile, "--sail-plan", "0", "-o", strFifo},
          std::vector<std::string>{"normalize", m_strFile, "-o", strFifo}}) {
        const int fdReader = ::open(strFifo.c_str(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(fdReader, 0);
        const ProgramResult run = Run(args);
        EXPECT_EQ(run.nExit, 0) << run.err;
        std::string received(65536, '\0');
        const ssize_t n = ::read(fdReader, received.data(), received.size());
        ::close(fdReader);
        received.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        EXPECT_EQ(received, args[0] == "export" ? strGrid : std::string(kExampleFileText));
        EXPECT_TRUE(fs::is_fifo(strFifo));
    }
}

TEST_F(PolarctlStreams, WhatNoFileCanReplaceIsRefusedAndNothingIsCreated) {
    fs::create_symlink("nowhere.ppd", m_dir.File("dangling"));
    fs::create_directory(m_dir.File("folder"));
    const std::vector<std::string> before = TempDir::Names(m_dir.Path());
    const struct {
        std::string strOut;
        std::string strReason;
    } aCases[] = {
        {m_dir.File("dangling"), "it is a symbolic link to nowhere.ppd, which does not exist"},
        {m_dir.File("folder"), "it is not a regular file (a directory)"},
        {m_dir.File("none/out.ppd"), "the folder " + m_dir.File("none") + " does not exist"},
    };
    for (const auto& c : aCases) {
        const std::string strMessage = "polarctl: cannot write " + c.strOut + ": " + c.strReason;
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"export", m_strFile, "--sail-plan", "0", "--format", "grid",
                                       "-o", c.strOut},
              std::vector<std::string>{"normalize", m_strFile, "-o", c.strOut},
              std::vector<std::string>{"learn", m_strLog, "-o", c.strOut, "--force"},
              std::vector<std::string>{"import", m_strFile, "--format", "lines", "-o", c.strOut,
                                       "--force"}}) {
            const ProgramResult run = Run(args);
            EXPECT_EQ(run.nExit, 1) << args[0] << " " << c.strOut;
            EXPECT_NE(run.err.find(strMessage), std::string::npos) << run.err;
            EXPECT_TRUE(run.out.empty()) << run.out;  // refused before any work
        }
    }
    EXPECT_EQ(TempDir::Names(m_dir.Path()), before);
    EXPECT_TRUE(TempDir::Names(m_dir.File("folder")).empty());
}

TEST_F(PolarctlStreams, CommandsThatWriteBackTheirFileNeedARegularFile) {
    // Reading the FIFO would wait for a writer, and writing back for a reader: refused at once.
    const std::string strFifo = m_dir.File("pipe.ppd");
    ASSERT_EQ(::mkfifo(strFifo.c_str(), 0600), 0);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"normalize", strFifo},
          std::vector<std::string>{"smooth", strFifo, "--sail-plan", "0", "--polar", "0"},
          std::vector<std::string>{"vmg", strFifo, "--apply"},
          std::vector<std::string>{"import", m_strFile, "--format", "lines", "-o", strFifo,
                                   "--append"},
          std::vector<std::string>{"learn", m_strLog, "-o", strFifo, "--append"}}) {
        const ProgramResult run = Run(args);
        EXPECT_EQ(run.nExit, 1) << args[0] << ": " << run.err;
        EXPECT_NE(run.err.find(strFifo + ": it is not a regular file (a FIFO)"), std::string::npos)
            << run.err;
    }
    EXPECT_TRUE(fs::is_fifo(strFifo));
}

TEST_F(PolarctlStreams, HelpAndVersionGoToStandardOutputUsageErrorsToStandardError) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--help"}, std::vector<std::string>{"smooth", "-h"},
          std::vector<std::string>{"lgx", "build", "--help"},
          std::vector<std::string>{"--version"}}) {
        const ProgramResult run = Run(args);
        EXPECT_EQ(run.nExit, 0) << args[0];
        EXPECT_EQ(run.err, "") << args[0];
        EXPECT_NE(run.out.find("polarctl"), std::string::npos) << args[0];
    }
    const ProgramResult bad = Run({"smooth", m_strFile, "--polar", "0"});
    EXPECT_EQ(bad.nExit, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err, "polarctl: --sail-plan is required (see polarctl smooth --help)\n");
}

TEST_F(PolarctlStreams, AFailedWriteToStandardOutputIsAnError) {
    const int fdFull = ::open("/dev/full", O_WRONLY);
    if (fdFull < 0) {
        GTEST_SKIP() << "no /dev/full here";
    }
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"check", m_strFile},
          std::vector<std::string>{"dump", m_strFile, "--json"},
          std::vector<std::string>{"vmg", m_strFile, "--json"},
          std::vector<std::string>{"compare", m_strLog, m_strFile, "--sail-plan", "0", "--json"},
          std::vector<std::string>{"learn", m_strLog, "-o", m_dir.File("learned.ppd"), "--force"},
          std::vector<std::string>{"export", m_strFile, "--sail-plan", "0", "--format", "json",
                                   "-o", "-"},
          std::vector<std::string>{"--help"}}) {
        const ProgramResult run = RunInto(fdFull, args);
        EXPECT_EQ(run.nExit, 1) << args[0];
        EXPECT_NE(run.err.find(kWriteError), std::string::npos) << args[0] << ": " << run.err;
    }
    ::close(fdFull);
}

// Whether the process catches the signal (its SigCgt mask in /proc).
bool Catches(pid_t pid, int nSignal) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string strLine; std::getline(status, strLine);) {
        if (strLine.rfind("SigCgt:", 0) == 0) {
            const unsigned long long nMask = std::stoull(strLine.substr(7), nullptr, 16);
            return (nMask >> (nSignal - 1) & 1) != 0;
        }
    }
    return false;
}

TEST_F(PolarctlStreams, TheProgramCatchesEndingSignalsAndEndsByThem) {
    // Blocked opening a FIFO that nobody writes; its temporary-file cleanup is tested with the
    // data layer, here only that polarctl installs it and still ends by the signal.
    const std::string strFifo = m_dir.File("pipe.ppd");
    ASSERT_EQ(::mkfifo(strFifo.c_str(), 0600), 0);
    for (const int nSignal : {SIGTERM, SIGINT}) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int fdNull = ::open("/dev/null", O_WRONLY);
            ::dup2(fdNull, 1);
            ::dup2(fdNull, 2);
            ::execl(POLARCTL_PROGRAM, POLARCTL_PROGRAM, "dump", strFifo.c_str(), nullptr);
            ::_exit(127);
        }
        bool bCaught = false;
        for (int i = 0; i < 200 && !(bCaught = Catches(pid, nSignal)); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
        ::kill(pid, bCaught ? nSignal : SIGKILL);
        int nStatus = 0;
        ::waitpid(pid, &nStatus, 0);
        EXPECT_TRUE(bCaught) << nSignal;
        ASSERT_TRUE(WIFSIGNALED(nStatus));
        EXPECT_EQ(WTERMSIG(nStatus), bCaught ? nSignal : SIGKILL);
    }
}

}  // namespace
