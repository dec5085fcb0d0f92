// The application's window on a real plug-in: what it shows of the file, and the protocol it
// keeps with the editor when it changes the file itself.
#include "apps/polar-editor/main_window.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDialog>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <cstdlib>

#include "apps/polar-editor/crossover_chart.h"
#include "apps/polar-editor/editor_plugin.h"
#include "apps/polar-editor/export_writing.h"
#include "apps/polar-editor/file_choice.h"
#include "data/file_io.h"
#include "data/polar_file.h"
#include "exchange/format_table.h"
#include "exchange/formats.h"
#include "resources/resource_ids.h"
#include "tests/polar-editor/import_wait.h"
#include "tests/polar-editor/scripted_questions.h"
#include "tests/support/box_answerer.h"
#include "tests/support/exchange_samples.h"
#include "tests/support/gui_driver.h"
#include "tests/support/own_settings.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wide_grid.h"

namespace {

constexpr const char* kTwoPlans =
    "Main,\r\n6.00,45.00,\r\n40.00,4.10,90.00,5.40,-1\r\n12.00,40.00,\r\n40.00,6.20,-2\r\n"
    "Light,\r\n4.00,48.00,\r\n45.00,3.00,-2";
// kTwoPlans with Main's first point at 6 kn deleted, then the sail plans of sails.csv.
constexpr const char* kSavedAndImported =
    "Main,\r\n6.00,45.00,\r\n90.00,5.40,-1\r\n12.00,40.00,\r\n40.00,6.20,-2\r\n"
    "Light,\r\n4.00,48.00,\r\n45.00,3.00,-2\r\n"
    "Jib,\r\n6.00,52.00,\r\n52.00,5.30,90.00,5.90,-1\r\n10.00,52.00,\r\n"
    "52.00,6.30,90.00,7.00,-2\r\n"
    "Light (2),\r\n6.00,90.00,\r\n90.00,6.00,120.00,5.80,-1\r\n10.00,90.00,\r\n"
    "90.00,7.20,120.00,7.40,-2";
constexpr const char* kGrid = "twa/tws\t6\t10\n45\t4.5\t6.0\n90\t5.5\t7.0\n150\t4.0\t6.5\n";

class MainWindowTest : public testing::Test {
  protected:
    static void SetUpTestSuite() { UseOwnSettingsFolder(); }
    void SetUp() override {
        QSettings().clear();
        TempDir::Write(m_strFile, kTwoPlans);
        TempDir::Write(m_dir.File("boat.txt"), kGrid);
        QString error;
        ASSERT_TRUE(m_editor.Load(POLAR_LIBRARY_PATH, &error)) << error.toStdString();
        m_window.ShowFile(Path(m_strFile));
    }
    void TearDown() override {
        QApplication::processEvents();
        EXPECT_TRUE(m_questions.AllUsed());
        EXPECT_TRUE(m_boxes.AllUsed());
    }
    static QString Path(const std::string& str) { return QString::fromStdString(str); }
    // Opens the editor and deletes the first point of Main at 6 knots, unsaved.
    void EditWithoutSaving() {
        ASSERT_TRUE(m_editor.Open(Path(m_strFile)));
        GuiDriver driver(m_editor.Window());
        driver.Activate();
        ASSERT_TRUE(driver.ClickCell(IDC_VECTOR_LIST, 0, 0));
        ASSERT_TRUE(driver.Click(IDC_DELETE_VECTOR));
        ASSERT_TRUE(m_editor.Window()->windowTitle().startsWith('*'));
    }
    QTreeWidget* Tree() { return m_window.findChild<QTreeWidget*>("sail-plan-tree"); }
    static PolarFileContents Read(const std::string& strPath) {
        PolarFileContents contents;
        EXPECT_TRUE(LoadPolarFile(strPath, contents).Ok());
        return contents;
    }

