#include "apps/polar-editor/chart_labels.h"

#include <QLineF>
#include <algorithm>
#include <cmath>

namespace {

// Clips the segment a-b to the box (Liang and Barsky); true when any part of it lies inside.
bool SegmentTouches(QPointF a, QPointF b, const QRectF& box) {
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    double t0 = 0;
    double t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - box.left(), box.right() - a.x(), a.y() - box.top(),
                         box.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) {
                return false;
            }
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
        if (t0 > t1) {
            return false;
        }
    }
    return true;
}

// A label keeps this far from curves and other labels, in pixels.
constexpr double kClearance = 2.0;
// Candidate places along one curve, at most: enough to find a gap, few enough for a repaint.
constexpr std::size_t kCandidatesPerCurve = 90;

class Placer {
  public:
    Placer(const std::vector<QPolygonF>& curves, const std::vector<QRectF>& obstacles,
           const LabelRoom& room)
        : m_curves(curves), m_taken(obstacles), m_room(room) {
        for (const QPolygonF& curve : curves) {
            m_curveBounds.push_back(curve.boundingRect());
        }
    }

    bool Fits(const QRectF& box) const {
        if (!m_room.bounds.contains(box)) {
            return false;
        }
        const QRectF clear = box.adjusted(-kClearance, -kClearance, kClearance, kClearance);
        for (const QRectF& taken : m_taken) {
            if (taken.intersects(clear)) {
                return false;
            }
        }
        for (std::size_t i = 0; i < m_curves.size(); ++i) {
            if (m_curveBounds[i].intersects(clear) && PolylineTouches(m_curves[i], clear)) {
                return false;
            }
        }
        return true;
    }

    void Take(const QRectF& box) { m_taken.push_back(box); }

    // The box of size beside p, on the side away from the pole (nSide 1) or towards it (-1).
    QRectF BoxBeside(QPointF p, QSizeF size, int nSide) const {
        QPointF d = p - m_room.pole;
        const double fLength = std::hypot(d.x(), d.y());
        d = fLength > 0 ? d / fLength : QPointF(1, 0);
        // From the box's centre to its edge along d.
        const double fToEdgeX = std::abs(d.x()) > 1e-9 ? size.width() / 2 / std::abs(d.x()) : 1e9;
        const double fToEdgeY = std::abs(d.y()) > 1e-9 ? size.height() / 2 / std::abs(d.y()) : 1e9;
        const double fToEdge = std::min(fToEdgeX, fToEdgeY);
        const QPointF centre = p + nSide * d * (fToEdge + kClearance + 1.5);
        return {centre - QPointF(size.width() / 2, size.height() / 2), size};
    }

  private:
    const std::vector<QPolygonF>& m_curves;
    std::vector<QRectF> m_curveBounds;
    std::vector<QRectF> m_taken;
    const LabelRoom& m_room;
};

std::size_t OutermostVertex(const QPolygonF& curve) {
    const auto outer = std::max_element(curve.begin(), curve.end(),
                                        [](QPointF a, QPointF b) { return a.x() < b.x(); });
    return static_cast<std::size_t>(outer - curve.begin());
}

// The curve's vertices from its outermost one outwards both ways, thinned to a number that a
// repaint can try.
std::vector<std::size_t> CandidateVertices(const QPolygonF& curve) {
    const auto nCount = static_cast<std::size_t>(curve.size());
    const std::size_t nStep = std::max<std::size_t>(1, nCount / kCandidatesPerCurve);
    const std::size_t nStart = OutermostVertex(curve);
    std::vector<std::size_t> order{nStart};
    for (std::size_t nOffset = nStep; nOffset < nCount; nOffset += nStep) {
        if (nStart + nOffset < nCount) {
            order.push_back(nStart + nOffset);
        }
        if (nOffset <= nStart) {
            order.push_back(nStart - nOffset);
        }
    }
    return order;
}

}  // namespace

bool PolylineTouches(const QPolygonF& line, const QRectF& box) {
    if (line.size() == 1) {
        return box.contains(line.front());
    }
    for (qsizetype i = 1; i < line.size(); ++i) {
        const QPointF a = line[i - 1];
        const QPointF b = line[i];
        if (std::max(a.x(), b.x()) < box.left() || std::min(a.x(), b.x()) > box.right() ||
            std::max(a.y(), b.y()) < box.top() || std::min(a.y(), b.y()) > box.bottom()) {
            continue;
        }
        if (SegmentTouches(a, b, box)) {
            return true;
        }
    }
    return false;
}

std::vector<PlacedLabel> PlaceCurveLabels(const std::vector<QPolygonF>& curves,
                                          const std::vector<QSizeF>& sizes,
                                          const std::vector<QRectF>& obstacles,
                                          const LabelRoom& room) {
    Placer placer(curves, obstacles, room);
    std::vector<PlacedLabel> placed(curves.size());
    std::vector<std::size_t> aForColumn;
    for (std::size_t i = 0; i < curves.size() && i < sizes.size(); ++i) {
        if (sizes[i].isEmpty() || curves[i].isEmpty()) {
            continue;
        }
        bool bPlaced = false;
        for (std::size_t k : CandidateVertices(curves[i])) {
            for (int nSide : {1, -1}) {
                const QRectF box =
                    placer.BoxBeside(curves[i][static_cast<qsizetype>(k)], sizes[i], nSide);
                if (placer.Fits(box)) {
                    placed[i].box = box;
                    placed[i].bShown = true;
                    placer.Take(box);
                    bPlaced = true;
                    break;
                }
            }
            if (bPlaced) {
                break;
            }
        }
        if (!bPlaced) {
            aForColumn.push_back(i);
        }
    }
    // The column: each label at its curve's outermost point's height, then pushed down past
    // the one above it, then up again from the column's foot where the last ones overflow it.
    for (std::size_t i : aForColumn) {
        placed[i].anchor = curves[i][static_cast<qsizetype>(OutermostVertex(curves[i]))];
        placed[i].bLeader = true;
    }
    std::sort(aForColumn.begin(), aForColumn.end(), [&placed](std::size_t a, std::size_t b) {
        return placed[a].anchor.y() < placed[b].anchor.y();
    });
    const double fGap = 2 * kClearance + 1;
    double fNextTop = room.bounds.top();
    for (std::size_t i : aForColumn) {
        const double fTop = std::max(placed[i].anchor.y() - sizes[i].height() / 2, fNextTop);
        placed[i].box = QRectF(QPointF(room.fColumnLeft, fTop), sizes[i]);
        fNextTop = fTop + sizes[i].height() + fGap;
    }
    double fNextBottom = room.fColumnBottom;
    for (auto it = aForColumn.rbegin(); it != aForColumn.rend(); ++it) {
        QRectF& box = placed[*it].box;
        if (box.bottom() > fNextBottom) {
            box.moveBottom(fNextBottom);
        }
        fNextBottom = box.top() - fGap;
    }
    for (std::size_t i : aForColumn) {
        if (placer.Fits(placed[i].box)) {
            placed[i].bShown = true;
            placer.Take(placed[i].box);
        }
    }
    return placed;
}
