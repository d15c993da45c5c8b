#include "calc/checks.h"

#include <cfloat>
#include <cmath>
#include <map>

#include "calc/kinds.h"
#include "text/string_table.h"

namespace norvalt {

bool isValidValue(double value)
{
    return std::isnormal(value) && std::fabs(value) > DBL_EPSILON;
}

namespace {

// Every calibration mixture (and the group of calibration chromatograms
// without one) must be measured at least twice.
bool everyMixtureMeasuredTwice(const ChromatogramMap& chromatograms)
{
    std::map<std::int32_t, int> uses;
    for (const auto& [id, c] : chromatograms) {
        if (c.isCalibration) ++uses[c.mixtureIndex];
    }
    for (const auto& [mixture, count] : uses) {
        if (count < 2) return false;
    }
    return true;
}

} // namespace

bool validateInputs(const ChromatogramMap* chromatograms, std::int32_t selectedAssayId,
                    double waterMassFraction, MessageList& messages)
{
    const auto fail = [&](int id) {
        messages.addMessage(MessageLevel::Error, loadString(id));
        return false;
    };

    if (!chromatograms) return fail(IDS_ERR_NO_SELECTION);
    const auto selected = chromatograms->find(selectedAssayId);
    if (selected == chromatograms->end()) return fail(IDS_ERR_NO_SELECTION);

    if (!everyMixtureMeasuredTwice(*chromatograms)) return fail(IDS_ERR_MIXTURE_PAIRS);

    // Counts by kind; Undetermined is counted nowhere.
    int count[Undetermined] = {};
    for (const auto& [id, c] : *chromatograms) {
        if (c.kind >= 0 && c.kind < Undetermined) ++count[c.kind];
    }
    const auto cal = [&](AnalysisKind k) { return count[k]; };

    if ((cal(GradColumn1WithTeg) > 0 && cal(GradColumn1NoTeg) > 0) ||
        (cal(GradColumn2WithTeg) > 0 && cal(GradColumn2NoTeg) > 0))
        return fail(IDS_ERR_TEG_MIXED);

    if (count[AnalysisColumn1] < 2 && count[AnalysisColumn2] < 2)
        return fail(IDS_ERR_ANALYSIS_COUNT);

    int other = 0;
    int with = 0;
    int without = 0;
    int least = 0;
    int most = 0;
    switch (selected->second.kind) {
    case AnalysisColumn1:
        other = cal(GradColumn2NoTeg) + cal(GradColumn2WithTeg);
        with = cal(GradColumn1WithTeg);
        without = cal(GradColumn1NoTeg);
        least = 6;
        most = 10;
        break;
    case AnalysisColumn2:
        other = cal(GradColumn1NoTeg) + cal(GradColumn1WithTeg);
        with = cal(GradColumn2WithTeg);
        without = cal(GradColumn2NoTeg);
        least = 3;
        most = 5;
        break;
    default:
        return fail(IDS_ERR_SELECTED_NOT_ANALYSIS);
    }

    bool ok = true;
    if (other > 0) {
        messages.addMessage(MessageLevel::Error, loadString(IDS_ERR_COLUMN_MISMATCH));
        ok = false;
    }
    if (with == 0 && without == 0) {
        messages.addMessage(MessageLevel::Error, loadString(IDS_ERR_TEG_MIXED));
        ok = false;
    }
    // Message 167 names 3 to 5 for both columns; column 1 needs 6 to 10.
    const int used = with != 0 ? with : without;
    if ((with != 0) == (without != 0) || used < least || used > most)
        return fail(IDS_ERR_GRAD_COUNT);
    if (!ok) return false;

    if (!isValidValue(waterMassFraction)) return fail(IDS_ERR_WATER_MASS);
    return true;
}

} // namespace norvalt
