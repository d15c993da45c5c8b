// Shows the chart control in a window: on the left a linear chart with
// calibration points (circles), the line through them, a smooth curve and
// two zones; on the right the same kind of data on a logarithmic Y axis.
// `chartdemo SECONDS` closes the window after that many seconds.
#include <windows.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "controls/auto_ctrl.h"

using namespace norvalt;

namespace {

LRESULT CALLBACK demoProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY || message == WM_TIMER) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND placeholder(HWND parent, int id, int x, int y, int w, int h)
{
    return CreateWindowExW(0, L"STATIC", L"", WS_CHILD, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

CAutoSeries& add(CAutoCtrl& chart, const std::vector<double>& x, const std::vector<double>& y)
{
    CAutoSeries& s = chart.series[chart.addSeries()];
    s.count = static_cast<int>(x.size());
    s.xValues = x.data();
    s.yValues = y.data();
    return s;
}

} // namespace

int main(int argc, char** argv)
{
    WNDCLASSW c{};
    c.lpfnWndProc = demoProc;
    c.hInstance = GetModuleHandleW(nullptr);
    c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    c.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    c.lpszClassName = L"NorvaltChartDemo";
    RegisterClassW(&c);
    HWND window = CreateWindowExW(0, c.lpszClassName, L"norvalt chart", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20,
                                  1100, 520, nullptr, nullptr, c.hInstance, nullptr);

    // Calibration points with a little scatter, the line through them.
    std::vector<double> conc, area, lineX{0, 0.11}, lineY{0, 0.11 * 1520};
    for (int i = 1; i <= 10; ++i) {
        conc.push_back(0.01 * i);
        area.push_back(0.01 * i * 1520 + ((i * 7) % 5 - 2) * 2.5);
    }
    // A smooth curve through a few points, and two zones that overlap.
    std::vector<double> curveX{0.005, 0.02, 0.035, 0.05, 0.065, 0.08, 0.095, 0.105};
    std::vector<double> curveY{20, 90, 40, 120, 60, 150, 100, 170};
    std::vector<double> zoneFrom{0.012, 0.025, 0.07}, zoneTo{0.03, 0.045, 0.09};
    std::vector<std::int32_t> zoneKinds{1, 0, 2};

    CAutoCtrl linear;
    linear.createFromControl(placeholder(window, 1, 10, 10, 530, 460));
    linear.xTitle = u"Концентрация, %";
    linear.yTitle = u"Площадь, мВ·мин";
    CAutoSeries& zones = add(linear, zoneFrom, zoneTo);
    zones.markerStyle = 6;
    zones.zoneKinds = zoneKinds.data();
    CAutoSeries& points = add(linear, conc, area);
    points.markerStyle = 1;
    points.lineMode = 0;
    points.colour = 0x0000C0;
    CAutoSeries& line = add(linear, lineX, lineY);
    line.colour = 0x808000;
    CAutoSeries& curve = add(linear, curveX, curveY);
    curve.lineMode = 2;
    curve.markerStyle = 4;
    curve.markerSize = 2;
    curve.colour = 0x008000;
    for (CAutoSeries& s : linear.series) linear.updateSeries(s);

    // Logarithmic Y: a response over four decades.
    std::vector<double> doseX, doseY, fitX, fitY;
    for (int i = 0; i <= 12; ++i) {
        doseX.push_back(i);
        doseY.push_back(std::pow(10.0, 0.3 * i) * (1 + 0.15 * std::sin(i * 1.7)));
    }
    for (int i = 0; i <= 24; ++i) {
        fitX.push_back(i * 0.5);
        fitY.push_back(std::pow(10.0, 0.3 * i * 0.5));
    }
    CAutoCtrl logarithmic;
    logarithmic.createFromControl(placeholder(window, 2, 550, 10, 520, 460));
    logarithmic.flags = chartLogY;
    logarithmic.xTitle = u"Номер разбавления";
    logarithmic.yTitle = u"lg(сигнал)";
    CAutoSeries& dose = add(logarithmic, doseX, doseY);
    dose.markerStyle = 2;
    dose.lineMode = 0;
    dose.colour = 0x0000C0;
    CAutoSeries& fit = add(logarithmic, fitX, fitY);
    fit.lineMode = 2;
    fit.colour = 0xC00000;
    for (CAutoSeries& s : logarithmic.series) logarithmic.updateSeries(s);

    if (argc > 1) SetTimer(window, 1, static_cast<UINT>(std::atoi(argv[1]) * 1000), nullptr);
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    return 0;
}
