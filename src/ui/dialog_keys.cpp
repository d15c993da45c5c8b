#include "ui/dialog_keys.h"

#include <algorithm>
#include <vector>

#include "controls/window_guard.h"

namespace norvalt {

namespace {

std::vector<HWND> dialogs;
HHOOK hook = nullptr;

HWND registeredDialogOf(HWND window)
{
    for (HWND w = window; w; w = GetParent(w)) {
        if (std::find(dialogs.begin(), dialogs.end(), w) != dialogs.end()) return w;
        if (!(GetWindowLongPtrW(w, GWL_STYLE) & WS_CHILD)) break;
    }
    return nullptr;
}

LRESULT CALLBACK getMessageHook(int code, WPARAM wParam, LPARAM lParam)
{
    guardWindowEdge(nullptr, 0, [&] {
        auto* msg = reinterpret_cast<MSG*>(lParam);
        if (code == HC_ACTION && wParam == PM_REMOVE && msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) {
            const HWND dialog = registeredDialogOf(msg->hwnd);
            if (dialog && IsDialogMessageW(dialog, msg)) {
                msg->message = WM_NULL;
                msg->wParam = 0;
                msg->lParam = 0;
            }
        }
        return 0;
    });
    return CallNextHookEx(hook, code, wParam, lParam);
}

} // namespace

void registerDialogKeys(HWND dialog)
{
    if (!dialog || std::find(dialogs.begin(), dialogs.end(), dialog) != dialogs.end()) return;
    dialogs.push_back(dialog);
    if (!hook) hook = SetWindowsHookExW(WH_GETMESSAGE, getMessageHook, nullptr, GetCurrentThreadId());
}

void unregisterDialogKeys(HWND dialog)
{
    dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), dialog), dialogs.end());
    if (dialogs.empty() && hook) {
        UnhookWindowsHookEx(hook);
        hook = nullptr;
    }
}

void releaseDialogKeys()
{
    dialogs.clear();
    if (hook) UnhookWindowsHookEx(hook);
    hook = nullptr;
}

} // namespace norvalt
