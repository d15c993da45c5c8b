#include "text/local_time.h"

namespace norvalt {

bool toLocalTime(std::int64_t secondsSince1970, std::tm& local)
{
    if (secondsSince1970 < 0) return false;
#ifdef _WIN32
    const __time64_t t = secondsSince1970;
    return _localtime64_s(&local, &t) == 0;
#else
    const std::time_t t = static_cast<std::time_t>(secondsSince1970);
    if (static_cast<std::int64_t>(t) != secondsSince1970) return false;
    return localtime_r(&t, &local) != nullptr;
#endif
}

} // namespace norvalt
