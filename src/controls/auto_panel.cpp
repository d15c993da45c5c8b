#include <algorithm>

#include "controls/auto_panel.h"

namespace norvalt {

LogicalFont CAutoPanel::defaultTitleFont()
{
    LogicalFont font;
    font.outPrecision = 7;    // TrueType only: the Y title is drawn rotated
    font.quality = 2;
    font.pitchAndFamily = 2;
    return font;
}

void CAutoPanel::paint(ChartCanvas& target, const PixelRect& area)
{
    const int width = area.width(), height = area.height();
    // Whatever happens, the next paint computes its automatic ranges afresh.
    struct ClearReady {
        CAutoAxis& axis;
        ~ClearReady() { axis.xRangeReady = axis.yRangeReady = false; }
    } clearReady{*this};
    if (width <= 0 || height <= 0 || !target.beginBitmap(width, height)) return;
    canvas = &target;
    target.fillRect({0, 0, width, height}, windowBackground);

    PixelRect r{0, 0, width, height};
    r.bottom -= outerMargin;
    r.left += outerMargin;

    int titleHeight = 0, yTitleHeight = 0;
    if (!xTitle.empty()) {
        target.selectFont(titleFont);
        titleHeight = target.textExtent(xTitle).height;
        target.textOut(r.right - outerMargin - 1, r.bottom, TextAlign::RightBottom, xTitle, titleColour);
    }
    if (!yTitle.empty()) {
        LogicalFont upward = titleFont;
        upward.escapement = upward.orientation = 900;
        target.selectFont(upward);
        yTitleHeight = target.textExtent(yTitle).height;
        target.textOut(r.left, r.top + outerMargin + 1, TextAlign::RightTop, yTitle, titleColour);
    }
    r.bottom -= titleHeight + titleGap;
    r.left += yTitleHeight + titleGap;

    target.selectFont(labelFont);
    const FontMetrics metrics = target.fontMetrics();
    tickLength = std::max(1, metrics.height / 3);
    tickOverhang = std::max(1, metrics.height / 6);
    labelGap = std::max(1, metrics.height / 5);
    const int boxed = (axisStyle & (axisTicksTopRight | axisBox)) ? 1 : 0;
    const int outside = boxed + ((axisStyle & axisTicksTopRight) ? tickOverhang : 0);
    r.top += std::max(metrics.ascent, outside);
    r.left += labelGap + tickOverhang + 1;
    r.right -= outside;
    r.bottom -= metrics.height + labelGap + tickOverhang + 1;
    const PixelRect base = r;

    // Narrow the plot until the labels of its own ticks fit beside it; each
    // pass keeps inside the last, so this ends.
    PixelRect plot = base;
    for (;;) {
        if (plot.empty()) return;
        rect = plot;
        establishRanges();
        int xWidest = computeXTicks();
        int yWidest = computeYTicks();
        PixelRect next = base;
        next.left = base.left + std::max(yWidest, xWidest / 2 - labelGap - tickOverhang);
        next.right = base.right - 1 - xWidest / 2;
        next = intersect(next, plot);
        if (next == plot) break;
        plot = next;
    }
    drawPlot();
    target.copyBitmapToTarget(area.left, area.top);
}

} // namespace norvalt
