// What the application keeps between runs, and what a file dropped on its window does.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QMimeData>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QUrl>

#include "apps/polar-editor/app_settings.h"
#include "apps/polar-editor/dropped_file.h"
#include "apps/polar-editor/editor_plugin.h"
#include "apps/polar-editor/main_window.h"
#include "apps/polar-editor/settings_dialog.h"
#include "logs/nmea_sentence.h"
#include "tests/polar-editor/import_wait.h"
#include "tests/polar-editor/scripted_questions.h"
#include "tests/support/own_settings.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr const char* kOnePlan = "Main,\r\n6.00,45.00,\r\n40.00,4.10,90.00,5.40,-2";

class SettingsTest : public testing::Test {
  protected:
    static void SetUpTestSuite() { UseOwnSettingsFolder(); }
    void SetUp() override { QSettings().clear(); }
    void TearDown() override { QSettings().clear(); }
};

TEST_F(SettingsTest, RecentFilesNewestFirstOnceEachAtMostEight) {
    for (int i = 0; i < 10; ++i) {
        app_settings::RememberRecentFile(QString("/boat/%1.PPD").arg(i));
    }
    app_settings::RememberRecentFile("/boat/5.PPD");
    const QStringList recent = app_settings::RecentFiles();
    ASSERT_EQ(recent.size(), 8);
    EXPECT_EQ(recent[0], "/boat/5.PPD");
    EXPECT_EQ(recent[1], "/boat/9.PPD");
    EXPECT_EQ(recent.count("/boat/5.PPD"), 1);
    EXPECT_FALSE(recent.contains("/boat/0.PPD"));
}

TEST_F(SettingsTest, LanguageAndColoursAreKeptAsChosenNothingWhenNeverChosen) {
    EXPECT_FALSE(app_settings::Language());
    EXPECT_FALSE(app_settings::Colors());
    const DiagramPalette colors = {0x010203, 0xFFFFFF, 0x00FF00, 0xABCDEF, 0x123456};
    app_settings::SetColors(colors);
    app_settings::SetLanguage(49);
    EXPECT_EQ(app_settings::Colors(), colors);
    EXPECT_EQ(app_settings::Language(), 49);
    // A hand-edited value that is no palette counts as none.
    QSettings().setValue("colors", "red");
    EXPECT_FALSE(app_settings::Colors());
}

class WindowSettingsTest : public SettingsTest {
  protected:
    void SetUp() override {
        SettingsTest::SetUp();
        TempDir::Write(m_strFile, kOnePlan);
        QString error;
        ASSERT_TRUE(m_editor.Load(POLAR_LIBRARY_PATH, &error));
    }
    TempDir m_dir;
    std::string m_strFile = m_dir.File("POLAR.PPD");
    EditorPlugin m_editor{DefaultPalette(), 44, false};
    ScriptedQuestions m_questions;
};

TEST_F(WindowSettingsTest, TheSettingsDialogChangesTheEditorsNextOpeningAndIsKept) {
    MainWindow window(m_editor, m_questions, DefaultPalette());
    window.ShowFile(QString::fromStdString(m_strFile));
    window.ShowSettings();
    auto* pDialog = window.findChild<SettingsDialog*>("settings-dialog");
    ASSERT_NE(pDialog, nullptr);
    auto* pLanguage = pDialog->findChild<QComboBox*>();
    pLanguage->setCurrentIndex(pLanguage->findData(46));
    pDialog->SetColor(2, 0x0000FF);
    pDialog->accept();
    EXPECT_EQ(m_editor.Language(), 46);
    EXPECT_EQ(m_editor.Colors()[2], 0x0000FFu);
    EXPECT_EQ(app_settings::Language(), 46);
    EXPECT_EQ(app_settings::Colors().value()[2], 0x0000FFu);
    // The window's own texts stay as they were set up at start, and it says so.
    EXPECT_TRUE(window.statusBar()->currentMessage().contains("next start"));
    // Cancel keeps what was there.
    window.ShowSettings();
    pDialog = window.findChild<SettingsDialog*>("settings-dialog");
    ASSERT_NE(pDialog, nullptr);
    pDialog->SetColor(2, 0x00FF00);
    pDialog->reject();
    EXPECT_EQ(m_editor.Colors()[2], 0x0000FFu);
}

