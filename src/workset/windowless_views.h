#pragma once
// The views of a chromatogram set that has no windows (the command-line
// host, benchmarks): the main list's rows kept in order, and the selection
// of the last row ending in selectAssay of its id as the window's list does;
// every page operation does nothing.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "workset/chromatogram_set.h"

namespace norvalt {

class WindowlessViews : public ChromatogramSetViews {
public:
    ChromatogramSet* set = nullptr;
    std::vector<std::int32_t> rows;

    void appendRow(std::int32_t assayId) override { rows.push_back(assayId); }
    void clearRows() override { rows.clear(); }
    void selectLastRow() override
    {
        if (set && !rows.empty()) set->selectAssay(rows.back());
    }
    void showPeaks(const Chromatogram&) override {}
    void clearPeaks() override {}
    void setGraduation(const std::vector<CalibrationSeries>&, const std::map<std::u16string, double>&) override {}
    void refreshGraduation() override {}
    void clearGraduation() override {}
    void setResults(const std::vector<ComponentResult>&) override {}
    void refreshResults() override {}
    void clearResults() override {}
    void refreshMessages() override {}
    void clearMessageView() override {}
};

} // namespace norvalt
