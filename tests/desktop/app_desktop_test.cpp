// polar-editor's window on a real display: its menus, dialogs and message boxes used with real
// input, the editor hosted through its exports, and the data file checked byte for byte after
// each path. Only the file dialogs are answered by the test (FilesGiven): typing a path into
// them is the toolkit's business, not the application's.
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTreeWidget>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <thread>
#include <tuple>

#include "apps/polar-editor/about_box.h"
#include "apps/polar-editor/crossover_chart.h"
#include "apps/polar-editor/editor_plugin.h"
#include "apps/polar-editor/log_tool_dialog.h"
#include "apps/polar-editor/main_window.h"
#include "apps/polar-editor/polar_chart.h"
#include "apps/polar-editor/questions.h"
#include "apps/polar-editor/window_texts.h"
#include "data/file_io.h"
#include "data/polar_file.h"
#include "exchange/exchange.h"
#include "logs/logs.h"
#include "resources/resource_ids.h"
#include "tests/desktop/dense_screen.h"
#include "tests/desktop/user_session.h"
#include "tests/support/language_folder.h"
#include "tests/support/own_settings.h"
#include "tests/support/sailed_log.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wide_grid.h"

namespace {

constexpr const char* kTwoPlans =
    "Main,\r\n6.00,45.00,\r\n40.00,4.10,90.00,5.40,-1\r\n12.00,40.00,\r\n40.00,6.20,-2\r\n"
    "Light,\r\n4.00,48.00,\r\n45.00,3.00,-2";
constexpr const char* kGrid = "twa/tws\t6\t10\n45\t4.5\t6.0\n90\t5.5\t7.0\n150\t4.0\t6.5\n";

// The desktop's dialogs, but the file dialogs answered from a list.
class FilesGiven : public DialogQuestions {
  public:
    std::deque<QString> files;
    QString FileToOpen(QWidget*, const QString&, const QString&, const QString&) override {
        return Next();
    }
    QString FileToWrite(QWidget*, const QString&, const QString&, const QString&) override {
        return Next();
    }

