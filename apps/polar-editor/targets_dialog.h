#pragma once

#include <QDialog>

#include "data/sailplan.h"

class Questions;
class QComboBox;
class QTableWidget;

// Tools > Targets: the targets of a chosen sail plan per wind speed, and the target card as a
// PDF file.
class TargetsDialog : public QDialog {
  public:
    // The sail plans stay the caller's while the dialog is open. The card is offered in the
    // data file's folder, and never written over the data file.
    TargetsDialog(QWidget* pParent, Questions& questions, const SailPlanArray& aSailPlans,
                  int nSailPlan, QString strDataFile);

    void ShowSailPlan(int nSailPlan);
    // Asks for a file and writes the card there atomically; false, with a message, when not.
    bool PrintCard();

  private:
    Questions& m_questions;
    const SailPlanArray& m_aSailPlans;
    QString m_strDataFile;
    QComboBox* m_pSailPlans = nullptr;
    QTableWidget* m_pTable = nullptr;
};
