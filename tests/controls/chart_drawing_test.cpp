// What the chart panel draws, read from the calls it makes on a recording
// canvas (font h = 12: 12 high, ascent 10, 6 per character).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "controls/auto_panel.h"
#include "controls/chart_line.h"
#include "controls/recording_canvas.h"

using namespace norvalt;

namespace {

using Call = CanvasCall;
using Pixels = std::set<std::pair<int, int>>;

std::vector<PixelPoint> linesTo(const std::vector<Call>& calls)
{
    std::vector<PixelPoint> out;
    for (const Call& c : calls)
        if (c.kind == Call::LineTo) out.push_back({c.a, c.b});
    return out;
}

int countOf(const std::vector<Call>& calls, Call::Kind kind)
{
    int n = 0;
    for (const Call& c : calls) n += c.kind == kind;
    return n;
}

// The pixels of every line, as a line drawer that leaves out each line's
// end point draws them (vertical lines: the half-open column between the ends).
Pixels rasterise(const std::vector<Call>& calls)
{
    Pixels pixels;
    int x = 0, y = 0;
    for (const Call& c : calls) {
        if (c.kind == Call::MoveTo) {
            x = c.a;
            y = c.b;
        } else if (c.kind == Call::LineTo) {
            int dx = std::abs(c.a - x), sx = x < c.a ? 1 : -1;
            int dy = -std::abs(c.b - y), sy = y < c.b ? 1 : -1;
            int err = dx + dy;
            while (x != c.a || y != c.b) {
                pixels.insert({x, y});
                int e2 = 2 * err;
                if (e2 >= dy) {
                    err += dy;
                    x += sx;
                }
                if (e2 <= dx) {
                    err += dx;
                    y += sy;
                }
            }
        }
    }
    return pixels;
}

std::vector<Call> ofKind(const std::vector<Call>& calls, Call::Kind kind)
{
    std::vector<Call> out;
    for (const Call& c : calls)
        if (c.kind == kind) out.push_back(c);
    return out;
}

// The calls made between selecting the pen of this colour and the next selection of a pen.
std::vector<Call> seriesCalls(const std::vector<Call>& calls, ColorRef colour)
{
    std::vector<Call> out;
    bool in = false;
    for (const Call& c : calls) {
        if (c.kind == Call::Pen || c.kind == Call::NullPen) in = c.kind == Call::Pen && c.colour == colour;
        else if (in) out.push_back(c);
    }
    return out;
}

} // namespace

class ClippedLineTest : public ::testing::Test {
protected:
    PixelRect rect{0, 0, 101, 101};   // inside: 0..100 both ways
    RecordingCanvas canvas;

    std::vector<Call> draw(std::initializer_list<PixelPoint> points)
    {
        canvas.calls.clear();
        {
            ColumnRuns out(canvas, false);
            ClippedLine line(rect, out);
            bool first = true;
            for (PixelPoint p : points) {
                if (first) line.start(p);
                else line.to(p);
                first = false;
            }
        }
        return canvas.calls;
    }
};

TEST_F(ClippedLineTest, SegmentsCrossingEachEdgeEndOnIt)
{
    struct Case {
        PixelPoint from, to, end;
    } cases[] = {
        {{50, 50}, {50, -50}, {50, 0}},     // top
        {{50, 50}, {60, 150}, {55, 100}},   // bottom: x = 50 + 10 · 50 / 100
        {{50, 50}, {-50, 60}, {0, 55}},     // left: y = 50 + 10 · 50 / 100
        {{50, 50}, {150, 50}, {100, 50}},   // right
        {{0, 50}, {30, -21}, {21, 0}},      // top with rounding: 30 · 50 / 71 = 21.1
        // top, then right: (95, 10)→(125, −20) meets y = 0 at x = 105, then x = 100 at y = 5.
        {{95, 10}, {125, -20}, {100, 5}},
    };
    for (const Case& c : cases) {
        std::vector<Call> calls = draw({c.from, c.to});
        ASSERT_GE(calls.size(), 2u);
        EXPECT_EQ(calls[0].kind, Call::MoveTo);
        EXPECT_EQ(calls[1].kind, Call::LineTo);
        EXPECT_EQ((PixelPoint{calls[1].a, calls[1].b}), c.end) << c.to.x << "," << c.to.y;
    }
}

