#pragma once
// The chart panel: one or more series plotted in a rectangle with tick steps
// of 1, 2, 2.5, 3, 5 or 10 times a power of ten, numeric tick labels, grid
// lines, a title under the X axis and a rotated title beside the Y axis, all
// laid out inside a target rectangle of a ChartCanvas. It holds no window:
// CAutoCtrl (auto_ctrl.h) paints it into one and changes its ranges when the
// user zooms or scrolls.
//
// Using it:
//   CAutoPanel chart;                       // or the panel of a CAutoCtrl
//   int i = chart.addSeries();
//   CAutoSeries& s = chart.series[i];
//   s.count = n; s.xValues = xs; s.yValues = ys;   // arrays stay the caller's
//   s.markerStyle = 1; s.lineMode = 0;
//   chart.updateSeries(s);                   // after attaching arrays or flags
//   chart.setXRange(0, 10);                  // min >= max: automatic again
//   chart.paint(canvas, target);
// The settings are public fields with the defaults below; change them
// between paints. Automatic ranges follow the series' data at every paint.
//
// Logarithmic axes (flags chartLogX, chartLogY) hold every range and tick
// value as a decimal logarithm: setXRange/setYRange take plain values, the
// current ranges (xMin..yMax) and the views of setXView/setYView are
// logarithms, and the tick labels show the logarithms.
//
// Decided here where the drawing rules leave it open:
// - Smooth curves (line mode 2) with strictly monotonic X are cubic
//   Hermite pieces in X whose slopes at both ends are those of the parabolas
//   through each end and its two neighbours; otherwise uniform Catmull-Rom
//   in a parameter. Exactly three points draw the one parabola through them.
// - An axis without data (no series, or none with a finite point) spans
//   (0, 0) and has tick step 0; a paint while either tick step is 0 draws
//   the backgrounds, titles and axis lines only.
// - Non-finite values (and logarithms of values <= 0) are left out of the
//   ranges and out of the drawing; a line passes on to the next finite point.
// - Tick values are whole multiples of the step (index · step), so the tick
//   at zero is 0 and not a rounding residue; "-0" is shown as "0".
// - Zones (marker style 6) draw no line.
// - Points more than 12 pixels apart get a small circle at the end of their
//   segment only where that end is the point itself: a segment cut at an
//   edge of the plot gets none (its circle would mark no point and reach
//   outside the plot).
// - Explicit logarithmic axes reaching down to 0 or below have no range to
//   show and follow the data instead.
// - Every series plots with the axis' flags, copied at every paint (also on
//   explicit axes, where no automatic range hands them on).
// - The range-ready marks are cleared at the end of every paint, also one
//   that drew nothing, so the next paint sees the data as they are then.
// - Each run of line pieces that stays inside one pixel column is handed to
//   the canvas as at most three vertical pieces covering the same pixels
//   (solid pens of width 0 or 1 only; see mergeColumnRuns), so a series of
//   many more points than pixels costs a few lines per column.
#include <cstdint>
#include <string>
#include <vector>

#include "controls/chart_canvas.h"

namespace norvalt {

enum ChartFlag : std::int32_t {
    chartPolar = 1,   // (angle, radius) pairs plotted at (cos a · r, sin a · r)
    chartLogX = 2,    // decimal logarithm of X
    chartLogY = 4,    // decimal logarithm of Y
};

enum ChartAxisStyle : std::int32_t {
    axisGridX = 1,        // vertical grid lines at the X ticks
    axisGridY = 2,        // horizontal grid lines at the Y ticks
    axisTicksTopRight = 4, // ticks on the top and right edges too (closes the box)
    axisBox = 8,          // top and right axis lines
};

// ceil(v) for a pixel position; points far off the plot are held 2^29
// pixels away at most, so that the clipping's differences and products stay
// within their integers, and NaN goes to that lower limit. Inline and
// without the C library's ceil (a call on some targets): a smooth curve
// maps every piece.
inline int ceilToPixel(double v)
{
    constexpr double limit = 1 << 29;
    if (!(v >= -limit)) return -static_cast<int>(limit);
    if (v > limit) return static_cast<int>(limit);
    int i = static_cast<int>(v);   // toward zero
    return i < v ? i + 1 : i;
}

// A pixel rectangle, a data range per axis and the mapping between them.
class CAutoCoordObject {
public:
    std::int32_t flags = 0;
    PixelRect rect;                // plot rectangle
    ChartCanvas* canvas = nullptr; // surface of the current paint
    bool autoX = true;
    bool autoY = true;
    double xMin = 0, xMax = 0;     // current ranges, used for drawing
    double yMin = 0, yMax = 0;
    double explicitXMin = 0, explicitXMax = 0;
    double explicitYMin = 0, explicitYMax = 0;

    // min >= max makes the axis automatic; otherwise explicit (min, max),
    // stored as logarithms on a logarithmic axis (X clamps min at 0 first).
    void setXRange(double min, double max);
    void setYRange(double min, double max);
    // The same with values as stored (logarithms on a logarithmic axis): the
    // zoom and the scroll bars of CAutoCtrl move the view with these.
    void setXView(double min, double max);
    void setYView(double min, double max);

