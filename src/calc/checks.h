#pragma once
// The checks that a set of chromatograms makes a valid determination before
// any coefficient is formed (GOST 19710-2019, clauses 7.3.3 and 7.3.4).
#include <cstdint>

#include "calc/chromatogram_map.h"
#include "calc/message_list.h"

namespace norvalt {

// A usable measured value: normal and of magnitude above DBL_EPSILON.
// Zero, subnormal, infinite and NaN values are not; negative ones can be.
bool isValidValue(double value);

// True when the chromatograms, the selected assay and the water mass
// fraction (percent) make a valid determination. Each finding is added to
// messages at level Error; chromatograms may be null (no collection).
bool validateInputs(const ChromatogramMap* chromatograms, std::int32_t selectedAssayId,
                    double waterMassFraction, MessageList& messages);

} // namespace norvalt
