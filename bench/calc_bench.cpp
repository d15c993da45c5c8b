// A recalculation as the main window runs it on every click in its list:
// one column, 10 calibration chromatograms of 5 mixtures, 246 analysed
// chromatograms, 8 peaks each.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "calc/calculator.h"
#include "calc/components.h"
#include "calc/kinds.h"
#include "text/format.h"

namespace norvalt {
namespace {

struct Laboratory {
    ChromatogramMap chromatograms;
    std::vector<Mixture> mixtures;
    std::int32_t selected = 0;
};

Laboratory column1Laboratory()
{
    for (std::int32_t id = 0; id < UnidentifiedSubstance; ++id)
        setComponentAltName(id, componentTable()[id].name);

    Laboratory lab;
    const std::u16string names[8] = {u"Этиленгликоль", u"Диэтиленгликоль", u"Триэтиленгликоль",
                                     u"Вода", u"Нонанол-1", u"Пик 1", u"Пик 2", u"Пик 3"};
    lab.mixtures.resize(5);
    std::int32_t assayId = 1000;
    // Deterministic spread of areas and concentrations.
    unsigned seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return 0.5 + static_cast<double>((seed >> 8) % 1000) / 1000.0;
    };
    const auto makePeaks = [&](Chromatogram& c) {
        for (int k = 0; k < 8; ++k) {
            Peak p;
            p.name = names[k];
            p.time = k + 1;
            p.area = 10 * next();
            p.concent = k == 0 ? 99 : next();
            c.peaks.push_back(p);
        }
    };
    for (int i = 0; i < 10; ++i) {
        Chromatogram c;
        c.fileName = format(u"C:\\Хроматограммы\\2024\\Градуировка\\cal_%d.chr", i);
        c.isCalibration = true;
        c.mixtureIndex = i / 2;
        c.kind = GradColumn1WithTeg;
        c.column = column1;
        c.volume = 1;
        makePeaks(c);
        lab.chromatograms.emplace(assayId++, std::move(c));
    }
    for (int i = 0; i < 246; ++i) {
        Chromatogram c;
        c.fileName = format(u"C:\\Хроматограммы\\2024\\Анализ\\sample_%d.chr", i);
        c.kind = AnalysisColumn1;
        c.column = column1;
        makePeaks(c);
        lab.selected = assayId;
        lab.chromatograms.emplace(assayId++, std::move(c));
    }
    return lab;
}

void BM_Recalculate256(benchmark::State& state)
{
    const Laboratory lab = column1Laboratory();
    MessageList messages;
    Calculator calculator(messages);
    for (auto _ : state) {
        calculator.run(lab.chromatograms, lab.mixtures, lab.selected, 0.1);
        benchmark::DoNotOptimize(calculator.selectedResults().data());
    }
    if (calculator.selectedResults().size() != 5 || !messages.empty())
        state.SkipWithError("the laboratory does not make a valid determination");
}
BENCHMARK(BM_Recalculate256)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace norvalt
