#include "apps/polar-editor/sail_plan_tree.h"

#include <QHeaderView>

#include "apps/polar-editor/sail_plan_facts.h"
#include "apps/polar-editor/window_texts.h"
#include "data/text_encoding.h"

namespace {

constexpr int kSailPlanRole = Qt::UserRole;
constexpr int kPolarRole = Qt::UserRole + 1;

QString Number(float f) {
    return QString::number(static_cast<double>(f), 'f', 1);
}

// A best beat or run whose VMG is not positive is none: the points do not reach that far.
QString BestText(float fAngle, float fVmg) {
    if (!(fVmg > 0)) {
        return "–";
    }
    return QString("%1° · %2 kn")
        .arg(static_cast<double>(fAngle), 0, 'f', 1)
        .arg(static_cast<double>(fVmg), 0, 'f', 2);
}

}  // namespace

SailPlanTree::SailPlanTree(QWidget* pParent) : QTreeWidget(pParent) {
    setObjectName("sail-plan-tree");
    setHeaderLabels(
        {Ui("Sail plan / wind"), Ui("Points"), Ui("Tacking"), Ui("Best beat"), Ui("Best run")});
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* pItem) {
        if (pItem != nullptr && onChoice) {
            onChoice(pItem->data(0, kSailPlanRole).toInt(), pItem->data(0, kPolarRole).toInt());
        }
    });
}

void SailPlanTree::ShowSailPlans(const SailPlanArray& aSailPlans, int nSailPlan, int nPolar) {
    const QSignalBlocker blocker(this);
    clear();
    QTreeWidgetItem* pCurrent = nullptr;
    for (int s = 0; s < static_cast<int>(aSailPlans.size()); ++s) {
        const SAILPLAN& sailPlan = *aSailPlans[static_cast<std::size_t>(s)];
        auto* pPlanItem =
            new QTreeWidgetItem(this, {QString::fromStdString(DecodeForDisplay(sailPlan.m_strName)),
                                       Ui("%1 polars").arg(sailPlan.GetPolarCount())});
        pPlanItem->setData(0, kSailPlanRole, s);
        pPlanItem->setData(0, kPolarRole, -1);
        if (s == nSailPlan && nPolar < 0) {
            pCurrent = pPlanItem;
        }
        const std::vector<PolarFacts> facts = FactsOfSailPlan(sailPlan);
        for (int p = 0; p < static_cast<int>(facts.size()); ++p) {
            const PolarFacts& fact = facts[static_cast<std::size_t>(p)];
            QStringList columns = {Number(fact.fWindSpeed) + " kn", QString::number(fact.nPoints),
                                   Number(fact.fTackingAngle) + "°"};
            if (fact.bestVmg) {
                columns << BestText(fact.bestVmg->fUpwindAngle, fact.bestVmg->fUpwindVmg)
                        << BestText(fact.bestVmg->fDownwindAngle, fact.bestVmg->fDownwindVmg);
            }
            auto* pItem = new QTreeWidgetItem(pPlanItem, columns);
            pItem->setData(0, kSailPlanRole, s);
            pItem->setData(0, kPolarRole, p);
            if (s == nSailPlan && p == nPolar) {
                pCurrent = pItem;
            }
        }
    }
    expandAll();
    if (pCurrent == nullptr && topLevelItemCount() > 0) {
        pCurrent = topLevelItem(0);
    }
    setCurrentItem(pCurrent);
}
