#include "text/user_notifier.h"

#include <cstdio>

#include "text/utf.h"

namespace norvalt {

namespace {

class SilentNotifier : public UserNotifier {
public:
    void notify(NoticeKind, std::u16string_view) override {}
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

void StderrNotifier::notify(NoticeKind kind, std::u16string_view text)
{
    const char* label = kind == NoticeKind::Error ? "error" : kind == NoticeKind::Warning ? "warning" : "note";
    std::fprintf(stderr, "%s: %s\n", label, utf16ToUtf8(text).c_str());
}

} // namespace norvalt
