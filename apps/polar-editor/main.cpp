// polar-editor: the host application that opens the polar editor on a data file.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QLocale>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "apps/polar-editor/data_folder.h"
#include "apps/polar-editor/host_window.h"
#include "apps/polar-editor/options.h"
#include "diagram/palette.h"

namespace {

int Fail(const QString& strMessage) {
    std::fprintf(stderr, "polar-editor: %s\n", strMessage.toLocal8Bit().constData());
    return 1;
}

bool AsksForHelp(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--help" || arg == "-h" || arg == "--help-all" || arg == "--version" ||
            arg == "-v") {
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    // Help and version need no display.
    std::unique_ptr<QCoreApplication> pApp;
    if (AsksForHelp(argc, argv)) {
        pApp = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        pApp = std::make_unique<QApplication>(argc, argv);
    }
    QCoreApplication& app = *pApp;
    QCoreApplication::setApplicationName("polar-editor");
    QCoreApplication::setApplicationVersion("0.1");

    QCommandLineParser parser;
    parser.setApplicationDescription("Edits the performance polars of a sailing boat (POLAR.PPD).");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        "DATAFILE", "the POLAR.PPD to open (default: the data folder's Sail/POLAR.PPD)");
    const QCommandLineOption langOption(
        "lang",
        "language number: 49 German, 33 French, 34 Spanish, 47 Norwegian, 46 Swedish, 44 English "
        "(default: from the locale)",
        "N");
    const QCommandLineOption colorsOption(
        "colors",
        "diagram colours as hex RRGGBB: grid, background, curve, tacking sector, other polars",
        "GRID,BACKGROUND,CURVE,SECTOR,OTHERS");
    const QCommandLineOption dataDirOption(
        "data-dir", "the data folder (default: polar-editor under the XDG data home)", "DIR");
    const QCommandLineOption verboseOption("verbose", "print the editor's notifications");
    parser.addOptions({langOption, colorsOption, dataDirOption, verboseOption});
    parser.process(app);

    EditorOptions options;
    options.colors = DefaultPalette();
    options.bVerbose = parser.isSet(verboseOption);
    if (parser.isSet(colorsOption)) {
        const auto colors = ParsePalette(parser.value(colorsOption).toStdString());
        if (!colors) {
            return Fail("--colors needs five colours RRGGBB separated by commas");
        }
        options.colors = *colors;
    }
    int nLanguage = LanguageForLocale(QLocale::system().name());
    if (parser.isSet(langOption)) {
        bool bOk = false;
        nLanguage = parser.value(langOption).toInt(&bOk);
        if (!bOk) {
            return Fail("--lang needs a number such as 49");
        }
    }
    if (parser.positionalArguments().size() > 1) {
        return Fail("give at most one data file");
    }

    const QString dataDir =
        QDir(parser.isSet(dataDirOption) ? parser.value(dataDirOption) : DefaultDataDir())
            .absolutePath();
    QString error;
    if (!PrepareDataFolder(dataDir, FindShareDir(), &error)) {
        return Fail(error);
    }
    const QString dataFile =
        parser.positionalArguments().isEmpty()
            ? dataDir + "/Sail/POLAR.PPD"
            : QFileInfo(parser.positionalArguments().front()).absoluteFilePath();
    // The editor finds its translations and help relative to the current folder.
    if (!QDir::setCurrent(dataDir)) {
        return Fail("cannot enter the data folder " + dataDir);
    }

    QLibrary library(FindLibrary());
    const auto openEditor = reinterpret_cast<PolarFunction>(library.resolve("polar"));
    if (openEditor == nullptr) {
        return Fail("cannot load libpolar.so: " + library.errorString());
    }
    HostWindow host(options.bVerbose);
    const QByteArray dataFileBytes = dataFile.toLocal8Bit();  // alive while the editor is open
    if (options.bVerbose) {
        std::fprintf(stderr, "polar-editor: %s, language %d, data folder %s\n",
                     dataFileBytes.constData(), nLanguage, dataDir.toLocal8Bit().constData());
    }
    const auto& c = options.colors;
    if (!openEditor(&host, dataFileBytes.constData(), c[0], c[1], c[2], c[3], c[4], nLanguage,
                    &host.m_nOpenFlag, &host.m_hEditor)) {
        return Fail("the editor could not be opened");
    }
    // Should the editor end without telling (it always tells), the application ends too.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&host] {
        if (host.m_nOpenFlag == 0) {
            QCoreApplication::quit();
        }
    });
    watch.start(500);
    return app.exec();
}
