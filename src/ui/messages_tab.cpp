#include "ui/messages_tab.h"

#include <algorithm>

#include "res/resource_ids.h"
#include "text/wide.h"
#include "ui/gdi_scope.h"
#include "workset/page_texts.h"

namespace norvalt {

HWND MessagesTab::create(HWND parent)
{
    return createModeless(IDD_MESSAGES_PAGE, parent);
}

bool MessagesTab::onInitDialog()
{
    layout().add(IDC_MESSAGES, anchors::fill);
    return false;
}

void MessagesTab::clearMessages()
{
    messages_.clearMessages();
    clearView();
}

void MessagesTab::clearView()
{
    SendMessageW(listBox(), LB_RESETCONTENT, 0, 0);
    SendMessageW(listBox(), LB_SETHORIZONTALEXTENT, 0, 0);
}

void MessagesTab::refresh()
{
    const HWND list = listBox();
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    // Long texts (file names, clauses) scroll sideways instead of being cut.
    int widest = 0;
    WindowDc dc(list);
    SelectedObject font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0)));
    for (const std::u16string& line : messageLines(messages_)) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(line)));
        SIZE extent{};
        GetTextExtentPoint32W(dc.get(), wide(line), static_cast<int>(line.size()), &extent);
        widest = std::max(widest, static_cast<int>(extent.cx));
    }
    SendMessageW(list, LB_SETHORIZONTALEXTENT, widest + 8, 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

} // namespace norvalt
