#include "apps/polar-editor/main_window.h"

#include <fcntl.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressDialog>
#include <QSplitter>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "apps/polar-editor/about_box.h"
#include "apps/polar-editor/app_settings.h"
#include "apps/polar-editor/crossover_chart.h"
#include "apps/polar-editor/data_file_change.h"
#include "apps/polar-editor/dropped_file.h"
#include "apps/polar-editor/editor_plugin.h"
#include "apps/polar-editor/export_writing.h"
#include "apps/polar-editor/file_choice.h"
#include "apps/polar-editor/import_reading.h"
#include "apps/polar-editor/off_thread.h"
#include "apps/polar-editor/polar_chart.h"
#include "apps/polar-editor/questions.h"
#include "apps/polar-editor/sail_plan_tree.h"
#include "apps/polar-editor/settings_dialog.h"
#include "apps/polar-editor/targets_dialog.h"
#include "apps/polar-editor/window_texts.h"
#include "data/file_identity.h"
#include "data/file_io.h"
#include "data/polar_file.h"
#include "data/text_encoding.h"
#include "exchange/format_table.h"

namespace {

QString PolarFilter() {
    return Ui("Polar data (*.PPD *.ppd)") + ";;" + Ui("All files (*)");
}

QString ImportFilter() {
    QStringList patterns;
    for (const ExchangeFormat& format : ExchangeFormats()) {
        for (std::string_view extension : format.extensions) {
            patterns.push_back("*" + QString::fromUtf8(extension.data(),
                                                       static_cast<qsizetype>(extension.size())));
        }
    }
    return Ui("Polar formats (%1)").arg(patterns.join(' ')) + ";;" + Ui("All files (*)");
}

// A reading's progress dialog is made only when the reading takes this long: making one costs
// the window a moment that a short reading should not pay.
constexpr int kProgressAfterMs = 250;

// A window-modal progress for reading a file, shown; it deletes itself when closed.
QProgressDialog* ReadingProgress(QWidget* pParent, const QString& strPath,
                                 const QString& /*strAction*/) {
    auto* pProgress = new QProgressDialog(pParent);
    // The program's name: an action's name as the title of so narrow a window was cut short
    // ("Show … chart"); the label says what is read.
    pProgress->setWindowTitle(QCoreApplication::applicationName());
    pProgress->setLabelText(Ui("Reading %1…").arg(QFileInfo(strPath).fileName()));
    pProgress->setCancelButtonText(Ui("Cancel"));
    pProgress->setWindowModality(Qt::WindowModal);
    pProgress->setAttribute(Qt::WA_DeleteOnClose);
    pProgress->show();
    return pProgress;
}

// Closes the progress dialog without its Cancel's handlers.
void EndProgress(QPointer<QProgressDialog>& pProgress, QObject* pHandlers) {
    if (QProgressDialog* pDialog = pProgress) {
        pProgress = nullptr;
        pDialog->disconnect(pHandlers);
        pDialog->close();
    }
}

}  // namespace

MainWindow::MainWindow(EditorPlugin& editor, Questions& questions, DiagramPalette palette)
    : m_editor(editor), m_questions(questions) {
    setObjectName("main-window");
    m_pTree = new SailPlanTree;
    m_pPolarChart = new PolarChart;
    m_pPolarChart->SetPalette(palette);
    m_pCrossover = new CrossoverChart;
    auto* pCharts = new QSplitter(Qt::Vertical);
    pCharts->addWidget(m_pPolarChart);
    pCharts->addWidget(m_pCrossover);
    pCharts->setStretchFactor(0, 3);
    pCharts->setStretchFactor(1, 2);
    m_pSplitter = new QSplitter(Qt::Horizontal);
    m_pSplitter->addWidget(m_pTree);
    m_pSplitter->addWidget(pCharts);
    m_pSplitter->setStretchFactor(1, 1);
    m_pSplitter->setSizes({430, 570});
    connect(m_pSplitter, &QSplitter::splitterMoved, this, [this] { m_bSplitChosen = true; });
    setCentralWidget(m_pSplitter);
    m_pFileSummary = new QLabel;
    statusBar()->addPermanentWidget(m_pFileSummary);
    m_pTree->onChoice = [this](int nSailPlan, int nPolar) { ShowChoice(nSailPlan, nPolar); };
    m_editor.onNotice = [this](polar_api::WPARAM wParam) {
        OnEditorNotice(static_cast<unsigned long long>(wParam));
    };
    m_pWatcher = new QFileSystemWatcher(this);
    m_pWatchDelay = new QTimer(this);
    m_pWatchDelay->setSingleShot(true);
    // A writer's burst of events (a temporary file, a rename) is one change.
    m_pWatchDelay->setInterval(150);
    connect(m_pWatchDelay, &QTimer::timeout, this, [this] { CheckFileChanged(); });
    connect(m_pWatcher, &QFileSystemWatcher::fileChanged, m_pWatchDelay,
            qOverload<>(&QTimer::start));
    connect(m_pWatcher, &QFileSystemWatcher::directoryChanged, m_pWatchDelay,
            qOverload<>(&QTimer::start));
    BuildMenus();
    resize(1000, 700);
    restoreGeometry(app_settings::WindowGeometry());
    setAcceptDrops(true);
    statusBar()->showMessage(Ui("Ready"));
}

