// polarctl render: the editor's diagram of one polar, drawn by the editor's own code at the
// scale the picture's size asks for, into a PNG, SVG or PDF file, without a display.
#include <QApplication>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <ostream>

#include "apps/polarctl/command_line.h"
#include "apps/polarctl/file_support.h"
#include "apps/polarctl/polarctl.h"
#include "apps/polarctl/render_output.h"
#include "apps/polarctl/render_picture.h"
#include "data/polar_file.h"
#include "diagram/palette.h"
#include "logs/polar_samples.h"
#include "translation/string_translator.h"

namespace {

bool ParseSize(const std::string& strText, int& nWidth, int& nHeight) {
    const std::size_t nX = strText.find('x');
    if (nX == std::string::npos) {
        return false;
    }
    const auto w = ParseIndex(strText.substr(0, nX));
    const auto h = ParseIndex(strText.substr(nX + 1));
    if (!w || !h || *w < 50 || *h < 50 || *w > 10000 || *h > 10000) {
        return false;
    }
    nWidth = *w;
    nHeight = *h;
    return true;
}

// The language file of a number: in the current folder's Translations/, else in
// $POLAR_SHARE_DIR, else among the files installed for the editor (or built: the build tree is
// laid out the same way).
std::string FindLanguageFile(int nLanguage) {
    char szName[64];
    std::snprintf(szName, sizeof szName, "Translations/Lang_%03d", nLanguage);
    const QString appDir = QCoreApplication::applicationDirPath();
    const QStringList folders = {".", qEnvironmentVariable("POLAR_SHARE_DIR"),
                                 appDir + "/" + POLAR_SHAREDIR_FROM_BINDIR};
    for (const QString& folder : folders) {
        const QString path = folder + "/" + szName;
        if (!folder.isEmpty() && QFileInfo::exists(path + ".lgx")) {
            return path.toStdString();
        }
    }
    return {};
}

// The logged sailing of the rendered polar (ReadSamplesOfPolar) as small dots over the diagram.
bool AddMeasuredPoints(PolarPicture& picture, const SAILPLAN& sailPlan, int nPolar,
                       const std::vector<std::string>& aLogs, std::string& strError) {
    return ReadSamplesOfPolar(
        aLogs, sailPlan, static_cast<std::size_t>(nPolar),
        [&](const LogSample& s) { picture.AddMeasuredPoint(s.fWindAngle, s.fBoatSpeed); },
        strError);
}

}  // namespace

