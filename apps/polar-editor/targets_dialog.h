#pragma once

#include <QDialog>

#include "apps/polar-editor/target_card.h"
#include "data/sailplan.h"

class Questions;
class QComboBox;
class QLineEdit;
class QTableWidget;

// Tools > Targets: the targets of a chosen sail plan per wind speed, and the target card as a
// PDF file headed with the boat's name, on the paper chosen (both remembered).
class TargetsDialog : public QDialog {
  public:
    // The sail plans stay the caller's while the dialog is open. The card is offered in the
    // data file's folder, and never written over the data file.
    TargetsDialog(QWidget* pParent, Questions& questions, const SailPlanArray& aSailPlans,
                  int nSailPlan, QString strDataFile);

    void ShowSailPlan(int nSailPlan);
    // The card as the dialog's fields make it, dated today.
    TargetCard Card() const;
    // Asks for a file and writes the card there atomically; false, with a message, when not.
    bool PrintCard();

  private:
    Questions& m_questions;
    const SailPlanArray& m_aSailPlans;
    QString m_strDataFile;
    QComboBox* m_pSailPlans = nullptr;
    QLineEdit* m_pBoat = nullptr;  // remembered as it is typed
    QComboBox* m_pPaper = nullptr;
    QTableWidget* m_pTable = nullptr;
};