    TempDir m_dir;
    std::string m_strFile = m_dir.File("POLAR.PPD");
    EditorPlugin m_editor{DefaultPalette(), 44, false};
    ScriptedQuestions m_questions;
    MainWindow m_window{m_editor, m_questions, DefaultPalette()};
    BoxAnswerer m_boxes;
};

TEST_F(MainWindowTest, ShowsTheFilesSailPlansWithTheirPolarsAndCrossover) {
    EXPECT_TRUE(m_window.windowTitle().startsWith("POLAR.PPD"));
    QTreeWidget* pTree = Tree();
    ASSERT_EQ(pTree->topLevelItemCount(), 2);
    const QTreeWidgetItem* pMain = pTree->topLevelItem(0);
    EXPECT_EQ(pMain->text(0), "Main");
    ASSERT_EQ(pMain->childCount(), 2);
    const QTreeWidgetItem* pSix = pMain->child(0);
    EXPECT_EQ(pSix->text(0), "6 kn");  // as the file holds it: 6.00
    EXPECT_EQ(pSix->text(1), "2");
    EXPECT_EQ(pSix->text(2), "45.0°");
    // 4.10 kn at 40 degrees is the best beat: VMG 4.1 × cos 40°.
    EXPECT_EQ(pSix->text(3), "40.0° · 3.14 kn");
    EXPECT_FALSE(pSix->text(4).isEmpty());
    const auto* pChart = m_window.findChild<CrossoverChart*>("crossover-chart");
    ASSERT_NE(pChart, nullptr);
    EXPECT_GT(pChart->Grid().nWindSpeeds, 0);
    // POLAR_WINDOW_SHOTS=DIR keeps a picture of the window on the sample to look at.
    if (const char* pszShots = std::getenv("POLAR_WINDOW_SHOTS")) {
        m_window.ShowFile(POLAR_SAMPLE_FILE);
        m_window.resize(1100, 760);
        m_window.show();
        EXPECT_TRUE(m_window.grab().save(QString(pszShots) + "/main-window.png"));
        m_window.ShowFile(Path(m_strFile));
    }
    // Recent files remember the file shown.
    EXPECT_EQ(QSettings().value("recentFiles").toStringList().value(0), Path(m_strFile));
}

TEST_F(MainWindowTest, OfManySailPlansOnlyTheChosenIsListedUntilOpened) {
    std::string text;
    for (int i = 0; i < 20; ++i) {
        text += "Plan " + std::to_string(i) + ",\r\n6.00,45.00,\r\n40.00,4.10,90.00,5.40,-2\r\n";
    }
    TempDir::Write(m_strFile, text.substr(0, text.size() - 2));
    m_window.ShowFile(Path(m_strFile));
    QTreeWidget* pTree = Tree();
    ASSERT_EQ(pTree->topLevelItemCount(), 20);
    EXPECT_EQ(pTree->topLevelItem(0)->childCount(), 1);
    EXPECT_EQ(pTree->topLevelItem(7)->childCount(), 0);
    pTree->topLevelItem(7)->setExpanded(true);
    ASSERT_EQ(pTree->topLevelItem(7)->childCount(), 1);
    EXPECT_EQ(pTree->topLevelItem(7)->child(0)->text(1), "2");
}

TEST_F(MainWindowTest, ASaveInTheEditorShowsTheSavedFile) {
    EditWithoutSaving();
    EXPECT_EQ(Tree()->topLevelItem(0)->child(0)->text(1), "2");  // not saved: not shown
    ASSERT_TRUE(GuiDriver(m_editor.Window()).Click(IDC_SAVE));
    EXPECT_EQ(Tree()->topLevelItem(0)->child(0)->text(1), "1");
    EXPECT_TRUE(m_editor.IsOpen());
}

TEST_F(MainWindowTest, ImportWhileEditingAsksSavesTheEditsFirstThenAdds) {
    EditWithoutSaving();
    m_questions.importTargets.push_back(Questions::ImportTarget::ThisFile);
    m_questions.yesAnswers.push_back(true);
    m_window.ImportFrom(Path(m_dir.File("boat.txt")));
    ASSERT_TRUE(WaitForImport(m_window));
    ASSERT_EQ(m_questions.asked.size(), 1);
    EXPECT_TRUE(m_questions.lastPreview.contains("\"boat\" (grid), 2 polars"));
    EXPECT_TRUE(m_questions.told.isEmpty()) << m_questions.told.join('\n').toStdString();
    const PolarFileContents contents = Read(m_strFile);
    ASSERT_EQ(contents.aSailPlans.size(), 3u);
    EXPECT_EQ(contents.aSailPlans[0]->Polar(0).GetVectorCount(), 1);  // the edit is saved
    EXPECT_EQ(contents.aSailPlans[1]->m_strName, "Light");
    EXPECT_EQ(contents.aSailPlans[2]->m_strName, "boat");
    EXPECT_EQ(contents.aSailPlans[2]->GetPolarCount(), 2);
    // The editor is open again, on the new content, and the window shows it.
    ASSERT_TRUE(m_editor.IsOpen());
    EXPECT_FALSE(m_editor.Window()->windowTitle().startsWith('*'));
    EXPECT_EQ(Tree()->topLevelItemCount(), 3);

    // A second import of the same file gets a name of its own.
    m_questions.importTargets.push_back(Questions::ImportTarget::ThisFile);
    m_questions.yesAnswers.push_back(true);
    m_window.ImportFrom(Path(m_dir.File("boat.txt")));
    ASSERT_TRUE(WaitForImport(m_window));
    EXPECT_EQ(Read(m_strFile).aSailPlans.back()->m_strName, "boat (2)");
}

TEST_F(MainWindowTest, CancelBeforeAnImportChangesNothing) {
    EditWithoutSaving();
    m_questions.importTargets.push_back(Questions::ImportTarget::ThisFile);
    m_questions.yesAnswers.push_back(false);
    m_window.ImportFrom(Path(m_dir.File("boat.txt")));
    ASSERT_TRUE(WaitForImport(m_window));
    EXPECT_EQ(TempDir::Read(m_strFile), kTwoPlans);
    ASSERT_TRUE(m_editor.IsOpen());
    EXPECT_TRUE(m_editor.Window()->windowTitle().startsWith('*'));  // the edit is still there
    EXPECT_EQ(Tree()->topLevelItemCount(), 2);
    // Cancel at the preview asks nothing more.
    m_questions.importTargets.push_back(Questions::ImportTarget::Cancel);
    m_window.ImportFrom(Path(m_dir.File("boat.txt")));
    ASSERT_TRUE(WaitForImport(m_window));
    EXPECT_EQ(TempDir::Read(m_strFile), kTwoPlans);
}

TEST_F(MainWindowTest, AFailedSaveStopsTheImportWithAMessage) {
    EditWithoutSaving();
    ASSERT_EQ(::chmod(m_strFile.c_str(), 0444), 0);
    m_questions.importTargets.push_back(Questions::ImportTarget::ThisFile);
    m_questions.yesAnswers.push_back(true);
    m_boxes.Expect(QMessageBox::Ok);  // the editor says why it cannot save
    m_window.ImportFrom(Path(m_dir.File("boat.txt")));
    ASSERT_TRUE(WaitForImport(m_window));
    ::chmod(m_strFile.c_str(), 0644);
    ASSERT_EQ(m_boxes.texts.size(), 1u);
    EXPECT_NE(m_boxes.texts[0].find("read-only"), std::string::npos) << m_boxes.texts[0];
    ASSERT_EQ(m_questions.told.size(), 1);
    EXPECT_TRUE(m_questions.told[0].contains("The import was not made"));
    EXPECT_EQ(TempDir::Read(m_strFile), kTwoPlans);
    ASSERT_TRUE(m_editor.IsOpen());
    EXPECT_TRUE(m_editor.Window()->windowTitle().startsWith('*'));
}

TEST_F(MainWindowTest, ImportIntoANewFileLeavesTheOpenOneAlone) {
    const std::string strNew = m_dir.File("NEW.PPD");
    m_questions.importTargets.push_back(Questions::ImportTarget::NewFile);
    m_questions.files.push_back(Path(strNew));
    m_window.ImportFrom(Path(m_dir.File("boat.txt")));
    ASSERT_TRUE(WaitForImport(m_window));
    EXPECT_EQ(TempDir::Read(m_strFile), kTwoPlans);
    ASSERT_EQ(Read(strNew).aSailPlans.size(), 1u);
    EXPECT_EQ(m_window.File().strPath, Path(strNew));
    EXPECT_TRUE(m_window.windowTitle().startsWith("NEW.PPD"));
}

// A preview stays a screenful: a file of many polars lists the first and counts the rest.
TEST_F(MainWindowTest, ThePreviewOfManyPolarsListsAScreenful) {
    TempDir::Write(m_dir.File("wide.txt"), WideGrid(20));
    m_questions.importTargets.push_back(Questions::ImportTarget::Cancel);
    m_window.ImportFrom(Path(m_dir.File("wide.txt")));
    ASSERT_TRUE(WaitForImport(m_window));
    EXPECT_TRUE(m_questions.lastPreview.contains("20 polars"));
    EXPECT_EQ(m_questions.lastPreview.count("points, tacking angle"), 12);
    EXPECT_TRUE(m_questions.lastPreview.contains("… and 8 more"));
    EXPECT_EQ(TempDir::Read(m_strFile), kTwoPlans);
}

// A file of several sail plans, imported through the menu while the editor holds an edit: the
// preview lists each, the edit is saved first, and every one is added under a name of its own.
TEST_F(MainWindowTest, ImportAddsEverySailPlanOfAFileOfSeveral) {
    TempDir::Write(m_dir.File("sails.csv"),
                   "PolarDiagramMultiSails\nTWS\n6,10\nJib\nTWA\n52,90\nBSP\n5.3,6.3\n5.9,7\n"
                   "Light\nTWA\n90,120\nBSP\n6,7.2\n5.8,7.4\n");
    EditWithoutSaving();
    m_questions.files.push_back(Path(m_dir.File("sails.csv")));
    m_questions.importTargets.push_back(Questions::ImportTarget::ThisFile);
    m_questions.yesAnswers.push_back(true);
    QAction* pImport = m_window.findChild<QAction*>("action-import");
    ASSERT_NE(pImport, nullptr);
    pImport->trigger();
    ASSERT_TRUE(WaitForImport(m_window));
    EXPECT_TRUE(m_questions.lastPreview.contains("2 sail plans (hrosailing), each added:"))
        << m_questions.lastPreview.toStdString();
    EXPECT_TRUE(m_questions.lastPreview.contains("\"Jib\": 2 polars, 4 points"));
    EXPECT_TRUE(m_questions.lastPreview.contains("\"Light\": 2 polars, 4 points"));
    EXPECT_TRUE(m_questions.told.isEmpty()) << m_questions.told.join('\n').toStdString();
    // The edit (Main's first point at 6 kn deleted) is saved, and the file's "Light" keeps its
    // name: the imported one is "Light (2)".
    EXPECT_EQ(TempDir::Read(m_strFile), kSavedAndImported);
    EXPECT_TRUE(m_window.statusBar()->currentMessage().startsWith("Imported 2 sail plans of"))
        << m_window.statusBar()->currentMessage().toStdString();
    ASSERT_TRUE(m_editor.IsOpen());
    EXPECT_EQ(Tree()->topLevelItemCount(), 4);
}

// Into a new file: a screenful of sail plans is listed, then how many more; all are written,
// and two of one name in the file are told apart.
TEST_F(MainWindowTest, ImportOfManySailPlansIntoANewFileListsAScreenful) {
    std::string text = "PolarDiagramMultiSails\nTWS\n6,10\n";
    for (int i = 0; i < 14; ++i) {
        text += (i == 13 ? std::string("Sail 0") : "Sail " + std::to_string(i)) +
                "\nTWA\n52,90\nBSP\n5.3,6.3\n5.9,7\n";
    }
    TempDir::Write(m_dir.File("many.csv"), text);
    const std::string strNew = m_dir.File("MANY.PPD");
    m_questions.files.push_back(Path(m_dir.File("many.csv")));
    m_questions.importTargets.push_back(Questions::ImportTarget::NewFile);
    m_questions.files.push_back(Path(strNew));
    m_window.findChild<QAction*>("action-import")->trigger();
    ASSERT_TRUE(WaitForImport(m_window));
    EXPECT_TRUE(m_questions.lastPreview.contains("14 sail plans (hrosailing)"));
    EXPECT_EQ(m_questions.lastPreview.count("2 polars, 4 points"), 12);
    EXPECT_TRUE(m_questions.lastPreview.contains("… and 2 more"));
    EXPECT_EQ(TempDir::Read(m_strFile), kTwoPlans);
    const PolarFileContents contents = Read(strNew);
    ASSERT_EQ(contents.aSailPlans.size(), 14u);
    EXPECT_EQ(contents.aSailPlans[0]->m_strName, "Sail 0");
    EXPECT_EQ(contents.aSailPlans[12]->m_strName, "Sail 12");
    EXPECT_EQ(contents.aSailPlans[13]->m_strName, "Sail 0 (2)");
    EXPECT_EQ(Points(*contents.aSailPlans[13]), Points(*contents.aSailPlans[0]));
    EXPECT_TRUE(m_window.statusBar()->currentMessage().startsWith("Imported 14 sail plans of"));
}

// Of several sail plans, one without a point is left out and the preview says so; the one left
// is added as a single one is, under a name the file does not use yet.
TEST_F(MainWindowTest, ASailPlanWithoutPointsIsLeftOutAndSaid) {
    TempDir::Write(m_dir.File("two.json"),
                   R"({"a": {"name": "Main", "windData": [{"trueWindSpeed": 3.0867,
                        "angleData": [[0.7854, 2.3], [1.5708, 2.8]]}]},
                       "b": {"name": "Bare", "windData": []}})");
    m_questions.files.push_back(Path(m_dir.File("two.json")));
    m_questions.importTargets.push_back(Questions::ImportTarget::ThisFile);
    m_window.findChild<QAction*>("action-import")->trigger();
    ASSERT_TRUE(WaitForImport(m_window));
    EXPECT_TRUE(m_questions.lastPreview.contains("Sail plan \"Main\" (signalk), 1 polars"))
        << m_questions.lastPreview.toStdString();
    EXPECT_TRUE(
        m_questions.lastPreview.contains("sail plan \"Bare\" holds no polar and is not imported"));
    const PolarFileContents contents = Read(m_strFile);
    ASSERT_EQ(contents.aSailPlans.size(), 3u);
    EXPECT_EQ(contents.aSailPlans[2]->m_strName, "Main (2)");
    EXPECT_EQ(Points(*contents.aSailPlans[2]), "6: 45/4.47 90/5.44 | ");
    EXPECT_TRUE(m_window.statusBar()->currentMessage().startsWith("Imported "));
}

