#pragma once

#include <QWidget>
#include <map>
#include <string>

#include "apps/polar-editor/crossover.h"

// The crossover chart: true wind angle across (0 to 180 degrees), true wind speed up, each cell
// in the colour of the sail plan that is fastest there, with a legend of the sail plans.
class CrossoverChart : public QWidget {
  public:
    explicit CrossoverChart(QWidget* pParent = nullptr);

    // Computes the grid of these sail plans (sorted, as ViewedFile holds them).
    void ShowSailPlans(const SailPlanArray& aSailPlans);
    const CrossoverGrid& Grid() const { return m_grid; }
    // A sail plan keeps its colour by its name while the file's order changes; another file
    // starts afresh.
    void ForgetColors() { m_colorOf.clear(); }
    // The colour slot (see SailPlanColor) of the sail plan at that index.
    int ColorSlot(int nSailPlan) const { return m_slots.value(nSailPlan, nSailPlan); }

    QSize sizeHint() const override { return {520, 300}; }

    // The wind speeds ticked on the axis of a plot nHeight pixels high: whole knots, as many
    // as leave one and a half lines of nLine pixels between labels.
    static std::vector<float> WindTicks(const CrossoverGrid& grid, int nHeight, int nLine);
    static QString WindTickLabel(float fWind);

  protected:
    void paintEvent(QPaintEvent* pEvent) override;

  private:
    CrossoverGrid m_grid;
    QStringList m_names;
    QList<int> m_slots;
    std::map<std::string, int> m_colorOf;
};

// The colour a sail plan has in the chart and its legend, distinct for the first dozen.
QColor SailPlanColor(int nSailPlan);
