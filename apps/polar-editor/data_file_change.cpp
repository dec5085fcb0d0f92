#include "apps/polar-editor/data_file_change.h"

#include <QFileInfo>

#include "apps/polar-editor/editor_plugin.h"
#include "apps/polar-editor/questions.h"
#include "apps/polar-editor/window_texts.h"
#include "data/file_identity.h"
#include "data/file_lock.h"
#include "data/polar_file.h"

namespace {

// The file's sail plans, or false with the reason when it cannot be read completely: a change
// written from a part of it would drop the rest.
bool ReadWhole(const QString& strPath, SailPlanArray& aSailPlans, FileIdentity& identity,
               QString* pReason) {
    if (!QFileInfo::exists(strPath)) {
        return true;
    }
    PolarFileContents contents;
    const IoStatus status = LoadPolarFile(strPath.toStdString(), contents, &identity);
    if (!status.Ok()) {
        *pReason = QString::fromStdString(status.strError);
        return false;
    }
    if (contents.stop) {
        *pReason = QString(
                       "it could be read only up to line %1, column %2 (%3); the rest "
                       "would be lost")
                       .arg(contents.stop->nLine)
                       .arg(contents.stop->nColumn)
                       .arg(QString::fromStdString(contents.stop->strMessage));
        return false;
    }
    aSailPlans = std::move(contents.aSailPlans);
    return true;
}

bool WriteWhole(const QString& strPath, const SailPlanArray& aSailPlans, const FileIdentity& asRead,
                QString* pReason) {
    // A program that does not lock may have written meanwhile: its change is not written over.
    FileChange change = FileChange::Unchanged;
    if (const IoStatus status = CompareWithFile(strPath.toStdString(), asRead, change);
        !status.Ok()) {
        *pReason = QString::fromStdString(status.strError);
        return false;
    }
    if (change == FileChange::Changed) {
        *pReason = Ui("another program changed it while it was read; nothing was written");
        return false;
    }
    PolarFileOmissions omitted;
    const IoStatus status = SavePolarFile(strPath.toStdString(), aSailPlans, &omitted);
    if (!status.Ok()) {
        *pReason = QString::fromStdString(status.strError);
        return false;
    }
    if (!omitted.Empty()) {
        // Written, with what the format cannot hold left out: the user learns what.
        *pReason = QString::fromStdString(DescribeOmissions(omitted));
    }
    return true;
}

}  // namespace

ChangeOutcome ChangeDataFile(
    QWidget* pParent, Questions& questions, EditorPlugin& editor, const QString& strPath,
    const QString& strWhat,
    const std::function<bool(SailPlanArray& aSailPlans, QString* pReason)>& change) {
    const bool bEditorWasOpen = editor.IsOpen();
    if (bEditorWasOpen) {
        if (!questions.AskYesCancel(
                pParent, strWhat,
                Ui("%1 changes the data file while the editor is open.").arg(strWhat) + "\n" +
                    Ui("The editor saves its changes first, closes, and opens again afterwards. "
                       "Go on?"))) {
            return ChangeOutcome::Cancelled;
        }
        if (!editor.SaveAndClose()) {
            questions.Tell(pParent, strWhat,
                           Ui("%1 was not made: the editor could not save its changes (it said "
                              "why) and keeps them.")
                               .arg(strWhat));
            return ChangeOutcome::EditorKept;
        }
    }
    SailPlanArray aSailPlans;
    QString reason;
    ChangeOutcome outcome = ChangeOutcome::Made;
    // Held for the reading and the writing, as every read-change-write of ours holds it.
    FileLock lock;
    FileIdentity asRead;
    if (const IoStatus status = lock.Acquire(strPath.toStdString()); !status.Ok()) {
        questions.Tell(
            pParent, strWhat,
            Ui("%1 was not made: %2").arg(strWhat, QString::fromStdString(status.strError)));
        outcome = ChangeOutcome::Failed;
    } else if (!ReadWhole(strPath, aSailPlans, asRead, &reason)) {
        questions.Tell(pParent, strWhat,
                       Ui("%1 was not made: %2 cannot be read: %3").arg(strWhat, strPath, reason));
        outcome = ChangeOutcome::Failed;
    } else if (!change(aSailPlans, &reason)) {
        questions.Tell(pParent, strWhat, Ui("%1 was not made: %2").arg(strWhat, reason));
        outcome = ChangeOutcome::Failed;
    } else if (!WriteWhole(strPath, aSailPlans, asRead, &reason)) {
        questions.Tell(
            pParent, strWhat,
            Ui("%1 was not made: %2 cannot be written: %3").arg(strWhat, strPath, reason));
        outcome = ChangeOutcome::Failed;
    } else if (!reason.isEmpty()) {
        questions.Tell(pParent, strWhat, Ui("%1 was saved without:").arg(strWhat) + "\n" + reason);
    }
    lock.Release();
    if (bEditorWasOpen && !editor.Open(strPath)) {
        questions.Tell(pParent, strWhat, Ui("The editor could not be opened again."));
    }
    return outcome;
}
