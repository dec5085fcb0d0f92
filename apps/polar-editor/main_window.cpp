#include "apps/polar-editor/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QSplitter>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

#include "apps/polar-editor/app_settings.h"
#include "apps/polar-editor/crossover_chart.h"
#include "apps/polar-editor/data_file_change.h"
#include "apps/polar-editor/dropped_file.h"
#include "apps/polar-editor/editor_plugin.h"
#include "apps/polar-editor/export_writing.h"
#include "apps/polar-editor/import_reading.h"
#include "apps/polar-editor/polar_chart.h"
#include "apps/polar-editor/questions.h"
#include "apps/polar-editor/sail_plan_tree.h"
#include "apps/polar-editor/settings_dialog.h"
#include "apps/polar-editor/targets_dialog.h"
#include "data/file_io.h"
#include "data/polar_file.h"
#include "data/text_encoding.h"
#include "exchange/format_table.h"

namespace {

const char* const kPolarFilter = "Polar data (*.PPD *.ppd);;All files (*)";

QString ImportFilter() {
    QStringList patterns;
    for (const ExchangeFormat& format : ExchangeFormats()) {
        for (std::string_view extension : format.extensions) {
            patterns.push_back("*" + QString::fromUtf8(extension.data(),
                                                       static_cast<qsizetype>(extension.size())));
        }
    }
    return "Polar formats (" + patterns.join(' ') + ");;All files (*)";
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
    auto* pSplitter = new QSplitter(Qt::Horizontal);
    pSplitter->addWidget(m_pTree);
    pSplitter->addWidget(pCharts);
    pSplitter->setStretchFactor(1, 1);
    pSplitter->setSizes({430, 570});
    setCentralWidget(pSplitter);
    m_pFileSummary = new QLabel;
    statusBar()->addPermanentWidget(m_pFileSummary);
    m_pTree->onChoice = [this](int nSailPlan, int nPolar) { ShowChoice(nSailPlan, nPolar); };
    m_editor.onNotice = [this](polar_api::WPARAM wParam) {
        OnEditorNotice(static_cast<unsigned long long>(wParam));
    };
    BuildMenus();
    resize(1000, 700);
    restoreGeometry(app_settings::WindowGeometry());
    setAcceptDrops(true);
    statusBar()->showMessage("Ready");
}

MainWindow::~MainWindow() {
    m_editor.onNotice = nullptr;
}

void MainWindow::BuildMenus() {
    QMenu* pFile = menuBar()->addMenu("&File");
    pFile->addAction("&New…", QKeySequence::New, this, [this] { NewFile(); });
    pFile->addAction("&Open…", QKeySequence::Open, this, [this] { OpenFile(); });
    m_pRecentMenu = pFile->addMenu("Open &Recent");
    FillRecentMenu();
    pFile->addSeparator();
    pFile->addAction("&Import…", QKeySequence(Qt::CTRL | Qt::Key_I), this,
                     [this] { ImportFile(); });
    pFile->addAction("&Export…", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E), this,
                     [this] { ExportFile(); });
    pFile->addSeparator();
    pFile->addAction("&Quit", QKeySequence::Quit, this, [this] { close(); });

    QMenu* pEdit = menuBar()->addMenu("&Edit");
    pEdit->addAction("&Edit polars", QKeySequence(Qt::CTRL | Qt::Key_E), this,
                     [this] { EditPolars(); });
    pEdit->addAction("&Settings…", this, [this] { ShowSettings(); });

    QMenu* pTools = menuBar()->addMenu("&Tools");
    pTools->addAction("&Learn from logs…", QKeySequence(Qt::CTRL | Qt::Key_L), this,
                      [this] { ShowLogTool(LogToolDialog::Mode::Learn); });
    pTools->addAction("&Compare with logs…", this,
                      [this] { ShowLogTool(LogToolDialog::Mode::Compare); });
    pTools->addAction("&Targets…", QKeySequence(Qt::CTRL | Qt::Key_T), this,
                      [this] { ShowTargets(); });

    QMenu* pHelp = menuBar()->addMenu("&Help");
    pHelp->addAction("&Help", QKeySequence::HelpContents, this, [this] { ShowHelpPage(); });
    pHelp->addAction("&Keys", this, [this] { ShowKeys(); });
    pHelp->addAction("&About polar-editor", this, [this] { ShowAbout(); });
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
    RememberRecent(strPath);
    m_nSailPlan = 0;
    m_nPolar = -1;
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
    m_pCrossover->ShowSailPlans(m_file.aSailPlans);
    ShowChoice(m_nSailPlan, m_nPolar);
    m_pFileSummary->setText(m_file.strProblem.isEmpty()
                                ? QString("%1 sail plans").arg(m_file.aSailPlans.size())
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
        m_file = ReadViewedFile(m_file.strPath);
        RefreshFromFile();
        statusBar()->showMessage("The editor saved " + m_file.strPath);
    } else if (wParam == 0) {
        statusBar()->showMessage("The editor closed without saving");
    }
}

