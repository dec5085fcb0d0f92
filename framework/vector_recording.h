#pragma once

#include <QPainter>
#include <functional>
#include <utility>
#include <vector>

// Drawing kept as painter steps in client units rather than as pixels: what a memory bitmap
// holds when it was made for a context that draws vector shapes (a picture for SVG or PDF).
// Playing it back draws the same shapes again, on any painter.
class VectorRecording {
  public:
    using Step = std::function<void(QPainter&)>;
    void Add(Step step) { m_aSteps.push_back(std::move(step)); }
    void Play(QPainter& painter) const {
        for (const Step& step : m_aSteps) {
            painter.save();
            step(painter);
            painter.restore();
        }
    }

  private:
    std::vector<Step> m_aSteps;
};
