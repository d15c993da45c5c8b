#include "calc/message_list.h"

#include <algorithm>

namespace norvalt {

namespace {

MessageList*& current()
{
    static MessageList* list = nullptr;
    return list;
}

} // namespace

std::size_t MessageList::slot(MessageLevel level)
{
    const auto index = static_cast<std::size_t>(level);
    // A level outside the three is filed as an error rather than lost.
    return index < 3 ? index : 0;
}

void MessageList::addMessage(MessageLevel level, std::u16string text)
{
    auto& list = lists_[slot(level)];
    if (std::find(list.begin(), list.end(), text) != list.end()) return;
    list.push_back(std::move(text));
}

void MessageList::clearMessages()
{
    for (auto& list : lists_) list.clear();
}

std::vector<std::u16string> MessageList::allMessageTexts() const
{
    std::vector<std::u16string> all;
    for (const auto& list : lists_) all.insert(all.end(), list.begin(), list.end());
    return all;
}

const std::vector<std::u16string>& MessageList::messages(MessageLevel level) const
{
    return lists_[slot(level)];
}

bool MessageList::empty() const
{
    return std::all_of(lists_.begin(), lists_.end(), [](const auto& list) { return list.empty(); });
}

MessageList* currentMessageList()
{
    return current();
}

CurrentMessageList::CurrentMessageList(MessageList& list) : previous_(current())
{
    current() = &list;
}

CurrentMessageList::~CurrentMessageList()
{
    current() = previous_;
}

} // namespace norvalt
