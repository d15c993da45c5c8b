#pragma once
// A canvas that keeps the list of drawing calls instead of drawing, with
// fixed font metrics, for tests and benchmarks of the chart panel. A font of
// height h (12 when 0) measures h high with ascent h − h / 5, and every
// character is h / 2 wide.
#include <string>
#include <vector>

#include "controls/chart_canvas.h"

namespace norvalt {

struct CanvasCall {
    enum Kind {
        Bitmap, CopyToTarget, Pen, NullPen, Brush, NullBrush, MoveTo, LineTo, Rectangle, Ellipse, FillRect, Font, Text
    };
    Kind kind = Bitmap;
    int a = 0, b = 0, c = 0, d = 0;   // coordinates; Pen: style, width; Bitmap: width, height
    ColorRef colour = 0;
    TextAlign align = TextAlign::CentreTop;
    std::u16string text;
    int escapement = 0;               // Font
};

class RecordingCanvas final : public ChartCanvas {
public:
    std::vector<CanvasCall> calls;

    bool beginBitmap(int width, int height) override;
    void copyBitmapToTarget(int x, int y) override;
    void selectPen(int style, int width, ColorRef colour) override;
    void selectNullPen() override;
    void selectBrush(ColorRef colour) override;
    void selectNullBrush() override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void rectangle(int left, int top, int right, int bottom) override;
    void ellipse(int left, int top, int right, int bottom) override;
    void fillRect(const PixelRect& rect, ColorRef colour) override;
    void selectFont(const LogicalFont& font) override;
    FontMetrics fontMetrics() override;
    TextSize textExtent(std::u16string_view text) override;
    void textOut(int x, int y, TextAlign align, std::u16string_view text, ColorRef colour) override;

private:
    void add(CanvasCall::Kind kind, int a = 0, int b = 0, int c = 0, int d = 0, ColorRef colour = 0);
    int fontHeight_ = 12;
};

} // namespace norvalt
