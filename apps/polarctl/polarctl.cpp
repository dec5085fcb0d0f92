#include "apps/polarctl/polarctl.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <map>
#include <memory>
#include <new>
#include <ostream>
#include <string>
#include <string_view>

#include "apps/polarctl/command_line.h"
#include "apps/polarctl/file_support.h"
#include "diagram/palette.h"
#include "exchange/cell_text.h"
#include "exchange/format_table.h"
#include "logs/learn_options.h"

namespace {

// One option of a command. A value name makes it an option with a value, else it is a flag.
struct OptionDefinition {
    std::string strName;  // "-o", "--sail-plan"
    std::string strValue;
    std::string strHelp;
    std::string strDefault;
    bool bRequired = false;
};

// One command: its words ("lgx dump"), its synopsis, what it does, its positional words, its
// options, an example and the function that runs it.
struct CommandDefinition {
    std::string strPath;
    std::string strSynopsis;
    std::string strDescription;
    std::string strPositional;
    std::string strPositionalHelp;
    int nMinPositional = 1;
    int nMaxPositional = 1;  // -1: any number
    std::vector<OptionDefinition> options;
    std::string strExample;
    int (*run)(const ParsedArgs&, std::ostream&, std::ostream&);
};

std::string FormatList() {
    return FormatNames("|", "|");
}

std::string DefaultWindSpeeds() {
    std::string strList;
    for (const float f : LearnOptions{}.windSpeeds) {
        if (!strList.empty()) {
            strList += ',';
        }
        strList += FormatExchangeNumber(f);
    }
    return strList;
}

std::string DefaultColours() {
    std::string strColours;
    for (const COLORREF c : DefaultPalette()) {
        char szColour[8];
        std::snprintf(szColour, sizeof szColour, "%02X%02X%02X", c & 0xFFu, (c >> 8) & 0xFFu,
                      (c >> 16) & 0xFFu);
        if (!strColours.empty()) {
            strColours += ',';
        }
        strColours += szColour;
    }
    return strColours;
}

const OptionDefinition kForce{"--force", "", "write over a read-only file", "", false};

const OptionDefinition kExclude{
    "--exclude", "HH:MM-HH:MM,...",
    "spans of the log's time of day left out (motoring the log does not tell of)", "", false};

OptionDefinition SailPlanChoice(bool bRequired) {
    return {"--sail-plan", "INDEX|NAME",
            "the sail plan: its index from 0, or its name (exact, else in any case when only one "
            "matches)",
            "", bRequired};
}

std::vector<CommandDefinition> Commands() {
    const std::string strFormats = FormatList();
    const LearnOptions learn;
    return {
        {"check",
         "check FILE",
         "summary of the file and every problem met while reading it, with line and column; "
         "notes points and polars out of order",
         "FILE",
         "the data file (- for standard input)",
         1,
         1,
         {},
         "polarctl check POLAR.PPD",
         RunCheck},
        {"dump",
         "dump FILE [--json]",
         "every sail plan, polar and point, one per line",
         "FILE",
         "the data file (- for standard input)",
         1,
         1,
         {{"--json", "", "one JSON object instead of lines", "", false}},
         "polarctl dump POLAR.PPD --json",
         RunDump},
        {"normalize",
         "normalize FILE [-o OUT]",
         "read the file and write it back in the standard layout (in place, atomically, unless "
         "OUT is given)",
         "FILE",
         "the data file (- for standard input)",
         1,
         1,
         {{"-o", "OUT", "where to write (- for standard output)", "FILE itself", false}, kForce},
         "polarctl normalize POLAR.PPD -o clean.ppd",
         RunNormalize},
        {"smooth",
         "smooth FILE --sail-plan INDEX|NAME --polar J [-o OUT]",
         "smooth polar J of a sail plan by a least-squares polynomial, as the editor does, and "
         "write the file",
         "FILE",
         "the data file (- for standard input)",
         1,
         1,
         {SailPlanChoice(true),
          {"--polar", "J", "the polar's index in the sail plan, from 0", "", true},
          {"-o", "OUT", "where to write (- for standard output)", "FILE itself", false},
          kForce},
         "polarctl smooth POLAR.PPD --sail-plan \"Main + Genoa\" --polar 2",
         RunSmooth},
        {"import",
         "import IN -o POLAR.PPD [--format " + strFormats + "] [--sail-plan NAME]",
         "a sail plan from another program's polar file (every one, from signalk and "
         "hrosailing files that hold several)",
         "IN",
         "the file to import (- for standard input)",
         1,
         1,
         {{"-o", "POLAR.PPD", "the data file to write (- for standard output)", "", true},
          {"--format", "FORMAT", "the input's format: " + FormatNames(", ", " or "),
           "guessed from the content, then the extension", false},
          {"--sail-plan", "NAME", "the new sail plan's name", "IN's name without extension", false},
          {"--append", "", "add the sail plan to the data file at -o", "", false},
          {"--force", "",
           "replace an existing data file, import what could be read of a faulty input, write "
           "over a read-only file",
           "", false}},
         "polarctl import boat.pol -o POLAR.PPD --append --sail-plan \"Code 0\"",
         RunImport},
        {"export",
         "export POLAR.PPD [--sail-plan INDEX|NAME] -o OUT [--format " + strFormats +
             "] [--decimal-comma]",
         "a sail plan as a TWA/TWS grid (.pol tab, .csv ';'), a line per wind speed, rating "
         "JSON or CSV, Signal K JSON, the chart plotter's table, race targets or hrosailing CSV; "
         "what the format cannot hold is noted on standard error",
         "POLAR.PPD",
         "the data file (- for standard input)",
         1,
         1,
         {{"--sail-plan", "INDEX|NAME",
           "the sail plan: its index from 0, or its name (exact, else in any case when only one "
           "matches)",
           "every sail plan, for signalk and hrosailing (the others need one)", false},
          {"-o", "OUT", "the file to write (- for standard output)", "", true},
          {"--format", "FORMAT", "the output's format: " + FormatNames(", ", " or "),
           "from OUT's extension (" + FormatExtensions(", ", " or ") + ")", false},
          {"--decimal-comma", "", "write 5,2 rather than 5.2 (grid only)", "", false},
          kForce},
         "polarctl export POLAR.PPD --sail-plan main -o main.pol",
         RunExport},
        {"vmg",
         "vmg POLAR.PPD [--sail-plan INDEX|NAME] [--json] [--apply]",
         "best upwind and downwind angles and VMG of every polar; --apply stores the upwind "
         "angles as tacking angles",
         "POLAR.PPD",
         "the data file (- for standard input)",
         1,
         1,
         {{"--sail-plan", "INDEX|NAME",
           "only this sail plan: its index from 0, or its name (exact, else in any case when "
           "only one matches)",
           "every sail plan", false},
          {"--json", "", "one JSON object instead of lines", "", false},
          {"--apply", "", "store the best upwind angles as the tacking angles", "", false},
          kForce},
         "polarctl vmg POLAR.PPD --sail-plan 0 --json",
         RunVmg},
        {"render",
         "render FILE --sail-plan INDEX|NAME --polar J -o OUT.png|.svg|.pdf [--size WxH] "
         "[--title TEXT] [--lang N] [--show-all on|off] "
         "[--colors GRID,BACKGROUND,CURVE,SECTOR,OTHERS] [--log LOG...]",
         "the editor's diagram of one polar as PNG, or as SVG or PDF vector drawings, no display "
         "needed; above 800x600 drawn at a finer scale, centred, with the wind angles and a "
         "legend of the wind speeds",
         "FILE",
         "the data file (- for standard input), then more logs after --log LOG",
         1,
         -1,
         {SailPlanChoice(true),
          {"--polar", "J", "the polar's index in the sail plan, from 0", "", true},
          {"-o", "OUT.png|.svg|.pdf",
           "the picture to write, its format chosen by the extension (- for PNG on standard "
           "output)",
           "", true},
          {"--size", "WxH", "the picture's size in pixels, 50 to 10000 each", "800x600", false},
          {"--title", "TEXT", "a title above the diagram", "", false},
          {"--lang", "N", "the language number of the diagram's texts (49 German, ...)", "English",
           false},
          {"--show-all", "on|off", "draw the sail plan's other polars too", "on", false},
          {"--colors", "GRID,BACKGROUND,CURVE,SECTOR,OTHERS", "five colours RRGGBB",
           DefaultColours(), false},
          {"--log", "LOG", "draw the logged sailing near the polar's wind speed as dots", "",
           false},
          kForce},
         "polarctl render POLAR.PPD --sail-plan 0 --polar 1 -o polar.svg --size 1600x1200 "
         "--title \"Main + Genoa\"",
         RunRender},
        {"learn",
         "learn LOG... -o POLAR.PPD [--sail-plan NAME] [--wind-speeds 4,6,8,...] "
         "[--angle-step DEG] [--percentile P] [--min-samples N] [--steady-seconds S] "
         "[--exclude HH:MM-HH:MM,...] [--holdout P] [--fit [--extrapolate]] [--calibrate] "
         "[--append] [--force] "
         "[--report FILE.json]",
         "a polar learned from NMEA 0183 or CSV instrument logs (.gz too)",
         "LOG",
         "the instrument logs (- for standard input)",
         1,
         -1,
         {{"-o", "POLAR.PPD", "the data file to write (- for standard output)", "", true},
          {"--sail-plan", "NAME", "the new sail plan's name", "Measured", false},
          {"--wind-speeds", "LIST", "the polars' wind speeds in knots, ascending",
           DefaultWindSpeeds(), false},
          {"--angle-step", "DEG", "the angle bins' width, 1 to 45 degrees",
           FormatExchangeNumber(learn.fAngleStep), false},
          {"--percentile", "P", "the percentile of a bin's boat speeds that becomes its point",
           FormatExchangeNumber(learn.fPercentile), false},
          {"--min-samples", "N", "the samples a bin needs to become a point",
           std::to_string(learn.nMinSamples), false},
          {"--steady-seconds", "S", "how long the sailing must have been steady, 0 to 3600",
           FormatExchangeNumber(static_cast<float>(learn.dSteadySeconds)), false},
          kExclude,
          {"--holdout", "P",
           "keep P % (0 to 90) of the steady legs out of the learning and measure the polar on "
           "them",
           "0", false},
          {"--fit", "",
           "smooth each learned polar with the least-squares fit of smooth, between the sailed "
           "angles",
           "", false},
          {"--extrapolate", "", "with --fit, keep the fitted points beyond the sailed angles", "",
           false},
          {"--calibrate", "",
           "take the wind angle offset and the boat speed factor the logs show out of the "
           "learned points, where the data make them sure (their 99.9 % interval excludes no "
           "error and lies within 1.5 degrees, 2 %)",
           "", false},
          {"--append", "", "add the sail plan to the data file at -o", "", false},
          {"--force", "", "replace an existing data file, write over a read-only file", "", false},
          {"--report", "FILE.json",
           "the summary's counts and notes, and every bin's count, percentile, mean, spread and "
           "whether both tacks sailed it, as JSON",
           "", false}},
         "polarctl learn day1.nmea day2.nmea.gz -o POLAR.PPD --append --percentile 80",
         RunLearn},
        {"compare",
         "compare LOG... POLAR.PPD --sail-plan INDEX|NAME [--json] [--steady-seconds S] "
         "[--exclude HH:MM-HH:MM,...]",
         "the logged boat speed as a percentage of the polar's",
         "FILES",
         "the instrument logs, then the data file (one of them may be -)",
         2,
         -1,
         {SailPlanChoice(true),
          {"--json", "", "one JSON object instead of a table", "", false},
          {"--steady-seconds", "S", "how long the sailing must have been steady, 0 to 3600",
           FormatExchangeNumber(static_cast<float>(learn.dSteadySeconds)), false},
          kExclude},
         "polarctl compare day1.nmea POLAR.PPD --sail-plan \"Main + Genoa\"",
         RunCompare},
        {"live",
         "live POLAR.PPD --sail-plan INDEX|NAME [--replay LOG [--speed N] | --tcp HOST:PORT | "
         "--udp PORT | --serial DEV] [--baud N] [--out-tcp PORT] [--out-udp HOST:PORT] "
         "[--out-serial DEV] "
         "[--signalk-udp HOST:PORT] [--signalk-tcp HOST:PORT] [--stdout] [--json] [--rate HZ] "
         "[--damping SECONDS] [--quiet]",
         "the instruments' NMEA 0183 against the sail plan as it comes (standard input unless "
         "another input is given): polar speed and percentage, VMG, beat and run targets and the "
         "heading on the other tack, as NMEA sentences (VPW, PNKEP, XDR) and Signal K deltas; "
         "SIGHUP reads POLAR.PPD again",
         "POLAR.PPD",
         "the data file (a file: read again on SIGHUP)",
         1,
         1,
         {SailPlanChoice(true),
          {"--replay", "LOG", "a log file (.gz too) read at its own pace instead", "", false},
          {"--speed", "N", "the replay's pace: N times the log's, 0 as fast as it goes", "1",
           false},
          {"--tcp", "HOST:PORT",
           "read from a TCP server (a multiplexer; every address of the name in turn), "
           "reconnecting when lost",
           "", false},
          {"--udp", "PORT", "read UDP datagrams arriving on the port", "", false},
          {"--serial", "DEV",
           "read a serial device (reopened when lost or missing, said on "
           "standard error)",
           "", false},
          {"--baud", "N", "the serial devices' speed: 4800, 9600, 19200, 38400, 57600 or 115200",
           "4800", false},
          {"--out-tcp", "PORT",
           "serve the sentences on the port (IPv6 and IPv4) to up to 64 TCP clients at a time; "
           "one more is told so in a TXT sentence and closed",
           "", false},
          {"--out-udp", "HOST:PORT",
           "send the sentences as UDP datagrams (a broadcast address too)", "", false},
          {"--out-serial", "DEV",
           "write the sentences to a serial device (an update not sent while the last is "
           "still being written)",
           "", false},
          {"--signalk-udp", "HOST:PORT",
           "send Signal K deltas as UDP datagrams (the name's next address when one refuses them)",
           "", false},
          {"--signalk-tcp", "HOST:PORT", "send Signal K deltas, a line each, over TCP", "", false},
          {"--stdout", "", "write to standard output too (it is written when no output is given)",
           "", false},
          {"--json", "", "Signal K deltas on standard output instead of sentences", "", false},
          {"--rate", "HZ", "at most this many updates a second (else one per wind reading)", "",
           false},
          {"--damping", "SECONDS",
           "the time constant of an exponential average of the wind, boat speed and heading "
           "readings, 0 to 600",
           "0", false},
          {"--quiet", "", "no status line on standard error (else one a minute)", "", false}},
         "polarctl live POLAR.PPD --sail-plan 0 --tcp 192.168.1.10:10110 --out-tcp 10111",
         RunLive},
        {"lgx dump",
         "lgx dump FILE.lgx",
         "the pairs of a language file: key, tab, value per line",
         "FILE.lgx",
         "the language file (- for standard input)",
         1,
         1,
         {},
         "polarctl lgx dump Translations/Lang_049.lgx",
         RunLanguageFileDump},
        {"lgx build",
         "lgx build TSV -o FILE.lgx",
         "a language file from key<TAB>value lines",
         "TSV",
         "the key<TAB>value lines (- for standard input)",
         1,
         1,
         {{"-o", "FILE.lgx", "the language file to write (- for standard output)", "", true},
          kForce},
         "polarctl lgx build lang_049.tsv -o Lang_049.lgx",
         RunLanguageFileBuild},
    };
}

constexpr std::string_view kDescription = "Reads and writes POLAR.PPD performance polar files.";

constexpr std::string_view kNotes =
    "Run polarctl COMMAND --help for a command's options, their defaults and an example.\n"
    "\n"
    "normalize, smooth, import --append and vmg --apply refuse to write when the reading\n"
    "stopped early (the records after the stop would be lost); --force writes what was read.\n"
    "import writes nothing when its input has an error (--force imports what could be read)\n"
    "and does not replace an existing file without --force.\n"
    "No command writes over a read-only file unless --force is given. normalize and smooth\n"
    "name what the file cannot hold (a sail plan without polars, a point whose angle would\n"
    "read back as the end of its polar), exit 1, and do not empty a file without --force.\n"
    "\n"
    "A file to read may be - for standard input, and an output (-o, --report) - for\n"
    "standard output (so may /dev/stdout); what the command would print then goes to\n"
    "standard error. normalize - and smooth - write to standard output unless -o is given,\n"
    "and vmg - --apply writes the file there. --append needs a file at -o to add to.\n"
    "A FIFO, character device or socket given as an output is written in place; a symbolic\n"
    "link's file is replaced and the link kept. A directory, a link to nothing or a missing\n"
    "folder is refused. Commands that write back the file they read (normalize and smooth\n"
    "without -o, vmg --apply, --append) need it to be a regular file. They hold its\n"
    "advisory lock (flock) from the reading to the writing, waiting at most 2 s for another\n"
    "holder (the editor's Save, another polarctl), and write nothing, exit 1, when another\n"
    "program changed the file since it was read.\n"
    "\n"
    "A sail plan is chosen by its index from 0 or by its name: the exact name, else the one\n"
    "name that matches without regard to case.\n"
    "\n"
    "Exit codes:\n"
    "  0  done\n"
    "  1  a problem with the data or the files (unreadable, faulty, not written)\n"
    "  2  bad usage (an unknown command or option, a missing or wrong value, no such sail\n"
    "     plan or polar, an output that exists)";

// Text broken at blanks into lines of at most nWidth characters (a longer word stands alone),
// the first indented by strFirst, the others by strRest.
std::string Wrap(const std::string& strText, std::size_t nWidth, const std::string& strFirst,
                 const std::string& strRest) {
    std::string strWrapped = strFirst;
    std::size_t nLine = strFirst.size();
    bool bLineEmpty = true;
    std::size_t nStart = 0;
    while (nStart < strText.size()) {
        std::size_t nEnd = strText.find(' ', nStart);
        if (nEnd == std::string::npos) {
            nEnd = strText.size();
        }
        const std::size_t nWord = nEnd - nStart;
        if (!bLineEmpty && nLine + 1 + nWord > nWidth) {
            strWrapped += "\n";
            strWrapped += strRest;
            nLine = strRest.size();
            bLineEmpty = true;
        }
        if (!bLineEmpty) {
            strWrapped += ' ';
            ++nLine;
        }
        strWrapped.append(strText, nStart, nWord);
        nLine += nWord;
        bLineEmpty = false;
        nStart = nEnd + 1;
    }
    strWrapped += "\n";
    return strWrapped;
}

constexpr std::size_t kHelpWidth = 92;

// CLI11's layout, with each command's own synopsis as its usage line and in the command list.
class PolarctlFormatter : public CLI::Formatter {
  public:
    void SetSynopsis(const CLI::App* pApp, std::string strSynopsis) {
        m_synopses[pApp] = std::move(strSynopsis);
    }

