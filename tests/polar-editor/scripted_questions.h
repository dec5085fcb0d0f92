#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "apps/polar-editor/questions.h"

// The application's questions answered from a script; every message is kept. A question the
// script does not answer fails the test and is answered with Cancel.
class ScriptedQuestions : public Questions {
  public:
    std::deque<bool> yesAnswers;
    std::deque<QString> files;
    std::deque<ImportTarget> importTargets;
    std::deque<ExportChoice> exportChoices;
    std::deque<int> choices;  // AskChoice: an index, -1 for Cancel
    QStringList told;
    QStringList asked;
    QString lastPreview;
    // Where each file dialog for writing started (a folder, or a suggested file in it), and
    // what each export dialog had chosen when it opened.
    QStringList writeStarts;
    std::vector<ExportChoice> exportPreselected;

    bool AskYesCancel(QWidget*, const QString&, const QString& strText) override {
        asked.push_back(strText);
        return Next(yesAnswers, false, strText);
    }
    void Tell(QWidget*, const QString&, const QString& strText) override {
        told.push_back(strText);
    }
    int AskChoice(QWidget*, const QString&, const QString& strText, const QStringList&) override {
        asked.push_back(strText);
        return Next(choices, -1, strText);
    }
    QString FileToOpen(QWidget*, const QString& strTitle, const QString&, const QString&) override {
        return Next(files, QString(), strTitle);
    }
    QString FileToWrite(QWidget*, const QString& strTitle, const QString& strStart,
                        const QString&) override {
        writeStarts.push_back(strStart);
        return Next(files, QString(), strTitle);
    }
    ImportTarget ChooseImportTarget(QWidget*, const QString& strPreview) override {
        lastPreview = strPreview;
        return Next(importTargets, ImportTarget::Cancel, strPreview);
    }
    std::optional<ExportChoice> ChooseExport(QWidget*, const QStringList&, const QStringList&,
                                             const ExportChoice& preselected) override {
        exportPreselected.push_back(preselected);
        if (exportChoices.empty()) {
            ADD_FAILURE() << "unexpected export dialog";
            return std::nullopt;
        }
        const ExportChoice choice = exportChoices.front();
        exportChoices.pop_front();
        return choice;
    }
    bool AllUsed() const {
        return yesAnswers.empty() && files.empty() && importTargets.empty() &&
               exportChoices.empty() && choices.empty();
    }

  private:
    template <typename T>
    static T Next(std::deque<T>& answers, T cancel, const QString& strAbout) {
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << strAbout.toStdString();
            return cancel;
        }
        T answer = answers.front();
        answers.pop_front();
        return answer;
    }
};
