#include "apps/polar-editor/options.h"

#include <QCommandLineParser>
#include <QRegularExpression>

#include "diagram/palette.h"

namespace {

CommandLine UsageError(const QString& strMessage) {
    CommandLine result;
    result.nExitNow = kEditorExitUsage;
    result.strText = "polar-editor: " + strMessage + "\n(see polar-editor --help)\n";
    return result;
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Shows, edits, imports, exports and compares the performance polars of a sailing boat "
        "(POLAR.PPD).");
    const QCommandLineOption helpOption({"h", "help"}, "show this help");
    const QCommandLineOption versionOption({"v", "version"}, "show the version");
    parser.addPositionalArgument(
        "DATAFILE", "the POLAR.PPD to open (default: the data folder's Sail/POLAR.PPD)");
    const QCommandLineOption langOption(
        "lang",
        "language number: 49 German, 33 French, 34 Spanish, 47 Norwegian, 46 Swedish, 44 English "
        "(default: the one chosen in the settings, else from the locale)",
        "N");
    const QCommandLineOption colorsOption(
        "colors",
        "diagram colours as hex RRGGBB: grid, background, curve, tacking sector, other polars "
        "(default: those chosen in the settings)",
        "GRID,BACKGROUND,CURVE,SECTOR,OTHERS");
    const QCommandLineOption dataDirOption(
        "data-dir", "the data folder (default: polar-editor under the XDG data home)", "DIR");
    const QCommandLineOption verboseOption("verbose", "print the editor's notifications");
    const QCommandLineOption checkOption(
        "check",
        "open the window, draw it (then print \"window drawn\"), open the editor and close both "
        "again at once; exit 0 when that worked");
    parser.addOptions({helpOption, versionOption, langOption, colorsOption, dataDirOption,
                       verboseOption, checkOption});

    if (!parser.parse(QStringList{"polar-editor"} + args)) {
        return UsageError(parser.errorText());
    }
    CommandLine result;
    if (parser.isSet(helpOption)) {
        result.nExitNow = kEditorExitOk;
        // Without an application object the parser does not know the program's name.
        result.strText = parser.helpText().replace("<executable_name>", "polar-editor");
        return result;
    }
    if (parser.isSet(versionOption)) {
        result.nExitNow = kEditorExitOk;
        result.strText = "polar-editor " POLAR_EDITOR_VERSION "\n";
        return result;
    }
    EditorOptions& options = result.options;
    options.colors = DefaultPalette();
    options.bVerbose = parser.isSet(verboseOption);
    options.bCheck = parser.isSet(checkOption);
    if (parser.isSet(colorsOption)) {
        const auto colors = ParsePalette(parser.value(colorsOption).toStdString());
        if (!colors) {
            return UsageError("--colors needs five colours RRGGBB separated by commas, not '" +
                              parser.value(colorsOption) + "'");
        }
        options.colors = *colors;
        options.bColorsGiven = true;
    }
    if (parser.isSet(langOption)) {
        bool bOk = false;
        const int nLanguage = parser.value(langOption).toInt(&bOk);
        if (!bOk || nLanguage < 0) {
            return UsageError("--lang needs a language number such as 49, not '" +
                              parser.value(langOption) + "'");
        }
        options.nLanguage = nLanguage;
    }
    if (parser.isSet(dataDirOption)) {
        if (parser.value(dataDirOption).isEmpty()) {
            return UsageError("--data-dir needs a folder");
        }
        options.strDataDir = parser.value(dataDirOption);
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        return UsageError("give at most one data file, not " + QString::number(files.size()));
    }
    if (!files.isEmpty()) {
        if (files.front().isEmpty()) {
            return UsageError("the data file's name is empty");
        }
        options.strDataFile = files.front();
    }
    return result;
}

