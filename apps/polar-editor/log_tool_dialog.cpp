#include "apps/polar-editor/log_tool_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "apps/polar-editor/accelerators.h"
#include "apps/polar-editor/comparison_plot.h"
#include "apps/polar-editor/questions.h"
#include "apps/polar-editor/sail_plan_copy.h"
#include "apps/polar-editor/window_texts.h"
#include "data/text_encoding.h"
#include "logs/learn_outcome.h"
#include "logs/progress_line.h"

namespace {

void FillTable(QTableWidget* pTable, const QStringList& headings,
               const std::vector<QStringList>& rows) {
    pTable->clear();
    pTable->setColumnCount(static_cast<int>(headings.size()));
    pTable->setHorizontalHeaderLabels(headings);
    pTable->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const QStringList& cells = rows[static_cast<std::size_t>(r)];
        for (int c = 0; c < cells.size(); ++c) {
            auto* pItem = new QTableWidgetItem(cells[c]);
            pItem->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            pTable->setItem(r, c, pItem);
        }
    }
}

}  // namespace

QString LogFileFilter() {
    return Ui("Logs (%1)").arg("*.nmea *.log *.txt *.csv *.gz") + ";;" + Ui("All files (*)");
}

LogToolDialog::LogToolDialog(QWidget* pParent, Mode mode, Questions& questions,
                             const SailPlanArray& aSailPlans, QString strFolder)
    : QDialog(pParent),
      m_mode(mode),
      m_questions(questions),
      m_aSailPlans(aSailPlans),
      m_strFolder(std::move(strFolder)) {
    const bool bLearn = mode == Mode::Learn;
    setObjectName(bLearn ? "learn-dialog" : "compare-dialog");
    setWindowTitle(bLearn ? Ui("Learn from logs") : Ui("Compare with logs"));
    const LearnOptions defaults;
    m_pLogs = new QListWidget;
    // A few logs in view; the room below is the report's.
    m_pLogs->setMaximumHeight(m_pLogs->fontMetrics().height() * 7);
    auto* pAdd = new QPushButton(Ui("Add logs…"));
    auto* pRemove = new QPushButton(Ui("Remove"));
    auto* pLogButtons = new QVBoxLayout;
    pLogButtons->addWidget(pAdd);
    pLogButtons->addWidget(pRemove);
    pLogButtons->addStretch();
    auto* pLogRow = new QHBoxLayout;
    pLogRow->addWidget(m_pLogs, 1);
    pLogRow->addLayout(pLogButtons);

    auto* pForm = new QFormLayout;
    if (bLearn) {
        m_pName = new QLineEdit(Ui("Learned"));
        pForm->addRow(Ui("New sail plan:"), m_pName);
    } else {
        m_pSailPlan = new QComboBox;
        for (const auto& pSailPlan : aSailPlans) {
            m_pSailPlan->addItem(QString::fromStdString(DecodeForDisplay(pSailPlan->m_strName)));
        }
        pForm->addRow(Ui("Sail plan:"), m_pSailPlan);
    }
    QStringList winds;
    for (const float f : defaults.windSpeeds) {
        winds.push_back(QString::number(static_cast<double>(f)));
    }
    m_pWindSpeeds = new QLineEdit(winds.join(','));
    m_pWindSpeeds->setObjectName("wind-speeds");
    pForm->addRow(Ui("Wind speeds (kn):"), m_pWindSpeeds);
    m_pAngleStep = new QDoubleSpinBox;
    m_pAngleStep->setRange(1, 45);  // as polarctl learn takes it
    m_pAngleStep->setValue(static_cast<double>(defaults.fAngleStep));
    pForm->addRow(Ui("Angle step (°):"), m_pAngleStep);
    // The dialog's own even where compare does not show it, so that it goes with the dialog.
    m_pPercentile = new QDoubleSpinBox(this);
    m_pPercentile->setRange(1, 100);
    m_pPercentile->setValue(static_cast<double>(defaults.fPercentile));
    if (bLearn) {
        pForm->addRow(Ui("Percentile:"), m_pPercentile);
    } else {
        m_pPercentile->hide();
    }
    m_pMinSamples = new QSpinBox;
    m_pMinSamples->setRange(1, 1000000);
    m_pMinSamples->setValue(defaults.nMinSamples);
    pForm->addRow(Ui("Samples per point:"), m_pMinSamples);
    m_pSteadySeconds = new QDoubleSpinBox;
    m_pSteadySeconds->setRange(0, 3600);
    m_pSteadySeconds->setValue(defaults.dSteadySeconds);
    pForm->addRow(Ui("Steady for (s):"), m_pSteadySeconds);
    m_pExclude = new QLineEdit;
    m_pExclude->setObjectName("exclude");
    m_pExclude->setPlaceholderText(Ui("none; such as %1").arg("09:30-10:15,17:00-17:40"));
    m_pExclude->setToolTip(
        Ui("Spans of the day whose samples never count, such as motoring the "
           "log does not tell of"));
    pForm->addRow(Ui("Leave out the times:"), m_pExclude);
    if (bLearn) {
        m_pHoldout = new QDoubleSpinBox;
        m_pHoldout->setObjectName("holdout");
        m_pHoldout->setRange(0, 90);
        m_pHoldout->setDecimals(0);
        m_pHoldout->setValue(static_cast<double>(defaults.fHoldoutPercent));
        m_pHoldout->setToolTip(
            Ui("Keep this share of the steady legs out of the learning and "
               "measure the polar on them"));
        pForm->addRow(Ui("Held out to measure (%):"), m_pHoldout);
        m_pFit = new QCheckBox(Ui("Smooth each polar with the least-squares fit"));
        m_pFit->setObjectName("fit");
        m_pExtrapolate = new QCheckBox(Ui("Keep fitted points beyond the sailed angles"));
        m_pExtrapolate->setObjectName("extrapolate");
        m_pExtrapolate->setEnabled(false);
        connect(m_pFit, &QCheckBox::toggled, m_pExtrapolate, &QWidget::setEnabled);
        m_pCalibrate =
            new QCheckBox(Ui("Correct the sensors' errors the logs show for sure (wind angle, "
                             "boat speed)"));
        m_pCalibrate->setObjectName("calibrate");
        pForm->addRow(m_pFit);
        pForm->addRow(m_pExtrapolate);
        pForm->addRow(m_pCalibrate);
    }

    m_pStart = new QPushButton(bLearn ? Ui("Learn") : Ui("Compare"));
    m_pCancel = new QPushButton(Ui("Cancel"));
    m_pCancel->setEnabled(false);
    auto* pClose = new QPushButton(Ui("Close"));
    auto* pButtons = new QHBoxLayout;
    pButtons->addWidget(m_pStart);
    pButtons->addWidget(m_pCancel);
    pButtons->addStretch();
    pButtons->addWidget(pClose);
    m_pProgress = new QProgressBar;
    m_pProgress->setRange(0, 1000);
    m_pStatus = new QLabel;
    m_pSummary = new QPlainTextEdit;
    m_pSummary->setReadOnly(true);
    m_pSummary->setMaximumHeight(m_pSummary->fontMetrics().height() * 6);
    m_pSummary->hide();
    m_pTable = new QTableWidget;
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->verticalHeader()->hide();

    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pLogRow);
    pLayout->addLayout(pForm);
    pLayout->addLayout(pButtons);
    pLayout->addWidget(m_pProgress);
    pLayout->addWidget(m_pStatus);
    pLayout->addWidget(m_pSummary);
    pLayout->addWidget(m_pTable, 1);
    if (!bLearn) {
        m_pPlot = new ComparisonPlot;
        pLayout->addWidget(m_pPlot, 1);
    }
    resize(660, bLearn ? 800 : 820);
    GiveAccelerators(this);

    connect(pAdd, &QPushButton::clicked, this, [this] {
        const QString strPath =
            m_questions.FileToOpen(this, Ui("Add a log"), m_strFolder, LogFileFilter());
        if (!strPath.isEmpty()) {
            AddLog(strPath);
        }
    });
    connect(pRemove, &QPushButton::clicked, this, [this] { delete m_pLogs->currentItem(); });
    connect(m_pStart, &QPushButton::clicked, this, [this] { Start(); });
    connect(m_pCancel, &QPushButton::clicked, this, [this] { Cancel(); });
    connect(pClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(&m_progressTimer, &QTimer::timeout, this, [this] { ShowProgress(); });
}

