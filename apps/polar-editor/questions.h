#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

// Every question and message of the application goes through this, so that tests answer them
// instead of a user and nothing waits for a click that never comes.
class Questions {
  public:
    virtual ~Questions() = default;
    // True for Yes, false for Cancel.
    virtual bool AskYesCancel(QWidget* pParent, const QString& strTitle,
                              const QString& strText) = 0;
    virtual void Tell(QWidget* pParent, const QString& strTitle, const QString& strText) = 0;
    // A question with buttons of its own and a Cancel button, which is the default: the index
    // in buttons of the one chosen, -1 for Cancel (also Esc, and a box closed any other way).
    virtual int AskChoice(QWidget* pParent, const QString& strTitle, const QString& strText,
                          const QStringList& buttons) = 0;
    // A file to read or to write; empty when the user cancelled. strFilter as QFileDialog's.
    virtual QString FileToOpen(QWidget* pParent, const QString& strTitle, const QString& strFolder,
                               const QString& strFilter) = 0;
    virtual QString FileToWrite(QWidget* pParent, const QString& strTitle, const QString& strFolder,
                                const QString& strFilter) = 0;
    // After the preview of an import: where its sail plan goes.
    enum class ImportTarget { Cancel, ThisFile, NewFile };
    virtual ImportTarget ChooseImportTarget(QWidget* pParent, const QString& strPreview) = 0;
    // What to export: a sail plan's index (-1 for all of them, only to a data file) and a
    // format's index in formats, the dialog opening on preselected; nothing when cancelled.
    struct ExportChoice {
        int nSailPlan = 0;
        int nFormat = 0;
    };
    virtual std::optional<ExportChoice> ChooseExport(QWidget* pParent, const QStringList& sailPlans,
                                                     const QStringList& formats,
                                                     const ExportChoice& preselected) = 0;
};

// The desktop's message boxes and file dialogs.
class DialogQuestions : public Questions {
  public:
    bool AskYesCancel(QWidget* pParent, const QString& strTitle, const QString& strText) override;
    void Tell(QWidget* pParent, const QString& strTitle, const QString& strText) override;
    int AskChoice(QWidget* pParent, const QString& strTitle, const QString& strText,
                  const QStringList& buttons) override;
    QString FileToOpen(QWidget* pParent, const QString& strTitle, const QString& strFolder,
                       const QString& strFilter) override;
    QString FileToWrite(QWidget* pParent, const QString& strTitle, const QString& strFolder,
                        const QString& strFilter) override;
    ImportTarget ChooseImportTarget(QWidget* pParent, const QString& strPreview) override;
    std::optional<ExportChoice> ChooseExport(QWidget* pParent, const QStringList& sailPlans,
                                             const QStringList& formats,
                                             const ExportChoice& preselected) override;
};

// For --check, where nobody answers: every question and message is printed to standard error
// instead and answered Cancel, and the run ends with exit status 1.
class PrintedQuestions : public Questions {
  public:
    bool AskYesCancel(QWidget* pParent, const QString& strTitle, const QString& strText) override;
    void Tell(QWidget* pParent, const QString& strTitle, const QString& strText) override;
    int AskChoice(QWidget* pParent, const QString& strTitle, const QString& strText,
                  const QStringList& buttons) override;
    QString FileToOpen(QWidget* pParent, const QString& strTitle, const QString& strFolder,
                       const QString& strFilter) override;
    QString FileToWrite(QWidget* pParent, const QString& strTitle, const QString& strFolder,
                        const QString& strFilter) override;
    ImportTarget ChooseImportTarget(QWidget* pParent, const QString& strPreview) override;
    std::optional<ExportChoice> ChooseExport(QWidget* pParent, const QStringList& sailPlans,
                                             const QStringList& formats,
                                             const ExportChoice& preselected) override;

    // Whether anything was printed (a question before the event loop ran cannot end it).
    bool Printed() const { return m_bPrinted; }

  private:
    void Print(const QString& strTitle, const QString& strText);
    bool m_bPrinted = false;
};
