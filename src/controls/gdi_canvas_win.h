#pragma once
// The chart's canvas on GDI: it draws into an off-screen bitmap compatible
// with the target device context and copies it there in one block. Every
// pen, brush, font and the bitmap are created for this canvas and deleted
// with it (or when replaced), so one canvas lives for one paint.
#include <windows.h>

#include "controls/chart_canvas.h"

namespace norvalt {

class GdiCanvas final : public ChartCanvas {
public:
    explicit GdiCanvas(HDC target) : target_(target) {}
    ~GdiCanvas() override;
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;

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
    // Selects object into the bitmap's context and deletes the one this
    // canvas made before it in the same slot.
    void replace(HGDIOBJ& slot, HGDIOBJ& original, HGDIOBJ object, bool owned);
    void release();

    HDC target_;
    HDC memory_ = nullptr;
    int width_ = 0, height_ = 0;
    HGDIOBJ bitmap_ = nullptr, pen_ = nullptr, brush_ = nullptr, font_ = nullptr;
    HGDIOBJ originalBitmap_ = nullptr, originalPen_ = nullptr, originalBrush_ = nullptr, originalFont_ = nullptr;
};

} // namespace norvalt