    std::string make_usage(const CLI::App* app, std::string name) const override {
        const auto it = m_synopses.find(app);
        if (it == m_synopses.end()) {
            return CLI::Formatter::make_usage(app, std::move(name));
        }
        return Wrap("polarctl " + it->second, kHelpWidth, "Usage: ", "         ");
    }

    // The usage line first, then what the command does, its words and options, and the footer
    // (the example, or the notes of the program's help).
    std::string make_help(const CLI::App* app, std::string name,
                          CLI::AppFormatMode mode) const override {
        if (mode == CLI::AppFormatMode::Sub) {
            return make_expanded(app);
        }
        std::string strHelp = make_usage(app, std::move(name));
        strHelp += make_description(app);
        strHelp += make_positionals(app);
        strHelp += make_groups(app, mode);
        strHelp += make_subcommands(app, mode);
        strHelp += '\n';
        strHelp += make_footer(app);
        return strHelp;
    }

    std::string make_description(const CLI::App* app) const override {
        return app->get_description().empty() ? std::string()
                                              : Wrap(app->get_description(), kHelpWidth, "", "");
    }

    std::string make_subcommand(const CLI::App* sub) const override {
        const auto it = m_synopses.find(sub);
        return Wrap(it == m_synopses.end() ? sub->get_name() : it->second, kHelpWidth, "  ",
                    "      ") +
               Wrap(sub->get_description(), kHelpWidth, "        ", "        ");
    }