TEST_F(MainWindowTest, WhatCannotBeImportedIsSaidAndNothingChanges) {
    TempDir::Write(m_dir.File("notes.txt"), "no polar here\n");
    m_window.ImportFrom(Path(m_dir.File("notes.txt")));
    ASSERT_TRUE(WaitForImport(m_window));
    ASSERT_EQ(m_questions.told.size(), 1);
    EXPECT_TRUE(m_questions.told[0].startsWith("Nothing can be imported"));
    EXPECT_EQ(TempDir::Read(m_strFile), kTwoPlans);

    // A grid broken before its first polar: the reader's line, column and what it expected.
    TempDir::Write(m_dir.File("bad.pol"), "TWA\\TWS\t6\t10\n45\tx\t6.0\n");
    m_window.ImportFrom(Path(m_dir.File("bad.pol")));
    ASSERT_TRUE(WaitForImport(m_window));
    ASSERT_EQ(m_questions.told.size(), 2);
    EXPECT_TRUE(m_questions.told[1].contains("line 2, column 4: expected a boat speed, found 'x'"))
        << m_questions.told[1].toStdString();
    EXPECT_EQ(TempDir::Read(m_strFile), kTwoPlans);
}

// A big file is read while the window goes on; its progress dialog's Cancel gives the window
// back at once, and the reading's result, when it comes, is dropped: the next import is the
// only one previewed and added.
TEST_F(MainWindowTest, ABigImportIsReadOffTheWindowAndCancelDropsIt) {
    TempDir::Write(m_dir.File("big.txt"), WideGrid(8000));
    int nTicks = 0;
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&nTicks] { ++nTicks; });
    ticks.start(10);
    m_window.ImportFrom(Path(m_dir.File("big.txt")));
    ASSERT_TRUE(m_window.Importing());
    QProgressDialog* pProgress = nullptr;
    for (QDeadlineTimer deadline(30000); !deadline.hasExpired() && pProgress == nullptr;) {
        QApplication::processEvents();
        auto* pFound = m_window.findChild<QProgressDialog*>("import-progress");
        pProgress = pFound != nullptr && pFound->isVisible() ? pFound : nullptr;
    }
    ASSERT_NE(pProgress, nullptr) << "no progress shown while the big file was read";
    EXPECT_TRUE(pProgress->labelText().contains("big.txt"));
    EXPECT_GT(nTicks, 0);  // the window's own loop ran meanwhile
    ASSERT_EQ(m_window.ImportReadingsUnderway(), 1u);
    QPushButton* pCancel = pProgress->findChild<QPushButton*>();
    ASSERT_NE(pCancel, nullptr);
    pCancel->click();
    EXPECT_FALSE(m_window.Importing());
    EXPECT_TRUE(m_window.statusBar()->currentMessage().startsWith("Cancelled"));

    m_questions.importTargets.push_back(Questions::ImportTarget::ThisFile);
    m_window.ImportFrom(Path(m_dir.File("boat.txt")));
    ASSERT_TRUE(WaitForImport(m_window));
    for (QDeadlineTimer deadline(60000);
         !deadline.hasExpired() && m_window.ImportReadingsUnderway() > 0;) {
        QApplication::processEvents();
    }
    EXPECT_EQ(m_window.ImportReadingsUnderway(), 0u);
    EXPECT_TRUE(m_questions.lastPreview.contains("\"boat\""));
    const PolarFileContents contents = Read(m_strFile);
    ASSERT_EQ(contents.aSailPlans.size(), 3u);
    EXPECT_EQ(contents.aSailPlans[2]->m_strName, "boat");
}