LogToolDialog::~LogToolDialog() = default;  // a running job is cancelled and joined

void LogToolDialog::SailPlansChanged() {
    if (m_pSailPlan == nullptr) {
        return;
    }
    const QString strChosen = m_pSailPlan->currentText();
    m_pSailPlan->clear();
    for (const auto& pSailPlan : m_aSailPlans) {
        m_pSailPlan->addItem(QString::fromStdString(DecodeForDisplay(pSailPlan->m_strName)));
    }
    m_pSailPlan->setCurrentIndex(std::max(0, m_pSailPlan->findText(strChosen)));
}

void LogToolDialog::AddLog(const QString& strPath) {
    m_pLogs->addItem(strPath);
}

bool LogToolDialog::ReadOptions(LearnOptions& options, QString* pError) const {
    QString strWindSpeeds = m_pWindSpeeds->text();
    strWindSpeeds.remove(' ');
    if (strWindSpeeds.isEmpty()) {
        *pError = Ui("Give at least one wind speed.");
        return false;
    }
    if (!ParseWindSpeedList(strWindSpeeds.toStdString(), options.windSpeeds)) {
        *pError = Ui("The wind speeds must be numbers above 0 in ascending order, such as 6,8,10.");
        return false;
    }
    options.fAngleStep = static_cast<float>(m_pAngleStep->value());
    options.fPercentile = static_cast<float>(m_pPercentile->value());
    options.nMinSamples = m_pMinSamples->value();
    options.dSteadySeconds = m_pSteadySeconds->value();
    QString strExclude = m_pExclude->text();
    strExclude.remove(' ');
    if (!strExclude.isEmpty() && !ParseSpans(strExclude.toStdString(), options.excluded)) {
        *pError = Ui("The times to leave out must be spans of the day such as %1.")
                      .arg("09:30-10:15,17:00-17:40");
        return false;
    }
    if (m_pHoldout != nullptr) {
        options.fHoldoutPercent = static_cast<float>(m_pHoldout->value());
        options.bSelfCalibrate = m_pCalibrate->isChecked();
    }
    return true;
}

