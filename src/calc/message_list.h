#pragma once
// The findings of loading and calculation, as texts at three levels.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace norvalt {

enum class MessageLevel : std::int32_t {
    Error = 0,
    Warning = 1,
    Information = 2,
};

// A single entry as it is passed around.
struct Message {
    MessageLevel level = MessageLevel::Error;
    std::u16string text;
};

// Three lists of texts in insertion order. Within a level a text is kept
// once: producers run again and again over the same set, and the user
// should see each finding one time.
class MessageList {
public:
    // Appends text to its level unless an equal text (code unit for code
    // unit) is already there.
    void addMessage(MessageLevel level, std::u16string text);
    void addMessage(Message message) { addMessage(message.level, std::move(message.text)); }

    void clearMessages();

    // Errors, then warnings, then information, each in insertion order.
    std::vector<std::u16string> allMessageTexts() const;

    const std::vector<std::u16string>& messages(MessageLevel level) const;
    bool empty() const;

private:
    static std::size_t slot(MessageLevel level);

    std::array<std::vector<std::u16string>, 3> lists_;
};

// Who owns the list: the main window object itself, as a member declared
// before its chromatogram set, so that the list exists before the set and
// its calculator take a reference to it and outlives both. The window makes
// it the current list (CurrentMessageList below) for its own lifetime, and
// its Messages page, created later in the window's opening, only shows it.
// A window-less host (the command-line tool, tests) keeps a list beside its
// set in the same order.
//
// The one list of the main window, through which every producer outside the
// calculator reaches it; null while no main window exists.
MessageList* currentMessageList();

// Makes a list the current one for its own lifetime and restores the one
// that was current before.
class CurrentMessageList {
public:
    explicit CurrentMessageList(MessageList& list);
    ~CurrentMessageList();
    CurrentMessageList(const CurrentMessageList&) = delete;
    CurrentMessageList& operator=(const CurrentMessageList&) = delete;

private:
    MessageList* previous_;
};

} // namespace norvalt