  private:
    std::map<const CLI::App*, std::string> m_synopses;
};

// The command line's definition: the commands as CLI11 subcommands, with where each one's
// arguments land.
class CommandLine {
  public:
    CommandLine() : m_app(std::string(kDescription), "polarctl") {
        m_pFormatter = std::make_shared<PolarctlFormatter>();
        m_app.formatter(m_pFormatter);
        m_app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
        m_app.set_version_flag("--version", std::string("polarctl ") + POLAR_VERSION,
                               "print the version and exit");
        m_app.set_help_flag("-h,--help", "print this help and exit");
        m_app.footer(std::string(kNotes));
        m_app.require_subcommand(0, 1);
        m_pFormatter->SetSynopsis(&m_app, "COMMAND [ARGS]");
        m_aCommands = Commands();
        m_aParsed.resize(m_aCommands.size());
        for (std::size_t i = 0; i < m_aCommands.size(); ++i) {
            Define(m_aCommands[i], m_aParsed[i]);
        }
    }

    CLI::App& App() { return m_app; }

    // The command the parsed line chose, with its arguments in parsed; nullptr for none (or a
    // group such as lgx without its subcommand).
    const CommandDefinition* Chosen(ParsedArgs*& pParsed) {
        for (std::size_t i = 0; i < m_aCommands.size(); ++i) {
            if (m_aApps[i]->parsed()) {
                Collect(i);
                pParsed = &m_aParsed[i];
                return &m_aCommands[i];
            }
        }
        return nullptr;
    }

