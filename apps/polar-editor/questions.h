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
    // A file to read or to write; empty when the user cancelled. strFilter as QFileDialog's.
    virtual QString FileToOpen(QWidget* pParent, const QString& strTitle, const QString& strFolder,
                               const QString& strFilter) = 0;
    virtual QString FileToWrite(QWidget* pParent, const QString& strTitle, const QString& strFolder,
                                const QString& strFilter) = 0;
    // After the preview of an import: where its sail plan goes.
    enum class ImportTarget { Cancel, ThisFile, NewFile };
    virtual ImportTarget ChooseImportTarget(QWidget* pParent, const QString& strPreview) = 0;
    // What to export: a sail plan's index (-1 for all of them, only to a data file) and a
    // format's index in formats; nothing when cancelled.
    struct ExportChoice {
        int nSailPlan = 0;
        int nFormat = 0;
    };
    virtual std::optional<ExportChoice> ChooseExport(QWidget* pParent, const QStringList& sailPlans,
                                                     const QStringList& formats) = 0;
};

// The desktop's message boxes and file dialogs.
class DialogQuestions : public Questions {
  public:
    bool AskYesCancel(QWidget* pParent, const QString& strTitle, const QString& strText) override;
    void Tell(QWidget* pParent, const QString& strTitle, const QString& strText) override;
    QString FileToOpen(QWidget* pParent, const QString& strTitle, const QString& strFolder,
                       const QString& strFilter) override;
    QString FileToWrite(QWidget* pParent, const QString& strTitle, const QString& strFolder,
                        const QString& strFilter) override;
    ImportTarget ChooseImportTarget(QWidget* pParent, const QString& strPreview) override;
    std::optional<ExportChoice> ChooseExport(QWidget* pParent, const QStringList& sailPlans,
                                             const QStringList& formats) override;
};
