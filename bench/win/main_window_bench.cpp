// The main window's two everyday commands over the laboratory of
// set_bench_lab.h (256 assays with their chromatogram files):
// - the add of all 256 through the assay dialog: loads, classification, the
//   two recalculations, the list and all four pages refreshed;
// - a click on a row of that list: the selection, its recalculation and
//   the pages refreshed.
// Timed with the performance counter; prints the median and the fastest.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <numeric>
#include <vector>

#include "bench_clock.h"
#include "set_bench_lab.h"
#include "data/database.h"
#include "host/local_host.h"
#include "res/resource_ids.h"
#include "text/format.h"
#include "text/user_notifier.h"
#include "ui/dlg_main.h"
#include "ui/main_window.h"
#include "workset/module_settings.h"

using namespace norvalt;

namespace {

void report(const char* name, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    std::printf("%-52s median %8.2f ms   fastest %8.2f ms   (%zu runs)\n", name, times[times.size() / 2], times[0],
                times.size());
}

void press(HWND window, int id)
{
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    RecordingNotifier notices;
    setUserNotifier(&notices);
    LocalHost host;
    host.offerProfileStore();
    setModuleProfilePrefix();
    setHostServices(host.table());
    host.profile()[u"plugins\\kestrin\\Settings/WaterMass"] = u"0.08";
    connection().uri = writeBenchLab(std::filesystem::temp_directory_path() / "norvalt-main-window-bench").u16string();
    std::vector<std::int32_t> ids(benchAssayCount);
    std::iota(ids.begin(), ids.end(), 1);
    host.offer("Main/OpenAssayIdDlg", [&](HostArg, HostArg buffer) -> HostResult {
        std::copy(ids.begin(), ids.end(), reinterpret_cast<std::int32_t*>(buffer));
        return benchAssayCount;
    });

    loadComponentAltNames(ProfileSettings(Host(host.table())));
    {
        MessageList messages;
        WindowlessViews views;
        ChromatogramSet set(Host(host.table()), messages, views);
        set.setWaterMassFractionSetting(0.08);
        views.set = &set;
        std::vector<double> adds, clicks;
        for (int i = 0; i < runs; ++i) {
            set.removeAll();
            const double start = bench::milliseconds();
            set.addAssays();
            adds.push_back(bench::milliseconds() - start);
        }
        report("without windows: add 256 assays", adds);
        for (int i = 0; i < runs * 10; ++i) {
            const double start = bench::milliseconds();
            set.selectAssay(5 + (i * 37) % (benchAssayCount - 4));
            clicks.push_back(bench::milliseconds() - start);
        }
        report("without windows: select a row", clicks);
    }

    showMainWindow(nullptr);
    const HWND window = DlgMain::current()->hwnd();
    CGridCtrl& list = DlgMain::current()->list();

    std::vector<double> adds;
    for (int i = 0; i < runs; ++i) {
        press(window, IDC_REMOVE_ALL);
        const double start = bench::milliseconds();
        press(window, IDC_ADD);
        adds.push_back(bench::milliseconds() - start);
    }
    if (list.rowCount() != benchAssayCount || !notices.notices.empty()) {
        std::printf("the add did not load the %d assays (%d rows, %zu notices)\n", benchAssayCount, list.rowCount(),
                    notices.notices.size());
        return 1;
    }
    report("add 256 assays (dialog, loads, 2 recalculations, pages)", adds);

    std::vector<double> clicks;
    for (int i = 0; i < runs * 10; ++i) {
        list.clearSelection();
        const int row = 4 + (i * 37) % (benchAssayCount - 4);
        const double start = bench::milliseconds();
        list.selectRow(row, true);
        clicks.push_back(bench::milliseconds() - start);
    }
    report("click on a row (selection, recalculation, pages)", clicks);

    // What the click is made of.
    DlgMain& main = *DlgMain::current();
    const auto part = [&](const char* name, const std::function<void()>& work) {
        std::vector<double> times;
        for (int i = 0; i < runs * 10; ++i) {
            const double start = bench::milliseconds();
            work();
            times.push_back(bench::milliseconds() - start);
        }
        report(name, times);
    };
    const Chromatogram& shown = main.set().chromatograms().at(main.set().selectedAssayId());
    part("  the list's own state change (row already selected)", [&] { list.selectRow(list.rowCount() - 1, true); });
    int next = 0;
    part("  selectAssay of a different row each time", [&] {
        next = (next + 37) % (benchAssayCount - 4);
        main.set().selectAssay(list.rowValue(4 + next));
    });
    part("  a click without the focus moving", [&] {
        list.clearSelection();
        next = (next + 37) % (benchAssayCount - 4);
        list.selectRow(4 + next, false);
    });
    part("  selectAssay alone", [&] { main.set().selectAssay(main.set().selectedAssayId()); });
    part("  recalculation alone", [&] { main.set().recalculate(); });
    part("  Components page fill", [&] { main.componentsPage().showPeaks(shown); });
    part("  Graduation page refresh", [&] { main.graduationPage().refresh(); });
    part("  Calculation page refresh", [&] { main.calculationPage().refresh(); });
    part("  Messages page refresh", [&] { main.messagesPage().refresh(); });
    // Last: the list stays quiet after it, as no command ends it.
    part("  the 256 rows appended (the list not drawing)", [&] {
        main.clearRows();
        for (int row = 0; row < benchAssayCount; ++row) main.appendRow(row + 1);
    });
    std::printf("messages after the last click: %zu\n", main.messages().allMessageTexts().size());
    DestroyWindow(window);
    setHostServices(nullptr);
    return 0;
}
