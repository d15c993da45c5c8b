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

std::u16string fromWide(const std::wstring& wide)
{
    std::u16string text;
    for (const wchar_t c : wide) {
        const auto code = static_cast<char32_t>(c);
        if (code < 0x10000) {
            text.push_back(static_cast<char16_t>(code));
        } else if (code <= 0x10FFFF) {
            text.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
            text.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            text.push_back(0xFFFD);
        }
    }
    return text;
}

} // namespace

std::u16string formatLocalDateTime(std::int64_t secondsSince1970)
{
    if (secondsSince1970 < 0) return {};
    const std::time_t t = static_cast<std::time_t>(secondsSince1970);
    if (static_cast<std::int64_t>(t) != secondsSince1970) return {};
    std::tm local{};
    if (!localtime_r(&t, &local)) return {};
    const std::locale locale = userLocale();
    const std::string name = locale.name();
    const bool chosen = name != "C" && name != "POSIX" && !name.starts_with("C.");
    std::wostringstream out;
    out.imbue(locale);
    out << std::put_time(&local, chosen ? L"%x %X" : L"%Y-%m-%d %H:%M:%S");
    return fromWide(out.str());
}

} // namespace norvalt