TEST_F(ClippedLineTest, EnteringMovesToTheEdgeFirstAndOutsideSegmentsAreLeftOut)
{
    std::vector<Call> calls = draw({{-50, 50}, {50, 50}});
    ASSERT_EQ(calls.size(), 3u);   // move, line, dot
    EXPECT_EQ(calls[0].kind, Call::MoveTo);
    EXPECT_EQ((PixelPoint{calls[0].a, calls[0].b}), (PixelPoint{0, 50}));
    EXPECT_EQ((PixelPoint{calls[1].a, calls[1].b}), (PixelPoint{50, 50}));

    // Both ends outside: left out even though it crosses the rectangle.
    calls = draw({{-10, 50}, {110, 50}, {120, 60}});
    EXPECT_TRUE(calls.empty());

    // Out and in again: the line resumes where it enters.
    calls = draw({{50, 50}, {50, -10}, {60, -10}, {60, 50}});
    std::vector<PixelPoint> expected{{50, 0}, {60, 50}};
    EXPECT_EQ(linesTo(calls), expected);
    EXPECT_EQ(countOf(calls, Call::MoveTo), 2);
}

TEST_F(ClippedLineTest, DotsOnlyWhereThePointsLieMoreThan12PixelsApart)
{
    std::vector<Call> calls = draw({{10, 10}, {22, 20}, {35, 20}});
    // 12 apart: no dot; 13 apart: the 5-pixel circle at the end.
    ASSERT_EQ(countOf(calls, Call::Ellipse), 1);
    const Call dot = ofKind(calls, Call::Ellipse)[0];
    EXPECT_EQ(dot.a, 33);
    EXPECT_EQ(dot.b, 18);
    EXPECT_EQ(dot.c, 38);
    EXPECT_EQ(dot.d, 23);
}

TEST_F(ClippedLineTest, MergedColumnRunsCoverTheSamePixels)
{
    // A random walk of 30 000 points, a hundred per pixel column, that leaves
    // the rectangle through the top and the bottom again and again.
    std::mt19937 random(12);
    std::normal_distribution<double> stepSize(0, 6);
    std::vector<PixelPoint> points;
    double y = 50;
    for (int i = 0; i < 30000; ++i) {
        y += stepSize(random);
        if (y < -40 || y > 140) y = 50;
        points.push_back({i / 100 - 20, static_cast<int>(std::lround(y))});
    }
    std::vector<Call> merged, plain;
    for (bool merge : {true, false}) {
        RecordingCanvas c;
        {
            ColumnRuns out(c, merge);
            ClippedLine line(rect, out);
            line.start(points[0]);
            for (std::size_t i = 1; i < points.size(); ++i) line.to(points[i]);
        }
        (merge ? merged : plain) = c.calls;
    }
    EXPECT_EQ(rasterise(merged), rasterise(plain));
    EXPECT_EQ(ofKind(merged, Call::Ellipse).size(), ofKind(plain, Call::Ellipse).size());
    // At most three pieces per column run, plus the lines between columns,
    // against some seventy pieces per column inside.
    EXPECT_LT(countOf(merged, Call::LineTo) * 5, countOf(plain, Call::LineTo));
}

TEST(ColumnRuns, EndReachedOnlyAtTheEndStaysUndrawn)
{
    // Column 5 from y 10: up to 2, down to 20, back to 12 (inside), then a
    // run that ends on a new extreme, and one whose end was reached before.
    struct Case {
        std::vector<int> ys;
    } cases[] = {{{2, 20, 12}}, {{15, 12, 30}}, {{30, 12, 30}}, {{12, 10, 12}}, {{4, 10}}};
    for (const Case& c : cases) {
        std::vector<Call> merged, plain;
        for (bool merge : {true, false}) {
            RecordingCanvas canvas;
            {
                ColumnRuns out(canvas, merge);
                out.moveTo({5, 10});
                for (int y : c.ys) out.lineTo({5, y});
                out.lineTo({9, 9});   // on to the next column
            }
            (merge ? merged : plain) = canvas.calls;
        }
        EXPECT_EQ(rasterise(merged), rasterise(plain)) << c.ys.size();
        EXPECT_EQ(merged.back().a, 9);
    }
}

