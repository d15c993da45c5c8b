#pragma once
#include <cstdint>
#include <map>

#include "model/chromatogram.h"

namespace norvalt {

// The chromatograms that a calculation works on, by assay id. Ordered, so
// that series, points and rows come out in ascending assay id on every
// platform and in every run.
using ChromatogramMap = std::map<std::int32_t, Chromatogram>;

} // namespace norvalt
