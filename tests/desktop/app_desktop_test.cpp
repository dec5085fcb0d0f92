// polar-editor's window on a real display: its menus, dialogs and message boxes used with real
// input, the editor hosted through its exports, and the data file checked byte for byte after
// each path. Only the file dialogs are answered by the test (FilesGiven): typing a path into
// them is the toolkit's business, not the application's.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLibraryInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTableWidget>
#include <deque>
#include <filesystem>

#include "apps/polar-editor/editor_plugin.h"
#include "apps/polar-editor/log_tool_dialog.h"
#include "apps/polar-editor/main_window.h"
#include "apps/polar-editor/polar_chart.h"
#include "apps/polar-editor/questions.h"
#include "apps/polar-editor/window_texts.h"
#include "data/polar_file.h"
#include "exchange/exchange.h"
#include "logs/logs.h"
#include "resources/resource_ids.h"
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
        if (Language() == 49) {
            ASSERT_TRUE(m_windowTexts.Load(POLAR_SHARE_DIR "/Translations/Window_049.lgx"));
            QCoreApplication::installTranslator(&m_windowTexts);
            if (m_qtTexts.load(QLocale("de"), "qtbase", "_",
                               QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
                QCoreApplication::installTranslator(&m_qtTexts);
            }
        }
        QString error;
        m_pEditor = std::make_unique<EditorPlugin>(DefaultPalette(), Language(), false);
        ASSERT_TRUE(m_pEditor->Load(POLAR_LIBRARY_PATH, &error)) << error.toStdString();
        m_pWindow = std::make_unique<MainWindow>(*m_pEditor, m_files, DefaultPalette());
        m_pWindow->ShowFile(QString::fromStdString(m_strFile));
        m_pWindow->setGeometry(40, 40, 1100, 760);
        m_pWindow->show();
    }
    void TearDown() override {
        m_pWindow.reset();
        m_pEditor.reset();
        QCoreApplication::removeTranslator(&m_windowTexts);
        QCoreApplication::removeTranslator(&m_qtTexts);
        QApplication::processEvents();
        EXPECT_TRUE(m_files.files.empty());
    }
    int Language() const { return GetParam(); }
    std::string FileBytes() const { return TempDir::Read(m_strFile); }
    void Shot(const std::string& strWhat) {
        ScreenShot(strWhat + (Language() == 49 ? "-de" : "-en"), &m_nShot);
    }
    static SailPlanArray TwoPlans() { return std::move(ParsePolarFile(kTwoPlans).aSailPlans); }

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
        user.Click(
            OnGui([&] { return pMenu->mapToGlobal(pMenu->actionGeometry(pAction).center()); }));
    }
    // A visible button with this text in a window, once the window manager has placed it.
    void ClickButton(XUser& user, const QString& strText) {
        // The active modal window first: other windows may have a button of that text too.
        const auto window = [strText]() -> QWidget* {
            QWidgetList windows = QApplication::topLevelWidgets();
            if (QWidget* pModal = QApplication::activeModalWidget()) {
                windows.prepend(pModal);
            }
            for (QWidget* pWindow : windows) {
                for (auto* pButton : pWindow->findChildren<QAbstractButton*>()) {
                    if (pWindow->isVisible() && pButton->isVisible() &&
                        pButton->text() == strText) {
                        return pWindow;
                    }
                }
            }
            return nullptr;
        };
        ASSERT_TRUE(WaitForPlacedWindow(user, window)) << strText.toStdString();
        user.Click(OnGui([&] {
            for (auto* pButton : window()->findChildren<QAbstractButton*>()) {
                if (pButton->isVisible() && pButton->text() == strText) {
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
            ASSERT_TRUE(WaitUntil([] {
                return ModalText().find("Editor") != std::string::npos ||
                       ModalText().find("editor") != std::string::npos;
            }));
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

TEST_P(AppOnDisplay, CancelAtTheQuestionKeepsTheFileAndTheEdits) {
    m_files.files.push_back(QString::fromStdString(m_strGrid));
    RunAsUser(
        [this](XUser& user) {
            EditInTheEditor(user);
            ChooseFromMenu(user, "import");
            ClickButton(user, Ui("Add to this file"));
            ASSERT_TRUE(WaitUntil([] { return !ModalText().empty(); }));
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
            ClickButton(user, Ui("Learn"));
            ASSERT_TRUE(
                WaitUntil([this] { return m_pWindow->File().aSailPlans.size() == 3; }, 20000));
            Shot("learned");
        },
        [] {});
    Learner learner{LearnOptions{}};
    LogCounts counts;
    ReadLogText(TempDir::Read(strLog), counts, [&learner](const LogSample& s) { learner.Add(s); });
    SailPlanArray expected = TwoPlans();
    expected.push_back(learner.Result(Ui("Learned").toStdString()));
    EXPECT_EQ(FileBytes(), Written(expected));
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

INSTANTIATE_TEST_SUITE_P(Languages, AppOnDisplay, testing::Values(44, 49),
                         [](const testing::TestParamInfo<int>& param) {
                             return param.param == 49 ? std::string("German")
                                                      : std::string("English");
                         });

}  // namespace
