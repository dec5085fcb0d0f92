// polarctl's command line: help, version, usage errors, the completion listings, and choosing
// a sail plan by index or by name.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <sstream>

#include "data/polar_file.h"
#include "tests/support/polarctl_runner.h"
#include "tests/support/temp_dir.h"

namespace {

std::vector<std::string> Lines(const std::string& strText) {
    std::vector<std::string> lines;
    std::istringstream in(strText);
    for (std::string strLine; std::getline(in, strLine);) {
        lines.push_back(strLine);
    }
    return lines;
}

// The words of a shell command line with double quotes, as a shell splits the examples.
std::vector<std::string> ShellWords(const std::string& strLine) {
    std::vector<std::string> words;
    std::string strWord;
    bool bQuoted = false;
    bool bInWord = false;
    for (const char c : strLine) {
        if (c == '"') {
            bQuoted = !bQuoted;
            bInWord = true;
        } else if (c == ' ' && !bQuoted) {
            if (bInWord) {
                words.push_back(strWord);
            }
            strWord.clear();
            bInWord = false;
        } else {
            strWord += c;
            bInWord = true;
        }
    }
    if (bInWord) {
        words.push_back(strWord);
    }
    return words;
}

// The options a command's completion lists, without the value names.
std::vector<std::string> OptionNames(std::vector<std::string> command) {
    command.insert(command.begin(), "--complete-options");
    std::vector<std::string> names;
    for (const std::string& strLine : Lines(Polarctl(command).out)) {
        names.push_back(strLine.substr(0, strLine.find('\t')));
    }
    return names;
}

// Every command, as the words that run it.
std::vector<std::vector<std::string>> AllCommands() {
    std::vector<std::vector<std::string>> commands;
    for (const std::string& strCommand : Lines(Polarctl({"--complete-commands"}).out)) {
        const std::vector<std::string> subcommands =
            Lines(Polarctl({"--complete-commands", strCommand}).out);
        if (subcommands.empty()) {
            commands.push_back({strCommand});
        }
        for (const std::string& strSub : subcommands) {
            commands.push_back({strCommand, strSub});
        }
    }
    return commands;
}

// Runs in a folder of its own, so that examples naming files find none and create none.
class InFolder {
  public:
    InFolder() : m_previous(std::filesystem::current_path()) {
        std::filesystem::current_path(m_dir.Path());
    }
    ~InFolder() { std::filesystem::current_path(m_previous); }
    const TempDir& Dir() const { return m_dir; }

  private:
    TempDir m_dir;
    std::filesystem::path m_previous;
};

TEST(CommandLine, CompletionListsTheCommandsTheirOptionsAndTheFormats) {
    EXPECT_EQ(Lines(Polarctl({"--complete-commands"}).out),
              (std::vector<std::string>{"check", "dump", "normalize", "smooth", "import", "export",
                                        "vmg", "render", "learn", "compare", "live", "lgx"}));
    EXPECT_EQ(Lines(Polarctl({"--complete-commands", "lgx"}).out),
              (std::vector<std::string>{"dump", "build"}));
    EXPECT_EQ(Polarctl({"--complete-commands", "check"}).out, "");

    // Value names after a tab; flags alone.
    EXPECT_EQ(
        Polarctl({"--complete-options", "render"}).out,
        "-h\n--help\n--sail-plan\tINDEX|NAME\n--polar\tJ\n-o\tOUT.png|.svg|.pdf\n--size\tWxH\n"
        "--title\tTEXT\n--lang\tN\n--show-all\ton|off\n"
        "--colors\tGRID,BACKGROUND,CURVE,SECTOR,OTHERS\n--log\tLOG\n--force\n");
    EXPECT_EQ(Polarctl({"--complete-options", "lgx", "build"}).out,
              "-h\n--help\n-o\tFILE.lgx\n--force\n");
    EXPECT_EQ(Polarctl({"--complete-options"}).out, "--version\n-h\n--help\n");
    EXPECT_EQ(Polarctl({"--complete-formats"}).out,
              "grid\nlines\njson\nrating-csv\nsignalk\nplotter-csv\ntargets\nhrosailing\n");

    // The listings are not commands or options of their own, and say what they take.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--complete-options", "frobnicate"},
          std::vector<std::string>{"--complete-options", "lgx", "frobnicate"},
          std::vector<std::string>{"--complete-commands", "lgx", "dump"},
          std::vector<std::string>{"--complete-formats", "grid"}}) {
        const CliRun run = Polarctl(args);
        EXPECT_EQ(run.nExit, 2) << args[1];
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.rfind("polarctl: ", 0), 0u) << run.err;
    }
    EXPECT_EQ(Polarctl({"--help"}).out.find("complete"), std::string::npos);
    EXPECT_EQ(Polarctl({"check", "--complete-commands"}).nExit, 2);
}