  private:
    QString Next() {
        if (files.empty()) {
            ADD_FAILURE() << "a file dialog nobody expected";
            return {};
        }
        QString strPath = files.front();
        files.pop_front();
        return strPath;
    }
};

// The text the file holds after the sail plans were written as every writer writes them.
std::string Written(const SailPlanArray& aSailPlans) {
    return FormatPolarFile(aSailPlans);
}

class AppOnDisplay : public testing::TestWithParam<int> {
  protected:
    static void SetUpTestSuite() { UseOwnSettingsFolder(); }
    void SetUp() override {
        QSettings().clear();
        TempDir::Write(m_strFile, kTwoPlans);
        TempDir::Write(m_strGrid, kGrid);
        if (Language() != 44) {
            ASSERT_TRUE(m_windowTexts.Load(WindowTextsFile(POLAR_SHARE_DIR, Language())));
            QCoreApplication::installTranslator(&m_windowTexts);
            if (m_qtTexts.load(QLocale(LocaleOfLanguage(Language())), "qtbase", "_",
                               QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
                QCoreApplication::installTranslator(&m_qtTexts);
            }
        }
        // Numbers and the icon as the program sets them.
        UseLanguageForNumbers(Language());
        QApplication::setWindowIcon(ProgramIcon());
        QString error;
        m_pEditor = std::make_unique<EditorPlugin>(DefaultPalette(), Language(), false);
        ASSERT_TRUE(m_pEditor->Load(POLAR_LIBRARY_PATH, &error)) << error.toStdString();
        m_pWindow = std::make_unique<MainWindow>(*m_pEditor, m_files, DefaultPalette());
        m_pWindow->ShowFile(QString::fromStdString(m_strFile));
        PlaceWindow();
        m_pWindow->show();
    }
    virtual void PlaceWindow() { m_pWindow->setGeometry(40, 40, 1100, 760); }
    void TearDown() override {
        m_pWindow.reset();
        m_pEditor.reset();
        QCoreApplication::removeTranslator(&m_windowTexts);
        QCoreApplication::removeTranslator(&m_qtTexts);
        UseLanguageForNumbers(44);
        QApplication::processEvents();
        EXPECT_TRUE(m_files.files.empty());
    }
    int Language() const { return GetParam(); }
    std::string FileBytes() const { return TempDir::Read(m_strFile); }
    void Shot(const std::string& strWhat) {
        ScreenShot(strWhat + "-" + LocaleOfLanguage(Language()).toStdString(), &m_nShot);
    }
    static SailPlanArray TwoPlans() { return std::move(ParsePolarFile(kTwoPlans).aSailPlans); }
    // The data file after Learn with its default options added what the log teaches.
    static std::string WithLearned(const std::string& strLog) {
        Learner learner{LearnOptions{}};
        LogCounts counts;
        ReadLogText(TempDir::Read(strLog), counts,
                    [&learner](const LogSample& s) { learner.Add(s); });
        SailPlanArray expected = TwoPlans();
        expected.push_back(learner.Result(Ui("Learned").toStdString()));
        return Written(expected);
    }

    // Steps (user thread): a menu entry by the action's name, clicked as a user clicks it.
    void ChooseFromMenu(XUser& user, const char* pszAction) {
        ASSERT_TRUE(WaitForPlacedWindow(user, [this] { return m_pWindow.get(); }));
        QMenu* pMenu = nullptr;
        QAction* pAction = nullptr;
        const QPoint title = OnGui([&] {
            pAction = m_pWindow->findChild<QAction*>(QString("action-") + pszAction);
            pMenu = pAction != nullptr ? qobject_cast<QMenu*>(pAction->parent()) : nullptr;
            QMenuBar* pBar = m_pWindow->menuBar();
            return pMenu != nullptr
                       ? pBar->mapToGlobal(pBar->actionGeometry(pMenu->menuAction()).center())
                       : QPoint(-1, -1);
        });
        ASSERT_NE(pMenu, nullptr) << pszAction;
        user.Click(title);
        ASSERT_TRUE(WaitForPlacedWindow(user, [pMenu] { return pMenu; }));
        const unsigned long nMenu = OnGui([pMenu] { return pMenu->winId(); });
        user.Click(
            OnGui([&] { return pMenu->mapToGlobal(pMenu->actionGeometry(pAction).center()); }));
        // Gone from the screen before the next click, which it would take otherwise.
        for (int i = 0; i < 500 && user.Managed(nMenu); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_FALSE(user.Managed(nMenu)) << "the menu stayed open";
    }
    // A visible button with this text (its key's mark aside) in a window, once the window
    // manager has placed it.
    void ClickButton(XUser& user, const QString& strText) {
        const auto shows = [strText](const QAbstractButton* pButton) {
            return QString(pButton->text()).remove('&') == QString(strText).remove('&');
        };
        // The active modal window first: other windows may have a button of that text too.
        const auto window = [shows]() -> QWidget* {
            QWidgetList windows = QApplication::topLevelWidgets();
            if (QWidget* pModal = QApplication::activeModalWidget()) {
                windows.prepend(pModal);
            }
            for (QWidget* pWindow : windows) {
                for (auto* pButton : pWindow->findChildren<QAbstractButton*>()) {
                    if (pWindow->isVisible() && pButton->isVisible() && shows(pButton)) {
                        return pWindow;
                    }
                }
            }
            return nullptr;
        };
        ASSERT_TRUE(WaitForPlacedWindow(user, window)) << strText.toStdString();
        user.Click(OnGui([&] {
            for (auto* pButton : window()->findChildren<QAbstractButton*>()) {
                if (pButton->isVisible() && shows(pButton)) {
                    return pButton->mapToGlobal(pButton->rect().center());
                }
            }
            return QPoint(-1, -1);
        }));
    }
    void ClickStandardButton(XUser& user, QMessageBox::StandardButton button) {
        ASSERT_TRUE(WaitUntil([] {
            return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr;
        }));
        ClickButton(user, OnGui([button] {
                        return qobject_cast<QMessageBox*>(QApplication::activeModalWidget())
                            ->button(button)
                            ->text();
                    }));
    }
    // The OK button of the active modal dialog.
    void ClickStandardButtonOfDialog(XUser& user) {
        ClickButton(user, OnGui([] {
                        return QApplication::activeModalWidget()
                            ->findChild<QDialogButtonBox*>()
                            ->button(QDialogButtonBox::Ok)
                            ->text();
                    }));
    }
    // The text of the active message box (on the application's thread).
    static std::string ModalText() {
        auto* pBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        return pBox != nullptr ? (pBox->text() + "\n" + pBox->informativeText()).toStdString()
                               : std::string();
    }
    // Whether the active message box is the question before the file changes under the open
    // editor (on the application's thread).
    static bool AsksAboutTheOpenEditor() {
        return ModalText().find(Ui("%1 changes the data file while the editor is open.")
                                    .arg(Ui("The import"))
                                    .toStdString()) != std::string::npos;
    }
    // Opens the editor from the menu and deletes the first point of Main at 6 knots, unsaved.
    void EditInTheEditor(XUser& user) {
        ChooseFromMenu(user, "edit-polars");
        ASSERT_TRUE(WaitForPlacedWindow(user, [this] { return m_pEditor->Window(); }));
        user.Click(OnGui([this] {
            auto* pList =
                m_pEditor->Window()->findChild<QTableWidget*>(QString::number(IDC_VECTOR_LIST));
            return pList->viewport()->mapToGlobal(
                pList->visualItemRect(pList->item(0, 0)).center());
        }));
        user.Click(OnGui([this] {
            QWidget* pDelete =
                m_pEditor->Window()->findChild<QWidget*>(QString::number(IDC_DELETE_VECTOR));
            return pDelete->mapToGlobal(pDelete->rect().center());
        }));
        ASSERT_TRUE(
            WaitUntil([this] { return m_pEditor->Window()->windowTitle().startsWith('*'); }));
    }

    TempDir m_dir;
    std::string m_strFile = m_dir.File("POLAR.PPD");
    std::string m_strGrid = m_dir.File("boat.txt");
    WindowTranslator m_windowTexts;
    QTranslator m_qtTexts;
    FilesGiven m_files;
    // The editor's own texts come from its language files, as in the application's data folder.
    LanguageFolder m_languageFolder;
    std::unique_ptr<EditorPlugin> m_pEditor;
    std::unique_ptr<MainWindow> m_pWindow;
    int m_nShot = 0;
};

TEST_P(AppOnDisplay, ImportWhileTheEditorHasEditsSavesThemFirst) {
    m_files.files.push_back(QString::fromStdString(m_strGrid));
    RunAsUser(
        [this](XUser& user) {
            Shot("window");
            EditInTheEditor(user);
            ChooseFromMenu(user, "import");
            ASSERT_TRUE(WaitUntil([] { return QApplication::activeModalWidget() != nullptr; }));
            const std::string preview = OnGui(ModalText);
            const std::string strWhat =
                Ui("Sail plan \"%1\" (%2), %3 polars:").arg("boat", "grid").arg(2).toStdString();
            EXPECT_NE(preview.find(strWhat), std::string::npos) << preview;
            Shot("import-preview");
            ClickButton(user, Ui("Add to this file"));
            ASSERT_TRUE(WaitUntil(AsksAboutTheOpenEditor));
            Shot("import-question");
            EXPECT_EQ(FileBytes(), kTwoPlans);  // nothing before the answer
            ClickStandardButton(user, QMessageBox::Yes);
            ASSERT_TRUE(WaitUntil([this] {
                return m_pEditor->IsOpen() && m_pWindow->File().aSailPlans.size() == 3;
            }));
            Shot("imported");
        },
        [] {});
    SailPlanArray expected = TwoPlans();
    expected[0]->RemoveVector(0, 0);
    expected.push_back(std::move(ImportGrid(kGrid, "boat").pSailPlan));
    EXPECT_EQ(FileBytes(), Written(expected));
}

// A file of several sail plans: the preview lists each; all are added, the one named as a sail
// plan of the file under a name of its own.
TEST_P(AppOnDisplay, ImportOfSeveralSailPlansAddsThemAll) {
    const std::string strSails = m_dir.File("sails.csv");
    TempDir::Write(strSails,
                   "PolarDiagramMultiSails\nTWS\n6,10\nJib\nTWA\n52,90\nBSP\n5.3,6.3\n5.9,7\n"
                   "Light\nTWA\n90,120\nBSP\n6,7.2\n5.8,7.4\n");
    m_files.files.push_back(QString::fromStdString(strSails));
    RunAsUser(
        [this](XUser& user) {
            ChooseFromMenu(user, "import");
            ASSERT_TRUE(WaitUntil([] { return QApplication::activeModalWidget() != nullptr; }));
            const std::string preview = OnGui(ModalText);
            for (const QString& strLine :
                 {Ui("%1 sail plans (%2), each added:").arg(2).arg("hrosailing"),
                  Ui("\"%1\": %2 polars, %3 points").arg("Jib").arg(2).arg(4),
                  Ui("\"%1\": %2 polars, %3 points").arg("Light").arg(2).arg(4)}) {
                EXPECT_NE(preview.find(strLine.toStdString()), std::string::npos) << preview;
            }
            Shot("import-preview-several");
            ClickButton(user, Ui("Add to this file"));
            ASSERT_TRUE(WaitUntil([this] { return m_pWindow->File().aSailPlans.size() == 4; }));
            Shot("imported-several");
        },
        [] {});
    EXPECT_EQ(FileBytes(),
              std::string(kTwoPlans) +
                  "\r\nJib,\r\n6.00,52.00,\r\n52.00,5.30,90.00,5.90,-1\r\n10.00,52.00,\r\n"
                  "52.00,6.30,90.00,7.00,-2\r\n"
                  "Light (2),\r\n6.00,90.00,\r\n90.00,6.00,120.00,5.80,-1\r\n10.00,90.00,\r\n"
                  "90.00,7.20,120.00,7.40,-2");
}

TEST_P(AppOnDisplay, CancelAtTheQuestionKeepsTheFileAndTheEdits) {
    m_files.files.push_back(QString::fromStdString(m_strGrid));
    RunAsUser(
        [this](XUser& user) {
            EditInTheEditor(user);
            ChooseFromMenu(user, "import");
            ClickButton(user, Ui("Add to this file"));
            // Not the preview, still closing: its Cancel is not the question's.
            ASSERT_TRUE(WaitUntil(AsksAboutTheOpenEditor));
            ClickStandardButton(user, QMessageBox::Cancel);
            ASSERT_TRUE(WaitUntil([] { return QApplication::activeModalWidget() == nullptr; }));
        },
        [] {});
    EXPECT_EQ(FileBytes(), kTwoPlans);
    ASSERT_TRUE(m_pEditor->IsOpen());
    EXPECT_TRUE(m_pEditor->Window()->windowTitle().startsWith('*'));
}

TEST_P(AppOnDisplay, ExportNewAndTargetsWriteWhereTheUserSaidAndLeaveTheDataFile) {
    const std::string strExport = m_dir.File("main.PPD");
    const std::string strCard = m_dir.File("card.pdf");
    const std::string strNew = m_dir.File("NEW.PPD");
    m_files.files = {QString::fromStdString(strExport), QString::fromStdString(strCard),
                     QString::fromStdString(strNew)};
    RunAsUser(
        [&](XUser& user) {
            ChooseFromMenu(user, "export");
            ASSERT_TRUE(WaitForPlacedModal(user));
            Shot("export-dialog");
            ClickStandardButtonOfDialog(user);
            ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(strExport); }));

            ChooseFromMenu(user, "targets");
            ClickButton(user, Ui("Target card (PDF)…"));
            ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(strCard); }));
            Shot("targets");
            OnGui([this] { m_pWindow->Targets()->close(); });

            ChooseFromMenu(user, "new");
            ASSERT_TRUE(
                WaitUntil([this] { return m_pWindow->windowTitle().startsWith("NEW.PPD"); }));
        },
        [] {});
    SailPlanArray mainOnly;
    mainOnly.push_back(std::move(TwoPlans()[0]));
    EXPECT_EQ(TempDir::Read(strExport), Written(mainOnly));
    EXPECT_EQ(TempDir::Read(strCard).substr(0, 5), "%PDF-");
    EXPECT_EQ(TempDir::Read(strNew), "");
    EXPECT_EQ(FileBytes(), kTwoPlans);
}