    // ceil((v − x0) / (x1 − x0) · (r − l − 1) − 0.5) + l; 0 when x1 = x0.
    int mapX(double v) const
    {
        if (xMax == xMin) return 0;
        return ceilToPixel((v - xMin) / (xMax - xMin) * (rect.right - rect.left - 1) - 0.5) + rect.left;
    }
    // b − 1 − ceil((v − y0) / (y1 − y0) · (b − t − 1) − 0.5); 0 when y1 = y0.
    int mapY(double v) const
    {
        if (yMax == yMin) return 0;
        return rect.bottom - 1 - ceilToPixel((v - yMin) / (yMax - yMin) * (rect.bottom - rect.top - 1) - 0.5);
    }
    // Both, through the polar transform when the polar flag is set.
    PixelPoint mapPoint(double x, double y) const;
};

class CAutoSeries : public CAutoCoordObject {
public:
    ColorRef colour = 0x000000;
    std::int32_t count = 0;
    const double* xValues = nullptr;     // absent: X(i) = xStart + i · xIncrement
    const double* yValues = nullptr;     // absent: Y(i) = yStart + i · yIncrement
    const std::int32_t* zoneKinds = nullptr;
    const CAutoSeries* linkedSeries = nullptr;   // arrow targets of marker style 5
    double xStart = 0.0, xIncrement = 1.0;
    double yStart = 0.0, yIncrement = 1.0;
    // 0 none, 1 circle, 2 diagonal cross, 3 plus, 4 square, 5 circle with an
    // arrow to point i of linkedSeries, 6 zones: X(i)..Y(i) filled over the
    // plot height (kinds 1, 2, 3 and others have their own colours).
    std::int32_t markerStyle = 0;
    std::int32_t penStyle = 0;
    std::int32_t penWidth = 0;
    std::int32_t markerSize = 4;   // half size in pixels
    std::int32_t lineMode = 1;     // 0 none, 1 straight segments, 2 smooth curve
    std::int32_t curveSteps = 20;  // straight pieces per interval of a smooth curve
    std::int32_t hidden = 0;       // not drawn, still counted in automatic ranges

    // X(i) and Y(i) as plotted: the array value or the arithmetic one, its
    // decimal logarithm on a logarithmic axis.
    double x(int i) const;
    double y(int i) const;

    // The data extent over the finite points (polar: cos X · Y and sin X · Y);
    // false when there is none (no finite point, or a zone series).
    bool xExtent(double& min, double& max) const;
    bool yExtent(double& min, double& max) const;

    // Markers and line (or zones) into rect on canvas with the current
    // ranges; mergeColumnRuns as CAutoAxis::mergeColumnRuns.
    void draw(bool mergeColumnRuns) const;

private:
    friend class CAutoAxis;
    void select();   // by updateSeries: accessors and transforms from the flags
    bool polar_ = false;
    bool logX_ = false;
    bool logY_ = false;

    void drawMarkers() const;
    void drawStraight(bool mergeColumnRuns) const;
    void drawSmooth(bool mergeColumnRuns) const;
    void drawZones() const;
};

// One tick step computation: the step and the first and last tick, as whole
// multiples of the step (firstIndex · step, lastIndex · step). step 0 (and no
// tick) when the range or the pixel size gives nothing to divide.
struct TickSpacing {
    double step = 0;
    double firstIndex = 0;
    double lastIndex = -1;

    double first() const { return firstIndex * step; }
    double last() const { return lastIndex * step; }
    int count() const;
};

class CAutoAxis : public CAutoCoordObject {
public:
    std::int32_t xPrecision = 3;   // smallest automatic range: 10^-p of the larger limit
    std::int32_t yPrecision = 3;
    std::vector<CAutoSeries> series;
    ColorRef axisColour = 0x000000;
    ColorRef gridColour = 0xBFBFBF;
    ColorRef plotBackground = 0xFFFFFF;
    std::int32_t frameWidth = 0;   // above 1 the plot rectangle also gets a black border
    std::int32_t axisStyle = axisGridX | axisGridY | axisBox;
    double xStep = 1.0, yStep = 1.0;
    double firstXTick = 0, lastXTick = 0;
    double firstYTick = 0, lastYTick = 0;
    bool xRangeReady = false, yRangeReady = false;
    std::int32_t tickLength = 4;
    std::int32_t tickOverhang = 2;
    std::int32_t labelGap = 2;
    LogicalFont labelFont;
    // Column-run merging of line pieces (see the file comment). Drawing with
    // it cleared gives the same pixels, only slower; it is there to show that.
    bool mergeColumnRuns = true;

    int addSeries();
    // After the owner changed a series' flags, arrays or count.
    void updateSeries(CAutoSeries& s) const;

    // The data extent of all series (hidden ones too, zones not), widened to
    // at least 10^-precision of its larger limit, stored as the current range;
    // computed once per paint and reused. (0, 0) when there are no data.
    void automaticXRange(double& min, double& max);
    void automaticYRange(double& min, double& max);
    // The current ranges: automatic or explicit per axis.
    void establishRanges();

    // The tick step for a range over `pixels` with labels at least `spacing`
    // pixels apart; an automatic axis is extended to a whole tick when its
    // end lies within half a step of one.
    static TickSpacing tickSpacing(double& min, double& max, double pixels, double spacing, bool automatic);
    // "%.10g", "-0" shown as "0".
    static std::u16string tickLabel(double value);

protected:
    // The X ticks fitted to the label width, and the Y ticks; each gives the
    // width of its widest label.
    int computeXTicks();
    int computeYTicks();
    TickSpacing xTicks_, yTicks_;

    void drawPlot();
    void drawGrid();
    void drawAxes();
};

class CAutoPanel : public CAutoAxis {
public:
    ColorRef titleColour = 0x000000;
    ColorRef windowBackground = 0xFFFFFF;
    std::int32_t titleGap = 2;
    std::int32_t outerMargin = 1;
    std::u16string xTitle;   // empty: none
    std::u16string yTitle;
    LogicalFont titleFont = defaultTitleFont();

    // Lays out and draws the whole panel into target through an off-screen
    // bitmap. When the target is too small for the labels nothing is copied
    // and the target keeps its content.
    void paint(ChartCanvas& canvas, const PixelRect& target);

    static LogicalFont defaultTitleFont();
};

} // namespace norvalt