TEST(CommandLine, EveryCommandsHelpNamesItsOptionsAndARunnableExample) {
    const InFolder folder;
    const std::vector<std::vector<std::string>> commands = AllCommands();
    ASSERT_EQ(commands.size(), 13u);
    for (const std::vector<std::string>& command : commands) {
        std::vector<std::string> args = command;
        args.push_back("--help");
        const CliRun help = Polarctl(args);
        const std::string strName =
            command.size() == 1 ? command[0] : command[0] + " " + command[1];
        EXPECT_EQ(help.nExit, 0) << strName;
        EXPECT_EQ(help.err, "") << strName;
        EXPECT_EQ(help.out.find("Usage: polarctl " + strName), 0u) << strName << ":\n" << help.out;
        args.back() = "-h";
        EXPECT_EQ(Polarctl(args).out, help.out) << strName;
        std::vector<std::string> helpWord = {"help"};
        helpWord.insert(helpWord.end(), command.begin(), command.end());
        EXPECT_EQ(Polarctl(helpWord).out, help.out) << strName;

        for (const std::string& strOption : OptionNames(command)) {
            EXPECT_NE(help.out.find(strOption), std::string::npos) << strName << " " << strOption;
        }
        // The example is well-formed usage: it fails, if at all, only on its missing files.
        const std::size_t nExample = help.out.find("Example:\n  polarctl " + strName);
        ASSERT_NE(nExample, std::string::npos) << strName << ":\n" << help.out;
        const std::string strExample =
            Lines(help.out.substr(nExample + std::string("Example:\n  ").size()))[0];
        std::vector<std::string> words = ShellWords(strExample);
        words.erase(words.begin());
        const CliRun example = Polarctl(words);
        EXPECT_EQ(example.nExit, 1) << strExample << "\n" << example.err;
        EXPECT_EQ(example.err.find("--help"), std::string::npos) << strExample << "\n"
                                                                 << example.err;
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder.Dir().Path()));
}

TEST(CommandLine, HelpShowsTheDefaultsTheCommandsUse) {
    const std::string strRender = Polarctl({"render", "--help"}).out;
    EXPECT_NE(strRender.find("--size WxH=800x600"), std::string::npos) << strRender;
    EXPECT_NE(strRender.find("--show-all on|off=on"), std::string::npos) << strRender;
    EXPECT_NE(strRender.find("=A8B4C0,FFFFFF,103CB4,D4F0D4,F09A3C"), std::string::npos)
        << strRender;
    const std::string strLearn = Polarctl({"learn", "--help"}).out;
    for (const char* pszDefault :
         {"--sail-plan NAME=Measured", "--wind-speeds LIST=4,6,8,10,12,14,16,20,25,30",
          "--angle-step DEG=5 ", "--percentile P=90 ", "--min-samples N=10 ",
          "--steady-seconds S=10 "}) {
        EXPECT_NE(strLearn.find(pszDefault), std::string::npos) << pszDefault << "\n" << strLearn;
    }
}

TEST(CommandLine, ProgramHelpListsTheCommandsAndTheExitCodes) {
    const CliRun help = Polarctl({"--help"});
    EXPECT_EQ(help.nExit, 0);
    EXPECT_EQ(help.err, "");
    for (const std::string& strCommand : Lines(Polarctl({"--complete-commands"}).out)) {
        EXPECT_NE(help.out.find("\n  " + strCommand + " "), std::string::npos) << strCommand;
    }
    EXPECT_NE(help.out.find("Exit codes:\n  0  done\n  1  a problem with the data or the files"),
              std::string::npos)
        << help.out;
    EXPECT_NE(help.out.find("\n  2  bad usage"), std::string::npos);
    EXPECT_EQ(Polarctl({"help"}).out, help.out);

    const CliRun version = Polarctl({"--version"});
    EXPECT_EQ(version.nExit, 0);
    EXPECT_EQ(version.out, std::string("polarctl ") + POLAR_VERSION + "\n");
}

