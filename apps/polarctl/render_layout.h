#pragma once

// Where polarctl render puts the parts of its picture. Sizes are in client units (the units the
// diagram is drawn in, one pixel at scale 1); the picture has Scale() device pixels per unit.

// The editor's default diagram window: a picture of this size is drawn at scale 1.
constexpr int kRenderBaseWidth = 800;
constexpr int kRenderBaseHeight = 600;

// Device pixels per client unit for a picture of this many pixels: 1 up to the default size,
// then as much larger as the picture is, by its tighter side.
double RenderScale(int nWidth, int nHeight);

// What the layout has to make room for, in client units.
struct RenderParts {
    double dPictureWidth = 0.0;
    double dPictureHeight = 0.0;
    double dRingLabelWidth = 0.0;  // the widest speed-ring label, left of the pole
    double dAngleLabelWidth = 0.0;
    double dAngleLabelHeight = 0.0;
    double dLegendWidth = 0.0;
    double dLegendHeight = 0.0;
    double dTitleHeight = 0.0;  // 0: no title
};

// The placement of the diagram's half-disc and what surrounds it, in client units of the
// picture.
struct RenderLayout {
    int nRadius = 0;  // the half-disc's radius: the diagram's scale radius
    double dPoleX = 0.0;
    double dPoleY = 0.0;
    double dLegendLeft = 0.0;
    double dLegendTop = 0.0;
    double dTitleTop = 0.0;
    // The gap between the outer ring and the angle labels.
    double dAngleLabelGap = 0.0;
};

// The largest half-disc that fits with its ring labels on the left, the angle labels around it,
// the legend on its right and the title above, all of it centred in the picture.
RenderLayout LayOutRender(const RenderParts& parts);

// The ring labels' right edge is this share of the radius left of the pole (as the diagram
// draws them).
constexpr double kRingLabelOffsetShare = 0.02;
