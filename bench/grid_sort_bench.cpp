// The portable half of a grid sort: reading 256 cell texts into keys and
// ordering the rows by them, per kind of column (native; the Windows grid's
// whole fill and sort is timed by grid_fill_sort_win.cpp under Wine).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "controls/grid_sort.h"
#include "text/format.h"

using namespace norvalt;

namespace {

// A merge sort over row numbers, which (like the list view's sort) copes with
// a comparison that never reports equal numbers as equal.
void mergeSort(std::vector<std::size_t>& rows, const GridSortKeys& keys)
{
    std::vector<std::size_t> buffer(rows.size());
    for (std::size_t width = 1; width < rows.size(); width *= 2) {
        for (std::size_t left = 0; left < rows.size(); left += 2 * width) {
            std::size_t mid = std::min(left + width, rows.size()), right = std::min(left + 2 * width, rows.size());
            std::size_t a = left, b = mid, out = left;
            while (a < mid && b < right) buffer[out++] = keys.compare(rows[a], rows[b]) <= 0 ? rows[a++] : rows[b++];
            while (a < mid) buffer[out++] = rows[a++];
            while (b < right) buffer[out++] = rows[b++];
        }
        rows.swap(buffer);
    }
}

std::vector<std::u16string> cellTexts(GridSortKind kind)
{
    std::vector<std::u16string> texts;
    for (int i = 0; i < 256; ++i) {
        if (kind == GridSortKind::number)
            texts.push_back(formatFixed(((i * 7919) % 100000) / 7.0, 3));
        else if (kind == GridSortKind::date)
            texts.push_back(format(u"%d.%d.24   %d:%d", 1 + (i * 11) % 28, 1 + (i * 5) % 12, (i * 7) % 24, (i * 13) % 60));
        else
            texts.push_back(format(u"C:\\Хроматограммы\\Проба_%d.chr", (i * 97) % 1000));
    }
    return texts;
}

void sortBy(benchmark::State& state, GridSortKind kind)
{
    const auto texts = cellTexts(kind);
    // Dates: a fixed reading of day and month, standing in for the locale's.
    GridDateReader readDate = [](std::u16string_view text) -> std::optional<double> {
        std::size_t used = 0;
        double day = parseDoublePrefix(text, &used);
        if (!used || used + 1 >= text.size()) return std::nullopt;
        return parseDoublePrefix(text.substr(used + 1)) * 31 + day;
    };
    for (auto _ : state) {
        GridSortKeys keys(kind, true, readDate);
        for (const auto& text : texts) keys.add(text);
        std::vector<std::size_t> rows(texts.size());
        for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = i;
        mergeSort(rows, keys);
        benchmark::DoNotOptimize(rows.data());
    }
}

} // namespace

BENCHMARK_CAPTURE(sortBy, numbers256, GridSortKind::number);
BENCHMARK_CAPTURE(sortBy, text256, GridSortKind::text);
BENCHMARK_CAPTURE(sortBy, dates256, GridSortKind::date);
