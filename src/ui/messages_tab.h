#pragma once
// The Messages page: list box 1011 showing the message list of the
// determination, numbered across the levels. Producers add to the list at
// any time; the list box is rewritten only by refresh, which the set runs
// at the end of a recalculation, so the user sees one consistent picture
// of the last calculation rather than texts trickling in.
#include <windows.h>

#include "calc/message_list.h"
#include "res/resource_ids.h"
#include "ui/dialog_base.h"

namespace norvalt {

class MessagesTab : public DialogBase {
public:
    // The list is the main window's; the page only shows it.
    explicit MessagesTab(MessageList& messages) : messages_(messages) {}

    // The page as a hidden child of `parent` (template 109).
    HWND create(HWND parent);

    MessageList& messages() { return messages_; }
    void addMessage(MessageLevel level, std::u16string text) { messages_.addMessage(level, std::move(text)); }
    // Empties the three lists and the list box.
    void clearMessages();
    // Empties the list box only.
    void clearView();
    // Rewrites the list box from the lists.
    void refresh();

protected:
    bool onInitDialog() override;

private:
    HWND listBox() const { return item(IDC_MESSAGES); }

    MessageList& messages_;
};

} // namespace norvalt
