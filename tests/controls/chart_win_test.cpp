// The chart under GDI and as a window: pixels of a chart painted into a
// memory bitmap, and the control driven by mouse and scroll messages.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "controls/auto_ctrl.h"
#include "controls/gdi_canvas_win.h"

using namespace norvalt;

namespace {

// A top-down 32-bit bitmap selected into a memory context.
class MemoryBitmap {
public:
    MemoryBitmap(int width, int height) : width_(width), height_(height)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        old_ = SelectObject(dc, bitmap_);
    }
    ~MemoryBitmap()
    {
        SelectObject(dc, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc);
    }
    MemoryBitmap(const MemoryBitmap&) = delete;
    MemoryBitmap& operator=(const MemoryBitmap&) = delete;

    // As a colour reference 0x00BBGGRR.
    COLORREF pixel(int x, int y) const
    {
        GdiFlush();
        std::uint32_t v = bits_[y * width_ + x];
        return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
    }
    bool sameAs(const MemoryBitmap& other) const
    {
        GdiFlush();
        return std::equal(bits_, bits_ + width_ * height_, other.bits_);
    }
    int width() const { return width_; }
    int height() const { return height_; }
    HDC dc;

private:
    int width_, height_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    std::uint32_t* bits_ = nullptr;
};

constexpr COLORREF red = 0x0000FF, green = 0x00FF00, blue = 0xFF0000;

// The colour within one pixel of (x, y).
bool colourNear(const MemoryBitmap& image, int x, int y, COLORREF colour)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (image.pixel(x + dx, y + dy) == colour) return true;
    return false;
}

void addSeries(CAutoPanel& chart, const std::vector<double>& x, const std::vector<double>& y, COLORREF colour,
               int marker, int line)
{
    CAutoSeries& s = chart.series[chart.addSeries()];
    s.count = static_cast<int>(x.size());
    s.xValues = x.data();
    s.yValues = y.data();
    s.colour = colour;
    s.markerStyle = marker;
    s.lineMode = line;
    chart.updateSeries(s);
}

} // namespace

TEST(ChartGdi, MarkersAndSegmentEndsWhereTheTransformsPutThemNothingOutside)
{
    CAutoPanel chart;
    chart.setXRange(0, 10);
    chart.setYRange(0, 10);
    std::vector<double> mx{2, 5}, my{2, 8};        // squares, no line
    std::vector<double> lx{1, 9}, ly{9, 1};        // a line only
    std::vector<double> ox{5, 20}, oy{5, 5};       // leaves through the right edge
    addSeries(chart, mx, my, red, 4, 0);
    addSeries(chart, lx, ly, green, 0, 1);
    addSeries(chart, ox, oy, blue, 0, 1);
    MemoryBitmap image(320, 240);
    {
        GdiCanvas canvas(image.dc);
        chart.paint(canvas, {0, 0, 320, 240});
    }
    const PixelRect& p = chart.rect;
    ASSERT_FALSE(p.empty());
    for (std::size_t i = 0; i < mx.size(); ++i) {
        int x = chart.mapX(mx[i]), y = chart.mapY(my[i]);
        // The outline of the square (x − 4, y − 4)..(x + 5, y + 5), unfilled.
        EXPECT_EQ(image.pixel(x - 4, y - 4), red);
        EXPECT_EQ(image.pixel(x + 4, y + 4), red);
        EXPECT_NE(image.pixel(x, y), red);
    }
    // The line starts on its first point and runs up to its last.
    int x0 = chart.mapX(1), y0 = chart.mapY(9), x1 = chart.mapX(9), y1 = chart.mapY(1);
    EXPECT_EQ(image.pixel(x0, y0), green);
    EXPECT_TRUE(colourNear(image, (x0 + x1) / 2, (y0 + y1) / 2, green));
    EXPECT_TRUE(colourNear(image, x1, y1, green));
    // Clipped at the last column inside, r − 1, which the line leaves out.
    int y = chart.mapY(5);
    EXPECT_EQ(image.pixel(p.right - 2, y), blue);
    EXPECT_NE(image.pixel(p.right - 1, y), blue);
    for (int py = 0; py < image.height(); ++py) {
        for (int px = 0; px < image.width(); ++px) {
            if (p.contains({px, py})) continue;
            COLORREF c = image.pixel(px, py);
            ASSERT_TRUE(c != red && c != green && c != blue) << px << "," << py;
        }
    }
}

