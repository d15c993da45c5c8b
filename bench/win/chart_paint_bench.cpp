// GDI paints of the chart under Wine, timed with the performance counter:
// the graduation page's plot, and a series of 100 000 points (straight and
// smooth) into the off-screen bitmap, then copied to a bitmap as a window's
// paint would be. Prints the median and the fastest of the paints, in ms.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "bench_clock.h"
#include "../chart_scenes.h"
#include "controls/auto_ctrl.h"
#include "controls/gdi_canvas_win.h"

using namespace norvalt;

namespace {

void report(const char* name, int runs, const std::function<void()>& paint)
{
    for (int i = 0; i < 3; ++i) paint();
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        double start = bench::milliseconds();
        paint();
        times.push_back(bench::milliseconds() - start);
    }
    std::sort(times.begin(), times.end());
    std::printf("%-44s median %7.3f ms   fastest %7.3f ms   (%d paints)\n", name, times[times.size() / 2], times[0],
                runs);
}

// A target like a window's: a bitmap compatible with the screen.
struct Target {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 800, 600);
    HGDIOBJ old = SelectObject(dc, bitmap);
    ~Target()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
    }
};

void paintInto(Target& target, CAutoPanel& chart)
{
    GdiCanvas canvas(target.dc);
    chart.paint(canvas, {0, 0, 800, 600});
    GdiFlush();
}

LRESULT CALLBACK parentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int main()
{
    Target target;
    {
        bench::GraduationScene scene;
        CAutoPanel chart;
        scene.configure(chart);
        report("graduation chart (2 series, 20 points)", 200, [&] { paintInto(target, chart); });
    }
    bench::DenseScene dense;
    for (int mode : {1, 2}) {
        CAutoPanel chart;
        dense.configure(chart, mode);
        report(mode == 1 ? "100 000 points, straight" : "100 000 points, smooth", 30, [&] { paintInto(target, chart); });
    }
    {
        CAutoPanel chart;
        dense.configure(chart, 1);
        chart.mergeColumnRuns = false;
        report("100 000 points, straight, every piece drawn", 10, [&] { paintInto(target, chart); });
    }

    // The graduation chart as a window paints it, in a window on the screen.
    WNDCLASSW c{};
    c.lpfnWndProc = parentProc;
    c.hInstance = GetModuleHandleW(nullptr);
    c.lpszClassName = L"NorvaltChartBench";
    RegisterClassW(&c);
    HWND parent = CreateWindowExW(0, c.lpszClassName, L"bench", WS_POPUP | WS_VISIBLE, 0, 0, 820, 620, nullptr,
                                  nullptr, c.hInstance, nullptr);
    HWND placeholder = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 10, 10, 800, 600, parent,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(1)), c.hInstance, nullptr);
    {
        CAutoCtrl chart;
        chart.createFromControl(placeholder);
        bench::GraduationScene scene;
        scene.configure(chart);
        report("graduation chart, window paint", 100, [&] {
            InvalidateRect(chart.window(), nullptr, FALSE);
            UpdateWindow(chart.window());
            GdiFlush();
        });
    }
    DestroyWindow(parent);
    return 0;
}
