#include "apps/polar-editor/about_box.h"

#include <QCoreApplication>
#include <QMessageBox>

#include "apps/polar-editor/window_texts.h"

// The resource's registration lives in a static library: named here, so that the linker keeps
// it.
static void LoadProgramIconResource() {
    Q_INIT_RESOURCE(program_icon);
}

QIcon ProgramIcon() {
    LoadProgramIconResource();
    return QIcon::fromTheme("polar-editor", QIcon(":/icons/polar-editor.svg"));
}

QString AboutText() {
    return QString("<h3>polar-editor %1</h3><p>%2</p><p>%3</p><p>%4</p>")
        .arg(QCoreApplication::applicationVersion().toHtmlEscaped(),
             Ui("The performance polars of a sailing boat: edit, import, export and compare them.")
                 .toHtmlEscaped(),
             Ui("Licence: %1").arg("MIT").toHtmlEscaped(),
             Ui("Built with Qt %1, running on Qt %2")
                 .arg(QT_VERSION_STR, qVersion())
                 .toHtmlEscaped());
}

void ShowAboutBox(QWidget* pParent) {
    QMessageBox box(pParent);
    box.setWindowTitle(Ui("About polar-editor"));
    box.setObjectName("about-box");
    box.setTextFormat(Qt::RichText);
    box.setText(AboutText());
    box.setIconPixmap(ProgramIcon().pixmap(64, 64));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}
