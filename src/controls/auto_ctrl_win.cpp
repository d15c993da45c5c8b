#include "controls/auto_ctrl.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <climits>
#include <cmath>

#include "controls/gdi_canvas_win.h"
#include "controls/window_guard.h"

namespace norvalt {

namespace {

constexpr UINT_PTR subclassId = 1;

class PaintLock {
public:
    explicit PaintLock(CRITICAL_SECTION& lock) : lock_(lock) { EnterCriticalSection(&lock_); }
    ~PaintLock() { LeaveCriticalSection(&lock_); }
    PaintLock(const PaintLock&) = delete;
    PaintLock& operator=(const PaintLock&) = delete;

private:
    CRITICAL_SECTION& lock_;
};

// BeginPaint..EndPaint, so that a paint is validated however it ends.
class Painting {
public:
    explicit Painting(HWND window) : window_(window) { dc = BeginPaint(window, &paint_); }
    ~Painting() { EndPaint(window_, &paint_); }
    Painting(const Painting&) = delete;
    Painting& operator=(const Painting&) = delete;
    HDC dc;

private:
    HWND window_;
    PAINTSTRUCT paint_{};
};

// A scroll bar position or range, held within what the bar takes.
int toBarUnits(double v)
{
    if (!(v > 0)) return 0;
    return v >= INT_MAX ? INT_MAX : static_cast<int>(v);
}

} // namespace

CAutoCtrl::CAutoCtrl()
{
    InitializeCriticalSection(&paintLock_);
}

CAutoCtrl::~CAutoCtrl()
{
    if (window_) {
        RemoveWindowSubclass(window_, subclassProc, subclassId);
        if (created_) DestroyWindow(window_);
    }
    DeleteCriticalSection(&paintLock_);
}

bool CAutoCtrl::attach(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control) return false;
    SetWindowLongPtrW(control, GWL_STYLE, GetWindowLongPtrW(control, GWL_STYLE) | SS_NOTIFY);
    return subclass(control);
}

bool CAutoCtrl::createFromControl(HWND placeholder)
{
    HWND parent = GetParent(placeholder);
    int id = GetDlgCtrlID(placeholder);
    WINDOWPLACEMENT place{};
    place.length = sizeof place;
    if (!parent || !GetWindowPlacement(placeholder, &place)) return false;
    const RECT& r = place.rcNormalPosition;
    DestroyWindow(placeholder);
    HWND control = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_NOTIFY, r.left, r.top,
                                   r.right - r.left, r.bottom - r.top, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
    if (!control) return false;
    created_ = true;
    return subclass(control);
}

bool CAutoCtrl::subclass(HWND control)
{
    if (!SetWindowSubclass(control, subclassProc, subclassId, reinterpret_cast<DWORD_PTR>(this))) return false;
    window_ = control;
    return true;
}

LRESULT CALLBACK CAutoCtrl::subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR data)
{
    auto* self = reinterpret_cast<CAutoCtrl*>(data);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, subclassProc, subclassId);
        self->window_ = nullptr;
        self->created_ = false;
        return DefSubclassProc(window, message, wParam, lParam);
    }
    return guardWindowEdge(window, LRESULT(0), [&] { return self->handle(message, wParam, lParam); });
}