TEST(ChartGdi, MergedColumnRunsPaintTheSamePixels)
{
    std::vector<double> y(20000);
    std::mt19937 random(5);
    std::uniform_real_distribution<double> noise(-3, 3);
    for (std::size_t i = 0; i < y.size(); ++i) y[i] = std::sin(i / 1500.0) * 10 + noise(random);
    for (int mode : {1, 2}) {
        MemoryBitmap merged(400, 300), plain(400, 300);
        for (MemoryBitmap* image : {&merged, &plain}) {
            CAutoPanel chart;
            CAutoSeries& s = chart.series[chart.addSeries()];
            s.count = static_cast<int>(y.size());
            s.yValues = y.data();
            s.lineMode = mode;
            s.curveSteps = 5;
            chart.updateSeries(s);
            chart.setYRange(-9, 11);   // the peaks leave the plot
            chart.mergeColumnRuns = image == &merged;
            GdiCanvas canvas(image->dc);
            chart.paint(canvas, {0, 0, 400, 300});
        }
        EXPECT_TRUE(merged.sameAs(plain)) << "line mode " << mode;
    }
}

namespace {

struct Posted {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// The dialog that owns the chart: what reaches it.
struct ParentLog {
    std::vector<NMHDR> notifications;
    std::vector<Posted> mouse;
    std::vector<WORD> commands;   // notification codes of WM_COMMAND
};
ParentLog* parentLog = nullptr;

LRESULT CALLBACK parentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (parentLog && message == WM_NOTIFY) parentLog->notifications.push_back(*reinterpret_cast<NMHDR*>(lParam));
    if (parentLog && message == WM_COMMAND) parentLog->commands.push_back(HIWORD(wParam));
    if (parentLog && message >= WM_MOUSEFIRST && message <= WM_MOUSELAST)
        parentLog->mouse.push_back({message, wParam, lParam});
    return DefWindowProcW(window, message, wParam, lParam);
}

constexpr int chartId = 100;

class ChartWindowTest : public ::testing::Test {
protected:
    // One dialog for all: under Wine on a display without a window manager
    // every top-level window that goes away costs a wait of its own.
    static void SetUpTestSuite()
    {
        WNDCLASSW c{};
        c.lpfnWndProc = parentProc;
        c.hInstance = GetModuleHandleW(nullptr);
        c.lpszClassName = L"NorvaltChartTestParent";
        RegisterClassW(&c);
        parent = CreateWindowExW(0, L"NorvaltChartTestParent", L"chart", WS_POPUP | WS_VISIBLE, 0, 0, 520, 420,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    static void TearDownTestSuite() { DestroyWindow(parent); }

    void SetUp() override
    {
        parentLog = &log;
        CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 10, 480, 360, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(chartId)), GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(chart.attach(parent, chartId));
        x = {0, 25, 50, 75, 100};
        y = {0, 10, 20, 40, 50};
        addSeries(chart, x, y, red, 1, 1);
        chart.setXRange(0, 100);
        chart.setYRange(0, 50);
    }
    void TearDown() override
    {
        DestroyWindow(GetDlgItem(parent, chartId));
        pump();
        parentLog = nullptr;
    }

    void paintNow()
    {
        InvalidateRect(chart.window(), nullptr, FALSE);
        UpdateWindow(chart.window());
        pump();
    }
    void pump()
    {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
    }
    void send(UINT message, WPARAM keys, int px, int py)
    {
        SendMessageW(chart.window(), message, keys, MAKELPARAM(px, py));
    }
    // A drag by messages from (x0, y0) to (x1, y1) with the button's messages.
    void drag(UINT down, UINT up, WPARAM held, int x0, int y0, int x1, int y1)
    {
        send(down, held, x0, y0);
        send(WM_MOUSEMOVE, held, x1, y1);
        send(up, 0, x1, y1);
        pump();
    }
    int countPosted(UINT message) const
    {
        int n = 0;
        for (const Posted& p : log.mouse) n += p.message == message;
        return n;
    }
    // Those at this position: the system adds moves of its own (after a capture ends).
    int countPosted(UINT message, int px, int py) const
    {
        int n = 0;
        for (const Posted& p : log.mouse) n += p.message == message && p.lParam == MAKELPARAM(px, py);
        return n;
    }

    ParentLog log;
    static HWND parent;
    CAutoCtrl chart;
    std::vector<double> x, y;
};

HWND ChartWindowTest::parent = nullptr;

} // namespace

TEST_F(ChartWindowTest, AttachAddsTheNotifyStyleAndAPaintValidates)
{
    EXPECT_EQ(chart.window(), GetDlgItem(parent, chartId));
    EXPECT_TRUE(GetWindowLongPtrW(chart.window(), GWL_STYLE) & SS_NOTIFY);
    paintNow();
    EXPECT_FALSE(GetUpdateRect(chart.window(), nullptr, FALSE));
    EXPECT_FALSE(chart.rect.empty());
    // The background erase is reported done.
    HDC dc = GetDC(chart.window());
    EXPECT_EQ(SendMessageW(chart.window(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
    ReleaseDC(chart.window(), dc);
}

TEST_F(ChartWindowTest, APaintWithoutDataIsCompleted)
{
    chart.series.clear();
    chart.setXRange(0, 0);
    chart.setYRange(0, 0);
    paintNow();
    EXPECT_EQ(chart.xStep, 0);
    EXPECT_FALSE(GetUpdateRect(chart.window(), nullptr, FALSE));
}

TEST_F(ChartWindowTest, AThreePixelDragZoomsAndNotifies)
{
    paintNow();
    const PixelRect p = chart.rect;
    const double w = p.right - p.left - 1, h = p.bottom - p.top - 1;
    drag(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, p.left + 13, p.top + 10, p.left + 10, p.top + 13);
    ASSERT_EQ(log.notifications.size(), 1u);
    EXPECT_EQ(log.notifications[0].code, static_cast<UINT>(chartZoomed));
    EXPECT_EQ(log.notifications[0].idFrom, static_cast<UINT_PTR>(chartId));
    EXPECT_EQ(log.notifications[0].hwndFrom, chart.window());
    // X: 0 + (px − l) · 100 / w, corners sorted; Y: 50 − (py − t) · 50 / h.
    EXPECT_FALSE(chart.autoX);
    EXPECT_DOUBLE_EQ(chart.explicitXMin, 10 * 100 / w);
    EXPECT_DOUBLE_EQ(chart.explicitXMax, 13 * 100 / w);
    EXPECT_DOUBLE_EQ(chart.explicitYMin, 50 - 13 * 50 / h);
    EXPECT_DOUBLE_EQ(chart.explicitYMax, 50 - 10 * 50 / h);
    // The zoom's own button messages stay with the chart; the move is passed on.
    EXPECT_EQ(countPosted(WM_LBUTTONDOWN), 0);
    EXPECT_EQ(countPosted(WM_LBUTTONUP), 0);
    EXPECT_EQ(countPosted(WM_MOUSEMOVE, p.left + 10, p.top + 13), 1);
    EXPECT_NE(GetCapture(), chart.window());
}

TEST_F(ChartWindowTest, ATwoPixelDragDoesNothing)
{
    paintNow();
    const PixelRect p = chart.rect;
    drag(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, p.left + 10, p.top + 10, p.left + 12, p.top + 30);
    EXPECT_TRUE(log.notifications.empty());
    EXPECT_EQ(chart.explicitXMin, 0);
    EXPECT_EQ(chart.explicitXMax, 100);
    EXPECT_EQ(chart.explicitYMax, 50);
}

TEST_F(ChartWindowTest, ARectangleReachingOutsideIsClampedToTheView)
{
    paintNow();
    const PixelRect p = chart.rect;
    const double w = p.right - p.left - 1;
    drag(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, p.left + 40, p.top + 20, p.right + 60, p.bottom + 60);
    ASSERT_EQ(log.notifications.size(), 1u);
    EXPECT_DOUBLE_EQ(chart.explicitXMin, 40 * 100 / w);
    EXPECT_EQ(chart.explicitXMax, 100);
    EXPECT_EQ(chart.explicitYMin, 0);
}

TEST_F(ChartWindowTest, ANarrowRectangleOfLargeValuesIsIgnored)
{
    chart.setXRange(1e6, 1e6 + 100);   // 3 px ≈ 1 unit, 1 · 100000 < 1e6
    paintNow();
    const PixelRect p = chart.rect;
    drag(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, p.left + 10, p.top + 10, p.left + 13, p.top + 40);
    EXPECT_TRUE(log.notifications.empty());
    EXPECT_EQ(chart.explicitXMin, 1e6);
}

TEST_F(ChartWindowTest, WithTheRightButtonZoomingALeftDragIsPassedOn)
{
    chart.zoomButton = 1;
    paintNow();
    const PixelRect p = chart.rect;
    const int x0 = p.left + 10, y0 = p.top + 10, x1 = p.left + 60, y1 = p.top + 60;
    drag(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, x0, y0, x1, y1);
    EXPECT_TRUE(log.notifications.empty());
    ASSERT_EQ(log.mouse.size(), 3u);
    EXPECT_EQ(log.mouse[0].message, static_cast<UINT>(WM_LBUTTONDOWN));
    EXPECT_EQ(log.mouse[0].wParam, static_cast<WPARAM>(MK_LBUTTON));
    EXPECT_EQ(log.mouse[0].lParam, MAKELPARAM(x0, y0));
    EXPECT_EQ(log.mouse[1].message, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(log.mouse[2].message, static_cast<UINT>(WM_LBUTTONUP));
    EXPECT_EQ(log.mouse[2].lParam, MAKELPARAM(x1, y1));

    log.mouse.clear();
    drag(WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, x0, y0, x1, y1);
    ASSERT_EQ(log.notifications.size(), 1u);
    EXPECT_EQ(log.notifications[0].code, static_cast<UINT>(chartZoomed));
    EXPECT_EQ(countPosted(WM_RBUTTONDOWN) + countPosted(WM_RBUTTONUP), 0);
}

TEST_F(ChartWindowTest, AMoveWithoutTheButtonCancelsTheDrag)
{
    paintNow();
    const PixelRect p = chart.rect;
    send(WM_LBUTTONDOWN, MK_LBUTTON, p.left + 10, p.top + 10);
    send(WM_MOUSEMOVE, 0, p.left + 50, p.top + 50);
    send(WM_LBUTTONUP, 0, p.left + 50, p.top + 50);
    pump();
    EXPECT_TRUE(log.notifications.empty());
    // Not a zoom any more: the release is an ordinary one, passed on.
    EXPECT_EQ(countPosted(WM_LBUTTONUP), 1);
    EXPECT_EQ(chart.explicitXMax, 100);
}

TEST_F(ChartWindowTest, HorizontalScrollAtTheStartChangesNothing)
{
    chart.setXRange(0, 50);   // the data reach 100: the bar shows
    paintNow();
    paintNow();   // the bar is measured in the step of the paint before
    EXPECT_TRUE(GetWindowLongPtrW(chart.window(), GWL_STYLE) & WS_HSCROLL);
    const double step = chart.xStep;
    ASSERT_GT(step, 0);
    int low = -1, high = -1;
    GetScrollRange(chart.window(), SB_HORZ, &low, &high);
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, static_cast<int>(std::ceil(50 / step)));   // (100 − 0) − (50 − 0) in steps
    EXPECT_EQ(GetScrollPos(chart.window(), SB_HORZ), 0);

    SendMessageW(chart.window(), WM_HSCROLL, SB_LINELEFT, 0);
    EXPECT_TRUE(log.notifications.empty());
    EXPECT_EQ(chart.explicitXMin, 0);
    EXPECT_EQ(chart.explicitXMax, 50);

    SendMessageW(chart.window(), WM_HSCROLL, SB_LINERIGHT, 0);
    ASSERT_EQ(log.notifications.size(), 1u);
    EXPECT_EQ(log.notifications[0].code, static_cast<UINT>(chartScrolledX));
    EXPECT_DOUBLE_EQ(chart.explicitXMax, 50 + step);
    EXPECT_DOUBLE_EQ(chart.explicitXMin, step);

    // The thumb at position 1000 stops at the end of the data: 100 − 50.
    SendMessageW(chart.window(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 1000), 0);
    EXPECT_DOUBLE_EQ(chart.explicitXMin, 50);
    EXPECT_DOUBLE_EQ(chart.explicitXMax, 100);
    // Tracking changes nothing.
    SendMessageW(chart.window(), WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 3), 0);
    EXPECT_EQ(log.notifications.size(), 2u);
}

TEST_F(ChartWindowTest, VerticalScrollMovesByOneStepUnlimited)
{
    chart.setYRange(10, 30);
    paintNow();
    const double step = chart.yStep;
    ASSERT_GT(step, 0);
    SendMessageW(chart.window(), WM_VSCROLL, SB_LINEUP, 0);
    ASSERT_EQ(log.notifications.size(), 1u);
    EXPECT_EQ(log.notifications[0].code, static_cast<UINT>(chartScrolledY));
    EXPECT_DOUBLE_EQ(chart.explicitYMax, 30 + step);
    EXPECT_DOUBLE_EQ(chart.explicitYMin, 10 + step);
    SendMessageW(chart.window(), WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_DOUBLE_EQ(chart.explicitYMin, 10);
    EXPECT_EQ(log.notifications.size(), 2u);
}

TEST_F(ChartWindowTest, LogarithmicZoomWorksOnTheLogarithms)
{
    x = {1, 10, 100, 1000, 1000};
    chart.flags = chartLogX;
    chart.setXRange(1, 1000);   // held as 0..3
    paintNow();
    const PixelRect p = chart.rect;
    const double w = p.right - p.left - 1;
    drag(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, p.left + 30, p.top + 10, p.left + 90, p.top + 50);
    ASSERT_EQ(log.notifications.size(), 1u);
    EXPECT_DOUBLE_EQ(chart.explicitXMin, 30 * 3 / w);
    EXPECT_DOUBLE_EQ(chart.explicitXMax, 90 * 3 / w);
}

TEST_F(ChartWindowTest, CreateFromControlTakesThePlaceholdersPlace)
{
    HWND placeholder = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 20, 30, 200, 100, parent,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(101)), GetModuleHandleW(nullptr),
                                       nullptr);
    {
        CAutoCtrl other;
        ASSERT_TRUE(other.createFromControl(placeholder));
        EXPECT_FALSE(IsWindow(placeholder));
        HWND made = GetDlgItem(parent, 101);
        EXPECT_EQ(made, other.window());
        EXPECT_TRUE(GetWindowLongPtrW(made, GWL_STYLE) & SS_NOTIFY);
        EXPECT_TRUE(IsWindowVisible(made));
        RECT r{};
        GetWindowRect(made, &r);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, 20);
        EXPECT_EQ(r.top, 30);
        EXPECT_EQ(r.right, 220);
        EXPECT_EQ(r.bottom, 130);
    }
    // The control it made goes with it.
    EXPECT_EQ(GetDlgItem(parent, 101), nullptr);
}

TEST_F(ChartWindowTest, OtherButtonsArePassedOnAfterTheStaticControlsOwnProcessing)
{
    paintNow();
    send(WM_LBUTTONDBLCLK, MK_LBUTTON, 40, 50);
    send(WM_MBUTTONDOWN, MK_MBUTTON, 41, 51);
    send(WM_MBUTTONUP, 0, 42, 52);
    pump();
    EXPECT_EQ(countPosted(WM_LBUTTONDBLCLK, 40, 50), 1);
    EXPECT_EQ(countPosted(WM_MBUTTONDOWN, 41, 51), 1);
    EXPECT_EQ(countPosted(WM_MBUTTONUP, 42, 52), 1);
    // The notify style lets the static control tell of the double click.
    EXPECT_NE(std::find(log.commands.begin(), log.commands.end(), STN_DBLCLK), log.commands.end());
    EXPECT_TRUE(log.notifications.empty());
}

TEST_F(ChartWindowTest, AResizeRepaintsTheWholeChart)
{
    paintNow();
    ASSERT_FALSE(GetUpdateRect(chart.window(), nullptr, FALSE));
    SetWindowPos(chart.window(), nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
    RECT update{};
    ASSERT_TRUE(GetUpdateRect(chart.window(), &update, FALSE));
    EXPECT_EQ(update.right, 300);
    EXPECT_EQ(update.bottom, 200);
}

TEST_F(ChartWindowTest, TheScrollBarGoesWhenTheViewShowsAllData)
{
    chart.setXRange(20, 60);
    paintNow();
    EXPECT_TRUE(GetWindowLongPtrW(chart.window(), GWL_STYLE) & WS_HSCROLL);
    chart.setXRange(0, 0);   // automatic: the view is the data
    paintNow();
    EXPECT_FALSE(GetWindowLongPtrW(chart.window(), GWL_STYLE) & WS_HSCROLL);
    EXPECT_FALSE(GetWindowLongPtrW(chart.window(), GWL_STYLE) & WS_VSCROLL);
}
