#pragma once
// The texts of the result pages, in one place for the windows, the
// command-line host and the report: the peaks of the selected chromatogram,
// the calibration table of a component, the calculation rows and the
// numbered message lines.
#include <array>
#include <map>
#include <string>
#include <vector>

#include "calc/calculator.h"
#include "calc/message_list.h"
#include "model/peak.h"

namespace norvalt {

// Components page: "№", name, area "%.3f", time "%.2f".
std::array<std::u16string, 4> peakRowTexts(const Peak& peak, int number);

// Calculation page: "№", name, mass fraction "%.3f", norm "%.3f" (empty when
// the component has none), "Да"/"Нет".
std::array<std::u16string, 5> resultRowTexts(const ComponentResult& result, int number);

// One point of the graduation table, as the page keeps it.
struct GraduationEntry {
    std::u16string componentName;  // the series' peak name
    std::u16string fileName;       // name part, without folders
    double concentration = 0;
    double area = 0;
    double coefficient = 0;
};

// Every calibration point of the last recalculation, sorted by ascending
// concentration (points of equal concentration keep their order).
std::vector<GraduationEntry> graduationEntries(const std::vector<CalibrationSeries>& series);

// The point rows of one component ("№", file name, area, concentration, Ki)
// followed by the summary row ("", "Среднее:", "", "", mean). The mean comes
// from meanCoefficients; an absent name is entered there with 0.
std::vector<std::array<std::u16string, 5>> graduationRowTexts(const std::vector<GraduationEntry>& entries,
                                                               const std::u16string& componentName,
                                                               std::map<std::u16string, double>& meanCoefficients);

// Messages page: per level with texts, its heading line, then
// "    %d. %s" per text, numbered on across the levels.
std::vector<std::u16string> messageLines(const MessageList& messages);

} // namespace norvalt