TEST_P(AppOnDisplay, LearnFromTheMenuAddsTheLearnedSailPlan) {
    const std::string strLog = m_dir.File("trip.nmea");
    TempDir::Write(strLog, GeneratedLog(KnownPolar(), 3, 0.02));
    m_files.files.push_back(QString::fromStdString(strLog));
    RunAsUser(
        [this](XUser& user) {
            ChooseFromMenu(user, "learn");
            ClickButton(user, Ui("Add logs…"));
            ASSERT_TRUE(WaitUntil(
                [this] { return m_pWindow->LogTool()->findChild<QListWidget*>()->count() == 1; }));
            Shot("learn-dialog");
            ClickButton(user, Ui("Learn"));
            ASSERT_TRUE(
                WaitUntil([this] { return m_pWindow->File().aSailPlans.size() == 3; }, 20000));
            Shot("learned");
        },
        [] {});
    EXPECT_EQ(FileBytes(), WithLearned(strLog));
}

TEST_P(AppOnDisplay, CompareAndOpenReadTheFilesAndWriteNothing) {
    const std::string strLog = m_dir.File("trip.nmea");
    TempDir::Write(strLog, GeneratedLog(KnownPolar(), 3, 0.02));
    const std::string strKnown = m_dir.File("KNOWN.PPD");
    SailPlanArray known;
    known.push_back(std::make_unique<SAILPLAN>(KnownPolar()));
    TempDir::Write(strKnown, Written(known));
    m_files.files = {QString::fromStdString(strKnown), QString::fromStdString(strLog)};
    RunAsUser(
        [this](XUser& user) {
            ChooseFromMenu(user, "open");
            ASSERT_TRUE(
                WaitUntil([this] { return m_pWindow->windowTitle().startsWith("KNOWN.PPD"); }));
            ChooseFromMenu(user, "compare");
            ClickButton(user, Ui("Add logs…"));
            ClickButton(user, Ui("Compare"));
            ASSERT_TRUE(WaitUntil(
                [this] {
                    return m_pWindow->LogTool() != nullptr && !m_pWindow->LogTool()->Running() &&
                           m_pWindow->LogTool()->findChild<QTableWidget*>()->rowCount() > 0;
                },
                20000));
            Shot("compared");
        },
        [] {});
    EXPECT_EQ(TempDir::Read(strKnown), Written(known));
    EXPECT_EQ(FileBytes(), kTwoPlans);
}

TEST_P(AppOnDisplay, QuitAsksTheEditorAboutItsEditsAndCancelKeepsEverything) {
    RunAsUser(
        [this](XUser& user) {
            EditInTheEditor(user);
            ChooseFromMenu(user, "quit");
            ASSERT_TRUE(WaitUntil([] { return !ModalText().empty(); }));
            Shot("quit-question");
            ClickStandardButton(user, QMessageBox::Cancel);
            ASSERT_TRUE(WaitUntil([] { return QApplication::activeModalWidget() == nullptr; }));
        },
        [] {});
    EXPECT_TRUE(m_pWindow->isVisible());
    EXPECT_TRUE(m_pEditor->IsOpen());
    EXPECT_EQ(FileBytes(), kTwoPlans);
}

