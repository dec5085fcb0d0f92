#include "apps/polar-editor/sail_plan_tree.h"

#include <QHeaderView>
#include <QScrollBar>
#include <algorithm>

#include "apps/polar-editor/sail_plan_facts.h"
#include "apps/polar-editor/window_texts.h"
#include "data/text_encoding.h"

namespace {

constexpr int kSailPlanRole = Qt::UserRole;
constexpr int kPolarRole = Qt::UserRole + 1;

QString Number(float f) {
    return UiNumber(static_cast<double>(f), 'f', 1);
}

// A best beat or run whose VMG is not positive is none: the points do not reach that far.
QString BestText(float fAngle, float fVmg) {
    if (!(fVmg > 0)) {
        return "–";
    }
    return QString("%1° · %2")
        .arg(UiNumber(static_cast<double>(fAngle), 'f', 1),
             InKnots(UiNumber(static_cast<double>(fVmg), 'f', 2)));
}

}  // namespace

SailPlanTree::SailPlanTree(QWidget* pParent) : QTreeWidget(pParent) {
    setObjectName("sail-plan-tree");
    setHeaderLabels({Ui("Sail plan / wind"), Ui("Points"), Ui("Tacking angle"), Ui("Best beat"),
                     Ui("Best run")});
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* pItem) {
        if (pItem != nullptr && onChoice) {
            onChoice(pItem->data(0, kSailPlanRole).toInt(), pItem->data(0, kPolarRole).toInt());
        }
    });
    connect(this, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* pItem) { FillPolars(pItem); });
}

int SailPlanTree::WidthToShowAll() const {
    // The header sizes its sections to their contents: those sizes are the ones to show. The
    // last may be stretched over what is left, so it counts by its contents, and at least the
    // header's default size, which the stretched last section keeps.
    int nWidth = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    const int nLast = columnCount() - 1;
    for (int i = 0; i < nLast; ++i) {
        nWidth += header()->sectionSize(i);
    }
    return nWidth + std::max({sizeHintForColumn(nLast), header()->sectionSizeHint(nLast),
                              header()->defaultSectionSize()});
}

void SailPlanTree::ShowSailPlans(const SailPlanArray& aSailPlans, int nSailPlan, int nPolar) {
    // A few sail plans are all opened; of many, the chosen one.
    constexpr int kAllOpenUpTo = 12;
    const QSignalBlocker blocker(this);
    clear();
    m_pSailPlans = &aSailPlans;
    QList<QTreeWidgetItem*> items;
    for (int s = 0; s < static_cast<int>(aSailPlans.size()); ++s) {
        const SAILPLAN& sailPlan = *aSailPlans[static_cast<std::size_t>(s)];
        auto* pPlanItem = new QTreeWidgetItem(
            {QString::fromStdString(DecodeForDisplay(sailPlan.m_strName)),
             sailPlan.GetPolarCount() == 1 ? Ui("1 polar")
                                           : Ui("%1 polars").arg(sailPlan.GetPolarCount())});
        pPlanItem->setData(0, kSailPlanRole, s);
        pPlanItem->setData(0, kPolarRole, -1);
        pPlanItem->setChildIndicatorPolicy(sailPlan.GetPolarCount() > 0
                                               ? QTreeWidgetItem::ShowIndicator
                                               : QTreeWidgetItem::DontShowIndicator);
        items.push_back(pPlanItem);
    }
    addTopLevelItems(items);
    QTreeWidgetItem* pCurrent = nullptr;
    for (int s = 0; s < static_cast<int>(items.size()); ++s) {
        QTreeWidgetItem* pPlanItem = items[s];
        if (s == nSailPlan || items.size() <= kAllOpenUpTo) {
            FillPolars(pPlanItem);
            pPlanItem->setExpanded(true);
        }
        if (s == nSailPlan) {
            pCurrent = nPolar >= 0 && nPolar < pPlanItem->childCount() ? pPlanItem->child(nPolar)
                                                                       : pPlanItem;
        }
    }
    if (pCurrent == nullptr && topLevelItemCount() > 0) {
        pCurrent = topLevelItem(0);
    }
    setCurrentItem(pCurrent);
}

void SailPlanTree::FillPolars(QTreeWidgetItem* pPlanItem) {
    if (m_pSailPlans == nullptr || pPlanItem->parent() != nullptr || pPlanItem->childCount() > 0) {
        return;
    }
    const int s = pPlanItem->data(0, kSailPlanRole).toInt();
    const std::vector<PolarFacts> facts =
        FactsOfSailPlan(*(*m_pSailPlans)[static_cast<std::size_t>(s)]);
    QList<QTreeWidgetItem*> children;
    for (int p = 0; p < static_cast<int>(facts.size()); ++p) {
        const PolarFacts& fact = facts[static_cast<std::size_t>(p)];
        QStringList columns = {InKnots(UiFileNumber(fact.fWindSpeed)),
                               QString::number(fact.nPoints), Number(fact.fTackingAngle) + "°"};
        if (fact.bestVmg) {
            columns << BestText(fact.bestVmg->fUpwindAngle, fact.bestVmg->fUpwindVmg)
                    << BestText(fact.bestVmg->fDownwindAngle, fact.bestVmg->fDownwindVmg);
        }
        auto* pItem = new QTreeWidgetItem(columns);
        pItem->setData(0, kSailPlanRole, s);
        pItem->setData(0, kPolarRole, p);
        children.push_back(pItem);
    }
    pPlanItem->addChildren(children);
}
