#pragma once

#include <QTreeWidget>
#include <functional>

#include "data/sailplan.h"

// The sail plans of the file, each with its polars as children: wind speed, points, tacking
// angle, best beat (angle and VMG) and best run.
class SailPlanTree : public QTreeWidget {
  public:
    explicit SailPlanTree(QWidget* pParent = nullptr);

    // Refills the tree and selects the sail plan (and polar) of that index where it exists.
    // The sail plans stay the caller's until the next call: a sail plan's polars are listed
    // when it is first opened, as their best beat and run take a moment each, so that a file
    // of thousands of polars shows at once.
    void ShowSailPlans(const SailPlanArray& aSailPlans, int nSailPlan, int nPolar);
    // Called with the chosen sail plan and polar (-1 when a sail plan itself is chosen).
    std::function<void(int nSailPlan, int nPolar)> onChoice;
    // The width that shows every column whole, its header (which is longer in some languages
    // than in English) and the rows listed so far.
    int WidthToShowAll() const;

  private:
    // Lists the polars under a sail plan's item, once.
    void FillPolars(QTreeWidgetItem* pPlanItem);
    const SailPlanArray* m_pSailPlans = nullptr;
};
