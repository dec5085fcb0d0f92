// Learn and compare off the interface thread: the same results as reading the logs directly,
// a cancel that keeps nothing, and the dialog's way into the data file.
#include "apps/polar-editor/log_job.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableWidget>
#include <cstdlib>

#include "apps/polar-editor/editor_plugin.h"
#include "apps/polar-editor/log_tool_dialog.h"
#include "apps/polar-editor/main_window.h"
#include "apps/polar-editor/polar_chart.h"
#include "data/polar_file.h"
#include "logs/logs.h"
#include "logs/polar_samples.h"
#include "tests/polar-editor/scripted_questions.h"
#include "tests/support/own_settings.h"
#include "tests/support/sailed_log.h"
#include "tests/support/temp_dir.h"

namespace {

// Runs the event loop until the job has handed over its result.
LogJobResult RunToEnd(LogJob& job, const std::function<void(LogJob&)>& whileRunning = {}) {
    QObject receiver;
    std::optional<LogJobResult> result;
    job.Start(&receiver, [&result](LogJobResult r) { result = std::move(r); });
    while (!result) {
        if (whileRunning) {
            whileRunning(job);
        }
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return std::move(*result);
}

std::unique_ptr<SAILPLAN> LearnedDirectly(const std::vector<std::string>& logs) {
    Learner learner{LearnOptions{}};
    LogCounts counts;
    std::string strError;
    EXPECT_TRUE(ReadLogs(
        logs, counts, [&learner](const LogSample& s) { learner.Add(s); },
        [&learner] { learner.NewLog(); }, strError));
    return learner.Result("Learned");
}

class LogJobTest : public testing::Test {
  protected:
    void SetUp() override {
        TempDir::Write(m_strLog, GeneratedLog(KnownPolar(), 3, 0.02));
        TempDir::Write(m_strSecondLog, GeneratedLog(KnownPolar(), 4, 0.02));
    }
    TempDir m_dir;
    std::string m_strLog = m_dir.File("one.nmea");
    std::string m_strSecondLog = m_dir.File("two.nmea");
};

TEST_F(LogJobTest, LearnGivesWhatTheLogReaderGivesPlainOrCompressed) {
    const std::string strGz = m_dir.File("two.nmea.gz");
    const std::string text = TempDir::Read(m_strSecondLog);
    gzFile file = gzopen(strGz.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    gzwrite(file, text.data(), static_cast<unsigned>(text.size()));
    gzclose(file);

    auto pJob = LogJob::Learn({QString::fromStdString(m_strLog), QString::fromStdString(strGz)},
                              LearnOptions{}, "Learned");
    LogJobResult result = RunToEnd(*pJob);
    ASSERT_TRUE(result.strError.isEmpty()) << result.strError.toStdString();
    ASSERT_FALSE(result.bCancelled);
    ASSERT_NE(result.pLearned, nullptr);
    SailPlanArray inJob;
    SailPlanArray direct;
    inJob.push_back(std::move(result.pLearned));
    direct.push_back(LearnedDirectly({m_strLog, m_strSecondLog}));
    EXPECT_GT(direct[0]->GetPolarCount(), 0);
    EXPECT_EQ(FormatPolarFile(inJob), FormatPolarFile(direct));
    EXPECT_NE(result.strReportJson.find("\"bins\""), std::string::npos);
    // All of both logs was read, by the compressed one's own bytes.
    EXPECT_EQ(pJob->BytesRead(), pJob->BytesTotal());
}

TEST_F(LogJobTest, CompareGivesTheBinsOfTheComparison) {
    SAILPLAN known = KnownPolar();
    auto pJob = LogJob::Compare({QString::fromStdString(m_strLog)}, LearnOptions{},
                                std::make_unique<SAILPLAN>(KnownPolar()));
    const LogJobResult result = RunToEnd(*pJob);
    ASSERT_TRUE(result.strError.isEmpty());
    Comparison direct(known, LearnOptions{});
    LogCounts counts;
    ReadLogText(TempDir::Read(m_strLog), counts, [&direct](const LogSample& s) { direct.Add(s); });
    ASSERT_EQ(result.bins.size(), direct.PerBin().size());
    ASSERT_FALSE(result.bins.empty());
    EXPECT_EQ(result.nCompared, direct.Samples());
    EXPECT_EQ(result.dMedianPercent, direct.MedianPercent());
    EXPECT_EQ(result.bins[0].dMedianPercent, direct.PerBin()[0].dMedianPercent);
}

TEST_F(LogJobTest, ACancelInTheMiddleEndsTheReadingAndKeepsNothing) {
    // Large enough that the reading is far from its end when the cancel comes.
    const std::string strBig = m_dir.File("big.nmea");
    std::string text = TempDir::Read(m_strLog);
    std::string big;
    while (big.size() < 60u << 20) {
        big += text;
    }
    TempDir::Write(strBig, big);
    auto pJob = LogJob::Learn({QString::fromStdString(strBig)}, LearnOptions{}, "Learned");
    bool bCancelled = false;
    const LogJobResult result = RunToEnd(*pJob, [&bCancelled](LogJob& job) {
        if (!bCancelled && job.BytesRead() > 0) {
            job.Cancel();
            bCancelled = true;
        }
    });
    EXPECT_TRUE(result.bCancelled);
    EXPECT_EQ(result.pLearned, nullptr);
    EXPECT_TRUE(result.strReportJson.empty());
    EXPECT_LT(pJob->BytesRead(), pJob->BytesTotal());
}

// The chart's points are the steady samples that each polar's own reading (as render --log
// draws them) gives, in order, every one of them; and past a limit they are thinned evenly.
TEST_F(LogJobTest, PointsAreEachPolarsSteadySamplesEvenlyThinnedWhenMany) {
    const SAILPLAN known = KnownPolar();
    auto pJob = LogJob::Points({QString::fromStdString(m_strLog)});
    const LogJobResult result = RunToEnd(*pJob);
    ASSERT_TRUE(result.strError.isEmpty());
    ASSERT_GT(result.points.size(), 100u);
    EXPECT_EQ(result.nSteadySamples, result.points.size());
    std::size_t nMatched = 0;
    for (std::size_t n = 0; n < known.m_aPolars.size(); ++n) {
        std::vector<LoggedPoint> ofPolar;
        for (const LoggedPoint& point : result.points) {
            if (NearestPolar(known, point.fWindSpeed) == n) {
                ofPolar.push_back(point);
            }
        }
        std::vector<LogSample> samples;
        std::string strError;
        ASSERT_TRUE(ReadSamplesOfPolar(
            {m_strLog}, known, n, [&samples](const LogSample& s) { samples.push_back(s); },
            strError));
        ASSERT_EQ(ofPolar.size(), samples.size()) << n;
        for (std::size_t i = 0; i < samples.size(); ++i) {
            EXPECT_EQ(ofPolar[i].fAngle, samples[i].fWindAngle);
            EXPECT_EQ(ofPolar[i].fSpeed, samples[i].fBoatSpeed);
        }
        nMatched += samples.size();
    }
    EXPECT_EQ(nMatched, result.points.size());

    for (const int nCount : {7, 8, 9, 1000}) {
        EvenlyThinned<int> thinned(4);
        for (int i = 0; i < nCount; ++i) {
            thinned.Add(i);
        }
        const std::vector<int> kept = thinned.Take();
        ASSERT_FALSE(kept.empty());
        EXPECT_LT(kept.size(), 8u) << nCount;
        // Evenly: from the first, in equal steps, up to the last step that fits.
        const int nStep = kept.size() > 1 ? kept[1] - kept[0] : 1;
        for (std::size_t i = 0; i < kept.size(); ++i) {
            EXPECT_EQ(kept[i], static_cast<int>(i) * nStep) << nCount;
        }
        EXPECT_GT(static_cast<int>(kept.size()) * nStep, nCount - nStep) << nCount;
    }
}

TEST_F(LogJobTest, ALogThatCannotBeOpenedIsNamed) {
    auto pJob = LogJob::Learn(
        {QString::fromStdString(m_strLog), QString::fromStdString(m_dir.File("missing.nmea"))},
        LearnOptions{}, "Learned");
    const LogJobResult result = RunToEnd(*pJob);
    EXPECT_TRUE(result.strError.contains("missing.nmea")) << result.strError.toStdString();
    EXPECT_EQ(result.pLearned, nullptr);
}

// Clicks the dialog's button of those words, whatever key its accelerator is.
void ClickButton(QWidget* pDialog, const QString& strWords) {
    for (auto* pButton : pDialog->findChildren<QPushButton*>()) {
        if (pButton->text().remove('&') == strWords) {
            pButton->click();
            return;
        }
    }
    ADD_FAILURE() << "no button " << strWords.toStdString();
}

class LearnDialogTest : public LogJobTest {
  protected:
    static void SetUpTestSuite() { UseOwnSettingsFolder(); }
    void SetUp() override {
        LogJobTest::SetUp();
        QSettings().clear();
        TempDir::Write(m_strFile, kFile);
        QString error;
        ASSERT_TRUE(m_editor.Load(POLAR_LIBRARY_PATH, &error));
        m_window.ShowFile(QString::fromStdString(m_strFile));
    }
    // Runs the dialog's reading to its end.
    void WaitForTheEnd(LogToolDialog* pDialog) {
        bool bDone = false;
        pDialog->onFinished = [&bDone] { bDone = true; };
        while (!bDone) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
    }
    static constexpr const char* kFile = "Main,\r\n6.00,45.00,\r\n40.00,4.10,90.00,5.40,-2";
    std::string m_strFile = m_dir.File("POLAR.PPD");
    EditorPlugin m_editor{DefaultPalette(), 44, false};
    ScriptedQuestions m_questions;
    MainWindow m_window{m_editor, m_questions, DefaultPalette()};
};

TEST_F(LearnDialogTest, TheLearnedSailPlanIsAddedThroughTheEditorsSaveAndItsReportShown) {
    ASSERT_TRUE(m_editor.Open(QString::fromStdString(m_strFile)));
    m_window.ShowLogTool(LogToolDialog::Mode::Learn);
    LogToolDialog* pDialog = m_window.LogTool();
    ASSERT_NE(pDialog, nullptr);
    pDialog->AddLog(QString::fromStdString(m_strLog));
    m_questions.yesAnswers.push_back(true);  // the editor saves and closes first
    ASSERT_TRUE(pDialog->Start());
    WaitForTheEnd(pDialog);
    EXPECT_EQ(m_questions.asked.size(), 1);
    PolarFileContents contents;
    ASSERT_TRUE(LoadPolarFile(m_strFile, contents).Ok());
    ASSERT_EQ(contents.aSailPlans.size(), 2u);
    EXPECT_EQ(contents.aSailPlans[1]->m_strName, "Learned");
    EXPECT_TRUE(m_editor.IsOpen());
    const auto* pTable = pDialog->findChild<QTableWidget*>();
    EXPECT_GT(pTable->rowCount(), 0);
    EXPECT_TRUE(m_questions.AllUsed());
}

TEST_F(LearnDialogTest, ACancelledLearnAndACancelledQuestionChangeNothing) {
    ASSERT_TRUE(m_editor.Open(QString::fromStdString(m_strFile)));
    m_window.ShowLogTool(LogToolDialog::Mode::Learn);
    LogToolDialog* pDialog = m_window.LogTool();
    pDialog->AddLog(QString::fromStdString(m_strLog));
    m_questions.yesAnswers.push_back(false);  // Cancel at the question: nothing is added
    ASSERT_TRUE(pDialog->Start());
    WaitForTheEnd(pDialog);
    EXPECT_EQ(TempDir::Read(m_strFile), kFile);
    EXPECT_TRUE(m_editor.IsOpen());

    ASSERT_TRUE(pDialog->Start());
    pDialog->Cancel();
    WaitForTheEnd(pDialog);
    EXPECT_EQ(TempDir::Read(m_strFile), kFile);
    EXPECT_TRUE(m_questions.AllUsed());
}

TEST_F(LearnDialogTest, CompareShowsTheBinsAndPlotsThemWithoutTouchingTheFile) {
    TempDir::Write(m_strFile, FormatPolarFile([] {
                       SailPlanArray plans;
                       plans.push_back(std::make_unique<SAILPLAN>(KnownPolar()));
                       return plans;
                   }()));
    const std::string strBefore = TempDir::Read(m_strFile);
    m_window.ShowFile(QString::fromStdString(m_strFile));
    m_window.ShowLogTool(LogToolDialog::Mode::Compare);
    LogToolDialog* pDialog = m_window.LogTool();
    pDialog->AddLog(QString::fromStdString(m_strLog));
    ASSERT_TRUE(pDialog->Start());
    WaitForTheEnd(pDialog);
    const auto* pTable = pDialog->findChild<QTableWidget*>();
    ASSERT_GT(pTable->rowCount(), 0);
    // Sailed on the same polar with little noise: close to 100 % in every bin.
    for (int r = 0; r < pTable->rowCount(); ++r) {
        EXPECT_NEAR(pTable->item(r, 3)->text().toDouble(), 100.0, 10.0) << r;
    }
    EXPECT_NE(pDialog->findChild<QWidget*>("comparison-plot"), nullptr);
    EXPECT_EQ(TempDir::Read(m_strFile), strBefore);
    EXPECT_TRUE(m_questions.AllUsed());
}

// A dropped log opens the dialog with the log in it; nothing is read until the user starts.
TEST_F(LearnDialogTest, ADroppedLogOpensLearnWithTheLog) {
    m_window.TakeDroppedFile(QString::fromStdString(m_strLog));
    LogToolDialog* pDialog = m_window.LogTool();
    ASSERT_NE(pDialog, nullptr);
    EXPECT_TRUE(pDialog->isVisible());
    EXPECT_FALSE(pDialog->Running());
    const auto* pLogs = pDialog->findChild<QListWidget*>();
    ASSERT_EQ(pLogs->count(), 1);
    EXPECT_EQ(pLogs->item(0)->text(), QString::fromStdString(m_strLog));
    EXPECT_EQ(TempDir::Read(m_strFile), kFile);
    ClickButton(pDialog, "Learn");
    WaitForTheEnd(pDialog);
    PolarFileContents contents;
    ASSERT_TRUE(LoadPolarFile(m_strFile, contents).Ok());
    ASSERT_EQ(contents.aSailPlans.size(), 2u);  // the editor was not open: nothing to ask
    EXPECT_EQ(contents.aSailPlans[1]->m_strName, "Learned");
}

// Every option of polarctl learn that is not about files, set in the dialog, reaches the
// learning: the summary says what polarctl's says of them; a wrong span is said first.
TEST_F(LearnDialogTest, TheDialogsOptionsAreLearnsAndItIsClearedBetweenRuns) {
    m_window.ShowLogTool(LogToolDialog::Mode::Learn);
    LogToolDialog* pDialog = m_window.LogTool();
    pDialog->AddLog(QString::fromStdString(m_strLog));
    auto* pExclude = pDialog->findChild<QLineEdit*>("exclude");
    ASSERT_NE(pExclude, nullptr);
    pExclude->setText("25:00-26:00");
    ClickButton(pDialog, "Learn");
    ASSERT_EQ(m_questions.told.size(), 1);
    EXPECT_TRUE(m_questions.told[0].contains("spans of the day"));
    EXPECT_FALSE(pDialog->Running());
    pExclude->clear();
    pDialog->findChild<QDoubleSpinBox*>("holdout")->setValue(20);
    auto* pFit = pDialog->findChild<QCheckBox*>("fit");
    auto* pExtrapolate = pDialog->findChild<QCheckBox*>("extrapolate");
    EXPECT_FALSE(pExtrapolate->isEnabled());  // only with the fit
    pFit->click();
    EXPECT_TRUE(pExtrapolate->isEnabled());
    pDialog->findChild<QCheckBox*>("calibrate")->click();
    ClickButton(pDialog, "Learn");
    WaitForTheEnd(pDialog);
    const auto* pSummary = pDialog->findChild<QPlainTextEdit*>();
    const auto* pTable = pDialog->findChild<QTableWidget*>();
    const QString strSummary = pSummary->toPlainText();
    EXPECT_TRUE(strSummary.contains("fitted: ")) << strSummary.toStdString();
    EXPECT_TRUE(strSummary.contains("beyond the sailed angles left out"));
    EXPECT_TRUE(strSummary.contains("held out: ")) << strSummary.toStdString();
    EXPECT_TRUE(pSummary->isVisible());
    EXPECT_GT(pTable->rowCount(), 0);

    // A run cancelled shows nothing of the last one.
    ClickButton(pDialog, "Learn");
    EXPECT_EQ(pTable->rowCount(), 0);
    EXPECT_FALSE(pSummary->isVisible());
    ClickButton(pDialog, "Cancel");
    WaitForTheEnd(pDialog);
    EXPECT_EQ(pTable->rowCount(), 0);
    EXPECT_TRUE(pSummary->toPlainText().isEmpty());
    EXPECT_TRUE(m_questions.AllUsed());
}

TEST_F(LearnDialogTest, AResultDeclinedIsClearedAndAnEmptyLogSaysWhy) {
    ASSERT_TRUE(m_editor.Open(QString::fromStdString(m_strFile)));
    m_window.ShowLogTool(LogToolDialog::Mode::Learn);
    LogToolDialog* pDialog = m_window.LogTool();
    pDialog->AddLog(QString::fromStdString(m_strLog));
    m_questions.yesAnswers.push_back(false);  // the editor's question: Cancel
    ClickButton(pDialog, "Learn");
    WaitForTheEnd(pDialog);
    EXPECT_EQ(TempDir::Read(m_strFile), kFile);
    EXPECT_EQ(pDialog->findChild<QTableWidget*>()->rowCount(), 0);
    EXPECT_FALSE(pDialog->findChild<QPlainTextEdit*>()->isVisible());

    // As polarctl says it: an empty log holds no lines; a log without wind logged no wind.
    const std::string strEmpty = m_dir.File("empty.nmea");
    TempDir::Write(strEmpty, "");
    const std::string strNoWind = m_dir.File("nowind.nmea");
    TempDir::Write(strNoWind, "$IIVHW,,T,,M,5.00,N,,K*4E\r\n");
    for (const auto& [strLog, strCause] :
         {std::pair{strEmpty, "the logs hold no lines"}, {strNoWind, "no wind was logged"}}) {
        auto* pLogs = pDialog->findChild<QListWidget*>();
        pLogs->clear();
        pDialog->AddLog(QString::fromStdString(strLog));
        m_questions.told.clear();
        ClickButton(pDialog, "Learn");
        WaitForTheEnd(pDialog);
        ASSERT_EQ(m_questions.told.size(), 1);
        EXPECT_TRUE(m_questions.told[0].contains(strCause)) << m_questions.told[0].toStdString();
        EXPECT_TRUE(m_questions.told[0].contains("no wind speed has two points"));
    }
    EXPECT_EQ(TempDir::Read(m_strFile), kFile);
    EXPECT_TRUE(m_questions.AllUsed());
}

// Tools > Show a log over the chart…: the log's steady sailing drawn over the polar chart until
// hidden; the data file untouched; a log without steady sailing is said to be so.
TEST_F(LearnDialogTest, ALogShownOverTheChartUntilHidden) {
    auto* pChart = m_window.findChild<PolarChart*>("polar-chart");
    ASSERT_NE(pChart, nullptr);
    pChart->resize(500, 500);
    const QImage before = pChart->grab().toImage();
    QAction* pShow = m_window.findChild<QAction*>("action-log-points");
    QAction* pHide = m_window.findChild<QAction*>("action-hide-log");
    ASSERT_TRUE(pShow != nullptr && pHide != nullptr);
    EXPECT_FALSE(pHide->isEnabled());
    // Until the points are shown or something is said.
    const auto waitForReading = [this, pChart] {
        const qsizetype nTold = m_questions.told.size();
        for (QDeadlineTimer deadline(60000); !deadline.hasExpired() &&
                                             pChart->LoggedPointCount() == 0 &&
                                             m_questions.told.size() == nTold;) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
    };
    m_questions.files.push_back(QString::fromStdString(m_strLog));
    pShow->trigger();
    waitForReading();
    ASSERT_GT(pChart->LoggedPointCount(), 100u);
    EXPECT_TRUE(pHide->isEnabled());
    EXPECT_TRUE(m_window.statusBar()->currentMessage().contains("one.nmea"));
    EXPECT_NE(pChart->grab().toImage(), before);
    pHide->trigger();
    EXPECT_EQ(pChart->LoggedPointCount(), 0u);
    EXPECT_EQ(pChart->grab().toImage(), before);

    const std::string strCalm = m_dir.File("calm.nmea");
    TempDir::Write(strCalm, "$IIVHW,,T,,M,0.00,N,,K*53\r\n");
    m_questions.files.push_back(QString::fromStdString(strCalm));
    pShow->trigger();
    waitForReading();
    ASSERT_EQ(m_questions.told.size(), 1);
    EXPECT_TRUE(m_questions.told[0].contains("no steady sailing"));
    EXPECT_EQ(pChart->LoggedPointCount(), 0u);
    EXPECT_EQ(TempDir::Read(m_strFile), kFile);
    // POLAR_WINDOW_SHOTS=DIR keeps a picture of the window with the log to look at.
    if (const char* pszShots = std::getenv("POLAR_WINDOW_SHOTS")) {
        m_questions.files.push_back(QString::fromStdString(m_strLog));
        pShow->trigger();
        waitForReading();
        m_window.resize(1100, 760);
        m_window.show();
        EXPECT_TRUE(m_window.grab().save(QString(pszShots) + "/log-over-chart.png"));
    }
}

TEST_F(LearnDialogTest, WrongOptionsAreSaidBeforeAnythingIsRead) {
    m_window.ShowLogTool(LogToolDialog::Mode::Compare);
    LogToolDialog* pDialog = m_window.LogTool();
    EXPECT_FALSE(pDialog->Start());  // no logs
    pDialog->AddLog(QString::fromStdString(m_strLog));
    pDialog->findChild<QLineEdit*>("wind-speeds")->setText("10,8");
    EXPECT_FALSE(pDialog->Start());
    ASSERT_EQ(m_questions.told.size(), 2);
    EXPECT_TRUE(m_questions.told[1].contains("ascending"));
    EXPECT_FALSE(pDialog->Running());
}

}  // namespace