bool LogToolDialog::Start() {
    if (m_pJob != nullptr) {
        return false;
    }
    QStringList logs;
    for (int i = 0; i < m_pLogs->count(); ++i) {
        logs.push_back(m_pLogs->item(i)->text());
    }
    QString error;
    LearnOptions options;
    if (logs.isEmpty()) {
        error = Ui("Add the logs to read first.");
    } else if (ReadOptions(options, &error) && m_mode == Mode::Learn &&
               m_pName->text().trimmed().isEmpty()) {
        error = Ui("Give the new sail plan a name.");
    } else if (error.isEmpty() && m_mode == Mode::Compare && m_pSailPlan->currentIndex() < 0) {
        error = Ui("There is no sail plan to compare with.");
    }
    if (!error.isEmpty()) {
        m_questions.Tell(this, windowTitle(), error);
        return false;
    }
    if (m_mode == Mode::Learn) {
        // A comma would end the name in the data file.
        m_pJob = LogJob::Learn(logs, options, m_pName->text().remove(',').trimmed().toStdString(),
                               m_pFit->isChecked(), m_pExtrapolate->isChecked());
    } else {
        m_pJob = LogJob::Compare(
            logs, options,
            CopySailPlan(*m_aSailPlans[static_cast<std::size_t>(m_pSailPlan->currentIndex())]));
    }
    m_start = std::chrono::steady_clock::now();
    m_pStart->setEnabled(false);
    m_pCancel->setEnabled(true);
    ClearResult();
    m_pJob->Start(this, [this](LogJobResult result) { Finish(std::move(result)); });
    m_progressTimer.start(250);
    return true;
}

void LogToolDialog::Cancel() {
    if (m_pJob != nullptr) {
        m_pJob->Cancel();
        m_pStatus->setText(Ui("Cancelling…"));
    }
}