MainWindow::~MainWindow() {
    m_editor.onNotice = nullptr;
    for (auto& [nTicket, thread] : m_importThreads) {
        thread.join();
    }
}

void MainWindow::BuildMenus() {
    // Each action is named, so that tests find it whatever the language.
    const auto named = [](QAction* pAction, const char* pszName) {
        pAction->setObjectName(QString("action-") + pszName);
    };
    QMenu* pFile = menuBar()->addMenu(Ui("&File"));
    named(pFile->addAction(Ui("&New…"), QKeySequence::New, this, [this] { NewFile(); }), "new");
    named(pFile->addAction(Ui("&Open…"), QKeySequence::Open, this, [this] { OpenFile(); }), "open");
    m_pRecentMenu = pFile->addMenu(Ui("Open &Recent"));
    FillRecentMenu();
    pFile->addSeparator();
    named(pFile->addAction(Ui("&Import…"), QKeySequence(Qt::CTRL | Qt::Key_I), this,
                           [this] { ImportFile(); }),
          "import");
    named(pFile->addAction(Ui("&Export…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E), this,
                           [this] { ExportFile(); }),
          "export");
    pFile->addSeparator();
    named(pFile->addAction(Ui("&Quit"), QKeySequence::Quit, this, [this] { close(); }), "quit");

    QMenu* pEdit = menuBar()->addMenu(Ui("&Edit"));
    named(pEdit->addAction(Ui("&Edit polars"), QKeySequence(Qt::CTRL | Qt::Key_E), this,
                           [this] { EditPolars(); }),
          "edit-polars");
    named(pEdit->addAction(Ui("&Settings…"), this, [this] { ShowSettings(); }), "settings");

    QMenu* pTools = menuBar()->addMenu(Ui("&Tools"));
    named(pTools->addAction(Ui("&Learn from logs…"), QKeySequence(Qt::CTRL | Qt::Key_L), this,
                            [this] { ShowLogTool(LogToolDialog::Mode::Learn); }),
          "learn");
    named(pTools->addAction(Ui("&Compare with logs…"), this,
                            [this] { ShowLogTool(LogToolDialog::Mode::Compare); }),
          "compare");
    named(pTools->addAction(Ui("&Targets…"), QKeySequence(Qt::CTRL | Qt::Key_T), this,
                            [this] { ShowTargets(); }),
          "targets");
    pTools->addSeparator();
    named(pTools->addAction(Ui("&Show a log over the chart…"), this, [this] { ShowLogPoints(); }),
          "log-points");
    m_pHideLog = pTools->addAction(Ui("&Hide the log"), this, [this] {
        m_pPolarChart->SetLoggedPoints({});
        m_pHideLog->setEnabled(false);
    });
    named(m_pHideLog, "hide-log");
    m_pHideLog->setEnabled(false);

    QMenu* pHelp = menuBar()->addMenu(Ui("&Help"));
    named(
        pHelp->addAction(Ui("&Help"), QKeySequence::HelpContents, this, [this] { ShowHelpPage(); }),
        "help");
    named(pHelp->addAction(Ui("&Keys"), this, [this] { ShowKeys(); }), "keys");
    named(pHelp->addAction(Ui("&About polar-editor"), this, [this] { ShowAbout(); }), "about");
}

QString MainWindow::Folder(const QString& strKind) const {
    const QString strFolder = app_settings::LastFolder(strKind);
    return strFolder.isEmpty() ? QFileInfo(m_file.strPath).absolutePath() : strFolder;
}

void MainWindow::ShowFile(const QString& strPath) {
    m_file = ReadViewedFile(strPath);
    app_settings::SetLastFolder("open", QFileInfo(strPath).absolutePath());
    setWindowTitle(QFileInfo(strPath).fileName() + " – polar-editor");
    setWindowFilePath(strPath);
    // Only a file that opened is offered again.
    if (m_file.bOpened) {
        RememberRecent(strPath);
    }
    m_nSailPlan = 0;
    m_nPolar = -1;
    m_pCrossover->ForgetColors();
    RefreshFromFile();
    WatchFile();
}

void MainWindow::WatchFile() {
    const QStringList watched = m_pWatcher->files() + m_pWatcher->directories();
    if (!watched.isEmpty()) {
        m_pWatcher->removePaths(watched);
    }
    // The folder too: a writer that replaces the file by a rename leaves the watcher on the
    // file that went, and one that removes and writes it again leaves nothing to watch.
    m_pWatcher->addPath(QFileInfo(m_file.strPath).absolutePath());
    if (QFileInfo::exists(m_file.strPath)) {
        m_pWatcher->addPath(m_file.strPath);
    }
}

void MainWindow::CheckFileChanged() {
    if (!m_pWatcher->files().contains(m_file.strPath) && QFileInfo::exists(m_file.strPath)) {
        m_pWatcher->addPath(m_file.strPath);
    }
    FileChange change = FileChange::Unchanged;
    if (!m_file.bOpened) {
        // Not readable before: whether it is now tells.
        change = QFileInfo::exists(m_file.strPath) ? FileChange::Changed : FileChange::Unchanged;
    } else if (!CompareWithFile(m_file.strPath.toStdString(), m_file.identity, change).Ok()) {
        change = FileChange::Changed;  // unreadable now: shown as such
    }
    // The window's own writes and the editor's saves were read already: the same bytes.
    if (change != FileChange::Changed) {
        return;
    }
    ReReadKeepingPlace();
    statusBar()->showMessage(
        Ui("%1 was changed by another program; it is shown as it is now").arg(m_file.strPath));
    // The editor asks before it drops unsaved edits.
    if (m_editor.IsOpen()) {
        m_editor.Reload();
    }
}

void MainWindow::ReReadKeepingPlace() {
    std::string strSailPlan;
    float fWindSpeed = 0.0f;
    const bool bHadSailPlan =
        m_nSailPlan >= 0 && m_nSailPlan < static_cast<int>(m_file.aSailPlans.size());
    if (bHadSailPlan) {
        const SAILPLAN& sailPlan = *m_file.aSailPlans[static_cast<std::size_t>(m_nSailPlan)];
        strSailPlan = sailPlan.m_strName;
        if (m_nPolar >= 0 && m_nPolar < sailPlan.GetPolarCount()) {
            fWindSpeed = sailPlan.m_aPolars[static_cast<std::size_t>(m_nPolar)]->m_fWindSpeed;
        }
    }
    const int nPolarBefore = m_nPolar;
    m_file = ReadViewedFile(m_file.strPath);
    m_nSailPlan = 0;
    m_nPolar = -1;
    for (std::size_t i = 0; bHadSailPlan && i < m_file.aSailPlans.size(); ++i) {
        const SAILPLAN& sailPlan = *m_file.aSailPlans[i];
        if (sailPlan.m_strName != strSailPlan) {
            continue;
        }
        m_nSailPlan = static_cast<int>(i);
        for (std::size_t j = 0; nPolarBefore >= 0 && j < sailPlan.m_aPolars.size(); ++j) {
            if (sailPlan.m_aPolars[j]->m_fWindSpeed == fWindSpeed) {
                m_nPolar = static_cast<int>(j);
                break;
            }
        }
        break;
    }
    RefreshFromFile();
}

void MainWindow::RefreshFromFile() {
    // The dialogs that show the sail plans close with the content they showed.
    if (m_pTargets != nullptr) {
        m_pTargets->close();
    }
    if (m_pLogTool != nullptr) {
        m_pLogTool->SailPlansChanged();
    }
    if (m_nSailPlan >= static_cast<int>(m_file.aSailPlans.size())) {
        m_nSailPlan = 0;
        m_nPolar = -1;
    }
    m_pTree->ShowSailPlans(m_file.aSailPlans, m_nSailPlan, m_nPolar);
    FitTreeWidth();
    m_pCrossover->ShowSailPlans(m_file.aSailPlans);
    ShowChoice(m_nSailPlan, m_nPolar);
    m_pFileSummary->setText(m_file.strProblem.isEmpty()
                                ? (m_file.aSailPlans.size() == 1
                                       ? Ui("1 sail plan")
                                       : Ui("%1 sail plans").arg(m_file.aSailPlans.size()))
                                : m_file.strProblem);
    statusBar()->showMessage(m_file.strPath);
}

void MainWindow::ShowChoice(int nSailPlan, int nPolar) {
    m_nSailPlan = nSailPlan;
    m_nPolar = nPolar;
    const bool bValid = nSailPlan >= 0 && nSailPlan < static_cast<int>(m_file.aSailPlans.size());
    m_pPolarChart->ShowSailPlan(
        bValid ? m_file.aSailPlans[static_cast<std::size_t>(nSailPlan)].get() : nullptr, nPolar);
}

void MainWindow::OnEditorNotice(unsigned long long wParam) {
    // 2: the user saved; 1: saved and closed. Both leave a new file to show. 0 changed nothing.
    if (wParam == 1 || wParam == 2) {
        ReReadKeepingPlace();
        statusBar()->showMessage(Ui("The editor saved %1").arg(m_file.strPath));
    } else if (wParam == 0) {
        statusBar()->showMessage(Ui("The editor closed without saving"));
    }
}

void MainWindow::EditPolars() {
    if (m_editor.IsOpen()) {
        m_editor.Window()->raise();
        m_editor.Window()->activateWindow();
        return;
    }
    if (!m_editor.Open(m_file.strPath)) {
        m_questions.Tell(this, Ui("Edit polars"), Ui("The editor could not be opened."));
    }
}

bool MainWindow::SwitchTo(const QString& strPath) {
    // Only a data file that can be read is opened: nothing is made where nothing is.
    const ViewedFile tried = ReadViewedFile(strPath);
    if (!tried.bOpened) {
        m_questions.Tell(this, Ui("Open data file"),
                         tried.strProblem.isEmpty()
                             ? Ui("%1 does not exist.").arg(strPath)
                             : Ui("%1 cannot be opened: %2").arg(strPath, tried.strProblem));
        return false;
    }
    const bool bEditorWasOpen = m_editor.IsOpen();
    if (bEditorWasOpen && !m_editor.Close()) {
        statusBar()->showMessage(Ui("The editor stays open on %1").arg(m_file.strPath));
        return false;
    }
    ShowFile(strPath);
    if (bEditorWasOpen) {
        m_editor.Open(strPath);
    }
    return true;
}

bool MainWindow::StartNewFile(const QString& strPath, const SailPlanArray& aSailPlans,
                              const QString& strWhat) {
    // The editor closes first, as by its own Close: Cancel there leaves nothing on disk.
    const bool bEditorWasOpen = m_editor.IsOpen();
    if (bEditorWasOpen && !m_editor.Close()) {
        statusBar()->showMessage(Ui("The editor stays open on %1").arg(m_file.strPath));
        return false;
    }
    // Made only where nothing is: a file that appeared meanwhile is not replaced.
    const std::string strText = FormatPolarFile(aSailPlans);
    IoStatus status;
    const int fd = ::open(QFile::encodeName(strPath).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        status = {std::strerror(errno), errno};
    } else {
        ::close(fd);
        status = WriteFileAtomically(strPath.toStdString(), strText);
        if (!status.Ok()) {
            ::unlink(QFile::encodeName(strPath).constData());
        }
    }
    if (!status.Ok()) {
        m_questions.Tell(
            this, strWhat,
            Ui("%1 cannot be made: %2").arg(strPath, QString::fromStdString(status.strError)));
        if (bEditorWasOpen) {
            m_editor.Open(m_file.strPath);
        }
        return false;
    }
    ShowFile(strPath);
    if (bEditorWasOpen) {
        m_editor.Open(strPath);
    }
    return true;
}

void MainWindow::NewFile() {
    const QString strPath = ChooseFileToWrite(
        this, m_questions, WriteChoice::NewDataFile, Ui("New data file"),
        {Folder("open"), FreeFileName(Folder("open"), Ui("Polars"), ".PPD"), ".PPD"}, PolarFilter(),
        m_file.strPath);
    if (!strPath.isEmpty()) {
        StartNewFile(strPath, {}, Ui("New data file"));
    }
}

void MainWindow::OpenRecent(const QString& strPath) {
    if (!QFileInfo::exists(strPath) && !QFileInfo(strPath).isSymLink()) {
        if (m_questions.AskYesCancel(this, Ui("Open data file"),
                                     Ui("%1 does not exist (moved or removed?).").arg(strPath) +
                                         "\n" + Ui("Remove it from the list?"))) {
            app_settings::ForgetRecentFile(strPath);
            FillRecentMenu();
        }
        return;
    }
    SwitchTo(strPath);
}

void MainWindow::OpenFile() {
    const QString strPath =
        m_questions.FileToOpen(this, Ui("Open data file"), Folder("open"), PolarFilter());
    if (!strPath.isEmpty()) {
        SwitchTo(strPath);
    }
}

void MainWindow::ImportFile() {
    const QString strPath =
        m_questions.FileToOpen(this, Ui("Import polars"), Folder("import"), ImportFilter());
    if (!strPath.isEmpty()) {
        app_settings::SetLastFolder("import", QFileInfo(strPath).absolutePath());
        ImportFrom(strPath);
    }
}

void MainWindow::ImportFrom(const QString& strPath) {
    if (Importing()) {
        // One reading at a time: a drop, or the menu before the progress dialog shows.
        statusBar()->showMessage(Ui("Still reading the last import"));
        return;
    }
    const int nTicket = ++m_nImportTicket;
    m_importThreads.emplace(nTicket, RunOffThread<ImportReading>(
                                         this, [strPath] { return ReadImport(strPath); },
                                         [this, nTicket, strPath](ImportReading reading) {
                                             ImportRead(nTicket, strPath, std::move(reading));
                                         }));
    m_bImportWanted = true;
    QTimer::singleShot(kProgressAfterMs, this, [this, nTicket, strPath] {
        if (nTicket != m_nImportTicket || !m_bImportWanted) {
            return;  // read already, or cancelled
        }
        QProgressDialog* pProgress = ReadingProgress(this, strPath, Ui("Import"));
        pProgress->setObjectName("import-progress");
        pProgress->setRange(0, 0);  // the readers tell nothing of their progress
        connect(pProgress, &QProgressDialog::canceled, this, [this] {
            m_bImportWanted = false;
            EndProgress(m_pImportProgress, this);
            statusBar()->showMessage(Ui("Cancelled: nothing was changed."));
        });
        m_pImportProgress = pProgress;
    });
}

void MainWindow::ImportRead(int nTicket, const QString& strPath, ImportReading reading) {
    if (auto it = m_importThreads.find(nTicket); it != m_importThreads.end()) {
        it->second.join();  // it has handed its result over and is ending
        m_importThreads.erase(it);
    }
    if (nTicket != m_nImportTicket || !m_bImportWanted) {
        return;  // cancelled
    }
    m_bImportWanted = false;
    EndProgress(m_pImportProgress, this);
    if (reading.aSailPlans.empty()) {
        m_questions.Tell(this, Ui("Import"),
                         Ui("Nothing can be imported: %1").arg(reading.strError));
        return;
    }
    const auto target = m_questions.ChooseImportTarget(this, DescribeImport(reading));
    if (target == Questions::ImportTarget::Cancel) {
        return;
    }
    const std::size_t nImported = reading.aSailPlans.size();
    const auto imported = [&strPath, nImported](const QString& strInto) {
        return nImported == 1 ? Ui("Imported %1 into %2").arg(strPath, strInto)
                              : Ui("Imported %1 sail plans of %2 into %3")
                                    .arg(nImported)
                                    .arg(strPath, strInto);
    };
    if (target == Questions::ImportTarget::NewFile) {
        const QString strFolder = QFileInfo(m_file.strPath).absolutePath();
        const QString strNew = ChooseFileToWrite(
            this, m_questions, WriteChoice::NewDataFile, Ui("Import into a new data file"),
            {strFolder, FreeFileName(strFolder, QFileInfo(strPath).completeBaseName(), ".PPD"),
             ".PPD"},
            PolarFilter(), m_file.strPath);
        if (strNew.isEmpty()) {
            return;
        }
        SailPlanArray aSailPlans;
        AddUnderFreeNames(aSailPlans, std::move(reading.aSailPlans));
        if (StartNewFile(strNew, aSailPlans, Ui("Import"))) {
            statusBar()->showMessage(imported(strNew));
        }
        return;
    }
    if (AddSailPlansToFile(std::move(reading.aSailPlans), Ui("The import"))) {
        statusBar()->showMessage(imported(m_file.strPath));
    }
}

void MainWindow::ShowLogPoints() {
    if (m_pPointsJob != nullptr) {
        return;
    }
    const QString strLog = m_questions.FileToOpen(this, Ui("Show a log over the chart"),
                                                  Folder("logs"), LogFileFilter());
    if (strLog.isEmpty()) {
        return;
    }
    app_settings::SetLastFolder("logs", QFileInfo(strLog).absolutePath());
    m_pPointsJob = LogJob::Points({strLog});
    const int nTicket = ++m_nPointsTicket;
    QTimer::singleShot(kProgressAfterMs, this, [this, nTicket, strLog] {
        if (nTicket != m_nPointsTicket || m_pPointsJob == nullptr) {
            return;  // read already
        }
        QProgressDialog* pProgress = ReadingProgress(this, strLog, Ui("Show a log over the chart"));
        pProgress->setObjectName("log-points-progress");
        pProgress->setRange(0, 1000);
        auto* pTimer = new QTimer(pProgress);
        connect(pTimer, &QTimer::timeout, pProgress, [this, pProgress] {
            if (m_pPointsJob != nullptr && m_pPointsJob->BytesTotal() > 0) {
                pProgress->setValue(static_cast<int>(1000 * m_pPointsJob->BytesRead() /
                                                     m_pPointsJob->BytesTotal()));
            }
        });
        pTimer->start(200);
        connect(pProgress, &QProgressDialog::canceled, this, [this] {
            EndProgress(m_pPointsProgress, this);
            m_pPointsJob->Cancel();  // its result, cancelled, ends it
        });
        m_pPointsProgress = pProgress;
    });
    m_pPointsJob->Start(this, [this, strLog](LogJobResult result) {
        m_pPointsJob.reset();
        EndProgress(m_pPointsProgress, this);
        const QString strName = QFileInfo(strLog).fileName();
        if (result.bCancelled) {
            statusBar()->showMessage(Ui("Cancelled: nothing was changed."));
        } else if (!result.strError.isEmpty()) {
            m_questions.Tell(this, Ui("Show a log over the chart"), result.strError);
        } else if (result.points.empty()) {
            m_questions.Tell(this, Ui("Show a log over the chart"),
                             Ui("%1 holds no steady sailing to show.").arg(strName));
        } else {
            m_pPolarChart->SetLoggedPoints(std::move(result.points));
            m_pHideLog->setEnabled(true);
            statusBar()->showMessage(Ui("%1 steady samples of %2 over the chart")
                                         .arg(result.nSteadySamples)
                                         .arg(strName));
        }
    });
}

void MainWindow::ExportFile() {
    if (m_file.aSailPlans.empty()) {
        m_questions.Tell(this, Ui("Export"), Ui("The file holds no sail plan to export."));
        return;
    }
    QStringList names;
    for (const auto& pSailPlan : m_file.aSailPlans) {
        names.push_back(QString::fromStdString(DecodeForDisplay(pSailPlan->m_strName)));
    }
    // Edits the editor holds are not in the file: the user says whether they go in first.
    bool bReopenEditor = false;
    if (m_editor.IsOpen() && m_editor.HasUnsavedEdits()) {
        const int nAnswer = m_questions.AskChoice(
            this, Ui("Export"),
            Ui("The editor holds changes that are not saved; the export writes what the file "
               "holds."),
            {Ui("Save them first"), Ui("Export the saved file")});
        if (nAnswer < 0) {
            return;
        }
        if (nAnswer == 0) {
            if (!m_editor.SaveAndClose()) {
                m_questions.Tell(this, Ui("Export"),
                                 Ui("Nothing was exported: the editor could not save its changes "
                                    "(it said why) and keeps them."));
                return;
            }
            bReopenEditor = true;
        }
    }
    // The sail plan chosen in the tree, in the format of the last export.
    const int nChosen = std::clamp(m_nSailPlan, 0, static_cast<int>(names.size()) - 1);
    const auto choice =
        m_questions.ChooseExport(this, names, ExportFormatNames(),
                                 {nChosen, ExportFormatIndex(app_settings::LastExportFormat())});
    QString strPath;
    if (choice) {
        // Named for the sail plan, or for the data file when all go.
        const QString strExtension = ExportFormatExtension(choice->nFormat);
        const QString strName = choice->nSailPlan < 0 ? QFileInfo(m_file.strPath).completeBaseName()
                                                      : names[choice->nSailPlan];
        strPath = ChooseFileToWrite(
            this, m_questions, WriteChoice::Replaceable, Ui("Export to"),
            {Folder("export"), SuggestedFileName(strName, Ui("Polars"), strExtension),
             strExtension},
            ExportFormatFilter(choice->nFormat), m_file.strPath);
    }
    if (bReopenEditor && !m_editor.Open(m_file.strPath)) {
        m_questions.Tell(this, Ui("Export"), Ui("The editor could not be opened again."));
    }
    if (strPath.isEmpty()) {
        return;
    }
    app_settings::SetLastFolder("export", QFileInfo(strPath).absolutePath());
    app_settings::SetLastExportFormat(ExportFormatKey(choice->nFormat));
    QStringList notes;
    const QString error =
        WriteExport(m_file.aSailPlans, choice->nSailPlan, choice->nFormat, strPath, &notes);
    if (!error.isEmpty()) {
        m_questions.Tell(this, Ui("Export"),
                         Ui("Nothing was exported to %1: %2").arg(strPath, error));
        return;
    }
    // Never a silent change: what the format does not hold is said.
    if (!notes.isEmpty()) {
        m_questions.Tell(this, Ui("Export"),
                         Ui("Exported to %1; the format does not hold all of it:").arg(strPath) +
                             "\n\n" + notes.join("\n"));
    }
    // What the file holds as saved: edits the editor has not saved are not in it.
    statusBar()->showMessage(Ui("Exported the saved polars to %1").arg(strPath));
}

void MainWindow::ShowTargets() {
    if (m_file.aSailPlans.empty()) {
        m_questions.Tell(this, Ui("Targets"), Ui("The file holds no sail plan."));
        return;
    }
    m_pTargets = new TargetsDialog(this, m_questions, m_file.aSailPlans, std::max(m_nSailPlan, 0),
                                   m_file.strPath);
    m_pTargets->setAttribute(Qt::WA_DeleteOnClose);
    m_pTargets->show();
}

void MainWindow::ShowLogTool(LogToolDialog::Mode mode) {
    if (m_pLogTool != nullptr) {
        m_pLogTool->close();  // one reading at a time; closing cancels the one running
    }
    m_pLogTool = new LogToolDialog(this, mode, m_questions, m_file.aSailPlans, Folder("logs"));
    m_pLogTool->setAttribute(Qt::WA_DeleteOnClose);
    m_pLogTool->onLearned = [this](std::unique_ptr<SAILPLAN> pLearned) {
        return AddLearnedSailPlan(std::move(pLearned));
    };
    m_pLogTool->show();
}

bool MainWindow::AddLearnedSailPlan(std::unique_ptr<SAILPLAN> pLearned) {
    if (pLearned == nullptr || pLearned->m_aPolars.empty()) {
        m_questions.Tell(
            this, Ui("Learn from logs"),
            Ui("The logs gave no polar: no bin held enough steady sailing. Nothing was added."));
        return false;
    }
    SailPlanArray aLearned;
    aLearned.push_back(std::move(pLearned));
    return AddSailPlansToFile(std::move(aLearned), Ui("Adding the learned sail plan"));
}

bool MainWindow::AddSailPlansToFile(SailPlanArray aAdded, const QString& strWhat) {
    const QString strFile = m_file.strPath;
    const int nAdded = static_cast<int>(aAdded.size());
    const ChangeOutcome outcome =
        ChangeDataFile(this, m_questions, m_editor, strFile, strWhat,
                       [&aAdded](SailPlanArray& aSailPlans, QString*) {
                           AddUnderFreeNames(aSailPlans, std::move(aAdded));
                           return true;
                       });
    // Whatever happened, the window shows the file as it is now; the first new sail plan is
    // chosen.
    ReReadKeepingPlace();
    if (outcome == ChangeOutcome::Made) {
        m_nSailPlan = std::max(0, static_cast<int>(m_file.aSailPlans.size()) - nAdded);
        m_nPolar = -1;
        RefreshFromFile();
    }
    return outcome == ChangeOutcome::Made;
}

void MainWindow::ShowSettings() {
    auto* pDialog = new SettingsDialog(this, m_editor.Language(), m_editor.Colors());
    pDialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(pDialog, &QDialog::accepted, this,
            [this, pDialog] { ApplySettings(pDialog->Language(), pDialog->Colors()); });
    pDialog->open();
}

void MainWindow::ApplySettings(int nLanguage, const DiagramPalette& colors) {
    const bool bNewLanguage = app_settings::Language() != nLanguage;
    app_settings::SetLanguage(nLanguage);
    app_settings::SetColors(colors);
    m_editor.SetLook(colors, nLanguage);
    m_pPolarChart->SetPalette(colors);
    // The window's texts were set up at start, in the language of that time.
    statusBar()->showMessage(
        bNewLanguage        ? Ui("The window speaks the new language from its next start")
        : m_editor.IsOpen() ? Ui("The editor takes the settings when it opens next")
                            : Ui("Settings kept"));
}

void MainWindow::dragEnterEvent(QDragEnterEvent* pEvent) {
    const QList<QUrl> urls = pEvent->mimeData()->urls();
    if (urls.size() == 1 && urls.front().isLocalFile()) {
        pEvent->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* pEvent) {
    const QList<QUrl> urls = pEvent->mimeData()->urls();
    if (urls.size() == 1 && urls.front().isLocalFile()) {
        pEvent->acceptProposedAction();
        const QString strPath = urls.front().toLocalFile();
        // Not inside the drop: the file may ask questions, and the drag source waits.
        QTimer::singleShot(0, this, [this, strPath] { TakeDroppedFile(strPath); });
    }
}

void MainWindow::TakeDroppedFile(const QString& strPath) {
    switch (ClassifyDroppedFile(strPath)) {
        case DroppedFileKind::DataFile:
            SwitchTo(strPath);
            break;
        case DroppedFileKind::PolarFormat:
            ImportFrom(strPath);
            break;
        case DroppedFileKind::Log:
            // The dialog with the log in it: the user sets the options and starts.
            ShowLogTool(LogToolDialog::Mode::Learn);
            m_pLogTool->AddLog(strPath);
            m_pLogTool->activateWindow();
            break;
        case DroppedFileKind::Unknown:
            m_questions.Tell(this, Ui("Drop"),
                             Ui("%1 is neither a data file, nor a polar of a format that can be "
                                "imported, nor a log.")
                                 .arg(strPath));
            break;
    }
}

void MainWindow::FitTreeWidth() {
    if (!m_bSplitChosen) {
        // The tree as wide as its columns, but the charts keep at least two fifths.
        const int nTotal = std::max(m_pSplitter->width(), width());
        const int nTree = std::clamp(m_pTree->WidthToShowAll(), 430, nTotal * 3 / 5);
        m_pSplitter->setSizes({nTree, nTotal - nTree});
    }
}

void MainWindow::closeEvent(QCloseEvent* pEvent) {
    // The editor closes as by its own button, asking about unsaved edits; Cancel there keeps
    // the application too.
    if (m_editor.IsOpen() && !m_editor.Close()) {
        pEvent->ignore();
        return;
    }
    app_settings::SetWindowGeometry(saveGeometry());
    pEvent->accept();
}

void MainWindow::RememberRecent(const QString& strPath) {
    app_settings::RememberRecentFile(strPath);
    FillRecentMenu();
}

void MainWindow::FillRecentMenu() {
    if (m_pRecentMenu == nullptr) {
        return;
    }
    m_pRecentMenu->clear();
    const QStringList recent = app_settings::RecentFiles();
    for (const QString& strPath : recent) {
        m_pRecentMenu->addAction(strPath, this, [this, strPath] { OpenRecent(strPath); });
    }
    m_pRecentMenu->setEnabled(!recent.isEmpty());
}

void MainWindow::ShowHelpPage() {
    // The editor's help page, in the data folder the application runs in.
    auto* pDialog = new QDialog(this);
    pDialog->setAttribute(Qt::WA_DeleteOnClose);
    pDialog->setWindowTitle(Ui("polar-editor help"));
    auto* pBrowser = new QTextBrowser(pDialog);
    pBrowser->setSource(
        QUrl::fromLocalFile(QFileInfo("Help/English/polar.html").absoluteFilePath()));
    auto* pLayout = new QVBoxLayout(pDialog);
    pLayout->addWidget(pBrowser);
    pDialog->resize(700, 600);
    pDialog->show();
}

void MainWindow::ShowKeys() {
    static const std::pair<const char*, const char*> kKeys[] = {
        {"Ctrl+N", UI_TEXT("new data file")},
        {"Ctrl+O", UI_TEXT("open a data file")},
        {"Ctrl+I", UI_TEXT("import polars of another format")},
        {"Ctrl+Shift+E", UI_TEXT("export")},
        {"Ctrl+E", UI_TEXT("edit the polars (opens the editor)")},
        {"Ctrl+T", UI_TEXT("targets")},
        {"Ctrl+L", UI_TEXT("learn from logs")},
        {"Ctrl+Q", UI_TEXT("quit")},
        {"F1", UI_TEXT("help")},
    };
    QString text;
    for (const auto& [pszKey, pszMeaning] : kKeys) {
        text += QString(pszKey) + "  " + Ui(pszMeaning) + "\n";
    }
    text += "\n" + Ui("In the editor: Ctrl+Z undo, Ctrl+Y or Ctrl+Shift+Z redo.");
    QMessageBox::information(this, Ui("Keys"), text);
}

void MainWindow::ShowAbout() {
    ShowAboutBox(this);
}