TEST_P(AppOnDisplay, HelpKeysAboutSettingsAndOpenRecentShowAndWriteNothing) {
    const std::string strKnown = m_dir.File("KNOWN.PPD");
    SailPlanArray known;
    known.push_back(std::make_unique<SAILPLAN>(KnownPolar()));
    TempDir::Write(strKnown, Written(known));
    // Shown once before: the second of the recent files.
    m_pWindow->ShowFile(QString::fromStdString(strKnown));
    m_pWindow->ShowFile(QString::fromStdString(m_strFile));
    RunAsUser(
        [&](XUser& user) {
            // Help: the help page in a window of its own, closed by its close box.
            ChooseFromMenu(user, "help");
            const auto helpWindow = [] {
                for (QWidget* pWindow : QApplication::topLevelWidgets()) {
                    if (pWindow->isVisible() && pWindow->windowTitle() == Ui("polar-editor help")) {
                        return pWindow;
                    }
                }
                return static_cast<QWidget*>(nullptr);
            };
            ASSERT_TRUE(WaitForPlacedWindow(user, helpWindow));
            Shot("help-page");
            user.CloseBox(OnGui([&] { return helpWindow()->winId(); }));
            ASSERT_TRUE(WaitUntil([&] { return helpWindow() == nullptr; }));

            // Keys and About: message boxes with what they promise, closed with OK.
            ChooseFromMenu(user, "keys");
            ASSERT_TRUE(WaitUntil([] { return ModalText().find("Ctrl+N") != std::string::npos; }));
            Shot("keys");
            ClickStandardButton(user, QMessageBox::Ok);
            ASSERT_TRUE(WaitUntil([] { return QApplication::activeModalWidget() == nullptr; }));
            ChooseFromMenu(user, "about");
            ASSERT_TRUE(
                WaitUntil([] { return ModalText().find("polar-editor") != std::string::npos; }));
            Shot("about");
            ClickStandardButton(user, QMessageBox::Ok);
            ASSERT_TRUE(WaitUntil([] { return QApplication::activeModalWidget() == nullptr; }));

            // Settings, cancelled: nothing kept.
            ChooseFromMenu(user, "settings");
            ASSERT_TRUE(WaitForPlacedModal(user));
            Shot("settings");
            ClickButton(user, OnGui([] {
                            return QApplication::activeModalWidget()
                                ->findChild<QDialogButtonBox*>()
                                ->button(QDialogButtonBox::Cancel)
                                ->text();
                        }));
            ASSERT_TRUE(WaitUntil([] { return QApplication::activeModalWidget() == nullptr; }));

            // Open Recent: the file menu, its submenu, the other file.
            ASSERT_TRUE(WaitForPlacedWindow(user, [this] { return m_pWindow.get(); }));
            QMenu* pRecent = nullptr;
            QMenu* pFile = nullptr;
            user.Click(OnGui([&] {
                for (QMenu* pMenu : m_pWindow->findChildren<QMenu*>()) {
                    if (pMenu->title() == Ui("Open &Recent")) {
                        pRecent = pMenu;
                    }
                }
                pFile = qobject_cast<QMenu*>(pRecent->parent());
                QMenuBar* pBar = m_pWindow->menuBar();
                return pBar->mapToGlobal(pBar->actionGeometry(pFile->menuAction()).center());
            }));
            ASSERT_TRUE(WaitForPlacedWindow(user, [&] { return pFile; }));
            user.Click(OnGui([&] {
                return pFile->mapToGlobal(pFile->actionGeometry(pRecent->menuAction()).center());
            }));
            ASSERT_TRUE(WaitForPlacedWindow(user, [&] { return pRecent; }));
            Shot("open-recent");
            user.Click(OnGui([&] {
                for (QAction* pAction : pRecent->actions()) {
                    if (pAction->text() == QString::fromStdString(strKnown)) {
                        return pRecent->mapToGlobal(pRecent->actionGeometry(pAction).center());
                    }
                }
                return QPoint(-1, -1);
            }));
            ASSERT_TRUE(
                WaitUntil([this] { return m_pWindow->windowTitle().startsWith("KNOWN.PPD"); }));
        },
        [] {});
    EXPECT_FALSE(QSettings().contains("language"));
    EXPECT_EQ(TempDir::Read(strKnown), Written(known));
    EXPECT_EQ(FileBytes(), kTwoPlans);
}

// Tools > Show a log over the chart… draws the log's steady sailing over the polar chart until
// Hide; an import of a big file shows its reading's progress, and Cancel there gives the
// window back at once: no preview comes when the reading ends, and the file stays as it was.
TEST_P(AppOnDisplay, ALogOverTheChartAndABigImportCancelledWhileRead) {
    const std::string strLog = m_dir.File("trip.nmea");
    TempDir::Write(strLog, GeneratedLog(KnownPolar(), 3, 0.02));
    const std::string strBig = m_dir.File("big.txt");
    // Read for a second or more, long enough to be cancelled while it runs.
    TempDir::Write(strBig, WideGrid(30000));
    m_files.files = {QString::fromStdString(strLog), QString::fromStdString(strBig)};
    auto* pChart = m_pWindow->findChild<PolarChart*>("polar-chart");
    ASSERT_NE(pChart, nullptr);
    RunAsUser(
        [this, pChart](XUser& user) {
            ChooseFromMenu(user, "log-points");
            ASSERT_TRUE(WaitUntil([pChart] { return pChart->LoggedPointCount() > 0; }, 20000));
            Shot("log-over-chart");
            ChooseFromMenu(user, "hide-log");
            ASSERT_TRUE(WaitUntil([pChart] { return pChart->LoggedPointCount() == 0; }));

            ChooseFromMenu(user, "import");
            const auto progress = [this]() -> QWidget* {
                auto* pProgress = m_pWindow->findChild<QWidget*>("import-progress");
                return pProgress != nullptr && pProgress->isVisible() ? pProgress : nullptr;
            };
            ASSERT_TRUE(WaitForPlacedWindow(user, progress));
            Shot("import-reading");
            ClickButton(user, Ui("Cancel"));
            ASSERT_TRUE(WaitUntil([this] { return !m_pWindow->Importing(); }));
            ASSERT_TRUE(
                WaitUntil([this] { return m_pWindow->ImportReadingsUnderway() == 0; }, 60000));
            Shot("import-cancelled");
        },
        [] {});
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);  // no preview of the dropped reading
    EXPECT_EQ(FileBytes(), kTwoPlans);
}

// Every language the window speaks: its texts, Qt's own and the editor's.
// One data file shared by the window, the editor and other programs: nothing written before
// the user's answer, nothing lost to another program's write, no file chosen for two jobs.
class SharedFileOnDisplay : public AppOnDisplay {
  protected:
    // The active message box's button of that role (the editor's own boxes carry texts of
    // its language files, so they are found by role, not by text).
    void ClickBoxButton(XUser& user, QMessageBox::ButtonRole role) {
        ASSERT_TRUE(WaitForPlacedModal(user));
        const QPoint where = OnGui([role] {
            auto* pBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            for (QAbstractButton* pButton :
                 pBox != nullptr ? pBox->buttons() : QList<QAbstractButton*>()) {
                if (pBox->buttonRole(pButton) == role) {
                    return pButton->mapToGlobal(pButton->rect().center());
                }
            }
            return QPoint(-1, -1);
        });
        ASSERT_NE(where, QPoint(-1, -1));
        user.Click(where);
    }
    static bool ModalShows(const QString& strText) {
        return ModalText().find(strText.toStdString()) != std::string::npos;
    }
    void WaitForNoModal() {
        ASSERT_TRUE(WaitUntil([] { return QApplication::activeModalWidget() == nullptr; }));
    }
    QTreeWidget* Tree() const { return m_pWindow->findChild<QTreeWidget*>("sail-plan-tree"); }
    // A click on the tree's row of the sail plan with this name.
    void ChooseInTree(XUser& user, const QString& strName) {
        user.Click(OnGui([&] {
            QTreeWidget* pTree = Tree();
            for (int i = 0; i < pTree->topLevelItemCount(); ++i) {
                if (pTree->topLevelItem(i)->text(0) == strName) {
                    QRect rect = pTree->visualItemRect(pTree->topLevelItem(i));
                    return pTree->viewport()->mapToGlobal(rect.center());
                }
            }
            return QPoint(-1, -1);
        }));
        ASSERT_TRUE(WaitUntil([&] {
            return Tree()->currentItem() != nullptr && Tree()->currentItem()->text(0) == strName;
        }));
    }
    void ClickInEditor(XUser& user, int nId) {
        user.Click(OnGui([this, nId] {
            QWidget* pControl = m_pEditor->Window()->findChild<QWidget*>(QString::number(nId));
            return pControl->mapToGlobal(pControl->rect().center());
        }));
    }
    std::string m_strEditorQuestion;
};