void LogToolDialog::ShowProgress() {
    if (m_pJob == nullptr) {
        return;
    }
    const std::uint64_t nRead = m_pJob->BytesRead();
    const std::uint64_t nTotal = m_pJob->BytesTotal();
    if (nTotal > 0) {
        m_pProgress->setValue(
            static_cast<int>(std::min<std::uint64_t>(nRead * 1000 / nTotal, 1000)));
    }
    const double dSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    m_pStatus->setText(QString::fromStdString(FormatProgress(nRead, nTotal, dSeconds)));
}

void LogToolDialog::Finish(LogJobResult result) {
    m_progressTimer.stop();
    m_pJob.reset();
    m_pStart->setEnabled(true);
    m_pCancel->setEnabled(false);
    if (result.bCancelled) {
        ClearResult();
        m_pStatus->setText(Ui("Cancelled: nothing was changed."));
    } else if (!result.strError.isEmpty()) {
        m_pStatus->setText(Ui("Nothing was changed."));
        m_questions.Tell(this, windowTitle(),
                         Ui("The logs could not be read: %1").arg(result.strError));
    } else {
        m_pProgress->setValue(1000);
        if (m_mode == Mode::Learn) {
            ShowLearnReport(result);
            if (!result.strNothingLearned.isEmpty()) {
                // The summary stays: it tells what the logs held.
                m_pStatus->setText(Ui("Nothing was changed."));
                m_questions.Tell(this, windowTitle(),
                                 Ui("The logs gave no polar: %1").arg(result.strNothingLearned));
            } else if (onLearned && !onLearned(std::move(result.pLearned))) {
                ClearResult();
                m_pStatus->setText(Ui("Nothing was added."));
            }
        } else {
            ShowComparison(result);
        }
    }
    if (onFinished) {
        onFinished();
    }
}

void LogToolDialog::ClearResult() {
    m_pProgress->setValue(0);
    m_pSummary->clear();
    m_pSummary->hide();
    m_pTable->clear();
    m_pTable->setRowCount(0);
    m_pTable->setColumnCount(0);
    if (m_pPlot != nullptr) {
        m_pPlot->ShowBins({});
    }
}

void LogToolDialog::ShowLearnReport(const LogJobResult& result) {
    const QJsonObject report =
        QJsonDocument::fromJson(QByteArray::fromStdString(result.strReportJson)).object();
    std::vector<QStringList> rows;
    for (const QJsonValue& value : report["bins"].toArray()) {
        const QJsonObject bin = value.toObject();
        rows.push_back({UiNumber(bin["wind_speed"].toDouble()), UiNumber(bin["angle"].toDouble()),
                        QString::number(bin["count"].toInteger()),
                        UiNumber(bin["percentile"].toDouble(), 'f', 2),
                        UiNumber(bin["mean"].toDouble(), 'f', 2),
                        UiNumber(bin["spread"].toDouble(), 'f', 2),
                        bin["point"].toBool() ? Ui("yes") : Ui("no")});
    }
    FillTable(m_pTable,
              {Ui("Wind kn"), Ui("Angle °"), Ui("Samples"), Ui("Percentile kn"), Ui("Mean kn"),
               Ui("Spread kn"), Ui("Point")},
              rows);
    m_pStatus->setText(Ui("Learned from the logs: the summary and the bins"));
    m_pSummary->setPlainText(QString::fromStdString(result.strSummary).trimmed());
    m_pSummary->show();
}

void LogToolDialog::ShowComparison(const LogJobResult& result) {
    std::vector<QStringList> rows;
    for (const ComparisonBin& bin : result.bins) {
        rows.push_back({UiNumber(static_cast<double>(bin.fWindSpeed)),
                        UiNumber(static_cast<double>(bin.fAngle)), QString::number(bin.nSamples),
                        UiNumber(bin.dMedianPercent, 'f', 1), UiNumber(bin.dPercentile10, 'f', 1),
                        UiNumber(bin.dPercentile90, 'f', 1)});
    }
    FillTable(
        m_pTable,
        {Ui("Wind kn"), Ui("Angle °"), Ui("Samples"), Ui("Median %"), Ui("10th %"), Ui("90th %")},
        rows);
    m_pPlot->ShowBins(result.bins);
    m_pStatus->setText(Ui("%1 samples compared; median %2 % of the sail plan")
                           .arg(result.nCompared)
                           .arg(UiNumber(result.dMedianPercent, 'f', 1)));
}