LRESULT CAutoCtrl::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    auto byDefault = [&] { return DefSubclassProc(window_, message, wParam, lParam); };
    auto forward = [&] { PostMessageW(GetParent(window_), message, wParam, lParam); };
    switch (message) {
    case WM_PAINT:
        onPaint();
        return 0;
    case WM_ERASEBKGND:
        return 1;   // the paint covers the whole client area
    case WM_SIZE: {
        LRESULT result = byDefault();
        InvalidateRect(window_, nullptr, FALSE);
        return result;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
        LRESULT result = byDefault();
        if (isZoomButtonDown(message) && zoomEnabled && !selecting_) {
            dragStart_ = dragEnd_ = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            selecting_ = true;
            SetCapture(window_);
            return result;
        }
        forward();
        return result;
    }
    case WM_MOUSEMOVE: {
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (selecting_ && (at.x != dragEnd_.x || at.y != dragEnd_.y)) {
            if (wParam & (zoomButton == 0 ? MK_LBUTTON : MK_RBUTTON)) {
                drawSelection();
                dragEnd_ = at;
                drawSelection();
            } else {
                cancelSelection();
            }
        }
        LRESULT result = byDefault();
        forward();
        return result;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
        LRESULT result = byDefault();
        if (selecting_ && isZoomButtonUp(message)) {
            drawSelection();
            dragEnd_ = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            selecting_ = false;
            if (GetCapture() == window_) ReleaseCapture();
            finishZoom();
            return result;
        }
        forward();
        return result;
    }
    case WM_LBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: {
        LRESULT result = byDefault();
        forward();
        return result;
    }
    case WM_CAPTURECHANGED:
        if (selecting_ && reinterpret_cast<HWND>(lParam) != window_) cancelSelection();
        return byDefault();
    case WM_HSCROLL:
        scrollX(LOWORD(wParam), HIWORD(wParam));
        return byDefault();
    case WM_VSCROLL:
        scrollY(LOWORD(wParam), HIWORD(wParam));
        return byDefault();
    default:
        return byDefault();
    }
}

bool CAutoCtrl::isZoomButtonDown(UINT message) const
{
    return message == (zoomButton == 1 ? WM_RBUTTONDOWN : WM_LBUTTONDOWN);
}

bool CAutoCtrl::isZoomButtonUp(UINT message) const
{
    return message == (zoomButton == 1 ? WM_RBUTTONUP : WM_LBUTTONUP);
}

void CAutoCtrl::onPaint()
{
    PaintLock lock(paintLock_);
    if (trackFullX || autoX) automaticXRange(fullXMin, fullXMax);
    if (trackFullY || autoY) automaticYRange(fullYMin, fullYMax);
    establishRanges();
    updateScrollBars();

    Painting painting(window_);
    RECT client{};
    GetClientRect(window_, &client);
    {
        GdiCanvas canvas(painting.dc);
        paint(canvas, {client.left, client.top, client.right, client.bottom});
    }
    // The chart has covered the rectangle inside the painted region; drawn
    // again through the paint's own clipping, it shows whole once more.
    if (selecting_) drawSelection(painting.dc);
}

void CAutoCtrl::updateScrollBars()
{
    bool showX = horizontalScrollAllowed && (fullXMax > xMax || xMin > fullXMin);
    if (showX == horizontalBarHidden_) {
        ShowScrollBar(window_, SB_HORZ, showX);
        horizontalBarHidden_ = !showX;
    }
    if (showX && xStep > 0) {
        double n = std::ceil(((fullXMax - fullXMin) - (xMax - xMin)) / xStep);
        if (n > 0) {
            SetScrollRange(window_, SB_HORZ, 0, toBarUnits(n), FALSE);
            SetScrollPos(window_, SB_HORZ, toBarUnits(std::ceil((xMin - fullXMin) / xStep)), TRUE);
        }
    }
    bool showY = verticalScrollAllowed && (fullYMax > yMax || yMin > fullYMin);
    if (showY == verticalBarHidden_) {
        ShowScrollBar(window_, SB_VERT, showY);
        verticalBarHidden_ = !showY;
    }
    if (showY && yStep > 0) {
        double n = std::ceil(((fullYMax - fullYMin) - (yMax - yMin)) / yStep);
        if (n > 0) {
            SetScrollRange(window_, SB_VERT, 0, toBarUnits(n), FALSE);
            SetScrollPos(window_, SB_VERT, toBarUnits(std::ceil((fullYMax - yMax) / yStep)), TRUE);
        }
    }
}

void CAutoCtrl::drawSelection(HDC onto)
{
    HDC dc = onto ? onto : GetDC(window_);
    if (!dc) return;
    int oldMode = SetROP2(dc, R2_NOT);
    HPEN pen = CreatePen(PS_SOLID, 0, 0x000000);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, dragStart_.x, dragStart_.y, dragEnd_.x, dragEnd_.y);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    SetROP2(dc, oldMode);
    if (!onto) ReleaseDC(window_, dc);
}

