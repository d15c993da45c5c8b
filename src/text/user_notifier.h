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

// The window that owns a notice's message box, as an opaque handle of the
// platform's windows: a notice of a command owns its window, so that the box
// stays above it and blocks it; start-up has no window and owns none.
struct NoticeOwner {
    void* window = nullptr;
    bool operator==(const NoticeOwner&) const = default;
};

class UserNotifier {
public:
    virtual ~UserNotifier() = default;
    void notify(NoticeKind kind, std::u16string_view text, NoticeOwner owner = {}) { show(kind, text, owner); }

protected:
    virtual void show(NoticeKind kind, std::u16string_view text, NoticeOwner owner) = 0;
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
        NoticeOwner owner;
    };
    std::vector<Notice> notices;

protected:
    void show(NoticeKind kind, std::u16string_view text, NoticeOwner owner) override
    {
        notices.push_back({kind, std::u16string(text), owner});
    }
};

// Writes each notice to standard error as one UTF-8 line block; there is no
// window to own it.
class StderrNotifier : public UserNotifier {
protected:
    void show(NoticeKind kind, std::u16string_view text, NoticeOwner owner) override;
};

#ifdef _WIN32
// A message box owned by the notice's owner window (none when it has none),
// captioned with the module's caption (string 111).
class MessageBoxNotifier : public UserNotifier {
protected:
    void show(NoticeKind kind, std::u16string_view text, NoticeOwner owner) override;
};
#endif

} // namespace norvalt
