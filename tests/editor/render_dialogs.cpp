// The gallery: the dialogs as a user sees them, made by the editor's own code on the sample
// file, in every language, grabbed from the widgets: render_dialogs OUTPUT_FOLDER SHARE_FOLDER
// SAMPLE_FILE. Each language gives the editor, the editor with the wind speed list open, the
// "Sailplan" and "Wind speed" dialogs, and the cell editor open over a cell.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPainter>
#include <QPixmap>
#include <QTableWidget>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "editor/polar_dialog.h"
#include "framework/interaction.h"
#include "resources/resource_ids.h"

namespace {

const struct {
    int nNumber;
    const char* pszName;
} kLanguages[] = {{44, "en"}, {49, "de"}, {33, "fr"}, {47, "no"}, {34, "es"}, {46, "sv"}};

// The window with whatever pop-up windows lie over it (an open drop-down list).
QPixmap GrabWithPopups(QWidget* pWindow) {
    QPixmap picture = pWindow->grab();
    QPainter painter(&picture);
    for (QWidget* pTop : QApplication::topLevelWidgets()) {
        if (pTop != pWindow && pTop->isVisible() && (pTop->windowFlags() & Qt::Popup)) {
            painter.drawPixmap(pWindow->mapFromGlobal(pTop->mapToGlobal(QPoint(0, 0))),
                               pTop->grab());
        }
    }
    return picture;
}

bool Save(const QPixmap& picture, const QString& strFile) {
    if (!picture.save(strFile)) {
        std::fprintf(stderr, "cannot write %s\n", strFile.toLocal8Bit().constData());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: render_dialogs OUTPUT_FOLDER SHARE_FOLDER SAMPLE_FILE\n");
        return 2;
    }
    const QString folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(folder);
    std::filesystem::current_path(argv[2]);  // the language files, as the editor finds them
    std::ifstream sample(argv[3], std::ios::binary);
    const std::string strSample(std::istreambuf_iterator<char>(sample), {});
    const std::string strFile = (std::filesystem::temp_directory_path() / "gallery-POLAR.PPD");

    int nWritten = 0;
    bool bOk = true;
    for (const auto& language : kLanguages) {
        std::ofstream(strFile, std::ios::binary) << strSample;
        QWidget host;
        int nFlag = 0;
        HWND hEditor = nullptr;
        auto* pEditor = new Cpolar(&host, strFile.c_str(), 0xC0B4A8, 0xFFFFFF, 0xB43C10, 0xD4F0D4,
                                   0x3C9AF0, language.nNumber, &nFlag, &hEditor);
        pEditor->CreateIndirect(pEditor->m_pDialogTemplate, nullptr);
        pEditor->ShowWindow(SW_SHOW);
        QApplication::processEvents();
        const QString prefix = folder + "/" + language.pszName + "-";
        bOk = Save(hEditor->grab(), prefix + "editor.png") && bOk;

        auto* pCombo = hEditor->findChild<QComboBox*>(QString::number(IDC_WIND_SPEED_COMBO));
        pCombo->showPopup();
        QApplication::processEvents();
        bOk = Save(GrabWithPopups(hEditor), prefix + "editor-wind-speeds-open.png") && bOk;
        pCombo->hidePopup();

        // The modal dialogs, grabbed while they run, then cancelled.
        const auto grabModal = [&](const char* pszName, const std::function<void()>& open) {
            CDialog::SetModalHook([&](CDialog* pDialog) {
                QApplication::processEvents();
                QWidget* pWindow = pDialog->GetSafeHwnd();
                // The cell editor lies in the editor's window: the picture is the editor's.
                QWidget* pShown = pWindow->isWindow() ? pWindow : hEditor;
                bOk = Save(pShown->grab(), prefix + pszName + ".png") && bOk;
                pDialog->EndDialog(IDCANCEL);
            });
            open();
            CDialog::SetModalHook(nullptr);
            ++nWritten;
        };
        grabModal("sailplan", [&] {
            ::SendMessage(hEditor, WM_COMMAND, MAKEWPARAM(IDC_ADD_SAIL_PLAN, BN_CLICKED), 0);
        });
        grabModal("wind-speed", [&] {
            ::SendMessage(hEditor, WM_COMMAND, MAKEWPARAM(IDC_ADD_WIND_SPEED, BN_CLICKED), 0);
        });
        grabModal("cell-editor", [&] {
            auto* pList = hEditor->findChild<QTableWidget*>(QString::number(IDC_VECTOR_LIST));
            const QRect cell = pList->visualItemRect(pList->item(2, 1));
            QTest::mouseDClick(pList->viewport(), Qt::LeftButton, {}, cell.center());
        });
        nWritten += 2;
        delete pEditor;
        QApplication::processEvents();
    }
    std::filesystem::remove(strFile);
    std::printf("wrote %d pictures to %s\n", nWritten, folder.toLocal8Bit().constData());
    return bOk && nWritten > 0 ? 0 : 1;
}