// Case 1: "start a new file" with the open data file's path is refused before anything is
// written or asked; the editor keeps its edits.
TEST_P(SharedFileOnDisplay, ImportIntoANewFileRefusesTheOpenDataFile) {
    m_files.files = {QString::fromStdString(m_strGrid), QString::fromStdString(m_strFile),
                     QString()};
    RunAsUser(
        [this](XUser& user) {
            EditInTheEditor(user);
            ChooseFromMenu(user, "import");
            ASSERT_TRUE(WaitUntil([] { return QApplication::activeModalWidget() != nullptr; }));
            ClickButton(user, Ui("Start a new file…"));
            ASSERT_TRUE(WaitUntil([] {
                return ModalShows(Ui("%1 is the data file that is open; it is not written here. "
                                     "Choose another file.")
                                      .section('%', 0, 0));
            }));
            Shot("import-new-file-refused");
            EXPECT_EQ(FileBytes(), kTwoPlans);
            ClickStandardButton(user, QMessageBox::Ok);
            WaitForNoModal();
        },
        [] {});
    EXPECT_EQ(FileBytes(), kTwoPlans);
    EXPECT_EQ(m_pWindow->File().aSailPlans.size(), 2u);
    ASSERT_TRUE(m_pEditor->IsOpen());
    EXPECT_TRUE(m_pEditor->Window()->windowTitle().startsWith('*'));
}

// Case 2: another program adds a sail plan while the window and the editor are open: the
// window shows it within a second, the editor asks before it drops its edits, and its Save
// asks before it writes over the other program's sail plan.
TEST_P(SharedFileOnDisplay, AnotherProgramsChangeIsShownAndNeverSavedOver) {
    SailPlanArray theirs = TwoPlans();
    theirs.push_back(std::move(ImportGrid(kGrid, "Theirs").pSailPlan));
    const std::string strTheirs = Written(theirs);
    RunAsUser(
        [&](XUser& user) {
            EditInTheEditor(user);
            ASSERT_TRUE(WriteFileAtomically(m_strFile, strTheirs).Ok());
            // The editor's question about its edits: No, keep them.
            ASSERT_TRUE(WaitUntil(
                [] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); },
                10000));
            EXPECT_EQ(OnGui([this] { return m_pWindow->File().aSailPlans.size(); }), 3u);
            Shot("outside-change-editor-asks");
            ClickBoxButton(user, QMessageBox::NoRole);
            WaitForNoModal();
            // Save: the question, Cancel (the default) writes nothing.
            ClickInEditor(user, IDC_SAVE);
            ASSERT_TRUE(WaitUntil([] { return ModalShows(QString("POLAR.PPD")); }, 10000));
            m_strEditorQuestion = OnGui(ModalText);
            Shot("save-asks-changed-file");
            EXPECT_EQ(FileBytes(), strTheirs);
            ClickBoxButton(user, QMessageBox::RejectRole);
            WaitForNoModal();
            EXPECT_EQ(FileBytes(), strTheirs);
            // Save again, "Reload and discard my changes": the file stays theirs.
            ClickInEditor(user, IDC_SAVE);
            ASSERT_TRUE(WaitUntil([] { return ModalShows(QString("POLAR.PPD")); }, 10000));
            ClickBoxButton(user, QMessageBox::DestructiveRole);
            WaitForNoModal();
            ASSERT_TRUE(
                WaitUntil([this] { return !m_pEditor->Window()->windowTitle().startsWith('*'); }));
            Shot("reloaded");
        },
        [] {});
    EXPECT_EQ(FileBytes(), strTheirs);
    EXPECT_EQ(m_strEditorQuestion.find(Language() == 49 ? "POLAR.PPD wurde seit dem Öffnen von "
                                                          "einem anderen Programm geändert."
                                                        : "POLAR.PPD was changed by another "
                                                          "program since it was opened."),
              0u)
        << m_strEditorQuestion;
    EXPECT_EQ(m_pWindow->File().aSailPlans.size(), 3u);
}

// Cases 3 and 5: Open Recent of a file moved away makes nothing and may forget it; New
// refuses an existing file in the dialog, and Cancel at the editor's question makes nothing.
TEST_P(SharedFileOnDisplay, OpenRecentOfAMovedFileAndNewCancelledMakeNothing) {
    const std::string strGone = m_dir.File("GONE.PPD");
    TempDir::Write(strGone, kTwoPlans);
    m_pWindow->ShowFile(QString::fromStdString(strGone));
    m_pWindow->ShowFile(QString::fromStdString(m_strFile));
    std::filesystem::remove(strGone);
    const std::string strNew = m_dir.File("NEW.PPD");
    m_files.files = {QString::fromStdString(m_strFile), QString(), QString::fromStdString(strNew)};
    RunAsUser(
        [&](XUser& user) {
            ASSERT_TRUE(WaitForPlacedWindow(user, [this] { return m_pWindow.get(); }));
            QMenu* pRecent = nullptr;
            QMenu* pFile = nullptr;
            user.Click(OnGui([&] {
                for (QMenu* pMenu : m_pWindow->findChildren<QMenu*>()) {
                    if (pMenu->title() == Ui("Open &Recent")) {
                        pRecent = pMenu;
                    }
                }
                pFile = qobject_cast<QMenu*>(pRecent->parent());
                QMenuBar* pBar = m_pWindow->menuBar();
                return pBar->mapToGlobal(pBar->actionGeometry(pFile->menuAction()).center());
            }));
            ASSERT_TRUE(WaitForPlacedWindow(user, [&] { return pFile; }));
            user.Click(OnGui([&] {
                return pFile->mapToGlobal(pFile->actionGeometry(pRecent->menuAction()).center());
            }));
            ASSERT_TRUE(WaitForPlacedWindow(user, [&] { return pRecent; }));
            user.Click(OnGui([&] {
                for (QAction* pAction : pRecent->actions()) {
                    if (pAction->text() == QString::fromStdString(strGone)) {
                        return pRecent->mapToGlobal(pRecent->actionGeometry(pAction).center());
                    }
                }
                return QPoint(-1, -1);
            }));
            ASSERT_TRUE(WaitUntil([&] { return ModalShows(Ui("Remove it from the list?")); }));
            Shot("open-recent-missing");
            ClickStandardButton(user, QMessageBox::Yes);
            WaitForNoModal();

            // New: the open file's path is refused, the dialog comes again (cancelled).
            ChooseFromMenu(user, "new");
            ASSERT_TRUE(WaitUntil([] { return QApplication::activeModalWidget() != nullptr; }));
            Shot("new-refuses-open-file");
            ClickStandardButton(user, QMessageBox::Ok);
            WaitForNoModal();
            // With edits in the editor: its question, Cancel, and nothing is made.
            EditInTheEditor(user);
            ChooseFromMenu(user, "new");
            ASSERT_TRUE(WaitUntil(
                [] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); }));
            Shot("new-editor-asks");
            ClickBoxButton(user, QMessageBox::RejectRole);
            WaitForNoModal();
        },
        [] {});
    EXPECT_FALSE(std::filesystem::exists(strGone));
    EXPECT_FALSE(std::filesystem::exists(strNew));
    EXPECT_FALSE(
        QSettings().value("recentFiles").toStringList().contains(QString::fromStdString(strGone)));
    EXPECT_EQ(FileBytes(), kTwoPlans);
    EXPECT_TRUE(m_pEditor->Window()->windowTitle().startsWith('*'));
}

