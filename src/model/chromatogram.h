#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "model/peak.h"

namespace norvalt {

// One assay as the chromatogram set holds it.
struct Chromatogram {
    std::u16string fileName;           // full path of the chromatogram file
    std::u16string sample;
    std::int32_t mixtureIndex = -1;    // position in the set's mixture list, -1 for none
    std::int64_t date = 0;             // seconds since 1970-01-01 UTC
    std::vector<Peak> peaks;           // ascending retention time
    double volume = 0;                 // passport value "volume"
    double waterMassFraction = 0;      // passport value titled "Массовая доля воды, %"
    std::int32_t kind = 6;             // an AnalysisKind; Undetermined until classified
    std::int32_t column = 2;           // 0 first, 1 second, 2 unknown
    bool isCalibration = false;
};

} // namespace norvalt
