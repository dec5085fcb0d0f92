#include "apps/polarctl/polarctl.h"

#include <exception>
#include <filesystem>
#include <new>
#include <ostream>
#include <string>
#include <string_view>

#include "apps/polarctl/command_line.h"
#include "exchange/format_table.h"

namespace {

// @FORMATS@ stands for the names of the formats, from their table as import and export take
// them.
constexpr std::string_view kUsageTemplate =
    "Usage: polarctl COMMAND [ARGS]\n"
    "\n"
    "Reads and writes POLAR.PPD performance polar files.\n"
    "\n"
    "Commands:\n"
    "  check FILE                 summary of the file and every problem met while reading it,\n"
    "                             with line and column; notes points and polars out of order\n"
    "  dump FILE [--json]         every sail plan, polar and point, one per line\n"
    "  normalize FILE [-o OUT]    read the file and write it back in the standard layout\n"
    "                             (in place, atomically, unless OUT is given)\n"
    "  smooth FILE --sail-plan I --polar J [-o OUT]\n"
    "                             smooth polar J of sail plan I (indexes from 0) by a\n"
    "                             least-squares polynomial and write the file\n"
    "  import IN -o POLAR.PPD [--format @FORMATS@] [--sail-plan NAME] [--append]\n"
    "                             a sail plan from another program's polar file\n"
    "  export POLAR.PPD --sail-plan INDEX|NAME -o OUT [--format @FORMATS@]\n"
    "                             a sail plan as a TWA/TWS grid (.pol tab, .csv ';'), a line per\n"
    "                             wind speed, or rating JSON\n"
    "  vmg POLAR.PPD [--sail-plan INDEX|NAME] [--json] [--apply]\n"
    "                             best upwind and downwind angles and VMG of every polar;\n"
    "                             --apply stores the upwind angles as tacking angles\n"
    "  render FILE --sail-plan I --polar J -o OUT.png [--size WxH] [--lang N]\n"
    "         [--show-all on|off] [--colors GRID,BACKGROUND,CURVE,SECTOR,OTHERS]\n"
    "                             draw the editor's diagram of that polar into a PNG file\n"
    "  learn LOG... -o POLAR.PPD [--sail-plan NAME] [--wind-speeds 4,6,8,...] [--angle-step DEG]\n"
    "        [--percentile P] [--min-samples N] [--steady-seconds S] [--append] [--force]\n"
    "        [--report FILE.json]\n"
    "                             a polar learned from NMEA 0183 or CSV instrument logs (.gz too)\n"
    "  compare LOG... POLAR.PPD --sail-plan INDEX|NAME [--json]\n"
    "                             the logged boat speed as a percentage of the polar's\n"
    "  lgx dump FILE.lgx          the pairs of a language file: key, tab, value per line\n"
    "  lgx build TSV -o FILE.lgx  a language file from key<TAB>value lines\n"
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
    "without -o, vmg --apply, --append) need it to be a regular file.\n"
    "\n"
    "Exit codes: 0 fine, 1 the input has a problem, 2 bad usage.\n";

const std::string& Usage() {
    static const std::string strUsage = [] {
        constexpr std::string_view kPlaceholder = "@FORMATS@";
        const std::string strFormats = FormatNames("|", "|");
        std::string usage(kUsageTemplate);
        for (std::size_t n = usage.find(kPlaceholder); n != std::string::npos;
             n = usage.find(kPlaceholder, n + strFormats.size())) {
            usage.replace(n, kPlaceholder.size(), strFormats);
        }
        return usage;
    }();
    return strUsage;
}

}  // namespace

namespace {

int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << Usage();
        return kExitUsage;
    }
    const std::string& strCommand = args[0];
    if (strCommand == "--help" || strCommand == "-h" || strCommand == "help") {
        out << Usage();
        return kExitOk;
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    for (const auto& arg : rest) {
        if (arg == "--help" || arg == "-h") {
            out << Usage();
            return kExitOk;
        }
    }
    if (strCommand == "check") {
        return RunCheck(rest, out, err);
    }
    if (strCommand == "dump") {
        return RunDump(rest, out, err);
    }
    if (strCommand == "normalize") {
        return RunNormalize(rest, out, err);
    }
    if (strCommand == "smooth") {
        return RunSmooth(rest, out, err);
    }
    if (strCommand == "import") {
        return RunImport(rest, out, err);
    }
    if (strCommand == "export") {
        return RunExport(rest, out, err);
    }
    if (strCommand == "vmg") {
        return RunVmg(rest, out, err);
    }
    if (strCommand == "render") {
        return RunRender(rest, out, err);
    }
    if (strCommand == "learn") {
        return RunLearn(rest, out, err);
    }
    if (strCommand == "compare") {
        return RunCompare(rest, out, err);
    }
    if (strCommand == "lgx") {
        return RunLanguageFile(rest, out, err);
    }
    err << "polarctl: unknown command '" << strCommand << "'\n\n" << Usage();
    return kExitUsage;
}

}  // namespace

int RunPolarctl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    // A path the system refuses in a way no command foresaw (a loop of links, a name too long,
    // a folder that may not be searched) is reported like any other unusable input.
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
