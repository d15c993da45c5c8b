#include "controls/window_guard.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "text/string_table.h"

using namespace norvalt;

namespace {

// Its own notice fails once more, as a paint handler that fails on every
// paint would while the first message box is up.
class FailingAgainNotifier : public RecordingNotifier {
protected:
    void show(NoticeKind kind, std::u16string_view text, NoticeOwner owner) override
    {
        RecordingNotifier::show(kind, text, owner);
        guardWindowEdge(nullptr, 0, []() -> int { throw std::runtime_error("again"); });
    }
};

} // namespace

TEST(WindowGuard, AFailureBecomesOneNoticeAndTheFallback)
{
    FailingAgainNotifier notifier;
    UserNotifier* before = setUserNotifier(&notifier);
    int window = 0;
    EXPECT_EQ(guardWindowEdge(&window, 7L, []() -> long { return 3; }), 3);
    EXPECT_TRUE(notifier.notices.empty());

    EXPECT_EQ(guardWindowEdge(&window, 7L, []() -> long { throw std::runtime_error("disk gone"); }), 7);
    EXPECT_EQ(guardWindowEdge(&window, 8L, []() -> long { throw 42; }), 8);
    setUserNotifier(before);

    // The nested failures inside each notice were dropped: two notices, not four.
    ASSERT_EQ(notifier.notices.size(), 2u);
    EXPECT_EQ(notifier.notices[0].kind, NoticeKind::Error);
    EXPECT_EQ(notifier.notices[0].owner.window, &window);
    std::u16string pattern = loadString(IDS_ERR_AT_WINDOW_EDGE);
    std::u16string head = pattern.substr(0, pattern.find(u"%s"));
    EXPECT_EQ(notifier.notices[0].text, head + u"disk gone");
    EXPECT_EQ(notifier.notices[1].text, head);
}