// Case 4: Export while the editor holds edits asks; "Save them first" saves through the
// editor and exports what was saved.
TEST_P(SharedFileOnDisplay, ExportAsksAboutTheEditorsEdits) {
    const std::string strExport = m_dir.File("ALL.PPD");
    m_files.files = {QString::fromStdString(strExport)};
    RunAsUser(
        [&](XUser& user) {
            EditInTheEditor(user);
            ChooseFromMenu(user, "export");
            ASSERT_TRUE(WaitUntil([] {
                return ModalShows(
                    Ui("The editor holds changes that are not saved; the export "
                       "writes what the file holds."));
            }));
            ASSERT_TRUE(WaitForPlacedModal(user));
            Shot("export-asks");
            ClickButton(user, Ui("Save them first"));
            // The export dialog: all sail plans, as a data file.
            ASSERT_TRUE(WaitUntil([] {
                return QApplication::activeModalWidget() != nullptr &&
                       QApplication::activeModalWidget()->findChild<QDialogButtonBox*>() != nullptr;
            }));
            OnGui([] {
                auto aBoxes = QApplication::activeModalWidget()->findChildren<QComboBox*>();
                aBoxes[0]->setCurrentIndex(aBoxes[0]->count() - 1);
            });
            ASSERT_TRUE(WaitForPlacedModal(user));
            Shot("export-dialog");
            ClickStandardButtonOfDialog(user);
            ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(strExport); }));
            ASSERT_TRUE(WaitUntil([this] { return m_pEditor->IsOpen(); }));
        },
        [] {});
    SailPlanArray expected = TwoPlans();
    expected[0]->RemoveVector(0, 0);
    EXPECT_EQ(FileBytes(), Written(expected));
    EXPECT_EQ(TempDir::Read(strExport), Written(expected));
}

// Case 7: a sail plan added in the editor takes its place by name ("2 reefs" before "Main"),
// so after Save the file's order has changed; the window keeps the sail plan chosen and each
// sail plan's colour.
TEST_P(SharedFileOnDisplay, AfterASaveTheViewKeepsItsSailPlanAndColours) {
    RunAsUser(
        [&](XUser& user) {
            ChooseInTree(user, "Light");
            const auto* pChart =
                OnGui([this] { return m_pWindow->findChild<CrossoverChart*>("crossover-chart"); });
            const int nLight = OnGui([pChart] { return pChart->ColorSlot(1); });
            const int nMain = OnGui([pChart] { return pChart->ColorSlot(0); });
            ChooseFromMenu(user, "edit-polars");
            ASSERT_TRUE(WaitForPlacedWindow(user, [this] { return m_pEditor->Window(); }));
            ClickInEditor(user, IDC_ADD_SAIL_PLAN);
            ASSERT_TRUE(WaitForPlacedModal(user));
            user.Type("2 reefs");
            user.Key("Return");
            ASSERT_TRUE(WaitUntil([this] {
                return QApplication::activeModalWidget() == nullptr &&
                       m_pEditor->Window()->windowTitle().startsWith('*');
            }));
            ClickInEditor(user, IDC_SAVE);
            ASSERT_TRUE(WaitUntil([this] { return m_pWindow->File().aSailPlans.size() == 3; }));
            Shot("saved-order-changed");
            EXPECT_EQ(OnGui([this] { return Tree()->currentItem()->text(0); }), "Light");
            const int nLightAt = OnGui([this] {
                for (int i = 0; i < Tree()->topLevelItemCount(); ++i) {
                    if (Tree()->topLevelItem(i)->text(0) == "Light") {
                        return i;
                    }
                }
                return -1;
            });
            EXPECT_EQ(nLightAt, 2);
            EXPECT_EQ(OnGui([&] { return pChart->ColorSlot(nLightAt); }), nLight);
            EXPECT_EQ(OnGui([&] { return pChart->ColorSlot(nLightAt - 1); }), nMain);
        },
        [] {});
    EXPECT_EQ(m_pWindow->File().aSailPlans[0]->m_strName, "2 reefs");
}

INSTANTIATE_TEST_SUITE_P(Languages, SharedFileOnDisplay, testing::Values(44, 49),
                         [](const testing::TestParamInfo<int>& param) {
                             return std::string(param.param == 49 ? "German" : "English");
                         });

INSTANTIATE_TEST_SUITE_P(Languages, AppOnDisplay, testing::Values(44, 49, 33, 34, 47, 46),
                         [](const testing::TestParamInfo<int>& param) {
                             switch (param.param) {
                                 case 49:
                                     return std::string("German");
                                 case 33:
                                     return std::string("French");
                                 case 34:
                                     return std::string("Spanish");
                                 case 47:
                                     return std::string("Norwegian");
                                 case 46:
                                     return std::string("Swedish");
                                 default:
                                     return std::string("English");
                             }
                         });

}  // namespace

namespace {

// Counts the drag events the window gets: a drag over it has reached the application.
class DragWatch : public QObject {
  public:
    std::atomic<int> nOver{0};
    std::atomic<int> nDropped{0};