void MainWindow::EditPolars() {
    if (m_editor.IsOpen()) {
        m_editor.Window()->raise();
        m_editor.Window()->activateWindow();
        return;
    }
    if (!m_editor.Open(m_file.strPath)) {
        m_questions.Tell(this, "Edit polars", "The editor could not be opened.");
    }
}

bool MainWindow::SwitchTo(const QString& strPath) {
    const bool bEditorWasOpen = m_editor.IsOpen();
    if (bEditorWasOpen && !m_editor.Close()) {
        statusBar()->showMessage("The editor stays open on " + m_file.strPath);
        return false;
    }
    ShowFile(strPath);
    if (bEditorWasOpen) {
        m_editor.Open(strPath);
    }
    return true;
}

void MainWindow::NewFile() {
    const QString strPath =
        m_questions.FileToWrite(this, "New data file", Folder("open"), kPolarFilter);
    if (strPath.isEmpty()) {
        return;
    }
    // A new file is an empty one; an existing file is never emptied here.
    if (QFileInfo::exists(strPath)) {
        m_questions.Tell(this, "New data file",
                         strPath +
                             " exists already; a new data file needs a name of its own. "
                             "Open it to see it.");
        return;
    }
    if (const IoStatus status = WriteFileAtomically(strPath.toStdString(), ""); !status.Ok()) {
        m_questions.Tell(this, "New data file",
                         strPath + " cannot be made: " + QString::fromStdString(status.strError));
        return;
    }
    SwitchTo(strPath);
}

void MainWindow::OpenFile() {
    const QString strPath =
        m_questions.FileToOpen(this, "Open data file", Folder("open"), kPolarFilter);
    if (!strPath.isEmpty()) {
        SwitchTo(strPath);
    }
}

void MainWindow::ImportFile() {
    const QString strPath =
        m_questions.FileToOpen(this, "Import polars", Folder("import"), ImportFilter());
    if (!strPath.isEmpty()) {
        app_settings::SetLastFolder("import", QFileInfo(strPath).absolutePath());
        ImportFrom(strPath);
    }
}

void MainWindow::ImportFrom(const QString& strPath) {
    ImportReading reading = ReadImport(strPath);
    if (reading.pSailPlan == nullptr) {
        m_questions.Tell(this, "Import", "Nothing can be imported: " + reading.strError);
        return;
    }
    const auto target = m_questions.ChooseImportTarget(this, DescribeImport(reading));
    if (target == Questions::ImportTarget::Cancel) {
        return;
    }
    if (target == Questions::ImportTarget::NewFile) {
        const QString strNew =
            m_questions.FileToWrite(this, "Import into a new data file",
                                    QFileInfo(m_file.strPath).absolutePath(), kPolarFilter);
        if (strNew.isEmpty()) {
            return;
        }
        SailPlanArray aSailPlans;
        aSailPlans.push_back(std::move(reading.pSailPlan));
        if (const IoStatus status = SavePolarFile(strNew.toStdString(), aSailPlans); !status.Ok()) {
            m_questions.Tell(this, "Import",
                             "The import was not made: " + strNew +
                                 " cannot be written: " + QString::fromStdString(status.strError));
            return;
        }
        SwitchTo(strNew);
        return;
    }
    const QString strFile = m_file.strPath;
    const ChangeOutcome outcome =
        ChangeDataFile(this, m_questions, m_editor, strFile, "The import",
                       [&reading](SailPlanArray& aSailPlans, QString*) {
                           reading.pSailPlan->SetName(
                               UnusedSailPlanName(aSailPlans, reading.pSailPlan->m_strName));
                           aSailPlans.push_back(std::move(reading.pSailPlan));
                           return true;
                       });
    m_file = ReadViewedFile(strFile);
    if (outcome == ChangeOutcome::Made) {
        m_nSailPlan = static_cast<int>(m_file.aSailPlans.size()) - 1;
        m_nPolar = -1;
        RefreshFromFile();
        statusBar()->showMessage("Imported " + strPath + " into " + strFile);
    } else {
        RefreshFromFile();
    }
}