TEST_F(MainWindowTest, ExportWritesTheChosenSailPlanInTheChosenFormat) {
    const auto formats = ExchangeFormats();
    const std::string strOut = m_dir.File("main.json");
    int nJson = 0;
    for (std::size_t i = 0; i < formats.size(); ++i) {
        if (formats[i].name == "json") {
            nJson = static_cast<int>(i) + 1;  // after the data file's own format
        }
    }
    ASSERT_GT(nJson, 0);
    m_questions.exportChoices.push_back({0, nJson});
    m_questions.files.push_back(Path(strOut));
    m_window.ExportFile();
    EXPECT_EQ(TempDir::Read(strOut), formats[static_cast<std::size_t>(nJson - 1)].write(
                                         *m_window.File().aSailPlans[0], strOut));
    // The tacking angle 45 at 6 kn is not the curve's best upwind angle (40): the user is told.
    ASSERT_EQ(m_questions.told.size(), 1);
    EXPECT_TRUE(m_questions.told[0].contains("the format does not hold all of it"));
    EXPECT_TRUE(m_questions.told[0].contains("1 tacking angles of \"Main\" are not held"))
        << m_questions.told[0].toStdString();
    m_questions.told.clear();

    // All sail plans go into a data file; another format holds one and writes nothing.
    const std::string strAll = m_dir.File("ALL.PPD");
    m_questions.exportChoices.push_back({-1, 0});
    m_questions.files.push_back(Path(strAll));
    m_window.ExportFile();
    EXPECT_EQ(TempDir::Read(strAll), kTwoPlans);
    const std::string strRefused = m_dir.File("all.json");
    m_questions.exportChoices.push_back({-1, nJson});
    m_questions.files.push_back(Path(strRefused));
    m_window.ExportFile();
    ASSERT_EQ(m_questions.told.size(), 1);
    EXPECT_TRUE(m_questions.told[0].contains("holds one sail plan"));
    EXPECT_FALSE(std::filesystem::exists(strRefused));

    // Signal K's JSON holds every sail plan, with its name; the chart plotter's table refuses a
    // sail plan of fewer than 3 wind speeds, says why, and writes nothing.
    const auto column = [&](std::string_view name) {
        for (std::size_t i = 0; i < formats.size(); ++i) {
            if (formats[i].name == name) {
                return static_cast<int>(i) + 1;
            }
        }
        return 0;
    };
    const std::string strSignalK = m_dir.File("all.signalk.json");
    m_questions.exportChoices.push_back({-1, column("signalk")});
    m_questions.files.push_back(Path(strSignalK));
    m_window.ExportFile();
    const ImportResult both = ImportSignalKJson(TempDir::Read(strSignalK), "");
    ASSERT_FALSE(both.error);
    ASSERT_EQ(both.aMoreSailPlans.size(), 1u);
    EXPECT_EQ(both.aMoreSailPlans[0]->m_strName, "Light");
    ASSERT_EQ(m_questions.told.size(), 2);  // Main's tacking angle again, but no name lost
    EXPECT_FALSE(m_questions.told[1].contains("name")) << m_questions.told[1].toStdString();
    const std::string strPlotter = m_dir.File("main-plotter.csv");
    m_questions.exportChoices.push_back({0, column("plotter-csv")});
    m_questions.files.push_back(Path(strPlotter));
    m_window.ExportFile();
    ASSERT_EQ(m_questions.told.size(), 3);
    EXPECT_TRUE(m_questions.told[2].contains("at least 3 wind speeds"))
        << m_questions.told[2].toStdString();
    EXPECT_FALSE(std::filesystem::exists(strPlotter));
}