  protected:
    bool eventFilter(QObject*, QEvent* pEvent) override {
        if (pEvent->type() == QEvent::DragEnter || pEvent->type() == QEvent::DragMove) {
            ++nOver;
        } else if (pEvent->type() == QEvent::Drop) {
            ++nDropped;
        }
        return false;
    }
};

// The drag source, a program of its own (see drag_source.cpp), its output read line by line.
class DragSource {
  public:
    DragSource(const std::string& strFile, QPoint at) {
        int aPipe[2] = {-1, -1};
        if (pipe(aPipe) != 0) {
            return;
        }
        const std::string strX = std::to_string(at.x());
        const std::string strY = std::to_string(at.y());
        const char* apArgs[] = {POLAR_DRAG_SOURCE, strFile.c_str(), strX.c_str(), strY.c_str(),
                                nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, aPipe[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, aPipe[0]);
        if (posix_spawn(&m_nPid, POLAR_DRAG_SOURCE, &actions, nullptr,
                        const_cast<char* const*>(apArgs), environ) != 0) {
            m_nPid = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        close(aPipe[1]);
        m_nOutput = aPipe[0];
    }
    ~DragSource() {
        if (m_nPid > 0) {
            // A source whose drag never ended is ended here; its window goes with it.
            if (waitpid(m_nPid, nullptr, WNOHANG) == 0) {
                kill(m_nPid, SIGTERM);
                waitpid(m_nPid, nullptr, 0);
            }
        }
        if (m_nOutput >= 0) {
            close(m_nOutput);
        }
    }
    DragSource(const DragSource&) = delete;
    DragSource& operator=(const DragSource&) = delete;

    // The next line the source prints; empty when none came in time.
    std::string Line(int nTimeoutMs = 10000) {
        std::string strLine;
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(nTimeoutMs);
        while (m_nOutput >= 0 && std::chrono::steady_clock::now() < deadline) {
            pollfd wait{m_nOutput, POLLIN, 0};
            if (poll(&wait, 1, 50) <= 0) {
                continue;
            }
            char c = 0;
            if (read(m_nOutput, &c, 1) != 1) {
                break;
            }
            if (c == '\n') {
                return strLine;
            }
            strLine += c;
        }
        return {};
    }

    // How the source ended; -1 when it did not end in time.
    int ExitCode(int nTimeoutMs = 30000) {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(nTimeoutMs);
        while (m_nPid > 0 && std::chrono::steady_clock::now() < deadline) {
            int nStatus = 0;
            if (waitpid(m_nPid, &nStatus, WNOHANG) == m_nPid) {
                m_nPid = -1;
                return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return -1;
    }

  private:
    pid_t m_nPid = -1;
    int m_nOutput = -1;
};

class AppDrops : public AppOnDisplay {
  protected:
    void SetUp() override {
        AppOnDisplay::SetUp();
        m_pWindow->installEventFilter(&m_watch);
    }
    // Steps (user thread): drags a file from another program's window onto the polar chart
    // and lets it go there, with real input; the drop travels through the X server.
    void DropFile(XUser& user, const std::string& strPath) {
        ASSERT_TRUE(WaitForPlacedWindow(user, [this] { return m_pWindow.get(); }));
        const QRect window = user.WindowRect(OnGui([this] { return m_pWindow->winId(); }));
        DragSource source(strPath, QPoint(window.left() + 20, window.bottom() + 20));
        const std::string strAnnounced = source.Line();
        ASSERT_EQ(strAnnounced.rfind("window ", 0), 0u) << "the drag source did not start";
        const unsigned long nSource = std::stoul(strAnnounced.substr(7));
        // Where the window manager put it, once it stays there.
        QRect at;
        for (int i = 0; i < 100 && (at.isEmpty() || at != user.WindowRect(nSource)); ++i) {
            at = user.WindowRect(nSource);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ASSERT_FALSE(at.intersects(window)) << "the drag source covers the window";
        const QPoint target = OnGui([this] {
            auto* pChart = m_pWindow->findChild<PolarChart*>("polar-chart");
            return pChart->mapToGlobal(pChart->rect().center());
        });
        const int nOverBefore = m_watch.nOver;
        user.MoveTo(at.center());
        user.Press();
        for (int i = 1; i <= 10; ++i) {
            user.MoveTo(at.center() + (target - at.center()) * i / 10);
        }
        // The source lets go only once the window's answer to a position reached it: wait for
        // the window to see the drag, then for one more position, which the source sends only
        // after the answer to the last.
        ASSERT_TRUE(WaitUntil([&] { return m_watch.nOver > nOverBefore; }))
            << "the drag did not reach the window";
        const int nOver = m_watch.nOver;
        for (int i = 0; i < 200 && m_watch.nOver == nOver; ++i) {
            user.MoveTo(target + QPoint(i % 2 == 0 ? 3 : 0, 0));
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ASSERT_GT(m_watch.nOver, nOver);
        Shot("dragging");
        user.Release();
        const std::string strEnd = source.Line();
        EXPECT_EQ(strEnd.rfind("dropped", 0), 0u) << "the window did not take the drop: " << strEnd;
        // The source ends once the window has read the file's URL from it and finished.
        EXPECT_EQ(source.ExitCode(), 0) << "the window did not finish the drop";
        EXPECT_EQ(m_watch.nDropped, 1);
        m_watch.nDropped = 0;
    }
    static void CloseWhatIsOpen() {
        if (QWidget* pModal = QApplication::activeModalWidget()) {
            pModal->close();
        }
    }

    DragWatch m_watch;
};

TEST_P(AppDrops, ADroppedDataFileOpensAndNothingIsWritten) {
    const std::string strSample = m_dir.File("SAMPLE.PPD");
    const std::string strSampleBytes = TempDir::Read(POLAR_SAMPLE_FILE);
    TempDir::Write(strSample, strSampleBytes);
    RunAsUser(
        [&](XUser& user) {
            Shot("before");
            DropFile(user, strSample);
            ASSERT_TRUE(
                WaitUntil([this] { return m_pWindow->windowTitle().startsWith("SAMPLE.PPD"); }));
            Shot("sample-open");
        },
        CloseWhatIsOpen);
    EXPECT_EQ(m_pWindow->File().strPath, QString::fromStdString(strSample));
    EXPECT_EQ(m_pWindow->File().aSailPlans.size(),
              ParsePolarFile(strSampleBytes).aSailPlans.size());
    EXPECT_EQ(TempDir::Read(strSample), strSampleBytes);
    EXPECT_EQ(FileBytes(), kTwoPlans);
}

TEST_P(AppDrops, ADroppedGridShowsThePreviewAndImportsOnlyWhenAccepted) {
    const std::string strPreview =
        Ui("Sail plan \"%1\" (%2), %3 polars:").arg("boat", "grid").arg(2).toStdString();
    RunAsUser(
        [&](XUser& user) {
            DropFile(user, m_strGrid);
            ASSERT_TRUE(WaitUntil([] { return !ModalText().empty(); }));
            EXPECT_NE(OnGui(ModalText).find(strPreview), std::string::npos) << OnGui(ModalText);
            Shot("preview");
            ClickStandardButton(user, QMessageBox::Cancel);
            ASSERT_TRUE(WaitUntil([] { return QApplication::activeModalWidget() == nullptr; }));
            EXPECT_EQ(FileBytes(), kTwoPlans);

            DropFile(user, m_strGrid);
            ASSERT_TRUE(WaitUntil([] { return !ModalText().empty(); }));
            ClickButton(user, Ui("Add to this file"));
            ASSERT_TRUE(WaitUntil([this] { return m_pWindow->File().aSailPlans.size() == 3; }));
            Shot("imported");
        },
        CloseWhatIsOpen);
    SailPlanArray expected = TwoPlans();
    expected.push_back(std::move(ImportGrid(kGrid, "boat").pSailPlan));
    EXPECT_EQ(FileBytes(), Written(expected));
    EXPECT_EQ(TempDir::Read(m_strGrid), kGrid);
}

TEST_P(AppDrops, ADroppedLogOpensLearnWithItAndTheLearnedSailPlanIsAdded) {
    const std::string strLog = m_dir.File("trip.nmea");
    TempDir::Write(strLog, GeneratedLog(KnownPolar(), 3, 0.02));
    RunAsUser(
        [&](XUser& user) {
            DropFile(user, strLog);
            ASSERT_TRUE(WaitUntil([this] {
                return m_pWindow->LogTool() != nullptr && m_pWindow->LogTool()->isVisible();
            }));
            EXPECT_EQ(OnGui([this] {
                          auto* pLogs = m_pWindow->LogTool()->findChild<QListWidget*>();
                          return pLogs->count() == 1 ? pLogs->item(0)->text() : QString();
                      }),
                      QString::fromStdString(strLog));
            // Nothing is read until the user starts, with the options the dialog shows.
            EXPECT_FALSE(OnGui([this] { return m_pWindow->LogTool()->Running(); }));
            ASSERT_TRUE(WaitForPlacedWindow(user, [this] { return m_pWindow->LogTool(); }));
            Shot("learn-dialog");
            ClickButton(user, Ui("Learn"));
            ASSERT_TRUE(
                WaitUntil([this] { return m_pWindow->File().aSailPlans.size() == 3; }, 20000));
            Shot("learned");
        },
        CloseWhatIsOpen);
    EXPECT_EQ(FileBytes(), WithLearned(strLog));
}

TEST_P(AppDrops, LearningFromADroppedLogCancelledChangesNothing) {
    const std::string strLog = m_dir.File("long.nmea");
    // A log whose recorder left a long run of zeros behind its sentences, as after a crash: a
    // file (sparse, so made at once) that takes long to read, and Cancel comes first.
    TempDir::Write(strLog, GeneratedLog(KnownPolar(), 3, 0.02));
    std::filesystem::resize_file(strLog, std::uintmax_t{32} << 30);
    RunAsUser(
        [&](XUser& user) {
            DropFile(user, strLog);
            ASSERT_TRUE(WaitUntil([this] {
                return m_pWindow->LogTool() != nullptr && m_pWindow->LogTool()->isVisible();
            }));
            ASSERT_TRUE(WaitForPlacedWindow(user, [this] { return m_pWindow->LogTool(); }));
            ClickButton(user, Ui("Learn"));
            ASSERT_TRUE(WaitUntil([this] { return m_pWindow->LogTool()->Running(); }));
            Shot("learning");
            ClickButton(user, Ui("Cancel"));
            ASSERT_TRUE(WaitUntil([this] { return !m_pWindow->LogTool()->Running(); }));
            EXPECT_TRUE(OnGui([this] {
                for (auto* pLabel : m_pWindow->LogTool()->findChildren<QLabel*>()) {
                    if (pLabel->text() == Ui("Cancelled: nothing was changed.")) {
                        return true;
                    }
                }
                return false;
            }));
            Shot("cancelled");
        },
        CloseWhatIsOpen);
    EXPECT_EQ(m_pWindow->File().aSailPlans.size(), 2u);
    EXPECT_EQ(FileBytes(), kTwoPlans);
}

INSTANTIATE_TEST_SUITE_P(English, AppDrops, testing::Values(44));

}  // namespace

namespace {

// Opened as the application opens it: its own size, placed by the window manager.
class AppOnDenseScreen : public AppOnDisplay {
  protected:
    void PlaceWindow() override {}
};

// Run with QT_SCALE_FACTOR=2 (its own test entry).
TEST_P(AppOnDenseScreen, OnADenseScreenTheWindowTheMenusAndTheChartFitTheScreen) {
    if (qApp->devicePixelRatio() < 1.5) {
        GTEST_SKIP() << "for a screen at scale 2 (QT_SCALE_FACTOR=2)";
    }
    RunAsUser(
        [this](XUser& user) {
            // The window: whole on the screen, at the size the application gives it.
            ASSERT_TRUE(WaitForPlacedWindow(user, [this] { return m_pWindow.get(); }));
            const QRect screen =
                OnGui([] { return QGuiApplication::primaryScreen()->availableGeometry(); });
            const QRect frame = user.WindowRect(OnGui([this] { return m_pWindow->winId(); }));
            EXPECT_TRUE(screen.contains(frame))
                << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
            EXPECT_EQ(OnGui([this] { return m_pWindow->size(); }), QSize(1000, 700));
            Shot("window");

            // The polar chart, drawn at the screen's pixels.
            const auto [shown, drawn, single] = OnGui([this] {
                auto* pChart = m_pWindow->findChild<PolarChart*>("polar-chart");
                QImage image = pChart->grab().toImage().convertToFormat(QImage::Format_RGB32);
                image.setDevicePixelRatio(1.0);
                QImage one(pChart->size(), QImage::Format_RGB32);
                pChart->render(&one);
                return std::tuple(ShownOnScreen(pChart), image, one);
            });
            ASSERT_EQ(shown.size(), drawn.size()) << "the screen shows the chart scaled";
            EXPECT_EQ(shown, drawn) << "what the screen shows is what the chart draws";
            ExpectDrawnAtScreenPixels(shown, single);

            // A menu opened by a click drops down under its title.
            QMenu* pMenu = nullptr;
            QAction* pEdit = nullptr;
            const QRect title = OnGui([&] {
                pEdit = m_pWindow->findChild<QAction*>("action-edit-polars");
                pMenu = qobject_cast<QMenu*>(pEdit->parent());
                QMenuBar* pBar = m_pWindow->menuBar();
                const QRect rect = pBar->actionGeometry(pMenu->menuAction());
                return QRect(pBar->mapToGlobal(rect.topLeft()), rect.size());
            });
            user.Click(title.center());
            ASSERT_TRUE(WaitForPlacedWindow(user, [&] { return pMenu; }));
            const QRect menu = user.WindowRect(OnGui([&] { return pMenu->winId(); }));
            EXPECT_NEAR(menu.left(), title.left(), 2);
            EXPECT_NEAR(menu.top(), title.bottom() + 1, 2);
            Shot("menu");

            // Its entry works: the editor opens, whole on the screen.
            user.Click(
                OnGui([&] { return pMenu->mapToGlobal(pMenu->actionGeometry(pEdit).center()); }));
            ASSERT_TRUE(WaitForPlacedWindow(user, [this] { return m_pEditor->Window(); }));
            const QRect editor =
                user.WindowRect(OnGui([this] { return m_pEditor->Window()->winId(); }));
            EXPECT_TRUE(screen.contains(editor)) << editor.x() << "," << editor.y() << " "
                                                 << editor.width() << "x" << editor.height();
            Shot("editor");
        },
        [] {
            if (QWidget* pPopup = QApplication::activePopupWidget()) {
                pPopup->close();
            }
        });
    EXPECT_TRUE(m_pEditor->IsOpen());
    EXPECT_EQ(FileBytes(), kTwoPlans);
}

INSTANTIATE_TEST_SUITE_P(English, AppOnDenseScreen, testing::Values(44));

}  // namespace
