#include "ui/dialog_base.h"

#include "controls/window_guard.h"
#include "text/wide.h"
#include "ui/common_controls_scope.h"
#include "ui/resource_module.h"

namespace norvalt {

DialogBase::~DialogBase()
{
    // An object deleted with its window still open (a page whose owner
    // goes first) must not be reached by the window's later messages.
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
        DestroyWindow(hwnd_);
    }
}

HWND DialogBase::createModeless(int templateId, HWND parent)
{
    CommonControlsScope scope;
    return CreateDialogParamW(resourceModule(), MAKEINTRESOURCEW(templateId), parent, dialogProc,
                              reinterpret_cast<LPARAM>(this));
}

INT_PTR DialogBase::runModal(int templateId, HWND parent)
{
    CommonControlsScope scope;
    return DialogBoxParamW(resourceModule(), MAKEINTRESOURCEW(templateId), parent, dialogProc,
                           reinterpret_cast<LPARAM>(this));
}

bool DialogBase::onMessage(UINT, WPARAM, LPARAM, LRESULT&)
{
    return false;
}

void DialogBase::recordMinimumTrackingSize()
{
    minTrack_ = outerSize(hwnd_);
}

std::u16string DialogBase::itemText(int id) const
{
    const HWND control = item(id);
    std::u16string text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, u'\0');
    const int length = GetWindowTextW(control, wideBuffer(text), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    return text;
}

void DialogBase::setItemText(int id, const std::u16string& text) const
{
    SetDlgItemTextW(hwnd_, id, wide(text));
}

INT_PTR CALLBACK DialogBase::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CommonControlsScope scope;
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<DialogBase*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        self->hwnd_ = window;
    }
    auto* self = reinterpret_cast<DialogBase*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!self) return FALSE;
    return guardWindowEdge(window, INT_PTR{FALSE}, [&] { return self->dispatch(message, wParam, lParam); });
}

INT_PTR DialogBase::dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        layout_.attach(hwnd_);
        return onInitDialog() ? TRUE : FALSE;
    case WM_SIZE:
        layout_.apply();
        break;
    case WM_GETMINMAXINFO:
        if (minTrack_.cx > 0) {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize = {minTrack_.cx, minTrack_.cy};
            return TRUE;
        }
        break;
    case WM_NCDESTROY: {
        SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
        hwnd_ = nullptr;
        onFinalMessage();  // may delete this
        return FALSE;
    }
    default:
        break;
    }
    LRESULT result = 0;
    if (!onMessage(message, wParam, lParam, result)) return FALSE;
    SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
    return TRUE;
}

SIZE outerSize(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

} // namespace norvalt
