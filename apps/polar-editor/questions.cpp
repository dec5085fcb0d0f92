#include "apps/polar-editor/questions.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QMessageBox>
#include <QPushButton>

#include "apps/polar-editor/accelerators.h"
#include "apps/polar-editor/window_texts.h"

// A box is titled with the program's name, as a desktop's boxes are: the title given names the
// action, which the box's text says already, and as a title it read as a sentence cut short
// ("The import").
bool DialogQuestions::AskYesCancel(QWidget* pParent, const QString& /*strTitle*/,
                                   const QString& strText) {
    return QMessageBox::question(pParent, QCoreApplication::applicationName(), strText,
                                 QMessageBox::Yes | QMessageBox::Cancel,
                                 QMessageBox::Cancel) == QMessageBox::Yes;
}

void DialogQuestions::Tell(QWidget* pParent, const QString& /*strTitle*/, const QString& strText) {
    QMessageBox::warning(pParent, QCoreApplication::applicationName(), strText);
}

QString DialogQuestions::FileToOpen(QWidget* pParent, const QString& strTitle,
                                    const QString& strFolder, const QString& strFilter) {
    return QFileDialog::getOpenFileName(pParent, strTitle, strFolder, strFilter);
}

QString DialogQuestions::FileToWrite(QWidget* pParent, const QString& strTitle,
                                     const QString& strFolder, const QString& strFilter) {
    // The dialog asks before it names an existing file; the writer then replaces it atomically.
    return QFileDialog::getSaveFileName(pParent, strTitle, strFolder, strFilter);
}

Questions::ImportTarget DialogQuestions::ChooseImportTarget(QWidget* pParent,
                                                            const QString& strPreview) {
    QMessageBox box(QMessageBox::Question, QCoreApplication::applicationName(),
                    Ui("The import would add:"), QMessageBox::Cancel, pParent);
    box.setInformativeText(strPreview);
    QPushButton* pThisFile = box.addButton(Ui("Add to this file"), QMessageBox::AcceptRole);
    QPushButton* pNewFile = box.addButton(Ui("Start a new file…"), QMessageBox::AcceptRole);
    box.setDefaultButton(pThisFile);
    box.exec();
    if (box.clickedButton() == pThisFile) {
        return ImportTarget::ThisFile;
    }
    return box.clickedButton() == pNewFile ? ImportTarget::NewFile : ImportTarget::Cancel;
}

std::optional<Questions::ExportChoice> DialogQuestions::ChooseExport(QWidget* pParent,
                                                                     const QStringList& sailPlans,
                                                                     const QStringList& formats) {
    QDialog dialog(pParent);
    dialog.setWindowTitle(Ui("Export"));
    auto* pLayout = new QFormLayout(&dialog);
    auto* pSailPlan = new QComboBox(&dialog);
    pSailPlan->addItems(sailPlans);
    pSailPlan->addItem(Ui("All sail plans (data file only)"));
    auto* pFormat = new QComboBox(&dialog);
    pFormat->addItems(formats);
    pLayout->addRow(Ui("Sail plan:"), pSailPlan);
    pLayout->addRow(Ui("Format:"), pFormat);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    pLayout->addRow(pButtons);
    QObject::connect(pButtons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(pButtons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    GiveAccelerators(&dialog);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    const int nSailPlan = pSailPlan->currentIndex();
    return ExportChoice{nSailPlan == static_cast<int>(sailPlans.size()) ? -1 : nSailPlan,
                        pFormat->currentIndex()};
}
