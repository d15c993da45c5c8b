#include "ui/main_window.h"

#include <stdexcept>

#include "controls/window_guard.h"
#include "ui/dlg_main.h"

namespace norvalt {

void showMainWindow(HWND owner) noexcept
{
    guardWindowEdge(owner, 0, [&] {
        DlgMain* window = DlgMain::current();
        if (!window) window = DlgMain::create(owner, host());
        if (!window) throw std::runtime_error("the main window cannot be created");
        ShowWindow(window->hwnd(), SW_SHOWNORMAL);
        SetForegroundWindow(window->hwnd());
        return 0;
    });
}

} // namespace norvalt
