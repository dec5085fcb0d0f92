#include "apps/polar-editor/targets_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "apps/polar-editor/accelerators.h"
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
    m_pTable = new QTableWidget(0, static_cast<int>(TargetHeadings().size()));
    m_pTable->setHorizontalHeaderLabels(TargetHeadings());
    m_pTable->verticalHeader()->hide();
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Close);
    QPushButton* pPrint =
        pButtons->addButton(Ui("Target card (PDF)…"), QDialogButtonBox::ActionRole);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(m_pSailPlans);
    pLayout->addWidget(m_pTable);
    pLayout->addWidget(pButtons);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    GiveAccelerators(this);
    connect(pPrint, &QPushButton::clicked, this, [this] { PrintCard(); });
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
    const QByteArray pdf = TargetCardPdf(NameOf(sailPlan), TargetsOfSailPlan(sailPlan));
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
