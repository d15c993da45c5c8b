#include "controls/recording_canvas.h"

#include <cstdlib>

namespace norvalt {

void RecordingCanvas::add(CanvasCall::Kind kind, int a, int b, int c, int d, ColorRef colour)
{
    CanvasCall call;
    call.kind = kind;
    call.a = a;
    call.b = b;
    call.c = c;
    call.d = d;
    call.colour = colour;
    calls.push_back(std::move(call));
}

bool RecordingCanvas::beginBitmap(int width, int height)
{
    add(CanvasCall::Bitmap, width, height);
    return true;
}

void RecordingCanvas::copyBitmapToTarget(int x, int y) { add(CanvasCall::CopyToTarget, x, y); }
void RecordingCanvas::selectPen(int style, int width, ColorRef colour) { add(CanvasCall::Pen, style, width, 0, 0, colour); }
void RecordingCanvas::selectNullPen() { add(CanvasCall::NullPen); }
void RecordingCanvas::selectBrush(ColorRef colour) { add(CanvasCall::Brush, 0, 0, 0, 0, colour); }
void RecordingCanvas::selectNullBrush() { add(CanvasCall::NullBrush); }
void RecordingCanvas::moveTo(int x, int y) { add(CanvasCall::MoveTo, x, y); }
void RecordingCanvas::lineTo(int x, int y) { add(CanvasCall::LineTo, x, y); }
void RecordingCanvas::rectangle(int left, int top, int right, int bottom) { add(CanvasCall::Rectangle, left, top, right, bottom); }
void RecordingCanvas::ellipse(int left, int top, int right, int bottom) { add(CanvasCall::Ellipse, left, top, right, bottom); }

void RecordingCanvas::fillRect(const PixelRect& rect, ColorRef colour)
{
    add(CanvasCall::FillRect, rect.left, rect.top, rect.right, rect.bottom, colour);
}

void RecordingCanvas::selectFont(const LogicalFont& font)
{
    fontHeight_ = font.height == 0 ? 12 : std::abs(font.height);
    add(CanvasCall::Font, font.height);
    calls.back().escapement = font.escapement;
}

FontMetrics RecordingCanvas::fontMetrics()
{
    return {fontHeight_, fontHeight_ - fontHeight_ / 5, fontHeight_ / 2};
}

TextSize RecordingCanvas::textExtent(std::u16string_view text)
{
    return {static_cast<int>(text.size()) * (fontHeight_ / 2), fontHeight_};
}

void RecordingCanvas::textOut(int x, int y, TextAlign align, std::u16string_view text, ColorRef colour)
{
    add(CanvasCall::Text, x, y, 0, 0, colour);
    calls.back().align = align;
    calls.back().text.assign(text);
}

} // namespace norvalt
