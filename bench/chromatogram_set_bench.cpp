// The main window's add of 256 assays and a click on a row, without the
// windows (set_bench_lab.h): the database, the files, the classification
// and the recalculations natively, to set beside
// bench/win/main_window_bench.cpp under Wine.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "host/local_host.h"
#include "host/profile_settings.h"
#include "set_bench_lab.h"
#include "workset/module_settings.h"

namespace norvalt {
namespace {

struct BenchHost {
    LocalHost host;
    std::vector<std::int32_t> ids = std::vector<std::int32_t>(benchAssayCount);
    BenchHost()
    {
        host.offerProfileStore();
        std::iota(ids.begin(), ids.end(), 1);
        host.offer("Main/OpenAssayIdDlg", [this](HostArg, HostArg buffer) -> HostResult {
            std::copy(ids.begin(), ids.end(), reinterpret_cast<std::int32_t*>(buffer));
            return benchAssayCount;
        });
        connection().uri = writeBenchLab(std::filesystem::temp_directory_path() / "norvalt-set-bench").u16string();
        loadComponentAltNames(ProfileSettings(Host(host.table())));
    }
};

void addAssays(benchmark::State& state)
{
    BenchHost bench;
    MessageList messages;
    WindowlessViews views;
    ChromatogramSet set(Host(bench.host.table()), messages, views);
    set.setWaterMassFractionSetting(0.08);
    views.set = &set;
    for (auto _ : state) {
        set.removeAll();
        set.addAssays();
    }
    if (set.chromatograms().size() != benchAssayCount) state.SkipWithError("the assays did not load");
}
BENCHMARK(addAssays)->Unit(benchmark::kMillisecond);

void selectRow(benchmark::State& state)
{
    BenchHost bench;
    MessageList messages;
    WindowlessViews views;
    ChromatogramSet set(Host(bench.host.table()), messages, views);
    set.setWaterMassFractionSetting(0.08);
    views.set = &set;
    set.addAssays();
    int next = 0;
    for (auto _ : state) {
        next = (next + 37) % (benchAssayCount - 4);
        set.selectAssay(5 + next);
    }
    if (set.calculator().selectedResults().empty()) state.SkipWithError("no determination ran");
}
BENCHMARK(selectRow)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace norvalt
