#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "controls/auto_panel.h"
#include "controls/chart_line.h"

namespace norvalt {

PixelRect intersect(const PixelRect& a, const PixelRect& b)
{
    PixelRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
    return r.empty() ? PixelRect{} : r;
}

int mulDiv(int a, int b, int c)
{
    if (c == 0) return -1;
    std::int64_t p = static_cast<std::int64_t>(a) * b;
    bool negative = (p < 0) != (c < 0);
    std::int64_t q = (std::llabs(p) + std::llabs(c) / 2) / std::llabs(c);
    return static_cast<int>(negative ? -q : q);
}

namespace {

// Stores a view, or makes the axis automatic when it is no range.
void storeView(bool& automatic, double& low, double& high, double min, double max)
{
    if (!(min < max) || !std::isfinite(min) || !std::isfinite(max)) {
        automatic = true;
        return;
    }
    automatic = false;
    low = min;
    high = max;
}

} // namespace

void CAutoCoordObject::setXRange(double min, double max)
{
    if (min >= max) {
        autoX = true;
        return;
    }
    // A logarithmic axis that would reach down to log 0 has no range to show;
    // it follows the data instead (storeView makes it automatic).
    if (flags & chartLogX) storeView(autoX, explicitXMin, explicitXMax, std::log10(std::max(min, 0.0)), std::log10(max));
    else storeView(autoX, explicitXMin, explicitXMax, min, max);
}

void CAutoCoordObject::setYRange(double min, double max)
{
    if (min >= max) {
        autoY = true;
        return;
    }
    if (flags & chartLogY) storeView(autoY, explicitYMin, explicitYMax, std::log10(min), std::log10(max));
    else storeView(autoY, explicitYMin, explicitYMax, min, max);
}

void CAutoCoordObject::setXView(double min, double max)
{
    storeView(autoX, explicitXMin, explicitXMax, min, max);
}

void CAutoCoordObject::setYView(double min, double max)
{
    storeView(autoY, explicitYMin, explicitYMax, min, max);
}

PixelPoint CAutoCoordObject::mapPoint(double x, double y) const
{
    if (flags & chartPolar) return {mapX(std::cos(x) * y), mapY(std::sin(x) * y)};
    return {mapX(x), mapY(y)};
}

void ColumnRuns::moveTo(PixelPoint p)
{
    flush();
    canvas_.moveTo(p.x, p.y);
    current_ = p;
}

void ColumnRuns::lineTo(PixelPoint p)
{
    if (!merge_) {
        canvas_.lineTo(p.x, p.y);
        current_ = p;
        return;
    }
    if (p == current_) return;
    if (p.x != current_.x) {
        flush();
        canvas_.lineTo(p.x, p.y);
        current_ = p;
        return;
    }
    if (!inRun_) {
        inRun_ = true;
        runStart_ = runMin_ = runMax_ = current_.y;
    }
    endReachedBefore_ = p.y == runMin_ || p.y == runMax_;
    runMin_ = std::min(runMin_, p.y);
    runMax_ = std::max(runMax_, p.y);
    current_ = p;
}

void ColumnRuns::dot(PixelPoint p)
{
    flush();
    canvas_.ellipse(p.x - 2, p.y - 2, p.x + 3, p.y + 3);
}

void ColumnRuns::flush()
{
    if (!inRun_) return;
    inRun_ = false;
    int x = current_.x;
    int end = current_.y;
    int at = runStart_;
    auto piece = [&](int y) {
        if (y == at) return;
        canvas_.lineTo(x, y);
        at = y;
    };
    if (end > runMin_ && end < runMax_) {
        // The end lies between the extremes: passing both covers it.
        piece(runStart_ == runMin_ ? runMax_ : runMin_);
        piece(runStart_ == runMin_ || runStart_ == runMax_ ? end : runMax_);
        piece(end);
    } else {
        int far = end == runMax_ ? runMin_ : runMax_;
        if (endReachedBefore_ || runStart_ == end) {
            // The end pixel is drawn: reach it once before ending there.
            piece(end);
            piece(far);
            piece(end);
        } else {
            piece(far);
            piece(end);
        }
    }
}

void ClippedLine::start(PixelPoint p)
{
    last = p;
    lastInside = inside(p);
    if (lastInside) out_.moveTo(p);
}

void ClippedLine::to(PixelPoint p)
{
    if (p == last) return;
    bool newInside = inside(p);
    if (!lastInside && !newInside) {
        last = p;
        return;
    }
    PixelPoint a = last;
    PixelPoint n = p;
    // Moves the end on the outer side of an edge onto the edge's line along the segment.
    auto clipY = [](PixelPoint& outer, const PixelPoint& inner, int edge) {
        outer.x += mulDiv(inner.x - outer.x, edge - outer.y, inner.y - outer.y);
        outer.y = edge;
    };
    auto clipX = [](PixelPoint& outer, const PixelPoint& inner, int edge) {
        outer.y += mulDiv(inner.y - outer.y, edge - outer.x, inner.x - outer.x);
        outer.x = edge;
    };
    int top = rect_.top, bottom = rect_.bottom - 1, left = rect_.left, right = rect_.right - 1;
    if (a.y < top && n.y >= top) clipY(a, n, top);
    else if (n.y < top && a.y >= top) clipY(n, a, top);
    if (a.y > bottom && n.y <= bottom) clipY(a, n, bottom);
    else if (n.y > bottom && a.y <= bottom) clipY(n, a, bottom);
    if (a.x < left && n.x >= left) clipX(a, n, left);
    else if (n.x < left && a.x >= left) clipX(n, a, left);
    if (a.x > right && n.x <= right) clipX(a, n, right);
    else if (n.x > right && a.x <= right) clipX(n, a, right);

    if (!lastInside) out_.moveTo(a);
    out_.lineTo(n);
    // A dot marks a point: where the segment is cut at an edge there is none.
    if (newInside && std::abs(n.x - a.x) > 12) out_.dot(n);
    last = p;
    lastInside = newInside;
}

} // namespace norvalt
