// The texts of the result pages for a large determination, without the
// windows: what the Components, Calculation and Messages pages format for
// 256 peaks, results and messages. The same data as bench/ui under Wine, so
// the two figures show what the windows add.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "text/format.h"
#include "workset/page_texts.h"

namespace norvalt {
namespace {

void peakRows(benchmark::State& state)
{
    std::vector<Peak> peaks(256);
    for (int i = 0; i < 256; ++i) {
        peaks[i].name = u"Пик " + formatInt((i * 37) % 256);
        peaks[i].area = ((i * 7919) % 1000) / 3.0;
        peaks[i].time = ((i * 104729) % 2560) / 100.0;
    }
    for (auto _ : state) {
        int number = 1;
        for (const Peak& p : peaks) benchmark::DoNotOptimize(peakRowTexts(p, number++));
    }
}
BENCHMARK(peakRows)->Unit(benchmark::kMicrosecond);

void resultRows(benchmark::State& state)
{
    std::vector<ComponentResult> results;
    for (int i = 0; i < 256; ++i) results.push_back({u"Компонент " + formatInt(i), i / 7.0, i % 2 == 0, 0.0005});
    for (auto _ : state) {
        int number = 1;
        for (const ComponentResult& r : results) benchmark::DoNotOptimize(resultRowTexts(r, number++));
    }
}
BENCHMARK(resultRows)->Unit(benchmark::kMicrosecond);

void messagePageLines(benchmark::State& state)
{
    MessageList messages;
    for (int i = 0; i < 256; ++i)
        messages.addMessage(static_cast<MessageLevel>(i % 3), u"Сообщение номер " + formatInt(i));
    for (auto _ : state) benchmark::DoNotOptimize(messageLines(messages));
}
BENCHMARK(messagePageLines)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace norvalt
