#pragma once
// The line of a series on its way to the canvas: straight pieces clipped to
// the plot rectangle (ClippedLine), then runs of pieces inside one pixel
// column merged (ColumnRuns). Internal to the chart panel.
#include "controls/auto_panel.h"

namespace norvalt {

// A line drawn through a sequence of vertical pieces in one pixel column
// covers every pixel between the lowest and the highest point it reaches,
// except its very end when that end is an extreme reached only there (a
// line leaves out its end point). ColumnRuns keeps such a run as its start,
// extremes and end and hands the canvas at most three pieces that cover
// exactly those pixels and end at the same point. Pieces of no length draw
// nothing and are dropped. Exact for pens that draw a vertical line as the
// half-open column of pixels between its ends: solid pens of width 0 or 1.
class ColumnRuns {
public:
    ColumnRuns(ChartCanvas& canvas, bool merge) : canvas_(canvas), merge_(merge) {}
    ~ColumnRuns() { flush(); }
    ColumnRuns(const ColumnRuns&) = delete;
    ColumnRuns& operator=(const ColumnRuns&) = delete;

    bool merging() const { return merge_; }
    void moveTo(PixelPoint p);
    void lineTo(PixelPoint p);
    // The small circle that marks a widely spaced point.
    void dot(PixelPoint p);
    void flush();

private:
    ChartCanvas& canvas_;
    bool merge_;
    PixelPoint current_;
    bool inRun_ = false;
    int runStart_ = 0, runMin_ = 0, runMax_ = 0;
    bool endReachedBefore_ = false;   // the run's end value was reached at an earlier point of it
};

// Straight segments clipped to l <= x <= r − 1, t <= y <= b − 1, the edges
// taken top, bottom, left, right with integer multiply-divide rounding. A
// segment with both ends outside is left out; a segment that ends on a point
// inside more than 12 pixels to the side of its start gets a dot there.
class ClippedLine {
public:
    ClippedLine(const PixelRect& rect, ColumnRuns& out) : rect_(rect), out_(out) {}

    void start(PixelPoint p);
    void to(PixelPoint p);
    // A point in the same pixel column as the last one, both inside:
    // nothing to clip and no dot.
    void toInside(PixelPoint p)
    {
        if (p == last) return;
        out_.lineTo(p);
        last = p;
    }

    // The previous point and whether it lay inside, for pieces that the
    // caller hands on itself (the smooth curve's pieces inside one column).
    PixelPoint last;
    bool lastInside = true;

    bool inside(PixelPoint p) const
    {
        return p.x >= rect_.left && p.x <= rect_.right - 1 && p.y >= rect_.top && p.y <= rect_.bottom - 1;
    }

private:
    const PixelRect& rect_;
    ColumnRuns& out_;
};

} // namespace norvalt
