#include <algorithm>
#include <cmath>

#include "controls/auto_panel.h"
#include "text/format.h"

namespace norvalt {

namespace {

// More ticks than any screen has pixels for: the bound of a degenerate
// range whose tick indices no longer step.
constexpr int maxTicks = 10000;

// The data extent of the series along one axis, widened to the smallest
// automatic range; false without data.
template <class Extent>
bool seriesRange(std::vector<CAutoSeries>& series, std::int32_t flags, const CAutoAxis& axis, int precision,
                 double& min, double& max, Extent extent)
{
    bool any = false;
    for (CAutoSeries& s : series) {
        s.flags = flags;
        axis.updateSeries(s);
        double lo, hi;
        if (!extent(s, lo, hi)) continue;
        if (!any) {
            min = lo;
            max = hi;
        }
        min = std::min(min, lo);
        max = std::max(max, hi);
        any = true;
    }
    if (!any) return false;
    double k = std::pow(10.0, -precision);
    if (min == max) {
        min -= k / 2;
        max += k / 2;
    } else {
        double d = std::max(std::fabs(min), std::fabs(max)) * k;
        if (d > max - min) {
            double centre = (min + max) / 2;
            min = centre - d / 2;
            max = centre + d / 2;
        }
    }
    return true;
}

} // namespace

int TickSpacing::count() const
{
    if (!(step > 0)) return 0;
    double n = lastIndex - firstIndex + 1;
    if (!(n >= 1)) return 0;
    return n > maxTicks ? maxTicks : static_cast<int>(n);
}

int CAutoAxis::addSeries()
{
    series.emplace_back();
    return static_cast<int>(series.size()) - 1;
}

void CAutoAxis::updateSeries(CAutoSeries& s) const
{
    s.select();
}

void CAutoAxis::automaticXRange(double& min, double& max)
{
    if (xRangeReady) {
        min = xMin;
        max = xMax;
        return;
    }
    if (!seriesRange(series, flags, *this, xPrecision, min, max,
                     [](const CAutoSeries& s, double& lo, double& hi) { return s.xExtent(lo, hi); })) {
        min = max = xMin = xMax = 0;
        return;
    }
    xMin = min;
    xMax = max;
    xRangeReady = true;
}

void CAutoAxis::automaticYRange(double& min, double& max)
{
    if (yRangeReady) {
        min = yMin;
        max = yMax;
        return;
    }
    if (!seriesRange(series, flags, *this, yPrecision, min, max,
                     [](const CAutoSeries& s, double& lo, double& hi) { return s.yExtent(lo, hi); })) {
        min = max = yMin = yMax = 0;
        return;
    }
    yMin = min;
    yMax = max;
    yRangeReady = true;
}

void CAutoAxis::establishRanges()
{
    double min, max;
    if (autoX) {
        automaticXRange(min, max);
        xMin = min;
        xMax = max;
    } else {
        xMin = explicitXMin;
        xMax = explicitXMax;
    }
    if (autoY) {
        automaticYRange(min, max);
        yMin = min;
        yMax = max;
    } else {
        yMin = explicitYMin;
        yMax = explicitYMax;
    }
}

TickSpacing CAutoAxis::tickSpacing(double& min, double& max, double pixels, double spacing, bool automatic)
{
    TickSpacing t;
    double raw = (max - min) * spacing / pixels;
    if (!(raw > 0) || !std::isfinite(raw)) return t;
    int e = static_cast<int>(std::floor(std::log10(raw)));
    double m = raw * std::pow(10.0, -e);
    double f = m > 7.5 ? 10 : m > 3.5 ? 5 : m > 2.6 ? 3 : m > 2.4 ? 2.5 : m > 1.5 ? 2 : 1;
    double step = std::pow(10.0, e) * f;
    if (!(step > 0) || !std::isfinite(step)) return t;
    t.step = step;

    double h = std::floor(min / step);
    if (automatic && min - h * step < step / 2) {
        t.firstIndex = h;
        min = h * step;
    } else {
        t.firstIndex = std::ceil(min / step - 0.01);
    }
    double n = std::ceil(max / step);
    if (automatic && n * step - max < step / 2) {
        t.lastIndex = n;
        max = n * step;
    } else {
        t.lastIndex = std::floor(max / step + 0.01);
    }
    return t;
}

std::u16string CAutoAxis::tickLabel(double value)
{
    std::u16string text = formatGeneral(value, 10);
    return text == u"-0" ? u"0" : text;
}

namespace {

int widestLabel(ChartCanvas& canvas, const TickSpacing& t)
{
    int widest = 0;
    for (int k = 0, n = t.count(); k < n; ++k)
        widest = std::max(widest, canvas.textExtent(CAutoAxis::tickLabel((t.firstIndex + k) * t.step)).width);
    return widest;
}

} // namespace

int CAutoAxis::computeXTicks()
{
    const int a = std::max(1, canvas->fontMetrics().averageCharWidth);
    const double w = rect.right - rect.left;
    int spacing = 6 * a;
    int widest = 0;
    double min, max;
    TickSpacing t;
    for (;;) {
        min = xMin;
        max = xMax;
        t = tickSpacing(min, max, w, spacing, autoX);
        widest = widestLabel(*canvas, t);
        spacing += a;
        if (t.step == 0 || spacing >= w || widest + 3 * a <= w * t.step / (xMax - xMin)) break;
    }
    xMin = min;
    xMax = max;
    xTicks_ = t;
    xStep = t.step;
    firstXTick = t.first();
    lastXTick = t.last();
    return widest;
}

int CAutoAxis::computeYTicks()
{
    FontMetrics metrics = canvas->fontMetrics();
    TickSpacing t = tickSpacing(yMin, yMax, rect.bottom - rect.top, 2 * metrics.height, autoY);
    yTicks_ = t;
    yStep = t.step;
    firstYTick = t.first();
    lastYTick = t.last();
    return widestLabel(*canvas, t);
}

void CAutoAxis::drawGrid()
{
    const PixelRect& p = rect;
    const bool outside = (axisStyle & axisTicksTopRight) != 0;
    canvas->selectPen(0, 1, gridColour);
    if (axisStyle & axisGridX) {
        for (int k = 0, n = xTicks_.count(); k < n; ++k) {
            int px = mapX((xTicks_.firstIndex + k) * xTicks_.step);
            canvas->moveTo(px, outside ? p.top + tickLength : p.top);
            canvas->lineTo(px, p.bottom - tickLength);
        }
    }
    if (axisStyle & axisGridY) {
        for (int k = 0, n = yTicks_.count(); k < n; ++k) {
            int py = mapY((yTicks_.firstIndex + k) * yTicks_.step);
            canvas->moveTo((outside ? p.right - tickLength : p.right) - 1, py);
            canvas->lineTo(p.left - 1 + tickLength, py);
        }
    }
}

void CAutoAxis::drawAxes()
{
    const PixelRect& p = rect;
    const bool outside = (axisStyle & axisTicksTopRight) != 0;
    const int t = tickLength, o = tickOverhang, g = labelGap;
    canvas->selectPen(0, frameWidth, axisColour);
    canvas->moveTo(p.left - 1, p.top - 1);
    canvas->lineTo(p.left - 1, p.bottom);
    canvas->lineTo(p.right, p.bottom);
    if (axisStyle & (axisTicksTopRight | axisBox)) {
        canvas->lineTo(p.right, p.top - 1);
        canvas->lineTo(p.left - 1, p.top - 1);
    }
    if (xTicks_.step == 0 || yTicks_.step == 0) return;
    for (int k = 0, n = xTicks_.count(); k < n; ++k) {
        double v = (xTicks_.firstIndex + k) * xTicks_.step;
        int px = mapX(v);
        canvas->moveTo(px, p.bottom - t);
        canvas->lineTo(px, p.bottom + 1 + o);
        if (outside) {
            canvas->moveTo(px, p.top - o - 1);
            canvas->lineTo(px, p.top + t);
        }
        canvas->textOut(px, p.bottom + 1 + o + g, TextAlign::CentreTop, tickLabel(v), axisColour);
    }
    for (int k = 0, n = yTicks_.count(); k < n; ++k) {
        double v = (yTicks_.firstIndex + k) * yTicks_.step;
        int py = mapY(v);
        canvas->moveTo(p.left - 1 + t, py);
        canvas->lineTo(p.left - o - 2, py);
        if (outside) {
            canvas->moveTo(p.right + o, py);
            canvas->lineTo(p.right - t - 1, py);
        }
        canvas->textOut(p.left - o - 2 - g + 1, py, TextAlign::RightBaseline, tickLabel(v), axisColour);
    }
}

void CAutoAxis::drawPlot()
{
    canvas->selectFont(labelFont);
    establishRanges();
    computeXTicks();
    computeYTicks();

    canvas->fillRect(rect, plotBackground);
    if (frameWidth > 1) {
        canvas->selectPen(0, frameWidth, 0x000000);
        canvas->selectNullBrush();
        canvas->rectangle(rect.left, rect.top, rect.right, rect.bottom);
    }
    // Without a tick step there is no scale to plot against: the frame only.
    if (xTicks_.step > 0 && yTicks_.step > 0) {
        drawGrid();
        for (CAutoSeries& s : series) {
            if (s.hidden) continue;
            // The series plots in the axis' rectangle, ranges and flags (an
            // explicit logarithmic axis never ran the automatic range that
            // would have handed the flags on).
            s.rect = rect;
            s.canvas = canvas;
            s.xMin = xMin;
            s.xMax = xMax;
            s.yMin = yMin;
            s.yMax = yMax;
            s.flags = flags;
            updateSeries(s);
            s.draw(mergeColumnRuns);
            if (s.markerStyle == 6) drawGrid();
        }
    }
    drawAxes();
}

} // namespace norvalt
