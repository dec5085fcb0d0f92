#pragma once

#include <QDialog>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>

#include "apps/polar-editor/log_job.h"

class ComparisonPlot;
class Questions;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;

// The file dialogs' filter for logs.
QString LogFileFilter();

// Tools > Learn from logs… and Compare with logs…: the logs, every option of polarctl learn (of
// compare) that is not about files, a progress
// bar with the rate and the time left, Cancel, and the result as a table (and for compare, a
// plot of the percentages).
class LogToolDialog : public QDialog {
  public:
    enum class Mode { Learn, Compare };
    // For Compare, the sail plans to choose from (sorted; they stay the caller's while the
    // dialog is open).
    LogToolDialog(QWidget* pParent, Mode mode, Questions& questions,
                  const SailPlanArray& aSailPlans, QString strFolder);
    ~LogToolDialog() override;

    void AddLog(const QString& strPath);
    // The caller's sail plans were read anew: the choice of compare follows them by name.
    void SailPlansChanged();
    // Starts the reading; false, with a message, when the options cannot be used.
    bool Start();
    void Cancel();
    bool Running() const { return m_pJob != nullptr; }
    // Learn's result (a sail plan with polars) goes here once the report is shown; false when
    // it was not added (the user declined, or it failed), and the report is cleared then.
    std::function<bool(std::unique_ptr<SAILPLAN>)> onLearned;
    // Called when a reading has ended, however it ended.
    std::function<void()> onFinished;

  private:
    void Finish(LogJobResult result);
    void ShowProgress();
    void ShowLearnReport(const LogJobResult& result);
    void ShowComparison(const LogJobResult& result);
    bool ReadOptions(LearnOptions& options, QString* pError) const;
    // The last run's report gone: no summary, no table, no plot, the progress at 0.
    void ClearResult();

    Mode m_mode;
    Questions& m_questions;
    const SailPlanArray& m_aSailPlans;
    QString m_strFolder;
    QListWidget* m_pLogs = nullptr;
    QLineEdit* m_pWindSpeeds = nullptr;
    QDoubleSpinBox* m_pAngleStep = nullptr;
    QDoubleSpinBox* m_pPercentile = nullptr;
    QSpinBox* m_pMinSamples = nullptr;
    QDoubleSpinBox* m_pSteadySeconds = nullptr;
    QLineEdit* m_pExclude = nullptr;
    // learn only
    QDoubleSpinBox* m_pHoldout = nullptr;
    QCheckBox* m_pFit = nullptr;
    QCheckBox* m_pExtrapolate = nullptr;
    QCheckBox* m_pCalibrate = nullptr;
    QLineEdit* m_pName = nullptr;
    QComboBox* m_pSailPlan = nullptr;
    QPushButton* m_pStart = nullptr;
    QPushButton* m_pCancel = nullptr;
    QProgressBar* m_pProgress = nullptr;
    QLabel* m_pStatus = nullptr;
    QPlainTextEdit* m_pSummary = nullptr;
    QTableWidget* m_pTable = nullptr;
    ComparisonPlot* m_pPlot = nullptr;
    std::unique_ptr<LogJob> m_pJob;
    QTimer m_progressTimer;
    std::chrono::steady_clock::time_point m_start;
};
