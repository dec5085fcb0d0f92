#pragma once

#include <QWidget>
#include <vector>

#include "logs/comparison.h"

// compare's result drawn: the median boat speed as a percentage of the sail plan's, over the
// true wind angle, one line per wind speed, with the 100 % line across.
class ComparisonPlot : public QWidget {
  public:
    explicit ComparisonPlot(QWidget* pParent = nullptr);
    void ShowBins(std::vector<ComparisonBin> bins);
    QSize sizeHint() const override { return {480, 260}; }

  protected:
    void paintEvent(QPaintEvent* pEvent) override;

  private:
    std::vector<ComparisonBin> m_bins;
};
