#include "controls/gdi_canvas_win.h"

#include <algorithm>
#include <string>

#include "text/wide.h"

namespace norvalt {

GdiCanvas::~GdiCanvas()
{
    release();
}

void GdiCanvas::release()
{
    if (!memory_) return;
    // Put the context's own objects back before deleting ours.
    if (originalFont_) SelectObject(memory_, originalFont_);
    if (originalBrush_) SelectObject(memory_, originalBrush_);
    if (originalPen_) SelectObject(memory_, originalPen_);
    if (originalBitmap_) SelectObject(memory_, originalBitmap_);
    for (HGDIOBJ* object : {&font_, &brush_, &pen_, &bitmap_}) {
        if (*object) DeleteObject(*object);
        *object = nullptr;
    }
    originalFont_ = originalBrush_ = originalPen_ = originalBitmap_ = nullptr;
    DeleteDC(memory_);
    memory_ = nullptr;
}

bool GdiCanvas::beginBitmap(int width, int height)
{
    release();
    memory_ = CreateCompatibleDC(target_);
    if (!memory_) return false;
    HBITMAP bitmap = CreateCompatibleBitmap(target_, width, height);
    if (!bitmap) {
        release();
        return false;
    }
    replace(bitmap_, originalBitmap_, bitmap, true);
    width_ = width;
    height_ = height;
    SetBkMode(memory_, TRANSPARENT);
    return true;
}

void GdiCanvas::copyBitmapToTarget(int x, int y)
{
    if (memory_) BitBlt(target_, x, y, width_, height_, memory_, 0, 0, SRCCOPY);
}

void GdiCanvas::replace(HGDIOBJ& slot, HGDIOBJ& original, HGDIOBJ object, bool owned)
{
    if (!memory_ || !object) return;
    HGDIOBJ previous = SelectObject(memory_, object);
    if (!original) original = previous;
    if (slot) DeleteObject(slot);
    slot = owned ? object : nullptr;   // stock objects are not ours to delete
}

void GdiCanvas::selectPen(int style, int width, ColorRef colour)
{
    replace(pen_, originalPen_, CreatePen(style, width, colour), true);
}

void GdiCanvas::selectNullPen()
{
    replace(pen_, originalPen_, GetStockObject(NULL_PEN), false);
}

void GdiCanvas::selectBrush(ColorRef colour)
{
    replace(brush_, originalBrush_, CreateSolidBrush(colour), true);
}

void GdiCanvas::selectNullBrush()
{
    replace(brush_, originalBrush_, GetStockObject(NULL_BRUSH), false);
}

void GdiCanvas::moveTo(int x, int y)
{
    MoveToEx(memory_, x, y, nullptr);
}

void GdiCanvas::lineTo(int x, int y)
{
    LineTo(memory_, x, y);
}

void GdiCanvas::rectangle(int left, int top, int right, int bottom)
{
    Rectangle(memory_, left, top, right, bottom);
}

void GdiCanvas::ellipse(int left, int top, int right, int bottom)
{
    Ellipse(memory_, left, top, right, bottom);
}

void GdiCanvas::fillRect(const PixelRect& rect, ColorRef colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    if (!brush) return;
    RECT r{rect.left, rect.top, rect.right, rect.bottom};
    FillRect(memory_, &r, brush);
    DeleteObject(brush);
}

void GdiCanvas::selectFont(const LogicalFont& font)
{
    LOGFONTW f{};
    f.lfHeight = font.height;
    f.lfWidth = font.width;
    f.lfEscapement = font.escapement;
    f.lfOrientation = font.orientation;
    f.lfWeight = font.weight;
    f.lfItalic = font.italic;
    f.lfUnderline = font.underline;
    f.lfStrikeOut = font.strikeOut;
    f.lfCharSet = font.charSet;
    f.lfOutPrecision = font.outPrecision;
    f.lfClipPrecision = font.clipPrecision;
    f.lfQuality = font.quality;
    f.lfPitchAndFamily = font.pitchAndFamily;
    std::copy(std::begin(font.faceName), std::end(font.faceName), f.lfFaceName);
    f.lfFaceName[LF_FACESIZE - 1] = 0;
    replace(font_, originalFont_, CreateFontIndirectW(&f), true);
}

FontMetrics GdiCanvas::fontMetrics()
{
    TEXTMETRICW m{};
    GetTextMetricsW(memory_, &m);
    return {static_cast<int>(m.tmHeight), static_cast<int>(m.tmAscent), static_cast<int>(m.tmAveCharWidth)};
}

TextSize GdiCanvas::textExtent(std::u16string_view text)
{
    std::wstring w = toWide(text);
    SIZE size{};
    GetTextExtentPoint32W(memory_, w.c_str(), static_cast<int>(w.size()), &size);
    return {static_cast<int>(size.cx), static_cast<int>(size.cy)};
}

void GdiCanvas::textOut(int x, int y, TextAlign align, std::u16string_view text, ColorRef colour)
{
    UINT mode = TA_CENTER | TA_TOP;
    switch (align) {
    case TextAlign::CentreTop: mode = TA_CENTER | TA_TOP; break;
    case TextAlign::RightBaseline: mode = TA_RIGHT | TA_BASELINE; break;
    case TextAlign::RightBottom: mode = TA_RIGHT | TA_BOTTOM; break;
    case TextAlign::RightTop: mode = TA_RIGHT | TA_TOP; break;
    }
    SetTextAlign(memory_, mode);
    SetTextColor(memory_, colour);
    std::wstring w = toWide(text);
    TextOutW(memory_, x, y, w.c_str(), static_cast<int>(w.size()));
}

} // namespace norvalt