namespace {

// A series drawn by itself in a rectangle with ranges, without merging.
struct SeriesFixture {
    RecordingCanvas canvas;
    CAutoSeries s;
    SeriesFixture(PixelRect rect, double x0, double x1, double y0, double y1)
    {
        s.rect = rect;
        s.canvas = &canvas;
        s.xMin = x0;
        s.xMax = x1;
        s.yMin = y0;
        s.yMax = y1;
    }
};

} // namespace

TEST(ChartSmooth, MonotonicXFollowsTheParabolaItSamples)
{
    // Points of y = x² at uneven X: the slopes of the parabolas through each
    // point and its neighbours are exactly 2x, so every piece lies on y = x².
    std::vector<double> xs{0, 1, 3, 4, 7, 8}, ys;
    for (double x : xs) ys.push_back(x * x);
    SeriesFixture f({0, 0, 401, 321}, 0, 8, 0, 64);   // 50 px per unit of X, 5 per unit of Y
    f.s.count = 6;
    f.s.xValues = xs.data();
    f.s.yValues = ys.data();
    f.s.lineMode = 2;
    f.s.curveSteps = 4;
    f.s.draw(false);
    std::vector<PixelPoint> lines = linesTo(f.canvas.calls);
    ASSERT_EQ(lines.size(), 20u);   // 5 intervals of 4 pieces
    std::size_t n = 0;
    for (std::size_t j = 0; j + 1 < xs.size(); ++j) {
        for (int k = 1; k <= 4; ++k) {
            double x = xs[j] + (xs[j + 1] - xs[j]) * k / 4;
            EXPECT_NEAR(lines[n].x, x * 50, 1);
            EXPECT_NEAR(lines[n].y, 320 - x * x * 5, 1) << x;
            ++n;
        }
    }
}

TEST(ChartSmooth, ThreePointsDrawTheirParabola)
{
    std::vector<double> xs{0, 2, 4}, ys{0, 4, 16};
    SeriesFixture f({0, 0, 401, 321}, 0, 8, 0, 64);
    f.s.count = 3;
    f.s.xValues = xs.data();
    f.s.yValues = ys.data();
    f.s.lineMode = 2;
    f.s.curveSteps = 2;
    f.s.draw(false);
    // x = 1, 2, 3, 4 on y = x²: (50, 315), (100, 300), (150, 275), (200, 240).
    std::vector<PixelPoint> expected{{50, 315}, {100, 300}, {150, 275}, {200, 240}};
    EXPECT_EQ(linesTo(f.canvas.calls), expected);
}

TEST(ChartSmooth, NonMonotonicXIsInterpolatedInAParameter)
{
    // Points on the diagonal, X going back and forth: both coordinates are the
    // same curve of the parameter, so every piece stays on the diagonal,
    // and the pieces are more than the points.
    std::vector<double> v{0, 4, 2, 6, 3};
    SeriesFixture f({0, 0, 101, 101}, -1, 8, -1, 8);
    f.s.count = 5;
    f.s.xValues = v.data();
    f.s.yValues = v.data();
    f.s.lineMode = 2;
    f.s.curveSteps = 5;
    f.s.draw(false);
    std::vector<PixelPoint> lines = linesTo(f.canvas.calls);
    ASSERT_LE(lines.size(), 20u);   // 4 intervals of 5 pieces, less those within one pixel
    std::set<int> columns;
    for (PixelPoint p : lines) {
        EXPECT_EQ(p.x, 100 - p.y);
        columns.insert(p.x);
    }
    EXPECT_GT(columns.size(), 10u);
}

