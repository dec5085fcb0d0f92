#pragma once

#include <QMainWindow>
#include <QPointer>
#include <map>
#include <memory>
#include <thread>

#include "apps/polar-editor/import_reading.h"
#include "apps/polar-editor/log_tool_dialog.h"
#include "apps/polar-editor/targets_dialog.h"
#include "apps/polar-editor/viewed_file.h"
#include "diagram/palette.h"

class CrossoverChart;
class QAction;
class QFileSystemWatcher;
class EditorPlugin;
class PolarChart;
class QLabel;
class QMenu;
class QProgressDialog;
class QSplitter;
class Questions;
class SailPlanTree;

// The application's window: menus, the file's sail plans as a tree, the chosen sail plan's
// polar chart and the crossover chart of all sail plans. It hosts the editor plug-in and
// keeps the protocol's rules whenever it changes the data file itself.
class MainWindow : public QMainWindow {
  public:
    MainWindow(EditorPlugin& editor, Questions& questions, DiagramPalette palette);
    ~MainWindow() override;

    // Shows the file (re-read), without touching the editor.
    void ShowFile(const QString& strPath);
    const ViewedFile& File() const { return m_file; }

    // The menu commands, callable from tests as from the menus.
    void NewFile();
    void OpenFile();
    // Open Recent: a file that is gone is named, and the user may remove it from the list.
    void OpenRecent(const QString& strPath);
    // Opens another data file: the editor, when open, closes as by its own Close button (it
    // asks about unsaved edits) and opens again on the new file. False when it stayed.
    bool SwitchTo(const QString& strPath);
    void ImportFile();
    // Reads the file on a thread of its own, with a progress dialog whose Cancel lets the window
    // go on at once; then the preview, and the sail plan added as the user chooses.
    void ImportFrom(const QString& strPath);
    bool Importing() const { return m_bImportWanted; }
    // Readings still running, cancelled ones among them.
    std::size_t ImportReadingsUnderway() const { return m_importThreads.size(); }
    void ExportFile();
    void EditPolars();
    void ShowTargets();
    void ShowSettings();
    void ShowLogTool(LogToolDialog::Mode mode);
    // Tools > Show a log over the chart…: a log's steady samples read on a thread of their own,
    // then drawn over the polar chart until hidden or another log is shown.
    void ShowLogPoints();
    LogToolDialog* LogTool() const { return m_pLogTool; }
    // Learn's result into the data file, through the editor's save-and-close when it is open.
    bool AddLearnedSailPlan(std::unique_ptr<SAILPLAN> pLearned);
    // What a file dropped on the window does: a data file opens, another format imports, a
    // log opens the Learn dialog with it (learning starts when the user says).
    void TakeDroppedFile(const QString& strPath);
    TargetsDialog* Targets() const { return m_pTargets; }

  protected:
    void closeEvent(QCloseEvent* pEvent) override;
    void dragEnterEvent(QDragEnterEvent* pEvent) override;
    void dropEvent(QDropEvent* pEvent) override;

  private:
    void BuildMenus();
    void OnEditorNotice(unsigned long long wParam);
    void ShowChoice(int nSailPlan, int nPolar);
    void RefreshFromFile();
    // Reads the file again and shows it with the same sail plan and polar chosen, found by name
    // and wind speed (the editor sorts the file, so the order may change).
    void ReReadKeepingPlace();
    // Follows the open data file: a change made by another program is shown within a second,
    // and an open editor is told (it asks when it holds unsaved edits).
    void WatchFile();
    void CheckFileChanged();
    // Until the user moves the split, the tree gets the width its columns need.
    void FitTreeWidth();
    void RememberRecent(const QString& strPath);
    void FillRecentMenu();
    // A new data file of these sail plans at a path where nothing is, shown, with the editor
    // (when open) closed first and opened on it after; nothing is made when the editor stays.
    bool StartNewFile(const QString& strPath, const SailPlanArray& aSailPlans,
                      const QString& strWhat);
    // Adds the sail plans (each under a name of its own) through ChangeDataFile; true when they
    // were.
    bool AddSailPlansToFile(SailPlanArray aAdded, const QString& strWhat);
    void ImportRead(int nTicket, const QString& strPath, ImportReading reading);
    void ApplySettings(int nLanguage, const DiagramPalette& colors);
    // The folder a file dialog of that kind starts in: the last one used, else the file's.
    QString Folder(const QString& strKind) const;
    void ShowHelpPage();
    void ShowKeys();
    void ShowAbout();

    EditorPlugin& m_editor;
    Questions& m_questions;
    ViewedFile m_file;
    SailPlanTree* m_pTree = nullptr;
    QSplitter* m_pSplitter = nullptr;
    // Set once the user moves the split between the tree and the charts; until then the tree
    // gets the width its columns need.
    bool m_bSplitChosen = false;
    PolarChart* m_pPolarChart = nullptr;
    CrossoverChart* m_pCrossover = nullptr;
    QMenu* m_pRecentMenu = nullptr;
    QLabel* m_pFileSummary = nullptr;
    QPointer<TargetsDialog> m_pTargets;
    QPointer<LogToolDialog> m_pLogTool;
    // Each import reading has a ticket; the one a result carries is only still wanted while it
    // is the latest and not cancelled. A cancelled reading runs to its end (the
    // readers cannot be interrupted; they write nothing) and its result is dropped; its thread
    // is joined when that result arrives, or when the window goes.
    int m_nImportTicket = 0;
    std::map<int, std::thread> m_importThreads;
    bool m_bImportWanted = false;
    QPointer<QProgressDialog> m_pImportProgress;
    std::unique_ptr<LogJob> m_pPointsJob;
    QPointer<QProgressDialog> m_pPointsProgress;
    int m_nPointsTicket = 0;
    QAction* m_pHideLog = nullptr;
    int m_nSailPlan = 0;
    int m_nPolar = -1;
    QFileSystemWatcher* m_pWatcher = nullptr;
    QTimer* m_pWatchDelay = nullptr;
};