void CAutoCtrl::cancelSelection()
{
    drawSelection();
    selecting_ = false;
    if (GetCapture() == window_) ReleaseCapture();
}

void CAutoCtrl::finishZoom()
{
    if (std::abs(dragEnd_.x - dragStart_.x) <= 2 || std::abs(dragEnd_.y - dragStart_.y) <= 2) return;
    const double w = rect.right - rect.left - 1, h = rect.bottom - rect.top - 1;
    if (w <= 0 || h <= 0) return;
    auto toX = [&](int px) { return xMin + (px - rect.left) * (xMax - xMin) / w; };
    auto toY = [&](int py) { return yMax - (py - rect.top) * (yMax - yMin) / h; };
    double xLow = toX(dragStart_.x), xHigh = toX(dragEnd_.x);
    double yLow = toY(dragStart_.y), yHigh = toY(dragEnd_.y);
    if (xLow > xHigh) std::swap(xLow, xHigh);
    if (yLow > yHigh) std::swap(yLow, yHigh);
    xLow = std::max(xLow, xMin);
    xHigh = std::min(xHigh, xMax);
    yLow = std::max(yLow, yMin);
    yHigh = std::min(yHigh, yMax);
    // A view narrower than 1/100000 of its limits would show rounding, not data.
    auto wideEnough = [](double low, double high) {
        return std::fabs(high - low) * 100000 > std::max(std::fabs(low), std::fabs(high));
    };
    if (!wideEnough(xLow, xHigh) || !wideEnough(yLow, yHigh)) return;
    setXView(xLow, xHigh);
    setYView(yLow, yHigh);
    if (!autoX) {
        xMin = xLow;
        xMax = xHigh;
    }
    if (!autoY) {
        yMin = yLow;
        yMax = yHigh;
    }
    InvalidateRect(window_, nullptr, FALSE);
    notifyParent(chartZoomed);
}

void CAutoCtrl::scrollX(int request, int position)
{
    const double width = xMax - xMin;
    double min, max;
    switch (request) {
    case SB_LINELEFT:
    case SB_PAGELEFT:
        min = std::max(xMin - xStep, fullXMin);
        if (min == xMin) return;
        max = min + width;
        break;
    case SB_LINERIGHT:
    case SB_PAGERIGHT:
        max = std::min(xMax + xStep, fullXMax);
        if (max == xMax) return;
        min = max - width;
        break;
    case SB_THUMBPOSITION:
        min = std::min(fullXMin + position * xStep, fullXMax - width);
        max = min + width;
        break;
    default:
        return;
    }
    if (min == xMin && max == xMax) return;
    applyView(true, min, max);
    notifyParent(chartScrolledX);
}

void CAutoCtrl::scrollY(int request, int position)
{
    const double height = yMax - yMin;
    double min, max;
    switch (request) {
    case SB_LINEUP:
    case SB_PAGEUP:
        max = yMax + yStep;
        min = max - height;
        break;
    case SB_LINEDOWN:
    case SB_PAGEDOWN:
        min = yMin - yStep;
        max = min + height;
        break;
    case SB_THUMBPOSITION:
        max = std::max(fullYMax - position * yStep, fullYMin + height);
        min = max - height;
        break;
    default:
        return;
    }
    if (min == yMin && max == yMax) return;
    applyView(false, min, max);
    notifyParent(chartScrolledY);
}

void CAutoCtrl::applyView(bool horizontal, double min, double max)
{
    if (horizontal) {
        setXView(min, max);
        if (!autoX) {
            xMin = min;
            xMax = max;
        }
    } else {
        setYView(min, max);
        if (!autoY) {
            yMin = min;
            yMax = max;
        }
    }
    InvalidateRect(window_, nullptr, FALSE);
}

void CAutoCtrl::notifyParent(UINT code)
{
    NMHDR header{};
    header.hwndFrom = window_;
    header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(window_));
    header.code = code;
    SendMessageW(GetParent(window_), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

} // namespace norvalt
