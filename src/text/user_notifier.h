#pragma once
// How portable code tells the user something that needs an answer now (the
// message boxes of the Windows module): one small interface, installed by
// the module's start-up or by a tool. Windows: a message box; the command
// line: standard error; tests: a recorder.
#include <string>
#include <string_view>
#include <vector>

namespace norvalt {

enum class NoticeKind { Error, Warning, Information };

class UserNotifier {
public:
    virtual ~UserNotifier() = default;
    virtual void notify(NoticeKind kind, std::u16string_view text) = 0;
};

// The installed notifier; without one, notices are dropped.
UserNotifier& userNotifier();
// Installs `notifier` (not owned; null restores the silent default) and
// gives the one installed before.
UserNotifier* setUserNotifier(UserNotifier* notifier);

// Keeps every notice, for tests.
class RecordingNotifier : public UserNotifier {
public:
    struct Notice {
        NoticeKind kind;
        std::u16string text;
    };
    void notify(NoticeKind kind, std::u16string_view text) override { notices.push_back({kind, std::u16string(text)}); }
    std::vector<Notice> notices;
};

// Writes each notice to standard error as one UTF-8 line block.
class StderrNotifier : public UserNotifier {
public:
    void notify(NoticeKind kind, std::u16string_view text) override;
};

#ifdef _WIN32
// A message box owned by no window, captioned with the module's caption
// (string 111).
class MessageBoxNotifier : public UserNotifier {
public:
    void notify(NoticeKind kind, std::u16string_view text) override;
};
#endif

} // namespace norvalt
