#pragma once
#include <cstdint>
#include <ctime>

namespace norvalt {

// Local calendar time of a time in seconds since 1970-01-01 UTC. False for a
// time before 1970, which the Windows runtime cannot convert (refused on every
// platform alike), and for one that local time cannot represent.
bool toLocalTime(std::int64_t secondsSince1970, std::tm& local);

} // namespace norvalt
