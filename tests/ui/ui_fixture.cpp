#include "ui_fixture.h"

#include <commctrl.h>

#include "text/wide.h"

namespace norvalt::test {

namespace {

std::vector<PostedMessage> received;

LRESULT CALLBACK ownerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_USER && message < 0x8000) received.push_back({message, wParam, lParam});
    return DefWindowProcW(window, message, wParam, lParam);
}

const wchar_t* ownerClass()
{
    static const wchar_t* name = [] {
        WNDCLASSW c{};
        c.lpfnWndProc = ownerProc;
        c.hInstance = GetModuleHandleW(nullptr);
        c.lpszClassName = L"NorvaltTestOwner";
        c.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
        c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        RegisterClassW(&c);
        return L"NorvaltTestOwner";
    }();
    return name;
}

} // namespace

void UiTest::SetUp()
{
    received.clear();
    previousNotifier_ = setUserNotifier(&notifier);
    owner_ = CreateWindowExW(0, ownerClass(), L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 900, 600, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner_, nullptr);
}

void UiTest::TearDown()
{
    if (IsWindow(owner_)) DestroyWindow(owner_);
    pump();
    setUserNotifier(previousNotifier_);
}

void UiTest::pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

const std::vector<PostedMessage>& UiTest::posted() const
{
    return received;
}

std::u16string windowText(HWND window)
{
    std::u16string text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, u'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, wideBuffer(text), static_cast<int>(text.size()))));
    return text;
}

RECT childRect(HWND control)
{
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT dialogUnits(HWND dialog, int x, int y, int width, int height)
{
    // The dialog manager converts the width and height on their own, not
    // the right and bottom edges.
    RECT units{x, y, width, height};
    MapDialogRect(dialog, &units);
    return {units.left, units.top, units.left + units.right, units.top + units.bottom};
}

void clickHeader(HWND list, int column)
{
    NMHEADERW click{};
    click.hdr.hwndFrom = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    click.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(click.hdr.hwndFrom));
    click.hdr.code = HDN_ITEMCLICKW;
    click.iItem = column;
    click.iButton = 0;
    SendMessageW(list, WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
}

void focusRow(HWND list, int row)
{
    LVITEMW state{};
    state.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    state.state = LVIS_FOCUSED | LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
}

void doubleClickCell(HWND list, int row, int column)
{
    RECT cell{};
    cell.top = column;
    cell.left = LVIR_LABEL;
    SendMessageW(list, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
    const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageW(list, WM_LBUTTONUP, 0, at);
}

HWND cellEditor(HWND list)
{
    return GetDlgItem(list, 9801);
}

void finishEdit(HWND list, const wchar_t* text, WPARAM key)
{
    const HWND editor = cellEditor(list);
    if (!editor) return;
    SetWindowTextW(editor, text);
    SendMessageW(editor, WM_KEYDOWN, key, 0);
    SendMessageW(editor, WM_CHAR, key, 0);
}

std::vector<std::u16string> columnTexts(HWND list, int column)
{
    std::vector<std::u16string> texts;
    for (int row = 0; row < listRowCount(list); ++row) texts.push_back(listCell(list, row, column));
    return texts;
}

} // namespace norvalt::test