    // The command (or group) named by words such as {"lgx", "dump"}, or nullptr.
    CLI::App* Find(const std::vector<std::string>& aWords) {
        CLI::App* pApp = &m_app;
        for (const std::string& strWord : aWords) {
            pApp = Subcommand(*pApp, strWord);
            if (pApp == nullptr) {
                return nullptr;
            }
        }
        return pApp;
    }

    static CLI::App* Subcommand(CLI::App& app, const std::string& strName) {
        for (CLI::App* pSub : app.get_subcommands({})) {
            if (pSub->get_name() == strName) {
                return pSub;
            }
        }
        return nullptr;
    }

  private:
    void Define(const CommandDefinition& command, ParsedArgs& parsed) {
        CLI::App* pParent = &m_app;
        std::string strName = command.strPath;
        if (const auto nSpace = strName.find(' '); nSpace != std::string::npos) {
            const std::string strGroup = strName.substr(0, nSpace);
            strName = strName.substr(nSpace + 1);
            pParent = Subcommand(m_app, strGroup);
            if (pParent == nullptr) {
                pParent = m_app.add_subcommand(strGroup, "language files: dump or build");
                pParent->require_subcommand(1);
                pParent->group("Commands");
                m_pFormatter->SetSynopsis(pParent, strGroup + " dump|build ARGS");
                pParent->footer("Run polarctl " + strGroup + " SUBCOMMAND --help for its options.");
            }
        }
        CLI::App* pApp = pParent->add_subcommand(strName, command.strDescription);
        pApp->group("Commands");
        m_pFormatter->SetSynopsis(pApp, command.strSynopsis);
        // Positional words are never taken twice: a word more than the command takes is an
        // error, not a replacement.
        pApp->add_option(command.strPositional, parsed.aPositional, command.strPositionalHelp)
            ->expected(command.nMinPositional, command.nMaxPositional)
            ->multi_option_policy(CLI::MultiOptionPolicy::Throw)
            ->required(command.nMinPositional > 0)
            ->option_text(command.nMaxPositional == 1 ? "REQUIRED" : "... REQUIRED");
        for (const OptionDefinition& option : command.options) {
            CLI::Option* pOption = nullptr;
            if (option.strValue.empty()) {
                // --json=yes is no more a flag than --json=no: neither is taken.
                pOption = pApp->add_flag(option.strName, option.strHelp)->disable_flag_override();
            } else {
                pOption = pApp->add_option(option.strName, option.strHelp)
                              ->type_name(option.strValue)
                              ->expected(1);
                if (!option.strDefault.empty()) {
                    pOption->default_str(option.strDefault);
                }
                pOption->required(option.bRequired);
            }
            m_options[pApp].push_back({&option, pOption});
        }
        std::string strFooter = "Example:\n  ";
        strFooter += command.strExample;
        pApp->footer(strFooter);
        m_aApps.push_back(pApp);
    }