TEST(ChartMarkers, OnePointDrawsItsMarkerOnly)
{
    std::vector<double> x{5}, y{5};
    SeriesFixture f({0, 0, 101, 101}, 0, 10, 0, 10);
    f.s.count = 1;
    f.s.xValues = x.data();
    f.s.yValues = y.data();
    f.s.markerStyle = 3;
    f.s.draw(true);
    // (5, 5) → (ceil(49.5), 100 − ceil(49.5)) = (50, 50); the plus of half size 4.
    std::vector<PixelPoint> expected{{50, 55}, {55, 50}};
    EXPECT_EQ(linesTo(f.canvas.calls), expected);
    EXPECT_EQ(countOf(f.canvas.calls, Call::MoveTo), 2);

    // A square and a circle in their boxes; outside the rectangle, nothing.
    std::vector<double> xs{5, 20}, ys{5, 5};
    for (int style : {1, 4}) {
        SeriesFixture g({0, 0, 101, 101}, 0, 10, 0, 10);
        g.s.count = 2;
        g.s.xValues = xs.data();
        g.s.yValues = ys.data();
        g.s.markerStyle = style;
        g.s.lineMode = 0;
        g.s.draw(true);
        std::vector<Call> shapes = ofKind(g.canvas.calls, style == 1 ? Call::Ellipse : Call::Rectangle);
        ASSERT_EQ(shapes.size(), 1u);
        EXPECT_EQ(shapes[0].a, 46);
        EXPECT_EQ(shapes[0].b, 46);
        EXPECT_EQ(shapes[0].c, 55);
        EXPECT_EQ(shapes[0].d, 55);
    }
}

TEST(ChartMarkers, CrossAndArrowToTheLinkedSeries)
{
    std::vector<double> x{5}, y{8}, linkedY{2};
    SeriesFixture f({0, 0, 101, 101}, 0, 10, 0, 10);
    CAutoSeries linked;
    linked.count = 1;
    linked.xValues = x.data();
    linked.yValues = linkedY.data();
    f.s.count = 1;
    f.s.xValues = x.data();
    f.s.yValues = y.data();
    f.s.markerStyle = 5;
    f.s.linkedSeries = &linked;
    f.s.draw(true);
    // (5, 8) → (50, 20), the linked (5, 2) → (50, 80); 20 < 80: d = −1. The
    // gap 60 ≥ 4 · 4: the shaft from (50, 20 + 4) and the head strokes up to
    // (50 ∓ 2, 80 − 3 · 4).
    std::vector<Call> ellipses = ofKind(f.canvas.calls, Call::Ellipse);
    ASSERT_EQ(ellipses.size(), 1u);
    EXPECT_EQ(ellipses[0].a, 46);
    EXPECT_EQ(ellipses[0].b, 16);
    std::vector<Call> moves = ofKind(f.canvas.calls, Call::MoveTo);
    ASSERT_EQ(moves.size(), 3u);
    EXPECT_EQ((PixelPoint{moves[0].a, moves[0].b}), (PixelPoint{50, 24}));
    std::vector<PixelPoint> expected{{50, 80}, {48, 68}, {52, 68}};
    EXPECT_EQ(linesTo(f.canvas.calls), expected);

    SeriesFixture g({0, 0, 101, 101}, 0, 10, 0, 10);
    std::vector<double> five{5};
    g.s.count = 1;
    g.s.xValues = five.data();
    g.s.yValues = five.data();
    g.s.markerStyle = 2;
    g.s.draw(true);
    // (50, 50): (46, 46)→(55, 55) and (54, 46)→(45, 55).
    std::vector<PixelPoint> cross{{55, 55}, {45, 55}};
    EXPECT_EQ(linesTo(g.canvas.calls), cross);
    EXPECT_EQ(ofKind(g.canvas.calls, Call::MoveTo)[1].a, 54);
}

TEST(ChartZones, KindsColoursAndOverlaps)
{
    // [10, 30] and [20, 50] overlap on 20..30; [60, 70] and [60, 65] start together.
    std::vector<double> from{10, 20, 60, 60}, to{30, 50, 70, 65};
    std::vector<std::int32_t> kinds{1, 2, 3, 7};
    SeriesFixture f({0, 0, 101, 101}, 0, 100, 0, 1);
    f.s.count = 4;
    f.s.xValues = from.data();
    f.s.yValues = to.data();
    f.s.zoneKinds = kinds.data();
    f.s.markerStyle = 6;
    f.s.draw(true);
    std::vector<Call> fills = ofKind(f.canvas.calls, Call::FillRect);
    ASSERT_EQ(fills.size(), 5u);
    struct Fill {
        int left, right;
        ColorRef colour;
    } expected[] = {{10, 30, 0xA2FFFF}, {20, 50, 0xC5C5C5}, {60, 70, 0xC5C5FF}, {60, 65, 0xFFFFC2}, {20, 30, 0xC5C5FF}};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(fills[i].a, expected[i].left) << i;
        EXPECT_EQ(fills[i].c, expected[i].right) << i;
        EXPECT_EQ(fills[i].b, 0);
        EXPECT_EQ(fills[i].d, 102);   // from b + 1 up to t
        EXPECT_EQ(fills[i].colour, expected[i].colour) << i;
    }
    EXPECT_EQ(countOf(f.canvas.calls, Call::LineTo), 0);
}

