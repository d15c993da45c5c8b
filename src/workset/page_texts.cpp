#include "workset/page_texts.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "text/format.h"
#include "text/path.h"
#include "text/string_table.h"
#include "text/unicode.h"

namespace norvalt {

std::array<std::u16string, 4> peakRowTexts(const Peak& peak, int number)
{
    return {formatInt(number), peak.name, formatFixed(peak.area, 3), formatFixed(peak.time, 2)};
}

std::array<std::u16string, 5> resultRowTexts(const ComponentResult& result, int number)
{
    return {formatInt(number), result.name, formatFixed(result.massFraction, 3),
            result.norm == 0 ? std::u16string() : formatFixed(result.norm, 3), loadString(result.complies ? IDS_YES : IDS_NO)};
}

std::vector<GraduationEntry> graduationEntries(const std::vector<CalibrationSeries>& series)
{
    std::vector<GraduationEntry> entries;
    for (const CalibrationSeries& s : series)
        for (const CalibrationPoint& p : s.points)
            entries.push_back({s.peakName, std::u16string(fileNamePart(p.fileName)), p.concentration, p.area,
                               p.coefficient});
    std::stable_sort(entries.begin(), entries.end(), [](const GraduationEntry& a, const GraduationEntry& b) {
        return a.concentration < b.concentration;
    });
    return entries;
}

std::vector<std::array<std::u16string, 5>> graduationRowTexts(const std::vector<GraduationEntry>& entries,
                                                               const std::u16string& componentName,
                                                               std::map<std::u16string, double>& meanCoefficients)
{
    std::vector<std::array<std::u16string, 5>> rows;
    int number = 0;
    for (const GraduationEntry& e : entries) {
        if (!unicode::foldEqual(e.componentName, componentName)) continue;
        rows.push_back({formatInt(++number), e.fileName, formatFixed(e.area, 3), formatFixed(e.concentration, 3),
                        formatFixed(e.coefficient, 3)});
    }
    if (!entries.empty())
        rows.push_back({u"", loadString(IDS_MEAN), u"", u"", formatFixed(meanCoefficients[componentName], 3)});
    return rows;
}

std::vector<std::u16string> graduationComponentNames(const std::vector<GraduationEntry>& entries)
{
    std::vector<std::u16string> names;
    for (const GraduationEntry& e : entries)
        if (std::find(names.begin(), names.end(), e.componentName) == names.end()) names.push_back(e.componentName);
    return names;
}

GraduationPlot emptyGraduationPlot()
{
    GraduationPlot plot;
    plot.xMin = -1;
    plot.xMax = 1;
    plot.yMin = 0;
    plot.yMax = 100;
    return plot;
}

namespace {

// Takes v into an extent; a NaN, once in, stays.
void takeIn(double v, double& min, double& max)
{
    if (std::isnan(v) || std::isnan(min)) {
        min = max = std::numeric_limits<double>::quiet_NaN();
        return;
    }
    if (v < min) min = v;
    if (v > max) max = v;
}

AxisView rangeOrAutomatic(double min, double max)
{
    if (!(min < max)) return {AxisView::Automatic};
    return {AxisView::Range, min, max};
}

} // namespace

GraduationPlot graduationPlot(const std::vector<GraduationEntry>& entries, const std::u16string& componentName)
{
    GraduationPlot plot;
    plot.xMin = plot.yMin = std::numeric_limits<double>::max();
    plot.xMax = plot.yMax = std::numeric_limits<double>::min();

    // Areas by concentration, in the entries' order; NaN concentrations
    // never equal anything and go last, one group each.
    std::map<double, std::vector<double>> areasAt;
    std::vector<double> nanAreas;
    for (const GraduationEntry& e : entries) {
        if (!unicode::foldEqual(e.componentName, componentName)) continue;
        plot.pointX.push_back(e.concentration);
        plot.pointY.push_back(e.area);
        if (std::isnan(e.concentration))
            nanAreas.push_back(e.area);
        else
            areasAt[e.concentration].push_back(e.area);
    }
    auto addMean = [&plot](double x, const std::vector<double>& areas) {
        double sum = 0;
        for (const double a : areas) sum += a;
        const double mean = sum / static_cast<double>(areas.size());
        takeIn(x, plot.xMin, plot.xMax);
        takeIn(mean, plot.yMin, plot.yMax);
        plot.meanX.push_back(x);
        plot.meanY.push_back(mean);
    };
    for (const auto& [x, areas] : areasAt) addMean(x, areas);
    for (const double area : nanAreas) addMean(std::numeric_limits<double>::quiet_NaN(), {area});
    return plot;
}

GraduationView graduationResetView(const GraduationPlot& plot)
{
    GraduationView view;
    if (!std::isnan(plot.xMin) && !std::isnan(plot.xMax)) {
        const double max = plot.xMax > 0 ? plot.xMax * 1.05 : plot.xMax * 0.95;
        const double min = plot.xMin > 0 ? plot.xMin * 0.95 : plot.xMin * 1.05;
        view.x = rangeOrAutomatic(min, max);
    }
    if (!std::isnan(plot.yMin) && !std::isnan(plot.yMax)) view.y = rangeOrAutomatic(plot.yMin, plot.yMax);
    return view;
}

GraduationView graduationPan(const PanInput& pan)
{
    const double d = (pan.fromX - pan.toX) * pan.xStep / 30;
    const double e = (pan.fromY - pan.toY) * pan.yStep / 25;
    return {rangeOrAutomatic(pan.xMin + d, pan.xMax + d), rangeOrAutomatic(pan.yMin - e, pan.yMax - e)};
}

std::vector<std::u16string> messageLines(const MessageList& messages)
{
    std::vector<std::u16string> lines;
    int number = 0;
    const std::pair<MessageLevel, int> levels[] = {{MessageLevel::Error, IDS_HEAD_ERRORS},
                                                   {MessageLevel::Warning, IDS_HEAD_WARNINGS},
                                                   {MessageLevel::Information, IDS_HEAD_INFORMATION}};
    for (const auto& [level, heading] : levels) {
        const auto& texts = messages.messages(level);
        if (texts.empty()) continue;
        lines.push_back(loadString(heading));
        for (const std::u16string& text : texts) lines.push_back(format(u"    %d. %s", ++number, text));
    }
    return lines;
}

} // namespace norvalt
