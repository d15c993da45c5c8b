#include "calc/message_list.h"

#include <gtest/gtest.h>

namespace norvalt {
namespace {

using Texts = std::vector<std::u16string>;

TEST(MessageList, KeepsEachTextOncePerLevelComparingExactly)
{
    MessageList list;
    list.addMessage(MessageLevel::Error, u"Нет смеси");
    list.addMessage(MessageLevel::Error, u"Нет смеси");
    list.addMessage(MessageLevel::Error, u"нет смеси");   // differs in case
    list.addMessage(MessageLevel::Error, u"Нет смеси ");  // differs by a trailing blank
    list.addMessage(MessageLevel::Error, u"Нет");         // a prefix of a listed text
    EXPECT_EQ(list.messages(MessageLevel::Error),
              (Texts{u"Нет смеси", u"нет смеси", u"Нет смеси ", u"Нет"}));
}

TEST(MessageList, LevelsAreSeparateAndReadInOrderErrorsWarningsInformation)
{
    MessageList list;
    list.addMessage(MessageLevel::Information, u"i1");
    list.addMessage({MessageLevel::Warning, u"same"});
    list.addMessage(MessageLevel::Error, u"e1");
    list.addMessage(MessageLevel::Error, u"same");  // equal text at another level is kept
    list.addMessage(MessageLevel::Error, u"e2");

    EXPECT_EQ(list.messages(MessageLevel::Error), (Texts{u"e1", u"same", u"e2"}));
    EXPECT_EQ(list.messages(MessageLevel::Warning), (Texts{u"same"}));
    EXPECT_EQ(list.messages(MessageLevel::Information), (Texts{u"i1"}));
    EXPECT_EQ(list.allMessageTexts(), (Texts{u"e1", u"same", u"e2", u"same", u"i1"}));
}

TEST(MessageList, ClearEmptiesEveryLevelAndAllowsTheSameTextsAgain)
{
    MessageList list;
    list.addMessage(MessageLevel::Error, u"e");
    list.addMessage(MessageLevel::Warning, u"w");
    list.addMessage(MessageLevel::Information, u"i");
    ASSERT_FALSE(list.empty());

    list.clearMessages();
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(list.allMessageTexts().empty());

    list.addMessage(MessageLevel::Error, u"e");
    EXPECT_EQ(list.allMessageTexts(), (Texts{u"e"}));
}

TEST(MessageList, CurrentListIsSetForAScopeAndRestoredAfterIt)
{
    EXPECT_EQ(currentMessageList(), nullptr);
    MessageList outer;
    {
        CurrentMessageList outerScope(outer);
        EXPECT_EQ(currentMessageList(), &outer);
        MessageList inner;
        {
            CurrentMessageList innerScope(inner);
            EXPECT_EQ(currentMessageList(), &inner);
        }
        EXPECT_EQ(currentMessageList(), &outer);
    }
    EXPECT_EQ(currentMessageList(), nullptr);
}

} // namespace
} // namespace norvalt
