#include "text/user_notifier.h"

#include <windows.h>

#include "text/string_table.h"
#include "text/wide.h"

namespace norvalt {

void MessageBoxNotifier::show(NoticeKind kind, std::u16string_view text, NoticeOwner owner)
{
    const UINT icon = kind == NoticeKind::Error     ? MB_ICONERROR
                    : kind == NoticeKind::Warning   ? MB_ICONEXCLAMATION
                                                    : MB_ICONINFORMATION;
    const std::u16string body(text);
    const std::u16string caption = loadString(IDS_CAPTION);
    MessageBoxW(static_cast<HWND>(owner.window), wide(body), wide(caption),
                MB_OK | icon);
}

} // namespace norvalt
