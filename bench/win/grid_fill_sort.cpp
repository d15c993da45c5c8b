// Filling and sorting the module's grids as the pages do it: the Components
// page (one row per peak, four columns) and a main list of 256 chromatograms
// (seven columns), each filled with redraw off and sorted by every kind of
// column. Timed with the performance counter; prints the median and the
// worst of the rounds in milliseconds. Windows only (runs under Wine here).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "controls/grid_ctrl.h"
#include "text/format.h"

using namespace norvalt;

namespace {

constexpr int gridId = 1008;
constexpr int rounds = 25;

// The owner answers the sort kinds of the column being benchmarked.
std::vector<GridSortKind> answeredKinds;

LRESULT CALLBACK ownerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY) {
        const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
        if (hdr->code == GRIDN_SORTKIND) {
            auto column = static_cast<std::size_t>(reinterpret_cast<const GridNotifySort*>(hdr)->column);
            return column < answeredKinds.size() ? static_cast<LRESULT>(answeredKinds[column]) : 0;
        }
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void report(const char* what, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    std::printf("%-44s median %7.3f ms   worst %7.3f ms\n", what, times[times.size() / 2], times.back());
}

// A peak name, an area and a retention time that do not come in any order.
std::u16string peakName(int i)
{
    static const char16_t* names[] = {u"Этиленгликоль", u"диэтиленгликоль", u"Нонанол-1", u"Бензиловый спирт",
                                      u"Триэтиленгликоль", u"Вода", u"пик"};
    return format(u"%s %d", names[i % 7], (i * 37) % 101);
}

struct Bench {
    HWND window;
    HWND listView;
    CGridCtrl grid;

    Bench(const wchar_t* title, const std::vector<GridColumn>& columns)
    {
        window = CreateWindowExW(0, L"NorvaltGridBench", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1000, 700,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        listView = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT, 0, 0, 980,
                                   650, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(gridId)),
                                   GetModuleHandleW(nullptr), nullptr);
        grid.attach(listView);
        grid.insertColumns(columns);
        answeredKinds.clear();
        for (const auto& column : columns) answeredKinds.push_back(column.sortKind);
        pump();
    }

    // Fill with redraw off and sort by the first column, as the pages do;
    // then drawing turned back on and the one paint that follows, each
    // timed on its own.
    void fillSort(const char* name, int rows, const std::function<void(int)>& fillRow)
    {
        std::vector<double> fills, redraws, paints, totals;
        for (int r = 0; r < rounds; ++r) {
            double start = bench::milliseconds(), filled = 0;
            {
                CGridCtrl::RedrawOff quiet(grid);
                grid.deleteAllRows();
                for (int i = 0; i < rows; ++i) fillRow(i);
                grid.sortByColumn(0, true);
                filled = bench::milliseconds();
            }
            double drawing = bench::milliseconds();
            UpdateWindow(listView);
            double painted = bench::milliseconds();
            fills.push_back(filled - start);
            redraws.push_back(drawing - filled);
            paints.push_back(painted - drawing);
            totals.push_back(drawing - start);
        }
        std::string label = std::string(name) + " " + std::to_string(rows) + " rows: fill+sort";
        report(label.c_str(), fills);
        report("  then drawing turned on", redraws);
        report("  fill+sort+drawing on", totals);
        report("  then the first paint", paints);
    }

    // Each column sorted, as a header click does it (redraw on), with the
    // paint that follows.
    void sortEach(const char* name, const std::vector<GridColumn>& columns)
    {
        for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
            std::vector<double> times;
            for (int r = 0; r < rounds; ++r) {
                double start = bench::milliseconds();
                grid.sortByColumn(c, r % 2 == 0);
                UpdateWindow(listView);
                times.push_back(bench::milliseconds() - start);
            }
            const char* kind = columns[static_cast<std::size_t>(c)].sortKind == GridSortKind::number ? "number"
                               : columns[static_cast<std::size_t>(c)].sortKind == GridSortKind::date ? "date"
                                                                                                       : "text";
            std::string label = std::string(name) + " sort column " + std::to_string(c) + " (" + kind + ")";
            report(label.c_str(), times);
        }
    }
};

} // namespace

int main()
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ownerProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"NorvaltGridBench";
    RegisterClassW(&windowClass);

    {
        // The Components page: running number, name, area, time; 64 peaks is
        // a long chromatogram of this determination.
        const std::vector<GridColumn> columns = {
            {u"№", 30, GridAlign::centre, GridSortKind::number},
            {u"Имя", 250, GridAlign::left, GridSortKind::text},
            {u"Площадь", 90, GridAlign::centre, GridSortKind::text},
            {u"Время выхода", 90, GridAlign::centre, GridSortKind::number},
        };
        Bench bench(L"Components", columns);
        for (int peaks : {64, 256})
            bench.fillSort("components", peaks, [&](int i) {
                int row = bench.grid.appendRow();
                bench.grid.setRowNumber(row, i + 1);
                bench.grid.setCellText(row, 1, peakName(i));
                bench.grid.setCellNumber(row, 2, u"%.3f", ((i * 7919) % 100000) / 7.0);
                bench.grid.setCellNumber(row, 3, u"%.2f", ((i * 613) % 3000) / 100.0);
            });
        bench.sortEach("components 256", columns);
    }
    {
        // The main list: 256 chromatograms, the most one add brings.
        const std::vector<GridColumn> columns = {
            {u"№", 30, GridAlign::centre, GridSortKind::number},
            {u"Имя файла", 250, GridAlign::left, GridSortKind::text},
            {u"Проба", 180, GridAlign::left, GridSortKind::text},
            {u"Объем", 50, GridAlign::left, GridSortKind::number},
            {u"Дата анализа", 95, GridAlign::left, GridSortKind::date},
            {u"Тип анализа", 80, GridAlign::left, GridSortKind::text},
            {u"Смесь", 110, GridAlign::left, GridSortKind::text},
        };
        Bench bench(L"Main list", columns);
        bench.fillSort("main list", 256, [&](int i) {
                int row = bench.grid.appendRow();
                int day = 1 + (i * 11) % 28, month = 1 + (i * 5) % 12, hour = (i * 7) % 24, minute = (i * 13) % 60;
                bench.grid.setRowNumber(row, i + 1);
                bench.grid.setCellText(row, 1, format(u"C:\\Хроматограммы\\2024\\проба_%d.chr", (i * 97) % 1000));
                bench.grid.setCellText(row, 2, format(u"Гликоль партия %d", (i * 31) % 50));
                bench.grid.setCellNumber(row, 3, u"%g", 0.2 + (i % 5) * 0.1);
                bench.grid.setCellText(row, 4,
                                       format(u"%d.%d.24   %d:%d", day, month, hour, minute)); // as the list shows it
                bench.grid.setCellText(row, 5, i % 3 ? u"Анализ" : u"Градуировка");
                bench.grid.setCellText(row, 6, i % 3 ? u"" : u"Смесь 1");
                bench.grid.setRowValue(row, 1000 + i);
            });
        bench.sortEach("main list 256", columns);
    }
    return 0;
}
