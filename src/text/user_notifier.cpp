#include "text/user_notifier.h"

#include <cstdio>

#include "text/utf.h"

namespace norvalt {

namespace {

class SilentNotifier : public UserNotifier {
protected:
    void show(NoticeKind, std::u16string_view, NoticeOwner) override {}
};

SilentNotifier silent;
UserNotifier* installed = &silent;

} // namespace

UserNotifier& userNotifier()
{
    return *installed;
}

UserNotifier* setUserNotifier(UserNotifier* notifier)
{
    UserNotifier* previous = installed == &silent ? nullptr : installed;
    installed = notifier ? notifier : &silent;
    return previous;
}

void StderrNotifier::show(NoticeKind kind, std::u16string_view text, NoticeOwner)
{
    const char* label = kind == NoticeKind::Error ? "error" : kind == NoticeKind::Warning ? "warning" : "note";
    std::fprintf(stderr, "%s: %s\n", label, utf16ToUtf8(text).c_str());
}

} // namespace norvalt
