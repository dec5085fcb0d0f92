#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "apps/polar-editor/logged_point.h"
#include "data/sailplan.h"
#include "logs/comparison.h"
#include "logs/learn_options.h"
#include "logs/log_sample.h"

// What a learn, a compare or a reading of points gave. Nothing of it when cancelled.
struct LogJobResult {
    bool bCancelled = false;
    QString strError;  // a log that could not be read; nothing else is kept then
    LogCounts counts;
    // learn: as polarctl learn finishes it (LearnOutcome); pLearned has no polars when nothing
    // may be added, strNothingLearned then saying why as polarctl does
    std::unique_ptr<SAILPLAN> pLearned;
    std::string strSummary;
    std::string strReportJson;
    QString strNothingLearned;
    // compare
    std::uint64_t nCompared = 0;
    double dMedianPercent = 0;
    std::vector<ComparisonBin> bins;
    // points: every steady sample, or of very long logs every second, fourth, ... of them
    // (EvenlyThinned by kMaxLoggedPoints)
    std::vector<LoggedPoint> points;
    std::uint64_t nSteadySamples = 0;
};

inline constexpr std::size_t kMaxLoggedPoints = 100000;

// Learn or compare on a thread of its own, so that the window stays responsive. Progress is
// the bytes of the logs read of their total, read at any time from any thread; Cancel ends
// the reading within a MB of text (the log reader asks between its chunks); the result goes to
// onDone on the receiver's thread, through its event loop.
class LogJob {
  public:
    // Learns a sail plan called strName from the logs; with bFit each polar becomes its
    // least-squares fit, between the sailed angles unless bExtrapolate.
    static std::unique_ptr<LogJob> Learn(QStringList logs, LearnOptions options,
                                         std::string strName, bool bFit = false,
                                         bool bExtrapolate = false);
    // Compares the logs with the sail plan (sorted; the job keeps its own copy).
    static std::unique_ptr<LogJob> Compare(QStringList logs, LearnOptions options,
                                           std::unique_ptr<SAILPLAN> pSailPlan);
    // The steady samples of the logs, whatever their wind speed (as learn keeps them).
    static std::unique_ptr<LogJob> Points(QStringList logs);
    ~LogJob();

    void Start(QObject* pReceiver, std::function<void(LogJobResult)> onDone);
    void Cancel() { m_bCancel.store(true); }
    std::uint64_t BytesRead() const { return m_nBytesRead.load(); }
    std::uint64_t BytesTotal() const { return m_nBytesTotal; }

  private:
    LogJob(QStringList logs, LearnOptions options);
    LogJobResult Run();
    void ReadPoints(LogJobResult& result);
    // Reads every log into the sink (newLog before each); false when cancelled or failed.
    bool ReadAll(LogJobResult& result, const LogSink& sink, const std::function<void()>& newLog);

    QStringList m_logs;
    LearnOptions m_options;
    std::string m_strName;
    bool m_bFit = false;
    bool m_bExtrapolate = false;
    std::unique_ptr<SAILPLAN> m_pSailPlan;
    bool m_bPoints = false;
    std::atomic<bool> m_bCancel{false};
    std::atomic<std::uint64_t> m_nBytesRead{0};
    std::uint64_t m_nBytesTotal = 0;
    std::thread m_thread;
};