TEST(ChartPanel, LayoutFitsTheLabelsUntilTheyStaySettled)
{
    CAutoPanel chart;
    chart.xTitle = u"X";
    chart.yTitle = u"Y";
    chart.setXRange(0, 100);
    chart.setYRange(0, 10);
    RecordingCanvas canvas;
    chart.paint(canvas, {5, 7, 405, 307});
    // Titles: R = (1, 0, 400, 299); the X title ends at 400 − 1 − 1; the Y
    // title starts at 0 + 1 + 1. R becomes (15, 0, 400, 285); the labels'
    // room (ascent 10, gap 2, overhang 2, box 1) gives B = (20, 10, 399, 268).
    // First pass: X step 10 with widest label "100" (18 px), Y step 1 with
    // "10" (12 px): P = (20 + 12, 10, 399 − 1 − 9, 268). Over 357 px step 10
    // no longer leaves 18 + 18 px per step, the spacing grows to 54 px: step 20.
    // The labels stay as wide, so P stays.
    EXPECT_EQ(chart.rect, (PixelRect{32, 10, 389, 268}));
    // Explicit axes keep their ranges: no extension to a tick.
    EXPECT_EQ(chart.xMin, 0);
    EXPECT_EQ(chart.xMax, 100);
    EXPECT_EQ(chart.yMax, 10);
    EXPECT_EQ(chart.xStep, 20);
    EXPECT_EQ(chart.yStep, 1);
    std::vector<Call> texts = ofKind(canvas.calls, Call::Text);
    ASSERT_EQ(texts.size(), 2u + 6u + 11u);
    EXPECT_EQ(texts[0].text, u"X");
    EXPECT_EQ((PixelPoint{texts[0].a, texts[0].b}), (PixelPoint{398, 299}));
    EXPECT_EQ(texts[0].align, TextAlign::RightBottom);
    EXPECT_EQ(texts[1].text, u"Y");
    EXPECT_EQ((PixelPoint{texts[1].a, texts[1].b}), (PixelPoint{1, 2}));
    EXPECT_EQ(texts[1].align, TextAlign::RightTop);
    // X labels at b + 1 + 2 + 2 = 273: "0" at 32, "100" at 32 + 356.
    EXPECT_EQ(texts[2].text, u"0");
    EXPECT_EQ((PixelPoint{texts[2].a, texts[2].b}), (PixelPoint{32, 273}));
    EXPECT_EQ(texts[7].text, u"100");
    EXPECT_EQ(texts[7].a, 388);
    // Y label "10" right of 32 − 2 − 2 − 2 + 1, on the baseline at the top.
    EXPECT_EQ(texts.back().text, u"10");
    EXPECT_EQ((PixelPoint{texts.back().a, texts.back().b}), (PixelPoint{27, 10}));
    EXPECT_EQ(texts.back().align, TextAlign::RightBaseline);
    // The Y title is drawn with the rotated font.
    bool rotated = false;
    for (const Call& c : canvas.calls) rotated |= c.kind == Call::Font && c.escapement == 900;
    EXPECT_TRUE(rotated);
    ASSERT_EQ(canvas.calls.back().kind, Call::CopyToTarget);
    EXPECT_EQ(canvas.calls.back().a, 5);
    EXPECT_EQ(canvas.calls.back().b, 7);
    EXPECT_FALSE(chart.xRangeReady || chart.yRangeReady);
}

TEST(ChartPanel, TooSmallForTheLabelsDrawsNothing)
{
    for (PixelRect target : {PixelRect{0, 0, 30, 30}, PixelRect{0, 0, 45, 100}}) {
        CAutoPanel chart;
        // On 45 × 100 the Y labels "300000" (36 px) and half of "100000"
        // leave no width: B = (8, 10, 44, 80) narrows to nothing.
        chart.setXRange(0, 100000);
        chart.setYRange(0, 1000000);
        RecordingCanvas canvas;
        chart.paint(canvas, target);
        EXPECT_EQ(countOf(canvas.calls, Call::CopyToTarget), 0) << target.right;
        EXPECT_EQ(countOf(canvas.calls, Call::LineTo), 0);
    }
}

