#include "apps/polar-editor/targets_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "apps/polar-editor/accelerators.h"
#include "apps/polar-editor/app_settings.h"
#include "apps/polar-editor/file_choice.h"
#include "apps/polar-editor/questions.h"
#include "apps/polar-editor/target_card.h"
#include "apps/polar-editor/window_texts.h"
#include "data/file_io.h"
#include "data/text_encoding.h"

namespace {

QString NameOf(const SAILPLAN& sailPlan) {
    return QString::fromStdString(DecodeForDisplay(sailPlan.m_strName));
}

}  // namespace

TargetsDialog::TargetsDialog(QWidget* pParent, Questions& questions,
                             const SailPlanArray& aSailPlans, int nSailPlan, QString strDataFile)
    : QDialog(pParent),
      m_questions(questions),
      m_aSailPlans(aSailPlans),
      m_strDataFile(std::move(strDataFile)) {
    setObjectName("targets-dialog");
    setWindowTitle(Ui("Targets"));
    m_pSailPlans = new QComboBox;
    for (const auto& pSailPlan : aSailPlans) {
        m_pSailPlans->addItem(NameOf(*pSailPlan));
    }
    m_pSailPlans->setObjectName("sail-plan");
    m_pBoat = new QLineEdit(app_settings::BoatName());
    m_pBoat->setObjectName("boat-name");
    m_pPaper = new QComboBox;
    m_pPaper->setObjectName("paper-size");
    m_pPaper->addItem("A4", "a4");
    m_pPaper->addItem(Ui("US Letter"), "letter");
    // The paper chosen last; at first the one the user's region prints on.
    const QString strPaper = app_settings::CardPaper();
    const int nPaper = m_pPaper->findData(strPaper);
    m_pPaper->setCurrentIndex(
        nPaper >= 0 ? nPaper : (PaperOfLocale(QLocale::system()) == QPageSize::Letter ? 1 : 0));
    m_pTable = new QTableWidget(0, static_cast<int>(TargetHeadings().size()));
    m_pTable->setHorizontalHeaderLabels(TargetHeadings());
    m_pTable->verticalHeader()->hide();
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Close);
    QPushButton* pPrint =
        pButtons->addButton(Ui("Target card (PDF)…"), QDialogButtonBox::ActionRole);
    auto* pLayout = new QVBoxLayout(this);
    auto* pForm = new QFormLayout;
    pForm->addRow(Ui("Sail plan:"), m_pSailPlans);
    pForm->addRow(Ui("Boat name:"), m_pBoat);
    pForm->addRow(Ui("Paper size:"), m_pPaper);
    pLayout->addLayout(pForm);
    pLayout->addWidget(m_pTable);
    pLayout->addWidget(pButtons);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    GiveAccelerators(this);
    connect(pPrint, &QPushButton::clicked, this, [this] { PrintCard(); });
    connect(m_pBoat, &QLineEdit::textEdited, this,
            [](const QString& strName) { app_settings::SetBoatName(strName.trimmed()); });
    connect(m_pPaper, &QComboBox::activated, this,
            [this] { app_settings::SetCardPaper(m_pPaper->currentData().toString()); });
    connect(m_pSailPlans, &QComboBox::currentIndexChanged, this,
            [this](int nIndex) { ShowSailPlan(nIndex); });
    resize(620, 420);
    m_pSailPlans->setCurrentIndex(nSailPlan);
    ShowSailPlan(nSailPlan);
}

void TargetsDialog::ShowSailPlan(int nSailPlan) {
    m_pTable->setRowCount(0);
    if (nSailPlan < 0 || nSailPlan >= static_cast<int>(m_aSailPlans.size())) {
        return;
    }
    const auto rows = TargetsOfSailPlan(*m_aSailPlans[static_cast<std::size_t>(nSailPlan)]);
    m_pTable->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const QStringList cells = TargetCells(rows[static_cast<std::size_t>(r)]);
        for (int c = 0; c < cells.size(); ++c) {
            auto* pItem = new QTableWidgetItem(cells[c]);
            pItem->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_pTable->setItem(r, c, pItem);
        }
    }
}

TargetCard TargetsDialog::Card() const {
    TargetCard card;
    card.strBoat = m_pBoat->text().trimmed();
    card.date = QDate::currentDate();
    card.paper = m_pPaper->currentData().toString() == "letter" ? QPageSize::Letter : QPageSize::A4;
    const int nSailPlan = m_pSailPlans->currentIndex();
    if (nSailPlan >= 0) {
        const SAILPLAN& sailPlan = *m_aSailPlans[static_cast<std::size_t>(nSailPlan)];
        card.strSailPlan = NameOf(sailPlan);
        card.rows = TargetsOfSailPlan(sailPlan);
    }
    return card;
}

bool TargetsDialog::PrintCard() {
    const int nSailPlan = m_pSailPlans->currentIndex();
    if (nSailPlan < 0) {
        return false;
    }
    const SAILPLAN& sailPlan = *m_aSailPlans[static_cast<std::size_t>(nSailPlan)];
    const QString strPath =
        ChooseFileToWrite(this, m_questions, WriteChoice::Replaceable, Ui("Target card"),
                          {QFileInfo(m_strDataFile).absolutePath(),
                           SuggestedFileName(NameOf(sailPlan), Ui("Target card"), ".pdf"), ".pdf"},
                          "PDF (*.pdf)", m_strDataFile);
    if (strPath.isEmpty()) {
        return false;
    }
    const QByteArray pdf = TargetCardPdf(Card());
    const IoStatus status = WriteFileAtomically(
        strPath.toStdString(),
        std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())));
    if (!status.Ok()) {
        m_questions.Tell(this, Ui("Target card"),
                         Ui("The target card was not written to %1: %2")
                             .arg(strPath, QString::fromStdString(status.strError)));
        return false;
    }
    return true;
}
