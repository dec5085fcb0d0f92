#include "apps/polar-editor/log_job.h"

#include <QFileInfo>

#include "apps/polar-editor/off_thread.h"
#include "logs/learn_outcome.h"
#include "logs/learner.h"
#include "logs/log_reader.h"
#include "logs/polar_samples.h"
#include "logs/sample_stages.h"

LogJob::LogJob(QStringList logs, LearnOptions options)
    : m_logs(std::move(logs)), m_options(std::move(options)) {
    for (const QString& strLog : m_logs) {
        m_nBytesTotal += static_cast<std::uint64_t>(QFileInfo(strLog).size());
    }
}

std::unique_ptr<LogJob> LogJob::Learn(QStringList logs, LearnOptions options, std::string strName,
                                      bool bFit, bool bExtrapolate) {
    std::unique_ptr<LogJob> pJob(new LogJob(std::move(logs), std::move(options)));
    pJob->m_strName = std::move(strName);
    pJob->m_bFit = bFit;
    pJob->m_bExtrapolate = bExtrapolate;
    return pJob;
}

std::unique_ptr<LogJob> LogJob::Compare(QStringList logs, LearnOptions options,
                                        std::unique_ptr<SAILPLAN> pSailPlan) {
    std::unique_ptr<LogJob> pJob(new LogJob(std::move(logs), std::move(options)));
    pJob->m_pSailPlan = std::move(pSailPlan);
    return pJob;
}

std::unique_ptr<LogJob> LogJob::Points(QStringList logs) {
    std::unique_ptr<LogJob> pJob(new LogJob(std::move(logs), EverySteadySample()));
    pJob->m_bPoints = true;
    return pJob;
}

LogJob::~LogJob() {
    Cancel();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void LogJob::Start(QObject* pReceiver, std::function<void(LogJobResult)> onDone) {
    m_thread = RunOffThread<LogJobResult>(
        pReceiver, [this] { return Run(); }, std::move(onDone));
}

bool LogJob::ReadAll(LogJobResult& result, const LogSink& sink,
                     const std::function<void()>& newLog) {
    std::vector<std::string> aPaths;
    for (const QString& strLog : m_logs) {
        aPaths.push_back(strLog.toStdString());
    }
    LogReadOptions options;
    // The log's own bytes, compressed or not, of every log read so far.
    options.progress = [this](const LogProgress& progress) {
        m_nBytesRead.store(progress.nBytesRead);
    };
    options.cancelled = [this] { return m_bCancel.load(); };
    std::string strError;
    if (!ReadLogs(aPaths, result.counts, sink, newLog, strError, options)) {
        result.strError = QString::fromStdString(strError);
        return false;
    }
    result.bCancelled = m_bCancel.load();
    return !result.bCancelled;
}

void LogJob::ReadPoints(LogJobResult& result) {
    EvenlyThinned<LoggedPoint> points(kMaxLoggedPoints);
    SampleStages stages(m_options, [&points](const LogSample& sample, int) {
        points.Add({sample.fWindSpeed, sample.fWindAngle, sample.fBoatSpeed});
    });
    if (ReadAll(
            result, [&stages](const LogSample& sample) { stages.Add(sample); },
            [&stages] { stages.NewLog(); })) {
        stages.Finish();
        result.nSteadySamples = points.Seen();
        result.points = points.Take();
    }
}

LogJobResult LogJob::Run() {
    LogJobResult result;
    if (m_bPoints) {
        ReadPoints(result);
    } else if (m_pSailPlan == nullptr) {
        Learner learner(m_options);
        if (ReadAll(
                result, [&learner](const LogSample& sample) { learner.Add(sample); },
                [&learner] { learner.NewLog(); })) {
            LearnOutcome outcome = FinishLearning(learner, result.counts, m_options, m_strName,
                                                  m_bFit, m_bExtrapolate);
            if (outcome.pSailPlan->m_aPolars.empty()) {
                result.strNothingLearned = QString::fromStdString(NothingLearnedReason(outcome));
            }
            result.pLearned = std::move(outcome.pSailPlan);
            result.strSummary = std::move(outcome.strSummary);
            result.strReportJson = std::move(outcome.strReportJson);
        }
    } else {
        Comparison comparison(*m_pSailPlan, m_options);
        if (ReadAll(
                result, [&comparison](const LogSample& sample) { comparison.Add(sample); },
                [&comparison] { comparison.NewLog(); })) {
            result.nCompared = comparison.Samples();
            result.dMedianPercent = comparison.MedianPercent();
            result.bins = comparison.PerBin();
        }
    }
    return result;
}
