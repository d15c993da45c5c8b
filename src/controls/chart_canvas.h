#pragma once
// The drawing surface of the chart panel: exactly the drawing operations the
// panel needs, so that the panel's arithmetic stays portable and testable.
// GdiCanvas (gdi_canvas_win.h) draws with GDI; RecordingCanvas
// (recording_canvas.h) keeps a list of the calls for tests and benchmarks.
//
// Coordinates are pixels of the off-screen bitmap, (0, 0) at its top left.
// Rectangles are half-open as in GDI: left and top inside, right and bottom
// outside. Lines are drawn from the current position to a point, leaving
// that point itself out, as GDI's LineTo does.
#include <cstdint>
#include <string_view>

namespace norvalt {

// 0x00BBGGRR
using ColorRef = std::uint32_t;

struct PixelPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(PixelPoint, PixelPoint) = default;
};

struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    bool contains(PixelPoint p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The common part of two rectangles; an empty rectangle (all zero) when
// they do not meet, as GDI's IntersectRect gives it.
PixelRect intersect(const PixelRect& a, const PixelRect& b);

// a · b / c rounded half away from zero, with a 64-bit product, as GDI's
// MulDiv; -1 when c is 0.
int mulDiv(int a, int b, int c);

// A font as GDI's LOGFONT describes it; the fields the chart sets.
struct LogicalFont {
    int height = 12;
    int width = 0;
    int escapement = 0;   // tenths of a degree, 900 reads upward
    int orientation = 0;
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::uint8_t charSet = 1;       // default character set
    std::uint8_t outPrecision = 0;
    std::uint8_t clipPrecision = 0;
    std::uint8_t quality = 0;
    std::uint8_t pitchAndFamily = 0;
    char16_t faceName[32] = u"Arial";
};

struct FontMetrics {
    int height = 0;
    int ascent = 0;
    int averageCharWidth = 0;
};

struct TextSize {
    int width = 0;
    int height = 0;
};

// Where the reference point of a text lies on it.
enum class TextAlign {
    CentreTop,
    RightBaseline,
    RightBottom,
    RightTop,   // used with a font rotated by 90°: the text ends at the point
};

class ChartCanvas {
public:
    virtual ~ChartCanvas() = default;

    // An off-screen bitmap of this size becomes the surface that all other
    // operations draw on. False when it cannot be made; then nothing is drawn.
    virtual bool beginBitmap(int width, int height) = 0;
    // Copies the bitmap to the target surface with its top left at (x, y).
    virtual void copyBitmapToTarget(int x, int y) = 0;

    // Pens and brushes are selected until the next selection of their kind.
    // Pen style is the platform's pen style (0 solid); width 0 is the
    // thinnest line.
    virtual void selectPen(int style, int width, ColorRef colour) = 0;
    virtual void selectNullPen() = 0;
    virtual void selectBrush(ColorRef colour) = 0;
    virtual void selectNullBrush() = 0;

    virtual void moveTo(int x, int y) = 0;
    virtual void lineTo(int x, int y) = 0;
    // Outline with the pen, fill with the brush, in the box (left, top)..(right, bottom).
    virtual void rectangle(int left, int top, int right, int bottom) = 0;
    virtual void ellipse(int left, int top, int right, int bottom) = 0;
    virtual void fillRect(const PixelRect& rect, ColorRef colour) = 0;

    virtual void selectFont(const LogicalFont& font) = 0;
    virtual FontMetrics fontMetrics() = 0;
    virtual TextSize textExtent(std::u16string_view text) = 0;
    // Drawn in the colour on a transparent background with the selected font.
    virtual void textOut(int x, int y, TextAlign align, std::u16string_view text, ColorRef colour) = 0;
};

} // namespace norvalt