// The export dialog opens on the sail plan chosen in the tree and the format of the last
// export; the file dialog suggests the sail plan's name with the format's ending, which a name
// typed without one gets. New suggests a free name and gives the data file's ending too.
TEST_F(MainWindowTest, ExportAndNewSuggestNamesWithTheFormatsEnding) {
    const int nGrid = ExportFormatIndex("grid");
    const int nTargets = ExportFormatIndex("targets");
    ASSERT_GT(nGrid, 0);
    ASSERT_GT(nTargets, 0);
    Tree()->setCurrentItem(Tree()->topLevelItem(1));  // Light
    m_questions.exportChoices.push_back({1, nGrid});
    m_questions.files.push_back(Path(m_dir.File("light")));
    m_window.ExportFile();
    ASSERT_EQ(m_questions.exportPreselected.size(), 1u);
    EXPECT_EQ(m_questions.exportPreselected[0].nSailPlan, 1);
    EXPECT_EQ(m_questions.exportPreselected[0].nFormat, 0);  // nothing remembered yet
    ASSERT_EQ(m_questions.writeStarts.size(), 1);
    EXPECT_TRUE(m_questions.writeStarts[0].endsWith("/Light.pol"))
        << m_questions.writeStarts[0].toStdString();
    EXPECT_TRUE(std::filesystem::exists(m_dir.File("light.pol")));
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("light")));

    // The grid is remembered; all sail plans are named for the data file. A typed ending of
    // its own is kept, one of digits only is a name's.
    m_questions.exportChoices.push_back({-1, 0});
    m_questions.files.push_back(Path(m_dir.File("both.ppd")));
    m_window.ExportFile();
    EXPECT_EQ(m_questions.exportPreselected[1].nFormat, nGrid);
    EXPECT_TRUE(m_questions.writeStarts[1].endsWith("/POLAR.PPD"))
        << m_questions.writeStarts[1].toStdString();
    EXPECT_EQ(TempDir::Read(m_dir.File("both.ppd")), kTwoPlans);
    EXPECT_EQ(m_questions.exportPreselected.size(), 2u);
    m_questions.exportChoices.push_back({1, nGrid});
    m_questions.files.push_back(Path(m_dir.File("First 40.7")));
    m_window.ExportFile();
    EXPECT_TRUE(std::filesystem::exists(m_dir.File("First 40.7.pol")));
    EXPECT_EQ(m_questions.exportPreselected[2].nFormat, 0);  // the data file, last

    // The ending is added before the name is checked: "POLAR" is the open file.
    const std::string strOpen = m_dir.File("POLAR");
    m_questions.exportChoices.push_back({0, 0});
    m_questions.files.push_back(Path(strOpen));
    m_questions.files.push_back(QString());  // then cancelled
    m_window.ExportFile();
    ASSERT_FALSE(m_questions.told.isEmpty());
    EXPECT_TRUE(m_questions.told.back().contains("is the data file that is open"));
    EXPECT_EQ(TempDir::Read(m_strFile), kTwoPlans);

    m_questions.told.clear();
    m_questions.files.push_back(Path(m_dir.File("boat")));
    m_window.NewFile();
    EXPECT_TRUE(m_questions.writeStarts.back().endsWith("/Polars.PPD"))
        << m_questions.writeStarts.back().toStdString();
    EXPECT_EQ(m_window.File().strPath, Path(m_dir.File("boat.PPD")));
    TempDir::Write(m_dir.File("Polars.PPD"), kTwoPlans);
    m_questions.files.push_back(QString());
    m_window.NewFile();
    EXPECT_TRUE(m_questions.writeStarts.back().endsWith("/Polars 2.PPD"))
        << m_questions.writeStarts.back().toStdString();
    EXPECT_TRUE(m_questions.AllUsed());
}

