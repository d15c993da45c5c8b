// Shows the main window over the sample laboratory for a screenshot: column
// 2's chromatograms added, the page given (0 to 3) in front, or the about
// box over it ("about"). Ends after the number of seconds given (default 20);
// a third argument picks the graduation page's component by its position.
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <cstring>

#include "main_window_fixture.h"
#include "res/resource_ids.h"
#include "text/user_notifier.h"
#include "ui/dlg_main.h"
#include "ui/main_window.h"

using namespace norvalt;
using namespace norvalt::test;

namespace {

void CALLBACK openAbout(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    if (const HWND window = mainWindow()) pressButton(window, IDC_ABOUT);
}

} // namespace

int main(int argc, char** argv)
{
    const bool about = argc > 1 && std::strcmp(argv[1], "about") == 0;
    const int tab = argc > 1 && !about ? std::atoi(argv[1]) : 0;
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 20;

    MessageBoxNotifier boxes;
    setUserNotifier(&boxes);
    StandInHost host;
    host.dialogAnswers.push_back({10, 11, 12, 13, 14, 15});
    showMainWindow(nullptr);
    const HWND window = mainWindow();
    if (!window) return 1;
    SetWindowPos(window, nullptr, 0, 0, 1180, 640, SWP_NOZORDER);
    pressButton(window, IDC_ADD);
    const HWND tabs = GetDlgItem(window, IDC_MAIN_TABS);
    SendMessageW(tabs, TCM_SETCURSEL, tab, 0);
    NMHDR change{tabs, IDC_MAIN_TABS, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(window, WM_NOTIFY, IDC_MAIN_TABS, reinterpret_cast<LPARAM>(&change));
    if (argc > 3) {
        const HWND page = DlgMain::current()->graduationPage().hwnd();
        const HWND selector = GetDlgItem(page, IDC_GRAD_COMPONENT);
        SendMessageW(selector, CB_SETCURSEL, std::atoi(argv[3]), 0);
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_GRAD_COMPONENT, CBN_SELCHANGE), reinterpret_cast<LPARAM>(selector));
    }
    if (about) SetTimer(nullptr, 0, 500, openAbout);

    const DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    while (GetTickCount() < end && mainWindow()) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(20);
    }
    return 0;
}