TEST(CommandLine, UsageErrorsExit2WithAMessageNamingTheFault) {
    TempDir dir;
    const std::string strFile = dir.File("POLAR.PPD");
    TempDir::Write(strFile, "Main,\r\n6,45,40,4,90,5,-2");
    const struct {
        std::vector<std::string> args;
        const char* pszMessage;
    } cases[] = {
        {{}, "no command given"},
        {{"frobnicate"}, "unknown command 'frobnicate'"},
        {{"check"}, "FILE is required"},
        {{"check", strFile, strFile}, "FILE"},
        {{"check", strFile, "--bogus"}, "--bogus"},
        {{"dump", strFile, "--json=yes"}, "--json"},
        {{"export", strFile, "-o", "-", "--format", "grid"},
         "a grid file holds one sail plan; export needs --sail-plan"},
        {{"export", strFile, "-o", "-", "--sail-plan"}, "--sail-plan"},
        {{"render", strFile, "--sail-plan", "0", "--polar", "0", "-o", dir.File("x.png"), "--log"},
         "--log"},
        {{"compare", strFile, "--sail-plan", "0"}, "FILES"},
        {{"lgx"}, "subcommand"},
        {{"lgx", "frobnicate"}, "frobnicate"},
        {{"smooth", strFile, "--sail-plan", "0", "--polar", "x"}, "--polar"},
        {{"compare", strFile, strFile, "--sail-plan", "0", "--steady-seconds", "-"},
         "--steady-seconds"},
    };
    for (const auto& c : cases) {
        const CliRun run = Polarctl(c.args);
        const std::string strArgs = c.args.empty() ? std::string("(none)") : c.args[0];
        EXPECT_EQ(run.nExit, 2) << strArgs << ": " << run.err;
        EXPECT_EQ(run.out, "") << strArgs;
        EXPECT_EQ(run.err.rfind("polarctl: ", 0), 0u) << strArgs << ": " << run.err;
        EXPECT_NE(run.err.find(c.pszMessage), std::string::npos) << strArgs << ": " << run.err;
    }
    // An option given twice takes its last value, as before.
    const CliRun twice = Polarctl({"export", strFile, "--sail-plan", "5", "--sail-plan", "0",
                                   "--format", "lines", "-o", "-"});
    EXPECT_EQ(twice.nExit, 0) << twice.err;
    EXPECT_EQ(twice.out, "6\t40\t4\t90\t5\n");
}

// Three sail plans whose names differ only in case, and one of another name; each with a
// different number of polars, so that which one a command took shows.
class SailPlanByName : public testing::Test {
  protected:
    void SetUp() override {
        TempDir::Write(m_strFile,
                       "Main + Genoa,\r\n6,45,40,4,60,4.8,90,5,150,4,-2\r\n"
                       "MAIN + GENOA,\r\n6,45,40,4.1,60,4.9,90,5.1,150,4.1,-1\r\n"
                       "8,45,40,5,60,5.8,90,6,150,5,-2\r\n"
                       "Light air,\r\n4,48,45,3,60,3.5,90,3.9,150,3,-1\r\n"
                       "5,48,45,3.5,60,4,90,4.4,150,3.5,-1\r\n"
                       "6,48,45,4,60,4.5,90,4.9,150,4,-2");
        TempDir::Write(m_strLog, "no sentence here\n");
    }

    // The index of the sail plan a command chose by strWhich, or -1 with run's message.
    int Chosen(const std::string& strCommand, const std::string& strWhich, CliRun& run) {
        if (strCommand == "export" || strCommand == "compare") {
            run = strCommand == "export"
                      ? Polarctl({"export", m_strFile, "--sail-plan", strWhich, "--format", "lines",
                                  "-o", m_dir.File("out.txt")})
                      : Polarctl({"compare", m_strLog, m_strFile, "--sail-plan", strWhich});
            for (int i = 0; i < 3; ++i) {
                // compare names it in its result, or in its message of no samples to compare.
                if (run.out.find(" \"" + Name(i) + "\"") != std::string::npos ||
                    run.err.find("compare with \"" + Name(i) + "\"") != std::string::npos) {
                    return i;
                }
            }
            return -1;
        }
        // render and smooth: the last polar only the chosen sail plan has (1, 2 or 3 polars).
        for (int nPolars = 3; nPolars >= 1; --nPolars) {
            const std::string strPolar = std::to_string(nPolars - 1);
            run = strCommand == "render"
                      ? Polarctl({"render", m_strFile, "--sail-plan", strWhich, "--polar", strPolar,
                                  "-o", m_dir.File("out.png"), "--size", "60x60"})
                      : Polarctl({"smooth", m_strFile, "--sail-plan", strWhich, "--polar", strPolar,
                                  "-o", m_dir.File("out.ppd")});
            if (run.nExit == 0) {
                return nPolars == 3 ? 2 : nPolars == 2 ? 1 : 0;
            }
            if (run.err.find("polar " + strPolar) == std::string::npos) {
                return -1;  // not a missing polar: the sail plan was refused
            }
        }
        return -1;
    }

