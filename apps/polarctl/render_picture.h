#pragma once

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <memory>
#include <string>
#include <vector>

#include "apps/polarctl/render_layout.h"
#include "data/sailplan.h"
#include "diagram/palette.h"

class DiagramHost;

// How the diagram goes into the picture: as the editor's pixels at the picture's scale, or as
// the shapes its drawing makes (for SVG and PDF; the host then keeps only scale-1 pixels).
enum class DiagramAs { Pixels, Shapes };

// What polarctl render draws, and how.
struct PictureOptions {
    int nWidth = kRenderBaseWidth;  // device pixels
    int nHeight = kRenderBaseHeight;
    bool bShowAll = true;
    DiagramPalette palette{};
    std::string strTitle;  // empty: no title
    DiagramAs diagram = DiagramAs::Pixels;
};

// The picture of one polar: the editor's diagram drawn by its own code at the scale the
// picture's size asks for, cut to its half-disc and ring labels and centred, with the angles
// around the outer ring, a legend of the wind speeds drawn and an optional title. It paints on
// any painter whose units are the picture's device pixels (an image, an SVG or a PDF page),
// the diagram as the editor's pixels or as the shapes its drawing makes. Needs a
// QApplication.
class PolarPicture {
  public:
    PolarPicture(SAILPLAN& sailPlan, int nPolar, const PictureOptions& options);
    ~PolarPicture();
    PolarPicture(const PolarPicture&) = delete;
    PolarPicture& operator=(const PolarPicture&) = delete;

    QSize Size() const { return QSize(m_options.nWidth, m_options.nHeight); }
    double Scale() const { return m_dScale; }
    const RenderLayout& Layout() const { return m_layout; }
    // Adds a dot for a logged sample: its true wind angle (degrees) and boat speed (knots).
    void AddMeasuredPoint(float fAngle, float fSpeed);
    void Paint(QPainter& painter);
    // The picture as an image of the requested size.
    QImage ToImage();

  private:
    void FindContent();
    void PaintAngleLabels(QPainter& painter) const;
    void PaintLegend(QPainter& painter) const;
    void PaintTitle(QPainter& painter) const;
    QPointF ToPicture(double x, double y) const;  // client units of the picture to device pixels

    PictureOptions m_options;
    SAILPLAN& m_sailPlan;
    int m_nPolar;
    double m_dScale = 1.0;
    RenderLayout m_layout;
    std::unique_ptr<DiagramHost> m_pHost;
    QPainterPath m_content;  // what is kept of the diagram, in the picture's device pixels
    QPoint m_hostToPicture;  // from the host's device pixels to the picture's
    QPointF m_hostPole;      // the pole in the host's client units
    std::vector<QPointF> m_aMeasured;  // picture client units
};