QStringList WithoutToolkitOptions(const QStringList& args) {
    // The options every Qt application takes (QGuiApplication and QApplication), with whether
    // a value follows.
    static const QStringList kWithValue = {"-platform",
                                           "-platformpluginpath",
                                           "-platformtheme",
                                           "-plugin",
                                           "-qwindowgeometry",
                                           "-qwindowicon",
                                           "-qwindowtitle",
                                           "-display",
                                           "-geometry",
                                           "-style",
                                           "-stylesheet",
                                           "-session",
                                           "-qmljsdebugger",
                                           "-title",
                                           "-name"};
    static const QStringList kAlone = {"-reverse", "-widgetcount", "-nograb", "-dograb", "-sync"};
    QStringList rest;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString option = args[i].startsWith("--") ? args[i].mid(1) : args[i];
        if (kWithValue.contains(option.section('=', 0, 0))) {
            if (!option.contains('=')) {
                ++i;
            }
        } else if (!kAlone.contains(option)) {
            rest.push_back(args[i]);
        }
    }
    return rest;
}

DisplayEnvironment CurrentDisplayEnvironment() {
    return {qEnvironmentVariable("QT_QPA_PLATFORM"), qEnvironmentVariable("DISPLAY"),
            qEnvironmentVariable("WAYLAND_DISPLAY")};
}

namespace {

// An argument as a shell reads it back.
QString ShellQuoted(const QString& arg) {
    static const QRegularExpression kPlain("^[A-Za-z0-9_./=:,+@%-]+$");
    if (kPlain.match(arg).hasMatch()) {
        return arg;
    }
    return "'" + QString(arg).replace("'", "'\\''") + "'";
}

}  // namespace

QString MissingDisplayMessage(const QStringList& args, const DisplayEnvironment& environment) {
    // "-platform NAME" (or "--platform", the last one counts) stands over QT_QPA_PLATFORM; the
    // xcb platform also takes "-display HOST:N" in place of DISPLAY. The joined forms
    // (-platform=NAME) count too, as WithoutToolkitOptions leaves them to Qt.
    QString strPlatform = environment.strPlatform;
    bool bXDisplayArgument = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString option = args[i].startsWith("--") ? args[i].mid(1) : args[i];
        const QString name = option.section('=', 0, 0);
        const bool bJoined = option.contains('=');
        if (name != "-platform" && name != "-display") {
            continue;
        }
        if (!bJoined && i + 1 == args.size()) {
            break;
        }
        const QString value = bJoined ? option.section('=', 1) : args[++i];
        if (name == "-platform") {
            strPlatform = value;
        } else {
            bXDisplayArgument = !value.isEmpty();
        }
    }
    const bool bX = !environment.strDisplay.isEmpty() || bXDisplayArgument;
    const bool bWayland = !environment.strWaylandDisplay.isEmpty();
    // Qt tries the platforms of a list such as "wayland;xcb" in turn, each "NAME:ARGUMENTS".
    // Without one it takes xcb, or wayland in a Wayland session.
    QStringList platforms = strPlatform.split(';', Qt::SkipEmptyParts);
    const bool bChosen = !platforms.isEmpty();
    if (!bChosen) {
        platforms = {"xcb", "wayland"};
    }
    bool bOnlyX = true;
    for (const QString& platform : platforms) {
        const QString name = platform.section(':', 0, 0).trimmed().toLower();
        if (name == "xcb" ? bX : !name.startsWith("wayland") || bWayland || bX) {
            return {};
        }
        bOnlyX = bOnlyX && name == "xcb";
    }
    QString message = "polar-editor: no display found: ";
    message += bOnlyX ? "DISPLAY is not set" : "neither DISPLAY nor WAYLAND_DISPLAY is set";
    if (bChosen) {
        message += " (platform '" + strPlatform + "')";
    }
    message +=
        ".\nThe editor shows a window: start it from a graphical desktop, or under a virtual "
        "display with\n  xvfb-run polar-editor";
    for (const QString& arg : args) {
        message += " " + ShellQuoted(arg);
    }
    return message + "\n";
}

int LanguageForLocale(const QString& strLocale) {
    const QString lang = strLocale.section('_', 0, 0).section('-', 0, 0).toLower();
    if (lang == "de") {
        return 49;
    }
    if (lang == "fr") {
        return 33;
    }
    if (lang == "es") {
        return 34;
    }
    if (lang == "nb" || lang == "nn" || lang == "no") {
        return 47;
    }
    if (lang == "sv") {
        return 46;
    }
    return 44;
}
