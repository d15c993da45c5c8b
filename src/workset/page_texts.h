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

// The point rows of one component ("№", file name, area, concentration, Ki):
// the entries whose name equals componentName ignoring letter case, so that
// "ДЭГ" and "дэг" show each other's points. When there is any entry at all,
// the summary row ("", "Среднее:", "", "", mean) follows; the mean is looked
// up by the exact name, and an absent name is entered with 0.
std::vector<std::array<std::u16string, 5>> graduationRowTexts(const std::vector<GraduationEntry>& entries,
                                                               const std::u16string& componentName,
                                                               std::map<std::u16string, double>& meanCoefficients);

// The distinct component names of the entries (exact comparison decides), in
// the entries' order; the selector sorts them itself.
std::vector<std::u16string> graduationComponentNames(const std::vector<GraduationEntry>& entries);

// What the graduation chart shows of one component: its points, the mean
// area at each distinct concentration, and the extent of the means.
struct GraduationPlot {
    std::vector<double> pointX, pointY;  // concentration, area of each point
    std::vector<double> meanX, meanY;    // ascending concentration, mean area
    // Of the means only: single points above the highest or below the
    // lowest mean lie outside the view until the user zooms out or pans.
    // Before any mean is taken in, the minimums are the largest double and
    // the maximums the smallest positive normal one; a NaN taken in stays
    // and leaves that axis alone when the view is reset.
    double xMin, xMax, yMin, yMax;
};

// The extent of the empty page: X (-1, 1), Y (0, 100).
GraduationPlot emptyGraduationPlot();

// The plot of the entries whose name equals componentName ignoring case;
// points keep the entries' order, concentrations are grouped by exact
// equality (each NaN a group of its own, after the numbers).
GraduationPlot graduationPlot(const std::vector<GraduationEntry>& entries, const std::u16string& componentName);

// One axis after a reset of the view or a pan: left as it is, made
// automatic, or given the range.
struct AxisView {
    enum Kind { Keep, Automatic, Range } kind = Keep;
    double min = 0;
    double max = 0;
    bool operator==(const AxisView&) const = default;
};

struct GraduationView {
    AxisView x, y;
};

// The reset of the view (also the chart's double click): X with 5 %
// margins outwards (a positive end times 1.05 or 0.95, any other end the
// other way round), Y exactly the extent; an extent with a NaN keeps the
// axis, an empty or reversed one makes it automatic.
GraduationView graduationResetView(const GraduationPlot& plot);

// A Shift + left-button drag from `from` to `to` (pixels): the view moves
// with the cursor by one tick step per 30 pixels across and per 25 pixels
// down. The ranges are the chart's current ones; a range whose minimum is
// not below its maximum makes that axis automatic.
struct PanInput {
    int fromX, fromY, toX, toY;
    double xMin, xMax, xStep;
    double yMin, yMax, yStep;
};
GraduationView graduationPan(const PanInput& pan);

// Messages page: per level with texts, its heading line, then
// "    %d. %s" per text, numbered on across the levels.
std::vector<std::u16string> messageLines(const MessageList& messages);

} // namespace norvalt
