// Renders every dialog template in every language to a PNG file, offscreen, so that layout
// faults (cut-off texts, overlaps) can be seen: render_dialogs OUTPUT_FOLDER.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>

#include "framework/dialog.h"
#include "resources/dialog_resources.h"

namespace {

const char* LanguageName(WORD wLanguage) {
    switch (wLanguage) {
        case LANG_GERMAN:
            return "de";
        case LANG_FRENCH:
            return "fr";
        case LANG_NORWEGIAN:
            return "no";
        case LANG_SPANISH:
            return "es";
        default:
            return "en";
    }
}

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const QString folder =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("dialog-gallery");
    QDir().mkpath(folder);
    int nWritten = 0;
    for (const DialogTemplate& t : AllDialogTemplates()) {
        CDialog dialog(&t);
        dialog.CreateIndirect(&t);
        QWidget* pWidget = dialog.GetSafeHwnd();
        // Show the hidden controls' neighbours as the user sees them: hidden stays hidden.
        pWidget->show();
        QApplication::processEvents();
        const QString file =
            QString("%1/dialog-%2-%3.png").arg(folder).arg(t.nId).arg(LanguageName(t.wLanguage));
        if (!pWidget->grab().save(file)) {
            std::fprintf(stderr, "cannot write %s\n", file.toLocal8Bit().constData());
            return 1;
        }
        ++nWritten;
    }
    std::printf("wrote %d dialogs to %s\n", nWritten, folder.toLocal8Bit().constData());
    return nWritten > 0 ? 0 : 1;
}
