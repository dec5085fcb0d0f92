#include "apps/polar-editor/questions.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>

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

int DialogQuestions::AskChoice(QWidget* pParent, const QString& strTitle, const QString& strText,
                               const QStringList& buttons) {
    QMessageBox box(QMessageBox::Question, strTitle, strText, QMessageBox::Cancel, pParent);
    box.button(QMessageBox::Cancel)->setText(Ui("Cancel"));
    QList<QAbstractButton*> chosen;
    for (const QString& strButton : buttons) {
        chosen.push_back(box.addButton(strButton, QMessageBox::AcceptRole));
    }
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    box.exec();
    return static_cast<int>(chosen.indexOf(box.clickedButton()));
}

QString DialogQuestions::FileToOpen(QWidget* pParent, const QString& strTitle,
                                    const QString& strFolder, const QString& strFilter) {
    return QFileDialog::getOpenFileName(pParent, strTitle, strFolder, strFilter);
}

QString DialogQuestions::FileToWrite(QWidget* pParent, const QString& strTitle,
                                     const QString& strFolder, const QString& strFilter) {
    // The dialog asks nothing: the window refuses the open data file, and an existing file
    // for a new data file, and asks itself before it replaces another (see file_choice.h).
    return QFileDialog::getSaveFileName(pParent, strTitle, strFolder, strFilter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
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

std::optional<Questions::ExportChoice> DialogQuestions::ChooseExport(
    QWidget* pParent, const QStringList& sailPlans, const QStringList& formats,
    const ExportChoice& preselected) {
    QDialog dialog(pParent);
    dialog.setWindowTitle(Ui("Export"));
    auto* pLayout = new QFormLayout(&dialog);
    auto* pSailPlan = new QComboBox(&dialog);
    pSailPlan->addItems(sailPlans);
    pSailPlan->addItem(Ui("All sail plans (data file, Signal K or hrosailing)"));
    auto* pFormat = new QComboBox(&dialog);
    pFormat->addItems(formats);
    pSailPlan->setCurrentIndex(preselected.nSailPlan < 0 ? static_cast<int>(sailPlans.size())
                                                         : preselected.nSailPlan);
    pFormat->setCurrentIndex(preselected.nFormat);
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

void PrintedQuestions::Print(const QString& strTitle, const QString& strText) {
    std::fprintf(stderr, "polar-editor: %s: %s\n", strTitle.toLocal8Bit().constData(),
                 strText.toLocal8Bit().constData());
    std::fflush(stderr);
    m_bPrinted = true;
    QCoreApplication::exit(1);
}

bool PrintedQuestions::AskYesCancel(QWidget*, const QString& strTitle, const QString& strText) {
    Print(strTitle, strText);
    return false;
}

void PrintedQuestions::Tell(QWidget*, const QString& strTitle, const QString& strText) {
    Print(strTitle, strText);
}

int PrintedQuestions::AskChoice(QWidget*, const QString& strTitle, const QString& strText,
                                const QStringList&) {
    Print(strTitle, strText);
    return -1;
}

QString PrintedQuestions::FileToOpen(QWidget*, const QString& strTitle, const QString&,
                                     const QString&) {
    Print(strTitle, Ui("a file dialog"));
    return {};
}

QString PrintedQuestions::FileToWrite(QWidget*, const QString& strTitle, const QString&,
                                      const QString&) {
    Print(strTitle, Ui("a file dialog"));
    return {};
}

Questions::ImportTarget PrintedQuestions::ChooseImportTarget(QWidget*, const QString& strPreview) {
    Print(Ui("Import"), strPreview);
    return ImportTarget::Cancel;
}

std::optional<Questions::ExportChoice> PrintedQuestions::ChooseExport(QWidget*, const QStringList&,
                                                                      const QStringList&,
                                                                      const ExportChoice&) {
    Print(Ui("Export"), Ui("a file dialog"));
    return std::nullopt;
}
