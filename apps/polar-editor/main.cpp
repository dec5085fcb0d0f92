// polar-editor: the desktop application around the polar editor, a host of its plug-in.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <cstdio>

#include "apps/polar-editor/about_box.h"
#include "apps/polar-editor/app_settings.h"
#include "apps/polar-editor/data_folder.h"
#include "apps/polar-editor/editor_plugin.h"
#include "apps/polar-editor/main_window.h"
#include "apps/polar-editor/options.h"
#include "apps/polar-editor/questions.h"
#include "apps/polar-editor/viewed_file.h"
#include "apps/polar-editor/window_texts.h"

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
    // Settings go to the desktop's usual place: polar-editor/polar-editor.conf in the XDG
    // config home.
    QCoreApplication::setOrganizationName("polar-editor");
    QCoreApplication::setApplicationVersion(POLAR_EDITOR_VERSION);
    // Every window's icon, and the desktop entry the windows belong to.
    QApplication::setWindowIcon(ProgramIcon());
    QGuiApplication::setDesktopFileName("polar-editor");
    const EditorOptions& options = commandLine.options;
    // The command line stands over the settings, and they over the locale and the defaults.
    const int nLanguage = options.nLanguage.value_or(
        app_settings::Language().value_or(LanguageForLocale(QLocale::system().name())));
    const DiagramPalette colors =
        options.bColorsGiven ? options.colors : app_settings::Colors().value_or(options.colors);

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

    // The window's texts in the language, and Qt's own (standard buttons, file dialogs). The
    // window's come from the installation, whose copy is as new as the program (the data
    // folder keeps the copy of the first start); a language only the data folder has is
    // taken from there.
    WindowTranslator windowTexts;
    const QString shareDir = FindShareDir();
    if ((!shareDir.isEmpty() && windowTexts.Load(WindowTextsFile(shareDir, nLanguage))) ||
        windowTexts.Load(WindowTextsFile(dataDir, nLanguage))) {
        QCoreApplication::installTranslator(&windowTexts);
    }
    UseLanguageForNumbers(nLanguage);
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(LocaleOfLanguage(nLanguage)), "qtbase", "_",
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&qtTexts);
    }
    const QString libraryPath = FindLibrary();
    if (libraryPath.isEmpty()) {
        return Fail("cannot find libpolar.so beside the program (" +
                    QDir::cleanPath(QCoreApplication::applicationDirPath() + "/" +
                                    POLAR_LIBRARY_FROM_BINDIR) +
                    "); POLAR_LIBRARY may name it");
    }
    EditorPlugin editor(colors, nLanguage, options.bVerbose);
    if (!editor.Load(libraryPath, &error)) {
        return Fail(error);
    }
    if (options.bVerbose) {
        std::fprintf(stderr, "polar-editor: %s, language %d, data folder %s, library %s\n",
                     dataFile.toLocal8Bit().constData(), nLanguage,
                     dataDir.toLocal8Bit().constData(), libraryPath.toLocal8Bit().constData());
    }
    // A check never waits for a person: a data file that would need one (a folder, a file
    // that cannot be read or is not a data file) ends it at once, saying why.
    if (options.bCheck && QFileInfo::exists(dataFile)) {
        const ViewedFile checked = ReadViewedFile(dataFile);
        if (!checked.strProblem.isEmpty()) {
            return Fail(checked.strProblem.startsWith(dataFile)
                            ? checked.strProblem
                            : dataFile + ": " + checked.strProblem);
        }
    }
    DialogQuestions dialogs;
    PrintedQuestions printed;
    Questions& questions = options.bCheck ? static_cast<Questions&>(printed) : dialogs;
    MainWindow window(editor, questions, colors);
    window.ShowFile(dataFile);
    window.show();
    if (options.bCheck) {
        // Drawn now, before the editor opens, and said, so that a caller can time the start.
        window.repaint();
        std::printf("window drawn\n");
        std::fflush(stdout);
    }
    // The editor opens at start, as it always has.
    if (!editor.Open(dataFile)) {
        return Fail("the editor could not be opened");
    }
    if (options.bCheck) {
        // Closed as the user's "Close" would.
        QTimer::singleShot(0, &window, [&editor, &printed] {
            const bool bClosed = editor.Close();
            QCoreApplication::exit(bClosed && !printed.Printed() ? kEditorExitOk
                                                                 : kEditorExitFailure);
        });
    }
    const int nExit = QCoreApplication::exec();
    // An editor closed in the loop's last moments (by --check or Quit) deletes itself once its
    // handlers have returned, from a timer and the windows' deferred deletions: both run before
    // the application ends, not left to the end of the process.
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return nExit;
}
