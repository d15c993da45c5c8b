#include "ui_fixture.h"

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

} // namespace norvalt::test
