#include "apps/polarctl/render_layout.h"

#include <algorithm>
#include <cmath>

namespace {

// Client units.
constexpr double kMargin = 10.0;
constexpr double kAngleLabelGap = 5.0;
constexpr double kLegendGap = 18.0;
constexpr double kTitleGap = 6.0;
constexpr int kSmallestRadius = 10;

}  // namespace

double RenderScale(int nWidth, int nHeight) {
    const double dScale = std::min(static_cast<double>(nWidth) / kRenderBaseWidth,
                                   static_cast<double>(nHeight) / kRenderBaseHeight);
    return std::max(1.0, dScale);
}

RenderLayout LayOutRender(const RenderParts& parts) {
    const double dTitle = parts.dTitleHeight > 0.0 ? parts.dTitleHeight + kTitleGap : 0.0;
    const double dLegend = parts.dLegendWidth > 0.0 ? kLegendGap + parts.dLegendWidth : 0.0;
    const double dAngleBand = parts.dAngleLabelHeight + kAngleLabelGap;
    // The ring labels' offset from the pole grows with the radius.
    const double dByHeight =
        (parts.dPictureHeight - 2.0 * kMargin - dTitle - 2.0 * dAngleBand) / 2.0;
    const double dByWidth = (parts.dPictureWidth - 2.0 * kMargin - parts.dRingLabelWidth -
                             kAngleLabelGap - parts.dAngleLabelWidth - dLegend) /
                            (1.0 + kRingLabelOffsetShare);
    RenderLayout layout;
    layout.nRadius =
        std::max(kSmallestRadius, static_cast<int>(std::floor(std::min(dByHeight, dByWidth))));
    const double dRadius = layout.nRadius;
    const double dLeft = parts.dRingLabelWidth + kRingLabelOffsetShare * dRadius;
    const double dContentWidth =
        dLeft + dRadius + kAngleLabelGap + parts.dAngleLabelWidth + dLegend;
    const double dContentHeight = dTitle + 2.0 * dAngleBand + 2.0 * dRadius;
    const double dTop = (parts.dPictureHeight - dContentHeight) / 2.0;
    layout.dPoleX = (parts.dPictureWidth - dContentWidth) / 2.0 + dLeft;
    layout.dPoleY = dTop + dTitle + dAngleBand + dRadius;
    layout.dTitleTop = dTop;
    layout.dLegendLeft =
        layout.dPoleX + dRadius + kAngleLabelGap + parts.dAngleLabelWidth + kLegendGap;
    // Level with the half-disc's top, unless a long legend would run out of the picture.
    layout.dLegendTop = std::max(
        kMargin,
        std::min(layout.dPoleY - dRadius, parts.dPictureHeight - kMargin - parts.dLegendHeight));
    layout.dAngleLabelGap = kAngleLabelGap;
    return layout;
}
