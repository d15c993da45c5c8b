#pragma once
// The kinds of chromatogram and the rule by which a loaded chromatogram
// receives its kind and column.
#include <cstdint>
#include <string>
#include <vector>

#include "calc/message_list.h"
#include "model/chromatogram.h"
#include "model/mixture.h"

namespace norvalt {

// Stored in Chromatogram::kind.
enum AnalysisKind : std::int32_t {
    GradColumn1NoTeg = 0,
    GradColumn1WithTeg = 1,
    AnalysisColumn1 = 2,
    GradColumn2NoTeg = 3,
    GradColumn2WithTeg = 4,
    AnalysisColumn2 = 5,
    Undetermined = 6,
};

// Chromatogram::column values.
inline constexpr std::int32_t column1 = 0;
inline constexpr std::int32_t column2 = 1;
inline constexpr std::int32_t unknownColumn = 2;

// The display text of a kind from the string table, loaded on first use
// and kept; any value outside 0..6 gives the text of Undetermined.
const std::u16string& kindText(std::int32_t kind);

// Sets kind and column of a freshly loaded chromatogram from its peaks, its
// calibration flag and its mixture; adds the findings (errors 139 to 142)
// to messages. Never fails: without a kind it leaves Undetermined.
void classifyChromatogram(Chromatogram& chromatogram, const std::vector<Mixture>& mixtures,
                          MessageList& messages);

} // namespace norvalt