    void Collect(std::size_t nCommand) {
        ParsedArgs& parsed = m_aParsed[nCommand];
        for (const auto& [pDefinition, pOption] : m_options[m_aApps[nCommand]]) {
            if (pOption->count() == 0) {
                continue;
            }
            if (pDefinition->strValue.empty()) {
                parsed.flags.insert(pDefinition->strName);
            } else if (!pOption->results().empty()) {
                parsed.options[pDefinition->strName] = pOption->results().back();
            }
        }
    }

    CLI::App m_app;
    std::shared_ptr<PolarctlFormatter> m_pFormatter;
    std::vector<CommandDefinition> m_aCommands;
    std::vector<ParsedArgs> m_aParsed;
    std::vector<CLI::App*> m_aApps;
    std::map<const CLI::App*, std::vector<std::pair<const OptionDefinition*, CLI::Option*>>>
        m_options;
};

// The hidden listings for shell completion, read off the definitions: the commands (or a
// group's subcommands), a command's options one a line (with a tab and the value's name for
// those that take one), and the exchange formats.
int Complete(CommandLine& commandLine, const std::vector<std::string>& args, std::ostream& out,
             std::ostream& err) {
    const std::string& strWhat = args[0];
    const std::vector<std::string> aWords(args.begin() + 1, args.end());
    if (strWhat == "--complete-formats" && aWords.empty()) {
        for (const ExchangeFormat& format : ExchangeFormats()) {
            out << format.name << "\n";
        }
        return kExitOk;
    }
    const bool bCommands = strWhat == "--complete-commands";
    if ((bCommands && aWords.size() > 1) || aWords.size() > 2 || strWhat == "--complete-formats") {
        err << "polarctl: " << strWhat << " takes "
            << (strWhat == "--complete-formats" ? "no arguments"
                : bCommands                     ? "at most one command"
                                                : "at most a command and its subcommand")
            << "\n";
        return kExitUsage;
    }
    const CLI::App* pApp = commandLine.Find(aWords);
    if (pApp == nullptr) {
        std::string strWords;
        for (const std::string& strWord : aWords) {
            strWords += strWords.empty() ? "" : " ";
            strWords += strWord;
        }
        err << "polarctl: unknown command '" << strWords << "'\n";
        return kExitUsage;
    }
    if (bCommands) {
        for (const CLI::App* pSub : pApp->get_subcommands({})) {
            out << pSub->get_name() << "\n";
        }
        return kExitOk;
    }
    for (const CLI::Option* pOption : pApp->get_options()) {
        if (pOption->get_positional() || pOption->get_group().empty()) {
            continue;
        }
        std::vector<std::string> aNames;
        for (const std::string& strShort : pOption->get_snames()) {
            aNames.push_back("-" + strShort);
        }
        for (const std::string& strLong : pOption->get_lnames()) {
            aNames.push_back("--" + strLong);
        }
        for (const std::string& strName : aNames) {
            out << strName;
            if (pOption->get_type_size() != 0 && !pOption->get_type_name().empty()) {
                out << "\t" << pOption->get_type_name();
            }
            out << "\n";
        }
    }
    return kExitOk;
}

bool IsCompletion(const std::string& strArg) {
    return strArg == "--complete-commands" || strArg == "--complete-options" ||
           strArg == "--complete-formats";
}

int RunCommand(std::vector<std::string> args, std::ostream& out, std::ostream& err) {
    CommandLine commandLine;
    CLI::App& app = commandLine.App();
    if (args.empty()) {
        err << "polarctl: no command given\n\n" << app.help();
        return kExitUsage;
    }
    if (IsCompletion(args[0])) {
        return Complete(commandLine, args, out, err);
    }
    // "help COMMAND" is "COMMAND --help".
    if (args[0] == "help") {
        args.erase(args.begin());
        args.emplace_back("--help");
    }
    // A word where a command belongs that names none: said as such, not as a stray argument.
    if (!args[0].empty() && args[0][0] != '-') {
        CLI::App* pCommand = CommandLine::Subcommand(app, args[0]);
        if (pCommand == nullptr) {
            err << "polarctl: unknown command '" << args[0] << "' (see polarctl --help)\n";
            return kExitUsage;
        }
        if (!pCommand->get_subcommands({}).empty() && args.size() > 1 && !args[1].empty() &&
            args[1][0] != '-' && CommandLine::Subcommand(*pCommand, args[1]) == nullptr) {
            err << "polarctl: unknown command '" << args[0] << " " << args[1] << "' (see polarctl "
                << args[0] << " --help)\n";
            return kExitUsage;
        }
    }
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return kExitOk;
    } catch (const CLI::CallForVersion& e) {
        out << e.what() << "\n";
        return kExitOk;
    } catch (const CLI::ParseError& e) {
        // CLI11 names a flag given a value by its bare name and an unfamiliar word.
        std::string strMessage = e.what();
        constexpr std::string_view kOverride = " was given a disallowed flag override";
        if (const auto n = strMessage.find(kOverride); n != std::string::npos) {
            std::string strFlag = "--";
            strFlag += strMessage.substr(0, n);
            strMessage = strFlag;
            strMessage += " takes no value";
        }
        err << "polarctl: " << strMessage << " (see polarctl ";
        for (const CLI::App* pApp = &app; !pApp->get_subcommands().empty();) {
            pApp = pApp->get_subcommands().front();
            err << pApp->get_name() << " ";
        }
        err << "--help)\n";
        return kExitUsage;
    }
    ParsedArgs* pParsed = nullptr;
    const CommandDefinition* pCommand = commandLine.Chosen(pParsed);
    if (pCommand == nullptr) {
        err << "polarctl: no command given (see polarctl --help)\n";
        return kExitUsage;
    }
    return pCommand->run(*pParsed, out, err);
}

}  // namespace

int RunPolarctl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    // A path the system refuses in a way no command foresaw (a loop of links, a name too long,
    // a folder that may not be searched) is reported like any other unusable input.
    // Each run (a test makes many in one process) judges only the files it read itself.
    ForgetFilesRead();
    try {
        return RunCommand(args, out, err);
    } catch (const std::filesystem::filesystem_error& e) {
        err << "polarctl: " << (e.path1().empty() ? std::string() : e.path1().string() + ": ")
            << e.code().message() << "\n";
    } catch (const std::bad_alloc&) {
        err << "polarctl: not enough memory\n";
    } catch (const std::exception& e) {
        err << "polarctl: " << e.what() << "\n";
    }
    return kExitInputProblem;
}
