#include "text/user_notifier.h"

#include <windows.h>

#include "text/string_table.h"

namespace norvalt {

void MessageBoxNotifier::notify(NoticeKind kind, std::u16string_view text)
{
    const UINT icon = kind == NoticeKind::Error     ? MB_ICONERROR
                    : kind == NoticeKind::Warning   ? MB_ICONEXCLAMATION
                                                    : MB_ICONINFORMATION;
    const std::u16string body(text);
    const std::u16string caption = loadString(IDS_CAPTION);
    MessageBoxW(nullptr, reinterpret_cast<LPCWSTR>(body.c_str()), reinterpret_cast<LPCWSTR>(caption.c_str()),
                MB_OK | icon);
}

} // namespace norvalt
