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
    void ShowSailPlans(const SailPlanArray& aSailPlans, int nSailPlan, int nPolar);
    // Called with the chosen sail plan and polar (-1 when a sail plan itself is chosen).
    std::function<void(int nSailPlan, int nPolar)> onChoice;
};
