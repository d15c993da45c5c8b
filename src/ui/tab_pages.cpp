#include "ui/tab_pages.h"

#include <commctrl.h>

#include "text/wide.h"

namespace norvalt {

RECT TabPages::pageRect(const RECT& tabClient)
{
    return {tabClient.left + insets.left, tabClient.top + insets.top, tabClient.right - insets.right,
            tabClient.bottom - insets.bottom};
}

void TabPages::add(const std::u16string& text, HWND page)
{
    std::u16string label = text;
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = wideBuffer(label);
    item.lParam = reinterpret_cast<LPARAM>(page);
    SendMessageW(tabs_, TCM_INSERTITEMW, count(), reinterpret_cast<LPARAM>(&item));
    ShowWindow(page, SW_HIDE);
    place();
}

void TabPages::place() const
{
    RECT client{};
    GetClientRect(tabs_, &client);
    const RECT r = pageRect(client);
    for (int i = 0; i < count(); ++i) {
        MoveWindow(page(i), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    }
}

void TabPages::show(int index) const
{
    for (int i = 0; i < count(); ++i) {
        if (i != index) ShowWindow(page(i), SW_HIDE);
    }
    if (HWND shown = page(index)) ShowWindow(shown, SW_SHOW);
}

void TabPages::select(int index) const
{
    if (index < 0 || index >= count()) {
        // A tab control selects its first tab by itself; no tab is selected
        // when none matches.
        SendMessageW(tabs_, TCM_SETCURSEL, static_cast<WPARAM>(-1), 0);
        show(-1);
        return;
    }
    SendMessageW(tabs_, TCM_SETCURSEL, index, 0);
    show(index);
}

int TabPages::selected() const
{
    return static_cast<int>(SendMessageW(tabs_, TCM_GETCURSEL, 0, 0));
}

int TabPages::count() const
{
    return tabs_ ? static_cast<int>(SendMessageW(tabs_, TCM_GETITEMCOUNT, 0, 0)) : 0;
}

HWND TabPages::page(int index) const
{
    if (index < 0 || index >= count()) return nullptr;
    TCITEMW item{};
    item.mask = TCIF_PARAM;
    if (!SendMessageW(tabs_, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item))) return nullptr;
    return reinterpret_cast<HWND>(item.lParam);
}

} // namespace norvalt
