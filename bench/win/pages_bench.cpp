// How long the result pages take to show a large determination: 256 peaks
// on the Components page with a sort by each kind of column, 256 result
// rows on the Calculation page, 256 messages on the Messages page. Prints
// the median of 21 runs of each in milliseconds; the goal for fill + sort
// is under 20 ms.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "bench_clock.h"
#include "text/format.h"
#include "ui/calculation_tab.h"
#include "ui/components_tab.h"
#include "ui/messages_tab.h"

using namespace norvalt;

namespace {

double medianMs(const std::function<void()>& work)
{
    std::vector<double> runs;
    for (int i = 0; i < 21; ++i) {
        const double start = bench::milliseconds();
        work();
        runs.push_back(bench::milliseconds() - start);
    }
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

HWND parentWindow()
{
    WNDCLASSW c{};
    c.lpfnWndProc = DefWindowProcW;
    c.hInstance = GetModuleHandleW(nullptr);
    c.lpszClassName = L"NorvaltBenchParent";
    RegisterClassW(&c);
    return CreateWindowExW(0, c.lpszClassName, L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 600, nullptr,
                           nullptr, c.hInstance, nullptr);
}

} // namespace

int main()
{
    const HWND parent = parentWindow();
    Chromatogram chromatogram;
    for (int i = 0; i < 256; ++i) {
        Peak p;
        p.name = u"Пик " + formatInt((i * 37) % 256);
        p.area = ((i * 7919) % 1000) / 3.0;
        p.time = ((i * 104729) % 2560) / 100.0;
        chromatogram.peaks.push_back(p);
    }
    ComponentsTab components;
    const HWND page = components.create(parent);
    MoveWindow(page, 0, 0, 880, 560, TRUE);
    ShowWindow(page, SW_SHOW);

    std::printf("Components page, 256 peaks (median of 21, ms)\n");
    std::printf("  fill + sort by number: %.2f\n", medianMs([&] { components.showPeaks(chromatogram); }));
    const char* kinds[] = {"number", "text", "text", "number"};
    for (int column = 0; column < 4; ++column) {
        bool ascending = true;
        const double ms = medianMs([&] {
            components.grid().sortByColumn(column, ascending);
            ascending = !ascending;
        });
        std::printf("  sort column %d (%s): %.2f\n", column, kinds[column], ms);
    }

    std::vector<ComponentResult> results;
    for (int i = 0; i < 256; ++i) results.push_back({u"Компонент " + formatInt(i), i / 7.0, i % 2 == 0, 0.0005});
    CalculationTab calculation;
    ShowWindow(calculation.create(parent), SW_HIDE);
    calculation.setResults(results);
    std::printf("Calculation page, 256 rows: %.2f\n", medianMs([&] { calculation.refresh(); }));

    MessageList messages;
    for (int i = 0; i < 256; ++i)
        messages.addMessage(static_cast<MessageLevel>(i % 3), u"Сообщение номер " + formatInt(i));
    MessagesTab messagesPage(messages);
    messagesPage.create(parent);
    std::printf("Messages page, 256 messages: %.2f\n", medianMs([&] { messagesPage.refresh(); }));
    DestroyWindow(parent);
    return 0;
}
