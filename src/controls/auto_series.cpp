#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "controls/auto_panel.h"
#include "controls/chart_line.h"

namespace norvalt {

namespace {

bool finite(double x, double y)
{
    return std::isfinite(x) && std::isfinite(y);
}

// Zone colours by kind.
ColorRef zoneColour(const std::int32_t* kinds, int i)
{
    switch (kinds ? kinds[i] : 0) {
    case 1: return 0xA2FFFF;
    case 2: return 0xC5C5C5;
    case 3: return 0xC5C5FF;
    default: return 0xFFFFC2;
    }
}

constexpr ColorRef zoneOverlapColour = 0xC5C5FF;

// a + b·u + c·u² + d·u³
struct Cubic {
    double a = 0, b = 0, c = 0, d = 0;
    double at(double u) const { return a + u * (b + u * (c + u * d)); }
};

// Slope at the middle point of the parabola through three points.
double parabolaSlope(double x0, double y0, double x1, double y1, double x2, double y2)
{
    double h0 = x1 - x0, h1 = x2 - x1;
    double d0 = (y1 - y0) / h0, d1 = (y2 - y1) / h1;
    return (h1 * d0 + h0 * d1) / (h0 + h1);
}

// The parabola through (xa, ya), (xb, yb), (xc, yc) in u = x − xs, where xs
// is xa or xb: the start of the interval it draws.
Cubic parabola(double xa, double ya, double xb, double yb, double xc, double yc, bool fromMiddle)
{
    double dab = (yb - ya) / (xb - xa), dbc = (yc - yb) / (xc - xb);
    double cc = (dbc - dab) / (xc - xa);
    // Newton form from the interval's start: y = ys + d·u + cc·u·(u − h).
    if (fromMiddle) return {yb, dbc - cc * (xc - xb), cc, 0};
    return {ya, dab - cc * (xb - xa), cc, 0};
}

// The cubic in X from (x0, y0) to (x1, y1) with slopes m0 and m1 there.
Cubic hermite(double x0, double y0, double m0, double x1, double y1, double m1)
{
    double h = x1 - x0;
    double delta = (y1 - y0) / h;
    return {y0, m0, (3 * delta - 2 * m0 - m1) / h, (m0 + m1 - 2 * delta) / (h * h)};
}

// Uniform Catmull-Rom of p0..p3 for the interval p1..p2, t from 0 to 1.
Cubic catmullRom(double p0, double p1, double p2, double p3)
{
    return {p1, (p2 - p0) / 2, (2 * p0 - 5 * p1 + 4 * p2 - p3) / 2, (3 * p1 - p0 - 3 * p2 + p3) / 2};
}

// The parametric parabola through p0, p1, p2 at t = 0, 1, 2, for the
// interval p0..p1 (first) or p1..p2 (last), t counted from its start.
Cubic parametricParabola(double p0, double p1, double p2, bool last)
{
    double k = (p2 - 2 * p1 + p0) / 2;
    if (last) return {p1, (p1 - p0) + k, k, 0};
    return {p0, (p1 - p0) - k, k, 0};
}

bool strictlyMonotonic(const std::vector<double>& xs)
{
    double first = xs[1] - xs[0];
    if (first == 0 || std::isnan(first)) return false;
    for (std::size_t i = 1; i < xs.size(); ++i) {
        double d = xs[i] - xs[i - 1];
        if (first > 0 ? !(d > 0) : !(d < 0)) return false;
    }
    return true;
}

} // namespace

double CAutoSeries::x(int i) const
{
    double v = xValues ? xValues[i] : xStart + i * xIncrement;
    return logX_ ? std::log10(v) : v;
}

double CAutoSeries::y(int i) const
{
    double v = yValues ? yValues[i] : yStart + i * yIncrement;
    return logY_ ? std::log10(v) : v;
}

void CAutoSeries::select()
{
    polar_ = (flags & chartPolar) != 0;
    logX_ = (flags & chartLogX) != 0;
    logY_ = (flags & chartLogY) != 0;
}

bool CAutoSeries::xExtent(double& min, double& max) const
{
    if (markerStyle == 6) return false;
    bool any = false;
    for (int i = 0; i < count; ++i) {
        double xi = x(i), yi = y(i);
        if (!finite(xi, yi)) continue;
        double v = polar_ ? std::cos(xi) * yi : xi;
        if (!any) min = max = v;
        min = std::min(min, v);
        max = std::max(max, v);
        any = true;
    }
    return any;
}

bool CAutoSeries::yExtent(double& min, double& max) const
{
    if (markerStyle == 6) return false;
    bool any = false;
    for (int i = 0; i < count; ++i) {
        double xi = x(i), yi = y(i);
        if (!finite(xi, yi)) continue;
        double v = polar_ ? std::sin(xi) * yi : yi;
        if (!any) min = max = v;
        min = std::min(min, v);
        max = std::max(max, v);
        any = true;
    }
    return any;
}

void CAutoSeries::draw(bool mergeColumnRuns) const
{
    if (markerStyle == 6) {
        drawZones();
        return;
    }
    canvas->selectPen(penStyle, penWidth, colour);
    canvas->selectNullBrush();
    drawMarkers();
    if (count < 2 || lineMode == 0) return;
    // Merging is exact only where a vertical line is its column of pixels.
    bool merge = mergeColumnRuns && penStyle == 0 && penWidth <= 1;
    if (lineMode == 2 && count >= 3) drawSmooth(merge);
    else drawStraight(merge);
}

void CAutoSeries::drawMarkers() const
{
    if (markerStyle <= 0 || markerStyle > 5) return;
    const int s = markerSize;
    ChartCanvas& c = *canvas;
    for (int i = 0; i < count; ++i) {
        double xi = x(i), yi = y(i);
        if (!finite(xi, yi)) continue;
        PixelPoint p = mapPoint(xi, yi);
        if (!rect.contains(p)) continue;
        switch (markerStyle) {
        case 1: c.ellipse(p.x - s, p.y - s, p.x + s + 1, p.y + s + 1); break;
        case 2:
            c.moveTo(p.x - s, p.y - s);
            c.lineTo(p.x + s + 1, p.y + s + 1);
            c.moveTo(p.x + s, p.y - s);
            c.lineTo(p.x - s - 1, p.y + s + 1);
            break;
        case 3:
            c.moveTo(p.x, p.y - s);
            c.lineTo(p.x, p.y + s + 1);
            c.moveTo(p.x - s, p.y);
            c.lineTo(p.x + s + 1, p.y);
            break;
        case 4: c.rectangle(p.x - s, p.y - s, p.x + s + 1, p.y + s + 1); break;
        case 5: {
            c.ellipse(p.x - s, p.y - s, p.x + s + 1, p.y + s + 1);
            PixelPoint l;
            if (linkedSeries && i < linkedSeries->count) {
                double lx = linkedSeries->x(i), ly = linkedSeries->y(i);
                if (finite(lx, ly)) l = mapPoint(lx, ly);
            }
            int d = p.y > l.y ? 1 : -1;
            int gap = std::abs(p.y - l.y);
            if (gap >= s) {
                c.moveTo(p.x, p.y - d * s);
                c.lineTo(l.x, l.y);
            }
            if (gap >= 4 * s) {
                c.moveTo(l.x, l.y);
                c.lineTo(l.x - 2, l.y + 3 * s * d);
                c.moveTo(l.x, l.y);
                c.lineTo(l.x + 2, l.y + 3 * s * d);
            }
            break;
        }
        }
    }
}

void CAutoSeries::drawStraight(bool merge) const
{
    ColumnRuns out(*canvas, merge);
    ClippedLine line(rect, out);
    bool started = false;
    for (int i = 0; i < count; ++i) {
        double xi = x(i), yi = y(i);
        if (!finite(xi, yi)) continue;
        PixelPoint p = mapPoint(xi, yi);
        if (started) line.to(p);
        else line.start(p);
        started = true;
    }
}

void CAutoSeries::drawSmooth(bool merge) const
{
    std::vector<double> xs, ys;
    xs.reserve(count);
    ys.reserve(count);
    for (int i = 0; i < count; ++i) {
        double xi = x(i), yi = y(i);
        if (!finite(xi, yi)) continue;
        xs.push_back(xi);
        ys.push_back(yi);
    }
    const int n = static_cast<int>(xs.size());
    if (n < 2) return;
    ColumnRuns out(*canvas, merge);
    ClippedLine line(rect, out);
    line.start(mapPoint(xs[0], ys[0]));
    if (n == 2) {
        line.to(mapPoint(xs[1], ys[1]));
        return;
    }
    const int steps = std::max(1, static_cast<int>(curveSteps));

    if (strictlyMonotonic(xs)) {
        for (int j = 0; j + 1 < n; ++j) {
            Cubic c;
            if (j == 0) c = parabola(xs[0], ys[0], xs[1], ys[1], xs[2], ys[2], false);
            else if (j == n - 2) c = parabola(xs[n - 3], ys[n - 3], xs[n - 2], ys[n - 2], xs[n - 1], ys[n - 1], true);
            else {
                double m0 = parabolaSlope(xs[j - 1], ys[j - 1], xs[j], ys[j], xs[j + 1], ys[j + 1]);
                double m1 = parabolaSlope(xs[j], ys[j], xs[j + 1], ys[j + 1], xs[j + 2], ys[j + 2]);
                c = hermite(xs[j], ys[j], m0, xs[j + 1], ys[j + 1], m1);
            }
            double h = xs[j + 1] - xs[j];
            if (!polar_) {
                // X is monotonic and mapped linearly: when both ends of the
                // interval fall into one pixel column, every piece does.
                int column = mapX(xs[j + 1]);
                if (column == mapX(xs[j])) {
                    for (int k = 1; k < steps; ++k) line.to({column, mapY(c.at(h * k / steps))});
                    line.to({column, mapY(ys[j + 1])});
                    continue;
                }
            }
            for (int k = 1; k < steps; ++k) {
                double u = h * k / steps;
                line.to(mapPoint(xs[j] + u, c.at(u)));
            }
            line.to(mapPoint(xs[j + 1], ys[j + 1]));
        }
        return;
    }

    for (int j = 0; j + 1 < n; ++j) {
        Cubic cx, cy;
        if (j == 0) {
            cx = parametricParabola(xs[0], xs[1], xs[2], false);
            cy = parametricParabola(ys[0], ys[1], ys[2], false);
        } else if (j == n - 2) {
            cx = parametricParabola(xs[n - 3], xs[n - 2], xs[n - 1], true);
            cy = parametricParabola(ys[n - 3], ys[n - 2], ys[n - 1], true);
        } else {
            cx = catmullRom(xs[j - 1], xs[j], xs[j + 1], xs[j + 2]);
            cy = catmullRom(ys[j - 1], ys[j], ys[j + 1], ys[j + 2]);
        }
        for (int k = 1; k < steps; ++k) {
            double t = static_cast<double>(k) / steps;
            line.to(mapPoint(cx.at(t), cy.at(t)));
        }
        line.to(mapPoint(xs[j + 1], ys[j + 1]));
    }
}

void CAutoSeries::drawZones() const
{
    ChartCanvas& c = *canvas;
    c.selectNullPen();
    const int l = rect.left, r = rect.right;
    struct Span {
        int from, to;
    };
    std::vector<Span> spans;
    for (int i = 0; i < count; ++i) {
        double from = xValues ? xValues[i] : xStart + i * xIncrement;
        double to = yValues ? yValues[i] : yStart + i * yIncrement;
        // Both ends are X positions: on a logarithmic X axis both are logarithms.
        if (logX_) {
            from = std::log10(from);
            to = std::log10(to);
        }
        if (!finite(from, to)) continue;
        int x1 = mapX(from), x2 = mapX(to);
        if (!((x1 > l || x2 > l) && (x1 < r || x2 < r))) continue;
        Span s{std::max(x1, l), std::min(x2, r)};
        c.fillRect({s.from, rect.top, s.to, rect.bottom + 1}, zoneColour(zoneKinds, i));
        spans.push_back(s);
    }
    for (std::size_t i = 0; i < spans.size(); ++i) {
        for (std::size_t j = i + 1; j < spans.size(); ++j) {
            const Span& a = spans[i];
            const Span& b = spans[j];
            int from = 0;
            if (a.from < b.from && b.from < a.to) from = b.from;
            else if (b.from < a.from && a.from < b.to) from = a.from;
            else continue;
            c.fillRect({from, rect.top, std::min(b.to, a.to), rect.bottom + 1}, zoneOverlapColour);
        }
    }
}

} // namespace norvalt