TEST_F(WindowSettingsTest, TheWindowComesBackWithItsSize) {
    {
        MainWindow window(m_editor, m_questions, DefaultPalette());
        window.ShowFile(QString::fromStdString(m_strFile));
        window.show();
        window.resize(812, 534);
        QApplication::processEvents();
        EXPECT_TRUE(window.close());
    }
    MainWindow again(m_editor, m_questions, DefaultPalette());
    EXPECT_EQ(again.size(), QSize(812, 534));
}

TEST(DroppedFiles, DataFilesByNameFormatsAndLogsByContent) {
    TempDir dir;
    const auto kind = [&dir](const std::string& strName, const std::string& content) {
        TempDir::Write(dir.File(strName), content);
        return ClassifyDroppedFile(QString::fromStdString(dir.File(strName)));
    };
    EXPECT_EQ(kind("boat.ppd", kOnePlan), DroppedFileKind::DataFile);
    EXPECT_EQ(kind("grid.txt", "twa/tws\t6\t10\n45\t4.5\t6.0\n90\t5.5\t7.0\n"),
              DroppedFileKind::PolarFormat);
    const std::string log = NmeaSentence("IIVHW,,T,,M,5.20,N,,K") + "\r\n" +
                            NmeaSentence("IIMWV,45.0,T,12.00,N,A") + "\r\n";
    EXPECT_EQ(kind("trip.nmea", log), DroppedFileKind::Log);
    EXPECT_EQ(kind("notes.txt", "shopping: rope, shackles\n"), DroppedFileKind::Unknown);
    EXPECT_EQ(ClassifyDroppedFile(QString::fromStdString(dir.File("gone.txt"))),
              DroppedFileKind::Unknown);
    // A FIFO is not read (nobody may ever write to it), and a folder is nothing to open.
    ASSERT_EQ(::mkfifo(dir.File("pipe.nmea").c_str(), 0600), 0);
    EXPECT_EQ(ClassifyDroppedFile(QString::fromStdString(dir.File("pipe.nmea"))),
              DroppedFileKind::Unknown);
    EXPECT_EQ(ClassifyDroppedFile(QString::fromStdString(dir.Path().string())),
              DroppedFileKind::Unknown);
    // A compressed log.
    const std::string strGz = dir.File("trip.nmea.gz");
    gzFile file = gzopen(strGz.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    gzwrite(file, log.data(), static_cast<unsigned>(log.size()));
    gzclose(file);
    EXPECT_EQ(ClassifyDroppedFile(QString::fromStdString(strGz)), DroppedFileKind::Log);
}

TEST_F(WindowSettingsTest, ADroppedDataFileOpensAndAnotherFormatImports) {
    MainWindow window(m_editor, m_questions, DefaultPalette());
    window.ShowFile(QString::fromStdString(m_strFile));
    const auto drop = [&window](const std::string& strPath) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(strPath))});
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        // Straight to the window: the application delivers drops only while a drag runs.
        static_cast<QObject&>(window).event(&event);
        QApplication::processEvents();
    };
    const std::string strOther = m_dir.File("OTHER.PPD");
    TempDir::Write(strOther, "Other,\r\n8.00,40.00,\r\n50.00,5.00,-2");
    drop(strOther);
    EXPECT_EQ(window.File().strPath, QString::fromStdString(strOther));

    TempDir::Write(m_dir.File("grid.txt"), "twa/tws\t6\t10\n45\t4.5\t6.0\n90\t5.5\t7.0\n");
    m_questions.importTargets.push_back(Questions::ImportTarget::ThisFile);
    drop(m_dir.File("grid.txt"));
    ASSERT_TRUE(WaitForImport(window));
    EXPECT_EQ(window.File().aSailPlans.size(), 2u);
    EXPECT_TRUE(m_questions.AllUsed());
}

}  // namespace