// The real export dialog opens on what it is given, the all-sail-plans entry too, and gives
// back what its lists show; its formats say the endings they write.
TEST(ExportDialog, OpensOnThePreselectedSailPlanAndFormat) {
    const QStringList formats = ExportFormatNames();
    for (qsizetype i = 0; i < formats.size(); ++i) {
        EXPECT_TRUE(formats[i].contains(ExportFormatExtension(static_cast<int>(i))))
            << formats[i].toStdString();
        EXPECT_EQ(formats.count(formats[i]), 1) << formats[i].toStdString();
    }
    EXPECT_TRUE(formats[ExportFormatIndex("signalk")].startsWith("Signal K"));
    EXPECT_EQ(ExportFormatIndex(ExportFormatKey(3)), 3);
    EXPECT_EQ(ExportFormatIndex("no such format"), 0);
    DialogQuestions real;
    for (const Questions::ExportChoice wanted : {Questions::ExportChoice{1, 3}, {-1, 0}}) {
        std::vector<int> shown;
        QTimer::singleShot(0, [&shown] {
            QWidget* pDialog = QApplication::activeModalWidget();
            ASSERT_NE(pDialog, nullptr);
            for (const QComboBox* pBox : pDialog->findChildren<QComboBox*>()) {
                shown.push_back(pBox->currentIndex());
            }
            qobject_cast<QDialog*>(pDialog)->accept();
        });
        const auto choice = real.ChooseExport(nullptr, {"Main", "Light"}, formats, wanted);
        ASSERT_TRUE(choice.has_value());
        EXPECT_EQ(choice->nSailPlan, wanted.nSailPlan);
        EXPECT_EQ(choice->nFormat, wanted.nFormat);
        ASSERT_EQ(shown.size(), 2u);
        EXPECT_EQ(shown[0], wanted.nSailPlan < 0 ? 2 : wanted.nSailPlan);
        EXPECT_EQ(shown[1], wanted.nFormat);
    }
}

TEST(FileNames, SuggestedNamesHoldNoFoldersAndKeepTheUsersEnding) {
    EXPECT_EQ(SuggestedFileName("J/109 Main", "Polars", ".pol"), "J 109 Main.pol");
    EXPECT_EQ(SuggestedFileName("  ", "Polars", ".pol"), "Polars.pol");
    EXPECT_EQ(SuggestedFileName("..", "Polars", ".pol"), "Polars.pol");
    EXPECT_EQ(SuggestedFileName("boat.POL", "Polars", ".pol"), "boat.POL");
    EXPECT_EQ(WithExtension("/a/b/card", ".pdf"), "/a/b/card.pdf");
    EXPECT_EQ(WithExtension("/a/b.c/card", ".pdf"), "/a/b.c/card.pdf");
    EXPECT_EQ(WithExtension("/a/card.PDF", ".pdf"), "/a/card.PDF");
    EXPECT_EQ(WithExtension("/a/polar.txt", ".pol"), "/a/polar.txt");
    EXPECT_EQ(WithExtension("/a/.hidden", ".pol"), "/a/.hidden.pol");
}

