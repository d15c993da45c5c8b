#pragma once
// Norms of the components as mass fractions of 1 (GOST 19710-2019):
// ethylene glycol at least 0.998, diethylene glycol below 0.0005.
#include <cstdint>
#include <map>

namespace norvalt {

// The process-wide table, id -> norm; 0 means "no norm".
const std::map<std::int32_t, double>& componentNorms();

// The norm of id. An id without a norm is entered with 0 and stays, so the
// table lists every component that was ever looked up.
double componentNorm(std::int32_t id);

} // namespace norvalt
