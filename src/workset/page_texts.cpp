#include "workset/page_texts.h"

#include <algorithm>

#include "calc/components.h"
#include "calc/norms.h"
#include "text/format.h"
#include "text/path.h"
#include "text/string_table.h"

namespace norvalt {

std::array<std::u16string, 4> peakRowTexts(const Peak& peak, int number)
{
    return {formatInt(number), peak.name, formatFixed(peak.area, 3), formatFixed(peak.time, 2)};
}

std::array<std::u16string, 5> resultRowTexts(const ComponentResult& result, int number)
{
    const double norm = componentNorm(componentOfName(result.name));
    return {formatInt(number), result.name, formatFixed(result.massFraction, 3),
            norm == 0 ? std::u16string() : formatFixed(norm, 3), loadString(result.complies ? IDS_YES : IDS_NO)};
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
        if (e.componentName != componentName) continue;
        rows.push_back({formatInt(++number), e.fileName, formatFixed(e.area, 3), formatFixed(e.concentration, 3),
                        formatFixed(e.coefficient, 3)});
    }
    rows.push_back({u"", loadString(IDS_MEAN), u"", u"", formatFixed(meanCoefficients[componentName], 3)});
    return rows;
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