TEST_F(MainWindowTest, NewMakesAnEmptyFileButNeverEmptiesOne) {
    // An existing file, and the open one under another spelling: refused, and the dialog
    // shown again (here cancelled) before any other question.
    const std::string strOther = m_dir.File("OTHER.PPD");
    TempDir::Write(strOther, kTwoPlans);
    m_questions.files.push_back(Path(strOther));
    m_questions.files.push_back(Path(m_dir.File("./POLAR.PPD")));
    m_questions.files.push_back(QString());
    m_window.NewFile();
    ASSERT_EQ(m_questions.told.size(), 2);
    EXPECT_TRUE(m_questions.told[0].contains("exists already"))
        << m_questions.told[0].toStdString();
    EXPECT_TRUE(m_questions.told[1].contains("the data file that is open"));
    EXPECT_TRUE(m_questions.asked.isEmpty());
    EXPECT_EQ(TempDir::Read(m_strFile), kTwoPlans);
    EXPECT_EQ(TempDir::Read(strOther), kTwoPlans);

    // Cancel at the editor's question about its edits: nothing is made.
    EditWithoutSaving();
    const std::string strNew = m_dir.File("EMPTY.PPD");
    m_questions.files.push_back(Path(strNew));
    m_boxes.Expect(QMessageBox::Cancel);
    m_window.NewFile();
    EXPECT_FALSE(std::filesystem::exists(strNew));
    EXPECT_EQ(m_window.File().strPath, Path(m_strFile));
    ASSERT_TRUE(m_editor.IsOpen());
    m_questions.files.push_back(Path(strNew));
    m_boxes.Expect(QMessageBox::Discard);
    m_window.NewFile();
    EXPECT_TRUE(std::filesystem::exists(strNew));
    EXPECT_EQ(TempDir::Read(strNew), "");
    EXPECT_EQ(m_window.File().strPath, Path(strNew));
    EXPECT_EQ(Tree()->topLevelItemCount(), 0);
    // The editor moved to the new file with the window.
    ASSERT_TRUE(m_editor.IsOpen());
    EXPECT_EQ(m_editor.DataFile(), Path(strNew));
}

// Import into "a new file" never writes the open data file, under any spelling or link.
TEST_F(MainWindowTest, ImportIntoANewFileRefusesTheOpenOne) {
    const std::string strLink = m_dir.File("link.ppd");
    ASSERT_EQ(::symlink(m_strFile.c_str(), strLink.c_str()), 0);
    m_questions.importTargets.push_back(Questions::ImportTarget::NewFile);
    m_questions.files.push_back(Path(strLink));
    m_questions.files.push_back(Path(m_strFile));
    m_questions.files.push_back(QString());
    m_window.ImportFrom(Path(m_dir.File("boat.txt")));
    ASSERT_TRUE(WaitForImport(m_window));
    ASSERT_EQ(m_questions.told.size(), 2);
    EXPECT_TRUE(m_questions.told[0].contains("the data file that is open"));
    EXPECT_EQ(TempDir::Read(m_strFile), kTwoPlans);
    EXPECT_EQ(Tree()->topLevelItemCount(), 2);
}

TEST_F(MainWindowTest, OpenRecentOfAMissingFileMakesNothingAndMayForgetIt) {
    const std::string strGone = m_dir.File("GONE.PPD");
    QSettings().setValue("recentFiles", QStringList{Path(strGone), Path(m_strFile)});
    m_questions.yesAnswers.push_back(true);  // remove it from the list
    m_window.OpenRecent(Path(strGone));
    ASSERT_EQ(m_questions.asked.size(), 1);
    EXPECT_TRUE(m_questions.asked[0].contains(Path(strGone)));
    EXPECT_FALSE(std::filesystem::exists(strGone));
    EXPECT_EQ(QSettings().value("recentFiles").toStringList(), QStringList{Path(m_strFile)});
    EXPECT_EQ(m_window.File().strPath, Path(m_strFile));

    // What cannot be opened is named, shown nowhere, and never enters the list.
    const std::string strFolder = m_dir.File("folder");
    std::filesystem::create_directory(strFolder);
    EXPECT_FALSE(m_window.SwitchTo(Path(strFolder)));
    ASSERT_EQ(m_questions.told.size(), 1);
    EXPECT_TRUE(m_questions.told[0].contains("not a regular file"));
    EXPECT_FALSE(m_window.SwitchTo(Path(strGone)));
    EXPECT_FALSE(std::filesystem::exists(strGone));
    EXPECT_EQ(QSettings().value("recentFiles").toStringList(), QStringList{Path(m_strFile)});
    EXPECT_EQ(m_window.File().strPath, Path(m_strFile));
}

TEST_F(MainWindowTest, ExportAsksWhenTheEditorHoldsEdits) {
    const std::string strOut = m_dir.File("ALL.PPD");
    EditWithoutSaving();
    m_questions.choices.push_back(-1);  // Cancel: nothing more is asked
    m_window.ExportFile();
    EXPECT_FALSE(std::filesystem::exists(strOut));

    m_questions.choices.push_back(1);  // the saved file
    m_questions.exportChoices.push_back({-1, 0});
    m_questions.files.push_back(Path(strOut));
    m_window.ExportFile();
    EXPECT_EQ(TempDir::Read(strOut), kTwoPlans);
    EXPECT_TRUE(m_editor.Window()->windowTitle().startsWith('*'));

    m_questions.choices.push_back(0);  // save them first
    m_questions.exportChoices.push_back({-1, 0});
    m_questions.files.push_back(Path(strOut));
    m_questions.yesAnswers.push_back(true);  // replace the earlier export
    m_window.ExportFile();
    EXPECT_EQ(Read(strOut).aSailPlans[0]->Polar(0).GetVectorCount(), 1);
    EXPECT_EQ(TempDir::Read(strOut), TempDir::Read(m_strFile));
    ASSERT_TRUE(m_editor.IsOpen());
    EXPECT_FALSE(m_editor.Window()->windowTitle().startsWith('*'));
}

