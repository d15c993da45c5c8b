// Local date and time as the user's Windows settings show them: the short
// date and the default time format of the user's default locale.
#include <windows.h>

#include "report/report_document.h"
#include "text/local_time.h"
#include "text/wide.h"

namespace norvalt {

std::u16string formatLocalDateTime(std::int64_t secondsSince1970)
{
    std::tm local{};
    if (!toLocalTime(secondsSince1970, local)) return {};

    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(local.tm_year + 1900);
    st.wMonth = static_cast<WORD>(local.tm_mon + 1);
    st.wDayOfWeek = static_cast<WORD>(local.tm_wday);
    st.wDay = static_cast<WORD>(local.tm_mday);
    st.wHour = static_cast<WORD>(local.tm_hour);
    st.wMinute = static_cast<WORD>(local.tm_min);
    st.wSecond = static_cast<WORD>(local.tm_sec);

    wchar_t date[128] = {};
    wchar_t time[128] = {};
    if (GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, 128) == 0) date[0] = 0;
    if (GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, time, 128) == 0) time[0] = 0;
    return std::u16string(fromWide(date)) + u" " + std::u16string(fromWide(time));
}

} // namespace norvalt