int RunRender(const ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
    if (parsed.aPositional.empty() || (parsed.aPositional.size() > 1 && !parsed.Option("--log"))) {
        err << "polarctl: render needs one FILE; more words only as logs after --log LOG (see "
               "polarctl render --help)\n";
        return kExitUsage;
    }
    const auto strWhich = parsed.Option("--sail-plan");
    const auto nPolar = ParseIndex(parsed.Option("--polar").value_or(""));
    const auto strOut = parsed.Option("-o");
    if (!strWhich || !nPolar || !strOut) {
        err << "polarctl: render needs --sail-plan INDEX|NAME, --polar INDEX and -o OUT.png\n";
        return kExitUsage;
    }
    const auto format = PictureFormatOf(*strOut);
    if (!format) {
        err << "polarctl: render writes .png, .svg or .pdf (chosen by -o's extension), or PNG to "
               "standard output; not "
            << *strOut << "\n";
        return kExitUsage;
    }
    int nWidth = 800;
    int nHeight = 600;
    if (const auto size = parsed.Option("--size"); size && !ParseSize(*size, nWidth, nHeight)) {
        err << "polarctl: --size takes WIDTHxHEIGHT in pixels, 50 to 10000 each\n";
        return kExitUsage;
    }
    const std::string strShowAll = parsed.Option("--show-all").value_or("on");
    if (strShowAll != "on" && strShowAll != "off") {
        err << "polarctl: --show-all takes on or off\n";
        return kExitUsage;
    }
    DiagramPalette palette = DefaultPalette();
    if (const auto colors = parsed.Option("--colors")) {
        const auto parsedPalette = ParsePalette(*colors);
        if (!parsedPalette) {
            err << "polarctl: --colors takes five colours RRGGBB: grid, background, curve, sector, "
                   "others\n";
            return kExitUsage;
        }
        palette = *parsedPalette;
    }
    std::optional<int> nLanguage;
    if (const auto lang = parsed.Option("--lang")) {
        nLanguage = ParseIndex(*lang);
        if (!nLanguage) {
            err << "polarctl: --lang takes a language number such as 49\n";
            return kExitUsage;
        }
    }

    // --log LOG... : its value and the words after FILE.
    std::vector<std::string> aLogs;
    if (const auto log = parsed.Option("--log")) {
        aLogs.push_back(*log);
        aLogs.insert(aLogs.end(), parsed.aPositional.begin() + 1, parsed.aPositional.end());
    }
    std::vector<std::string> aInputs = aLogs;
    aInputs.push_back(parsed.aPositional[0]);
    if (!ReadsStandardInputOnce(aInputs, err)) {
        return kExitUsage;
    }
    if (!CheckOutput(*strOut, err)) {
        return kExitInputProblem;
    }

    const std::string& strFile = parsed.aPositional[0];
    PolarFileContents contents;
    if (!LoadOrComplain(strFile, contents, err)) {
        return kExitInputProblem;
    }
    std::string strError;
    const auto nSailPlan = ChooseSailPlan(contents.aSailPlans, *strWhich, strFile, strError);
    if (!nSailPlan) {
        err << "polarctl: " << strError << "\n";
        return kExitUsage;
    }
    if (*nPolar >= contents.aSailPlans[*nSailPlan]->GetPolarCount()) {
        err << "polarctl: there is no polar " << *nPolar << " in sail plan " << *nSailPlan << "\n";
        return kExitUsage;
    }

    // Drawing needs a GUI application; without a display it draws offscreen.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::unique_ptr<QApplication> pApp;
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char szName[] = "polarctl";
        static char* argv[] = {szName, nullptr};
        pApp = std::make_unique<QApplication>(argc, argv);
    }
    std::unique_ptr<STRING_TRANSLATOR> pTranslator;
    if (nLanguage) {
        pTranslator = std::make_unique<STRING_TRANSLATOR>(300);
        const std::string strLanguageFile = FindLanguageFile(*nLanguage);
        if (!strLanguageFile.empty()) {
            pTranslator->LoadLanguageFile(strLanguageFile);
        }
        g_pTranslator = pTranslator.get();
    }
    // Encoded in memory, then written atomically: a failed write leaves the old picture whole.
    PictureOptions options;
    options.nWidth = nWidth;
    options.nHeight = nHeight;
    options.bShowAll = strShowAll == "on";
    options.palette = palette;
    options.strTitle = parsed.Option("--title").value_or("");
    options.diagram = DiagramFor(*format);
    QByteArray bytes;
    std::string strEncodeError;
    bool bEncoded = false;
    {
        PolarPicture picture(*contents.aSailPlans[*nSailPlan], *nPolar, options);
        if (!aLogs.empty()) {
            std::string strLogError;
            if (!AddMeasuredPoints(picture, *contents.aSailPlans[*nSailPlan], *nPolar, aLogs,
                                   strLogError)) {
                g_pTranslator = nullptr;
                err << "polarctl: " << strLogError << "\n";
                return kExitInputProblem;
            }
        }
        bEncoded = EncodePicture(picture, *format, options.strTitle, bytes, strEncodeError);
    }
    g_pTranslator = nullptr;
    if (!bEncoded) {
        err << "polarctl: " << strEncodeError << "; nothing written\n";
        return kExitInputProblem;
    }
    if (!WriteOutput(*strOut,
                     std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                     parsed.Flag("--force"), out, err)) {
        return kExitInputProblem;
    }
    ReportStream(*strOut, out, err)
        << "wrote " << *strOut << " (" << nWidth << "x" << nHeight << ")\n";
    return kExitOk;
}
