#pragma once

#include <QMainWindow>
#include <QPointer>
#include <memory>

#include "apps/polar-editor/log_tool_dialog.h"
#include "apps/polar-editor/targets_dialog.h"
#include "apps/polar-editor/viewed_file.h"
#include "diagram/palette.h"

class CrossoverChart;
class EditorPlugin;
class PolarChart;
class QLabel;
class QMenu;
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
    // Opens another data file: the editor, when open, closes as by its own Close button (it
    // asks about unsaved edits) and opens again on the new file. False when it stayed.
    bool SwitchTo(const QString& strPath);
    void ImportFile();
    void ImportFrom(const QString& strPath);
    void ExportFile();
    void EditPolars();
    void ShowTargets();
    void ShowSettings();
    void ShowLogTool(LogToolDialog::Mode mode);
    LogToolDialog* LogTool() const { return m_pLogTool; }
    // Learn's result into the data file, through the editor's save-and-close when it is open.
    bool AddLearnedSailPlan(std::unique_ptr<SAILPLAN> pLearned);
    // What a file dropped on the window does: a data file opens, another format imports, a
    // log starts Learn.
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
    void RememberRecent(const QString& strPath);
    void FillRecentMenu();
    // Adds the sail plan (under a name of its own) through ChangeDataFile; true when it was.
    bool AddSailPlanToFile(std::unique_ptr<SAILPLAN> pSailPlan, const QString& strWhat);
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
    int m_nSailPlan = 0;
    int m_nPolar = -1;
};
