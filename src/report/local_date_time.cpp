// Local date and time where there is no Windows: the short date ("%x") and
// the time ("%X") of the locale that the user's environment names, as the
// Windows version takes the user's default locale. The locale is an object
// of this call only; the process's C locale is neither read nor changed.
// Without a chosen locale (C, POSIX, C.UTF-8) the date is ISO 8601: the C
// locale's month/day/year would mislead the readers of a Russian report.
#include <ctime>
#include <iomanip>
#include <locale>
#include <sstream>
#include <stdexcept>

#include "report/report_document.h"
#include "text/local_time.h"
#include "text/utf.h"

namespace norvalt {

namespace {

std::locale userLocale()
{
    try {
        return std::locale("");
    } catch (const std::runtime_error&) {
        // The environment names a locale that is not installed.
        return std::locale::classic();
    }
}

} // namespace

std::u16string formatLocalDateTime(std::int64_t secondsSince1970)
{
    std::tm local{};
    if (!toLocalTime(secondsSince1970, local)) return {};
    const std::locale locale = userLocale();
    const std::string name = locale.name();
    const bool chosen = name != "C" && name != "POSIX" && !name.starts_with("C.");
    std::wostringstream out;
    out.imbue(locale);
    out << std::put_time(&local, chosen ? L"%x %X" : L"%Y-%m-%d %H:%M:%S");
    return wideToUtf16(out.str());
}

} // namespace norvalt
