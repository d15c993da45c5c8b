#include "controls/grid_ctrl.h"

#include <memory>

#include "controls/window_guard.h"
#include "text/wide.h"

namespace norvalt {

namespace {

DWORD alignStyle(GridAlign align)
{
    switch (align) {
    case GridAlign::left: return ES_LEFT;
    case GridAlign::right: return ES_RIGHT;
    case GridAlign::centre: break;
    }
    return ES_CENTER;
}

} // namespace

CGridCtrlEditCell::CGridCtrlEditCell(CGridCtrl& grid, int row, int column, std::u16string text)
    : grid_(grid), row_(row), column_(column), initialText_(std::move(text))
{
}

CGridCtrlEditCell* CGridCtrlEditCell::open(CGridCtrl& grid, int row, int column, const RECT& cell, GridAlign align,
                                           std::u16string text)
{
    std::unique_ptr<CGridCtrlEditCell> editor(new CGridCtrlEditCell(grid, row, column, std::move(text)));
    HWND parent = grid.hwnd();
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    HWND hwnd = CreateWindowExW(0, WC_EDITW, wide(editor->initialText_),
                                WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL | alignStyle(align), cell.left,
                                cell.top, cell.right - cell.left, cell.bottom - cell.top, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(CGridCtrl::editorId)), instance, nullptr);
    if (!hwnd) return nullptr;
    // The edit window is ours: its user data holds its editor, which it owns
    // from here and deletes when it is destroyed.
    CGridCtrlEditCell* self = editor.release();
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->editProc_ =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editProc)));
    grid.editor_ = self;
    SendMessageW(hwnd, WM_SETFONT, SendMessageW(parent, WM_GETFONT, 0, 0), FALSE);
    // Taking the focus ends an editor that is still open on another cell.
    SetFocus(hwnd);
    SendMessageW(hwnd, EM_SETSEL, 0, -1);
    return self;
}

void CGridCtrlEditCell::cancel()
{
    cancelled_ = 1;
    if (GetFocus() == hwnd_)
        SetFocus(grid_.hwnd());
    else
        end();
}

void CGridCtrlEditCell::end()
{
    if (ended_) return;
    ended_ = true;
    std::u16string text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd_)) + 1, u'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd_, wideBuffer(text), static_cast<int>(text.size()))));
    NMLVDISPINFOW info{};
    info.hdr.hwndFrom = grid_.hwnd();
    info.hdr.idFrom = CGridCtrl::editorId;
    info.hdr.code = LVN_ENDLABELEDITW;
    info.item.mask = LVIF_TEXT;
    info.item.iItem = row_;
    info.item.iSubItem = column_;
    info.item.pszText = cancelled_ ? nullptr : wideBuffer(text);
    info.item.cchTextMax = static_cast<int>(text.size() + 1);
    HWND self = hwnd_;
    SendMessageW(grid_.hwnd(), WM_NOTIFY, CGridCtrl::editorId, reinterpret_cast<LPARAM>(&info));
    // Destroying the window deletes this object.
    if (!destroying_) DestroyWindow(self);
}

LRESULT CGridCtrlEditCell::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETDLGCODE:
        // Every key, so that a dialog's keyboard handling (default button,
        // cancel, mnemonics) never sees Enter or Escape meant for the cell.
        return callEdit(message, wParam, lParam) | DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
        // Enter and Escape act as characters below; the edit's own handling
        // of the key would look for a dialog's default button.
        if (wParam == VK_RETURN || wParam == VK_ESCAPE) return 0;
        break;
    case WM_CHAR:
        if (wParam == VK_RETURN) {
            SetFocus(grid_.hwnd());
            return 0;
        }
        if (wParam == VK_ESCAPE) {
            cancelled_ = 1;
            SetFocus(grid_.hwnd());
            return 0;
        }
        break;
    case WM_KILLFOCUS: {
        LRESULT result = callEdit(message, wParam, lParam);
        end(); // may delete this
        return result;
    }
    case WM_DESTROY:
        destroying_ = true;
        break;
    default:
        break;
    }
    return callEdit(message, wParam, lParam);
}

LRESULT CGridCtrlEditCell::callEdit(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcW(editProc_, hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK CGridCtrlEditCell::editProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* editor = reinterpret_cast<CGridCtrlEditCell*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!editor) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        WNDPROC previous = editor->editProc_;
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        editor->grid_.editorClosed(editor);
        delete editor;
        return CallWindowProcW(previous, hwnd, message, wParam, lParam);
    }
    return guardWindowEdge(hwnd, LRESULT(0), [&] { return editor->onMessage(message, wParam, lParam); });
}

} // namespace norvalt