TEST_F(MainWindowTest, ExportNeverWritesTheOpenFileAndAsksBeforeReplacingAnother) {
    const std::string strOther = m_dir.File("OTHER.PPD");
    TempDir::Write(strOther, "old");
    m_questions.exportChoices.push_back({1, 0});
    m_questions.files.push_back(Path(m_strFile));
    m_questions.files.push_back(Path(strOther));
    m_questions.yesAnswers.push_back(false);  // not that one: the dialog again
    m_questions.files.push_back(Path(strOther));
    m_questions.yesAnswers.push_back(true);
    m_window.ExportFile();
    ASSERT_EQ(m_questions.told.size(), 1);
    EXPECT_TRUE(m_questions.told[0].contains("the data file that is open"));
    EXPECT_EQ(m_questions.asked.size(), 2);
    EXPECT_EQ(TempDir::Read(m_strFile), kTwoPlans);
    ASSERT_EQ(Read(strOther).aSailPlans.size(), 1u);
    EXPECT_EQ(Read(strOther).aSailPlans[0]->m_strName, "Light");
}

// Processes events until the condition holds or the time is up.
template <typename Condition>
bool Within(int nMilliseconds, Condition condition) {
    for (QDeadlineTimer deadline(nMilliseconds); !deadline.hasExpired();) {
        if (condition()) {
            return true;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return condition();
}

TEST_F(MainWindowTest, AnOutsideChangeIsShownAtOnceAndTheViewKeepsItsPlace) {
    m_window.show();
    Tree()->setCurrentItem(Tree()->topLevelItem(1));  // Light
    const auto* pChart = m_window.findChild<CrossoverChart*>("crossover-chart");
    const int nLightColor = pChart->ColorSlot(1);
    // Another program puts a file with a new sail plan first, by a rename.
    const std::string strReordered =
        "Code 0,\r\n8.00,45.00,\r\n60.00,6.00,-2\r\n" + std::string(kTwoPlans);
    ASSERT_TRUE(WriteFileAtomically(m_strFile, strReordered).Ok());
    ASSERT_TRUE(Within(10000, [this] { return Tree()->topLevelItemCount() == 3; }));
    ASSERT_NE(Tree()->currentItem(), nullptr);
    EXPECT_EQ(Tree()->currentItem()->text(0), "Light");
    EXPECT_EQ(pChart->ColorSlot(2), nLightColor);
    EXPECT_TRUE(m_window.statusBar()->currentMessage().contains("another program"));

    // Written in place, and again after the rename: the watch goes on.
    TempDir::Write(m_strFile, kTwoPlans);
    ASSERT_TRUE(Within(10000, [this] { return Tree()->topLevelItemCount() == 2; }));
    EXPECT_EQ(Tree()->currentItem()->text(0), "Light");
    EXPECT_EQ(pChart->ColorSlot(1), nLightColor);
}

TEST_F(MainWindowTest, AnOutsideChangeReachesTheEditorWhichAsksAboutItsEdits) {
    EditWithoutSaving();
    const std::string strTheirs = "Theirs,\r\n8.00,45.00,\r\n60.00,6.00,-2";
    m_boxes.Expect(QMessageBox::No);  // keep my edits
    ASSERT_TRUE(WriteFileAtomically(m_strFile, strTheirs).Ok());
    ASSERT_TRUE(Within(10000, [this] { return m_boxes.AllUsed(); }));
    EXPECT_EQ(Tree()->topLevelItemCount(), 1);
    ASSERT_EQ(m_boxes.texts.size(), 1u);
    EXPECT_NE(m_boxes.texts[0].find("changed outside the editor"), std::string::npos);
    EXPECT_TRUE(m_editor.Window()->windowTitle().startsWith('*'));
    EXPECT_EQ(TempDir::Read(m_strFile), strTheirs);
}

TEST_F(MainWindowTest, TheEditorsSaveIsNotTakenForAnOutsideChange) {
    EditWithoutSaving();
    ASSERT_TRUE(GuiDriver(m_editor.Window()).Click(IDC_SAVE));
    Within(600, [] { return false; });
    EXPECT_FALSE(m_window.statusBar()->currentMessage().contains("another program"))
        << m_window.statusBar()->currentMessage().toStdString();
    EXPECT_TRUE(m_boxes.AllUsed());
}

// Another program writes the file while an import is being read: the window follows it, and
// the import adds to the file as it is then, losing neither's sail plans.
TEST_F(MainWindowTest, AChangeWhileAnImportIsReadIsKept) {
    TempDir::Write(m_dir.File("big.txt"), WideGrid(4000));
    m_questions.importTargets.push_back(Questions::ImportTarget::ThisFile);
    m_window.ImportFrom(Path(m_dir.File("big.txt")));
    ASSERT_TRUE(m_window.Importing());
    const std::string strTheirs =
        std::string(kTwoPlans) + "\r\nTheirs,\r\n8.00,45.00,\r\n60.00,6.00,-2";
    ASSERT_TRUE(WriteFileAtomically(m_strFile, strTheirs).Ok());
    ASSERT_TRUE(WaitForImport(m_window));
    const PolarFileContents contents = Read(m_strFile);
    ASSERT_EQ(contents.aSailPlans.size(), 4u);
    EXPECT_EQ(contents.aSailPlans[2]->m_strName, "Theirs");
    EXPECT_EQ(contents.aSailPlans[3]->m_strName, "big");
    EXPECT_EQ(Tree()->topLevelItemCount(), 4);
}

}  // namespace