TEST(ChartPanel, WithoutDataOnlyTheFrame)
{
    CAutoPanel chart;
    RecordingCanvas canvas;
    chart.paint(canvas, {0, 0, 300, 200});
    EXPECT_EQ(chart.xStep, 0);
    EXPECT_EQ(countOf(canvas.calls, Call::Text), 0);
    EXPECT_EQ(countOf(canvas.calls, Call::LineTo), 4);   // the closed box of axis lines
    EXPECT_EQ(countOf(canvas.calls, Call::CopyToTarget), 1);
}

TEST(ChartPanel, HiddenSeriesWidenTheRangeButAreNotDrawn)
{
    CAutoPanel chart;
    std::vector<double> x{0, 1}, y{0, 1}, farX{0, 100}, farY{0, 100};
    int shown = chart.addSeries();
    chart.series[shown].count = 2;
    chart.series[shown].xValues = x.data();
    chart.series[shown].yValues = y.data();
    chart.series[shown].colour = 0x0000FF;
    int hidden = chart.addSeries();
    chart.series[hidden].count = 2;
    chart.series[hidden].xValues = farX.data();
    chart.series[hidden].yValues = farY.data();
    chart.series[hidden].colour = 0x00FF00;
    chart.series[hidden].hidden = 1;
    RecordingCanvas canvas;
    chart.paint(canvas, {0, 0, 400, 300});
    EXPECT_EQ(chart.xMax, 100);
    EXPECT_TRUE(seriesCalls(canvas.calls, 0x00FF00).empty());
    EXPECT_FALSE(seriesCalls(canvas.calls, 0x0000FF).empty());
}

TEST(ChartPanel, MergedCatmullRomCurveCoversTheSamePixels)
{
    // X going back and forth a little: the curve is interpolated in a parameter.
    std::vector<double> x(3000), y(3000);
    std::mt19937 random(8);
    std::uniform_real_distribution<double> jitter(-3, 3);
    for (std::size_t i = 0; i < x.size(); ++i) {
        x[i] = static_cast<double>(i) + jitter(random);
        y[i] = std::cos(i / 300.0) * 10 + jitter(random);
    }
    std::vector<Call> merged, plain;
    for (bool merge : {true, false}) {
        CAutoPanel chart;
        int i = chart.addSeries();
        chart.series[i].count = static_cast<int>(x.size());
        chart.series[i].xValues = x.data();
        chart.series[i].yValues = y.data();
        chart.series[i].lineMode = 2;
        chart.mergeColumnRuns = merge;
        RecordingCanvas canvas;
        chart.paint(canvas, {0, 0, 360, 240});
        (merge ? merged : plain) = canvas.calls;
    }
    EXPECT_EQ(rasterise(merged), rasterise(plain));
    EXPECT_LT(countOf(merged, Call::LineTo) * 3, countOf(plain, Call::LineTo));
}

TEST(ChartPanel, MergedSmoothSeriesCoversTheSamePixels)
{
    // 5000 points over 300-odd columns, partly above an explicit Y range:
    // noisy (pieces jump between pixels) and smooth (pieces dwell on one).
    for (double amplitude : {1.0, 0.0}) {
        std::vector<double> y(5000);
        std::mt19937 random(3);
        std::uniform_real_distribution<double> noise(-amplitude, amplitude);
        for (std::size_t i = 0; i < y.size(); ++i) y[i] = std::sin(i / 400.0) * 10 + noise(random);
        std::vector<Call> merged, plain;
        for (bool merge : {true, false}) {
            CAutoPanel chart;
            int i = chart.addSeries();
            chart.series[i].count = static_cast<int>(y.size());
            chart.series[i].yValues = y.data();
            chart.series[i].lineMode = 2;
            chart.setYRange(-8, 12);
            chart.mergeColumnRuns = merge;
            RecordingCanvas canvas;
            chart.paint(canvas, {0, 0, 360, 240});
            (merge ? merged : plain) = canvas.calls;
        }
        EXPECT_EQ(rasterise(merged), rasterise(plain)) << amplitude;
        if (amplitude > 0) {
            EXPECT_LT(countOf(merged, Call::LineTo) * 5, countOf(plain, Call::LineTo));
        }
    }
}
