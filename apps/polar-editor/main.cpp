// polar-editor: the host application that opens the polar editor on a data file.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QLocale>
#include <QTimer>
#include <cstdio>

#include "apps/polar-editor/data_folder.h"
#include "apps/polar-editor/host_window.h"
#include "apps/polar-editor/options.h"

namespace {

int Fail(const QString& strMessage) {
    std::fprintf(stderr, "polar-editor: %s\n", strMessage.toLocal8Bit().constData());
    return kEditorExitFailure;
}

}  // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i) {
        args.push_back(QString::fromLocal8Bit(argv[i]));
    }
    // Help, version and usage errors are answered before any display is opened.
    const CommandLine commandLine = ParseCommandLine(WithoutToolkitOptions(args));
    if (commandLine.nExitNow) {
        std::fputs(commandLine.strText.toLocal8Bit().constData(),
                   *commandLine.nExitNow == kEditorExitOk ? stdout : stderr);
        return *commandLine.nExitNow;
    }
    // Without a display Qt would abort with a hint to reinstall; say what is missing instead.
    if (const QString missing = MissingDisplayMessage(args, CurrentDisplayEnvironment());
        !missing.isEmpty()) {
        std::fputs(missing.toLocal8Bit().constData(), stderr);
        return kEditorExitFailure;
    }
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName("polar-editor");
    QCoreApplication::setApplicationVersion(POLAR_EDITOR_VERSION);
    const EditorOptions& options = commandLine.options;
    const int nLanguage = options.nLanguage.value_or(LanguageForLocale(QLocale::system().name()));

    const QString dataDir =
        QDir(options.strDataDir.isEmpty() ? DefaultDataDir() : options.strDataDir).absolutePath();
    QString error;
    if (!PrepareDataFolder(dataDir, FindShareDir(), &error)) {
        return Fail(error);
    }
    const QString dataFile = options.strDataFile.isEmpty()
                                 ? dataDir + "/Sail/POLAR.PPD"
                                 : QFileInfo(options.strDataFile).absoluteFilePath();
    // The editor finds its translations and help relative to the current folder.
    if (!QDir::setCurrent(dataDir)) {
        return Fail("cannot enter the data folder " + dataDir);
    }

    const QString libraryPath = FindLibrary();
    if (libraryPath.isEmpty()) {
        return Fail("cannot find libpolar.so beside the program (" +
                    QDir::cleanPath(QCoreApplication::applicationDirPath() + "/" +
                                    POLAR_LIBRARY_FROM_BINDIR) +
                    "); POLAR_LIBRARY may name it");
    }
    QLibrary library(libraryPath);
    const auto openEditor = reinterpret_cast<PolarFunction>(library.resolve("polar"));
    if (openEditor == nullptr) {
        return Fail("cannot load " + libraryPath + ": " + library.errorString());
    }
    HostWindow host(options.bVerbose);
    const QByteArray dataFileBytes = dataFile.toLocal8Bit();  // alive while the editor is open
    if (options.bVerbose) {
        std::fprintf(stderr, "polar-editor: %s, language %d, data folder %s, library %s\n",
                     dataFileBytes.constData(), nLanguage, dataDir.toLocal8Bit().constData(),
                     libraryPath.toLocal8Bit().constData());
    }
    const auto& c = options.colors;
    if (!openEditor(&host, dataFileBytes.constData(), c[0], c[1], c[2], c[3], c[4], nLanguage,
                    &host.m_nOpenFlag, &host.m_hEditor)) {
        return Fail("the editor could not be opened");
    }
    if (options.bCheck) {
        // Closed as the user's "Close" would: the editor tells the host, which then quits.
        QTimer::singleShot(0, &host, [&host] {
            polar_api::SendMessage(host.m_hEditor, polar_api::WM_COMMAND, 2, 0);
        });
    }
    // Should the editor end without telling (it always tells), the application ends too.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&host] {
        if (host.m_nOpenFlag == 0) {
            QCoreApplication::quit();
        }
    });
    watch.start(500);
    return QCoreApplication::exec();
}
