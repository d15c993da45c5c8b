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

// Slope at the middle point of the parabola through three points, from
// the secants of the two intervals (widths h0, h1) around it.
double parabolaSlope(double h0, double d0, double h1, double d1)
{
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

// The cubic in X over an interval of width h from y0 with secant delta,
// with slopes m0 and m1 at its ends.
Cubic hermite(double y0, double h, double delta, double m0, double m1)
{
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

// The values of one interval's curve at the ends of its pieces, u_k = h · k / n.
struct IntervalSamples {
    Cubic curve;
    double h;
    const double* fractions;
    double first, last;   // the interval's own points
    int n;

    double at(int k) const { return k == 0 ? first : k == n ? last : curve.at(h * fractions[k]); }
};

// Between the turning points of a cubic it is monotonic, so the extremes of
// its samples over a range of indices lie at the range's ends or at the
// samples around a turning point. The windows are those samples: four
// indices from each `from`, one more on each side than the two neighbours,
// for the rounding of the turning point and of the samples near it.
struct TurningWindows {
    int from[2];
    int count = 0;

    TurningWindows(const Cubic& c, double h, int n)
    {
        // y' = b + 2c·u + 3d·u²; the quadratic's roots in the stable form.
        const double a2 = 3 * c.d, a1 = 2 * c.c, a0 = c.b;
        double roots[2];
        int found = 0;
        if (a2 == 0) {
            if (a1 != 0) roots[found++] = -a0 / a1;
        } else {
            double disc = a1 * a1 - 4 * a2 * a0;
            if (disc >= 0) {
                double q = -0.5 * (a1 + std::copysign(std::sqrt(disc), a1));
                roots[found++] = q != 0 ? q / a2 : 0;
                if (q != 0) roots[found++] = a0 / q;
            }
        }
        const double perUnit = n / h;
        for (int i = 0; i < found; ++i) {
            double k = roots[i] * perUnit;
            if (!(k > -2 && k < n + 2)) continue;
            int whole = static_cast<int>(k);   // toward zero: one less below 0 for the floor
            from[count++] = whole - (k < whole) - 1;
        }
    }

    void extremes(const IntervalSamples& s, int lo, int hi, double& low, double& high) const
    {
        low = std::min(s.at(lo), s.at(hi));
        high = std::max(s.at(lo), s.at(hi));
        for (int w = 0; w < count; ++w) {
            for (int k = std::max(from[w], lo + 1), last = std::min(from[w] + 3, hi - 1); k <= last; ++k) {
                double v = s.at(k);
                low = std::min(low, v);
                high = std::max(high, v);
            }
        }
    }
};

// The intervals of a smooth curve that lie in one pixel column, one after
// the other. Merged into a column run, their pieces come to the lowest and
// the highest pixel they reach, the pixel they end on, and whether that end
// was reached before the line arrived there for the last time. All of that
// follows from a few values through the mapping, which keeps their order:
// the line is handed only those points, with the same outcome as all the
// pieces, at a few mappings per column instead of one per piece.
class ColumnBatch {
public:
    ColumnBatch(const CAutoCoordObject& coords, ClippedLine& line) : coords_(coords), line_(line) {}

    void add(int column, const IntervalSamples& s)
    {
        if (intervals_.empty()) {
            column_ = column;
            low_ = high_ = s.first;
        }
        double low, high;
        TurningWindows(s.curve, s.h, s.n).extremes(s, 1, s.n, low, high);
        intervals_.push_back({s, low_, high_, low, high});
        low_ = std::min(low_, low);
        high_ = std::max(high_, high);
    }

    void flush()
    {
        if (intervals_.empty()) return;
        const PixelRect& rect = coords_.rect;
        // Larger values are higher on screen: smaller pixel rows.
        const int top = coords_.mapY(high_), bottom = coords_.mapY(low_);
        if (column_ < rect.left || column_ > rect.right - 1 || top < rect.top || bottom > rect.bottom - 1) {
            // Leaving the plot: the clipping needs every piece.
            for (const Interval& i : intervals_) {
                for (int k = 1; k <= i.samples.n; ++k) line_.to({column_, coords_.mapY(i.samples.at(k))});
            }
        } else if (top != bottom) {
            drawRun(top, bottom);
        }
        intervals_.clear();
    }

private:
    struct Interval {
        IntervalSamples samples;
        double lowBefore, highBefore;   // of the batch's samples up to this interval's start
        double low, high;               // of its own samples after the start
    };

    void drawRun(int top, int bottom)
    {
        const int end = coords_.mapY(intervals_.back().samples.last);
        const PixelPoint topPoint{column_, top}, bottomPoint{column_, bottom}, endPoint{column_, end};
        if (end > top && end < bottom) {
            // The end lies between the extremes: whether it was reached
            // before does not matter, nor the order of the extremes.
            line_.toInside(bottomPoint);
            line_.toInside(topPoint);
            line_.toInside(endPoint);
            return;
        }
        // The end is an extreme. The samples before the line's last arrival
        // there are those up to the last one on another pixel; the one
        // nearest the end's pixel among them is their extreme on that side.
        const bool lowEnd = end == bottom;
        double nearest = 0;
        bool found = false;
        for (std::size_t i = intervals_.size(); i-- > 0 && !found;) {
            const Interval& in = intervals_[i];
            if (coords_.mapY(in.low) == end && coords_.mapY(in.high) == end) {
                if (i == 0) nearest = lowEnd ? in.lowBefore : in.highBefore;   // the batch's start
                continue;
            }
            int k = in.samples.n;
            while (coords_.mapY(in.samples.at(k)) == end) --k;
            double low = in.lowBefore, high = in.highBefore;
            if (k >= 1) {
                double l, h;
                TurningWindows(in.samples.curve, in.samples.h, in.samples.n).extremes(in.samples, 1, k, l, h);
                low = std::min(low, l);
                high = std::max(high, h);
            }
            nearest = lowEnd ? low : high;
            found = true;
        }
        const PixelPoint far = lowEnd ? topPoint : bottomPoint;
        if (coords_.mapY(nearest) == end) line_.toInside(endPoint);
        line_.toInside(far);
        line_.toInside(endPoint);
    }

    const CAutoCoordObject& coords_;
    ClippedLine& line_;
    std::vector<Interval> intervals_;
    int column_ = 0;
    double low_ = 0, high_ = 0;   // of all the batch's samples
};

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
    // The curve runs through the finite points; a first pass counts them and
    // finds the kind of curve, the drawing reads them ahead as it needs them
    // (four at a time: no copy of a long series at every paint).
    int n = 0;
    bool monotonic = true;
    double previousX = 0, firstStep = 0;
    for (int i = 0; i < count; ++i) {
        double xi = x(i), yi = y(i);
        if (!finite(xi, yi)) continue;
        if (n == 1) firstStep = xi - previousX;
        if (n >= 1) {
            double d = xi - previousX;
            monotonic = monotonic && (firstStep > 0 ? d > 0 : firstStep < 0 && d < 0);
        }
        previousX = xi;
        ++n;
    }
    if (n < 2) return;

    // The finite points from the oldest one still needed on; load(i) reads
    // up to point i.
    double ringX[4], ringY[4];
    int loaded = 0, cursor = 0;
    auto load = [&](int i) {
        while (loaded <= i) {
            double xi = x(cursor), yi = y(cursor);
            ++cursor;
            if (!finite(xi, yi)) continue;
            ringX[loaded & 3] = xi;
            ringY[loaded & 3] = yi;
            ++loaded;
        }
    };
    auto px = [&](int i) { return ringX[i & 3]; };
    auto py = [&](int i) { return ringY[i & 3]; };
    load(std::min(n - 1, 2));

    ColumnRuns out(*canvas, merge);
    ClippedLine line(rect, out);
    line.start(mapPoint(px(0), py(0)));
    if (n == 2) {
        line.to(mapPoint(px(1), py(1)));
        return;
    }
    const int steps = std::max(1, static_cast<int>(curveSteps));
    // Where the pieces of an interval end, as fractions of it.
    double fractionsBuffer[64];
    std::vector<double> fractionsHeap;
    double* fractions = fractionsBuffer;
    if (steps >= 64) {
        fractionsHeap.resize(steps + 1);
        fractions = fractionsHeap.data();
    }
    for (int k = 0; k <= steps; ++k) fractions[k] = static_cast<double>(k) / steps;

    if (monotonic) {
        double slope = 0;
        double nextSecant = (py(1) - py(0)) / (px(1) - px(0));
        int startColumn = mapX(px(0));
        ColumnBatch batch(*this, line);
        for (int j = 0; j + 1 < n; ++j) {
            load(std::min(n - 1, j + 2));
            const double x0 = px(j), y0 = py(j);
            const double x1 = px(j + 1), y1 = py(j + 1);
            const double h = x1 - x0, delta = nextSecant;
            if (j + 2 < n) nextSecant = (py(j + 2) - y1) / (px(j + 2) - x1);
            Cubic c;
            if (j == 0) c = parabola(x0, y0, x1, y1, px(2), py(2), false);
            else if (j == n - 2) c = parabola(px(j - 1), py(j - 1), x0, y0, x1, y1, true);
            else {
                if (j == 1) slope = parabolaSlope(x0 - px(0), (y0 - py(0)) / (x0 - px(0)), h, delta);
                double next = parabolaSlope(h, delta, px(j + 2) - x1, nextSecant);
                c = hermite(y0, h, delta, slope, next);
                slope = next;
            }
            if (!polar_) {
                // X is monotonic and mapped linearly: when both ends of the
                // interval fall into one pixel column, every piece does.
                const int column = mapX(x1);
                const bool sameColumn = column == startColumn;
                startColumn = column;
                if (sameColumn) {
                    const IntervalSamples samples{c, h, fractions, y0, y1, steps};
                    if (merge) {
                        batch.add(column, samples);
                        continue;
                    }
                    for (int k = 1; k <= steps; ++k) line.to({column, mapY(samples.at(k))});
                    continue;
                }
                batch.flush();
            }
            for (int k = 1; k < steps; ++k) {
                double u = h * fractions[k];
                line.to(mapPoint(x0 + u, c.at(u)));
            }
            line.to(mapPoint(x1, y1));
        }
        batch.flush();
        return;
    }

    for (int j = 0; j + 1 < n; ++j) {
        load(std::min(n - 1, j + 2));
        Cubic cx, cy;
        if (j == 0) {
            cx = parametricParabola(px(0), px(1), px(2), false);
            cy = parametricParabola(py(0), py(1), py(2), false);
        } else if (j == n - 2) {
            cx = parametricParabola(px(j - 1), px(j), px(j + 1), true);
            cy = parametricParabola(py(j - 1), py(j), py(j + 1), true);
        } else {
            cx = catmullRom(px(j - 1), px(j), px(j + 1), px(j + 2));
            cy = catmullRom(py(j - 1), py(j), py(j + 1), py(j + 2));
        }
        for (int k = 1; k < steps; ++k) line.to(mapPoint(cx.at(fractions[k]), cy.at(fractions[k])));
        line.to(mapPoint(px(j + 1), py(j + 1)));
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