    static std::string Name(int n) {
        return n == 0 ? "Main + Genoa" : n == 1 ? "MAIN + GENOA" : "Light air";
    }

    TempDir m_dir;
    std::string m_strFile = m_dir.File("POLAR.PPD");
    std::string m_strLog = m_dir.File("log.nmea");
};

TEST_F(SailPlanByName, EveryCommandTakesAnIndexAnExactNameOrTheOneNameInAnyCase) {
    for (const char* pszCommand : {"render", "smooth", "export", "compare"}) {
        CliRun run;
        EXPECT_EQ(Chosen(pszCommand, "1", run), 1) << pszCommand << ": " << run.err;
        EXPECT_EQ(Chosen(pszCommand, "Main + Genoa", run), 0) << pszCommand << ": " << run.err;
        // Exact before any case: the other spelling would match too.
        EXPECT_EQ(Chosen(pszCommand, "MAIN + GENOA", run), 1) << pszCommand << ": " << run.err;
        EXPECT_EQ(Chosen(pszCommand, "LIGHT air", run), 2) << pszCommand << ": " << run.err;
    }
}

TEST_F(SailPlanByName, AnAmbiguousOrUnknownNameIsAUsageErrorNamingTheCandidates) {
    for (const char* pszCommand : {"render", "smooth", "export", "compare"}) {
        CliRun run;
        EXPECT_EQ(Chosen(pszCommand, "main + genoa", run), -1) << pszCommand;
        EXPECT_EQ(run.nExit, 2) << pszCommand;
        EXPECT_NE(run.err.find(m_strFile + ": \"main + genoa\" matches several sail plans without "
                                           "regard to case: 0 \"Main + Genoa\", 1 \"MAIN + "
                                           "GENOA\"; give the exact name or the index"),
                  std::string::npos)
            << pszCommand << ": " << run.err;

        const std::string strAll =
            "(its sail plans: 0 \"Main + Genoa\", 1 \"MAIN + GENOA\", 2 \"Light air\")";
        EXPECT_EQ(Chosen(pszCommand, "Spinnaker", run), -1) << pszCommand;
        EXPECT_EQ(run.nExit, 2) << pszCommand;
        EXPECT_NE(run.err.find(m_strFile + ": no sail plan \"Spinnaker\" " + strAll),
                  std::string::npos)
            << pszCommand << ": " << run.err;
        EXPECT_EQ(Chosen(pszCommand, "3", run), -1) << pszCommand;
        EXPECT_NE(run.err.find("no sail plan 3 " + strAll), std::string::npos)
            << pszCommand << ": " << run.err;
    }
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("out.ppd")));
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("out.txt")));
}

TEST_F(SailPlanByName, VmgChoosesTheSameWay) {
    const CliRun light = Polarctl({"vmg", m_strFile, "--sail-plan", "light AIR"});
    EXPECT_EQ(light.nExit, 0) << light.err;
    EXPECT_EQ(Lines(light.out).size(), 3u);
    EXPECT_EQ(light.out.rfind("Light air  4.00 kn:", 0), 0u) << light.out;
    EXPECT_EQ(Polarctl({"vmg", m_strFile, "--sail-plan", "MAIN + genoa"}).nExit, 2);
}

TEST(CommandLine, ANameThatIsAWholeNumberBeyondTheIndexesIsFoundByName) {
    TempDir dir;
    const std::string strFile = dir.File("POLAR.PPD");
    TempDir::Write(strFile, "A,\r\n6,45,40,4,-2\r\n2024,\r\n8,45,40,5,-2");
    const CliRun run =
        Polarctl({"export", strFile, "--sail-plan", "2024", "--format", "lines", "-o", "-"});
    EXPECT_EQ(run.nExit, 0) << run.err;
    EXPECT_EQ(run.out, "8\t40\t5\n");
}

}  // namespace