void MainWindow::ExportFile() {
    if (m_file.aSailPlans.empty()) {
        m_questions.Tell(this, "Export", "The file holds no sail plan to export.");
        return;
    }
    QStringList names;
    for (const auto& pSailPlan : m_file.aSailPlans) {
        names.push_back(QString::fromStdString(DecodeForDisplay(pSailPlan->m_strName)));
    }
    const auto choice = m_questions.ChooseExport(this, names, ExportFormatNames());
    if (!choice) {
        return;
    }
    const QString strPath = m_questions.FileToWrite(this, "Export to", Folder("export"),
                                                    ExportFormatFilter(choice->nFormat));
    if (strPath.isEmpty()) {
        return;
    }
    app_settings::SetLastFolder("export", QFileInfo(strPath).absolutePath());
    const QString error =
        WriteExport(m_file.aSailPlans, choice->nSailPlan, choice->nFormat, strPath);
    if (!error.isEmpty()) {
        m_questions.Tell(this, "Export", "Nothing was exported to " + strPath + ": " + error);
        return;
    }
    // What the file holds as saved: edits the editor has not saved are not in it.
    statusBar()->showMessage("Exported the saved polars to " + strPath);
}

void MainWindow::ShowTargets() {
    if (m_file.aSailPlans.empty()) {
        m_questions.Tell(this, "Targets", "The file holds no sail plan.");
        return;
    }
    m_pTargets = new TargetsDialog(this, m_questions, m_file.aSailPlans, std::max(m_nSailPlan, 0),
                                   QFileInfo(m_file.strPath).absolutePath());
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
        AddLearnedSailPlan(std::move(pLearned));
    };
    m_pLogTool->show();
}

bool MainWindow::AddLearnedSailPlan(std::unique_ptr<SAILPLAN> pLearned) {
    if (pLearned == nullptr || pLearned->m_aPolars.empty()) {
        m_questions.Tell(this, "Learn from logs",
                         "The logs gave no polar: no bin held enough steady sailing. Nothing "
                         "was added.");
        return false;
    }
    const QString strFile = m_file.strPath;
    const ChangeOutcome outcome =
        ChangeDataFile(this, m_questions, m_editor, strFile, "Adding the learned sail plan",
                       [&pLearned](SailPlanArray& aSailPlans, QString*) {
                           pLearned->SetName(UnusedSailPlanName(aSailPlans, pLearned->m_strName));
                           aSailPlans.push_back(std::move(pLearned));
                           return true;
                       });
    m_file = ReadViewedFile(strFile);
    if (outcome == ChangeOutcome::Made) {
        m_nSailPlan = static_cast<int>(m_file.aSailPlans.size()) - 1;
        m_nPolar = -1;
    }
    RefreshFromFile();
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
    app_settings::SetLanguage(nLanguage);
    app_settings::SetColors(colors);
    m_editor.SetLook(colors, nLanguage);
    m_pPolarChart->SetPalette(colors);
    statusBar()->showMessage(m_editor.IsOpen() ? "The editor takes the settings when it opens next"
                                               : "Settings kept");
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
            ShowLogTool(LogToolDialog::Mode::Learn);
            m_pLogTool->AddLog(strPath);
            m_pLogTool->Start();
            break;
        case DroppedFileKind::Unknown:
            m_questions.Tell(this, "Drop",
                             strPath +
                                 " is neither a data file nor a polar of a format that "
                                 "can be imported.");
            break;
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
        m_pRecentMenu->addAction(strPath, this, [this, strPath] { SwitchTo(strPath); });
    }
    m_pRecentMenu->setEnabled(!recent.isEmpty());
}

void MainWindow::ShowHelpPage() {
    // The editor's help page, in the data folder the application runs in.
    auto* pDialog = new QDialog(this);
    pDialog->setAttribute(Qt::WA_DeleteOnClose);
    pDialog->setWindowTitle("polar-editor help");
    auto* pBrowser = new QTextBrowser(pDialog);
    pBrowser->setSource(
        QUrl::fromLocalFile(QFileInfo("Help/English/polar.html").absoluteFilePath()));
    auto* pLayout = new QVBoxLayout(pDialog);
    pLayout->addWidget(pBrowser);
    pDialog->resize(700, 600);
    pDialog->show();
}

void MainWindow::ShowKeys() {
    QMessageBox::information(this, "Keys",
                             "Ctrl+N  new data file\n"
                             "Ctrl+O  open a data file\n"
                             "Ctrl+I  import polars of another format\n"
                             "Ctrl+Shift+E  export\n"
                             "Ctrl+E  edit the polars (opens the editor)\n"
                             "Ctrl+T  targets\n"
                             "Ctrl+L  learn from logs\n"
                             "Ctrl+Q  quit\n"
                             "F1  help\n\n"
                             "In the editor: Ctrl+Z undo, Ctrl+Y or Ctrl+Shift+Z redo.");
}

void MainWindow::ShowAbout() {
    QMessageBox::about(this, "About polar-editor",
                       "polar-editor " + QCoreApplication::applicationVersion() +
                           "\nThe performance polars of a sailing boat: edit, import, export "
                           "and compare them.");
}
