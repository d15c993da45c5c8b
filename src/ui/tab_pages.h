#pragma once
// The pages of a tab control: child dialogs of the tab control, each carried
// by its tab item, placed in the tab's client area and shown one at a time.
#include <windows.h>

#include <string>

namespace norvalt {

class TabPages {
public:
    // A page takes the tab control's client rectangle shrunk by these
    // pixels: room for the tab row above and the control's frame.
    static constexpr RECT insets{1, 22, 4, 2};  // left, top, right, bottom

    static RECT pageRect(const RECT& tabClient);

    void attach(HWND tabControl) { tabs_ = tabControl; }
    HWND tabControl() const { return tabs_; }

    // Appends a tab with the page, places the page and hides it.
    void add(const std::u16string& text, HWND page);
    // Places every page again (after the tab control changed size).
    void place() const;
    // Shows the page of the tab at index and hides all others; an index
    // without a tab shows none.
    void show(int index) const;
    // Selects the tab at index (if there is one) and shows its page.
    void select(int index) const;
    // The selected tab, -1 when none is.
    int selected() const;
    int count() const;
    HWND page(int index) const;

private:
    HWND tabs_ = nullptr;
};

} // namespace norvalt
