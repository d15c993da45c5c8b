// The compiled resources hold everything the code loads, with the texts,
// positions and styles it expects.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "res/resource_ids.h"
#include "text/string_table.h"
#include "text/wide.h"
#include "ui/common_controls_scope.h"
#include "ui/resource_module.h"
#include "ui_fixture.h"

using namespace norvalt;
using namespace norvalt::test;

namespace {

INT_PTR CALLBACK plainDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

class Dialog {
public:
    Dialog(int templateId, HWND parent)
    {
        CommonControlsScope scope;
        window_ = CreateDialogParamW(ownModule(), MAKEINTRESOURCEW(templateId), parent, plainDialogProc, 0);
    }
    ~Dialog()
    {
        if (window_) DestroyWindow(window_);
    }
    HWND get() const { return window_; }

private:
    HWND window_;
};

class Icon {
public:
    Icon(int id, int size)
        : icon_(static_cast<HICON>(LoadImageW(ownModule(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0)))
    {
    }
    ~Icon()
    {
        if (icon_) DestroyIcon(icon_);
    }
    HICON get() const { return icon_; }

private:
    HICON icon_;
};

int iconWidth(HICON icon)
{
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return 0;
    BITMAP bitmap{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

std::u16string className(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return std::u16string(fromWide(name));
}

using ResourcesTest = UiTest;

} // namespace

// Every text of the single source comes out of the string table as it went
// in: the escaping of the resource script lost nothing, not even "\n".
TEST_F(ResourcesTest, EveryTextOfTheSourceIsInTheStringTable)
{
    struct Entry {
        int id;
        const char16_t* text;
    };
#define NORVALT_STRING(id, text) {id, u"" text},
    const Entry entries[] = {
#include "res/strings_ru.inc"
    };
#undef NORVALT_STRING
    for (const Entry& e : entries) {
        const wchar_t* resource = nullptr;
        const int length = LoadStringW(ownModule(), static_cast<UINT>(e.id), reinterpret_cast<LPWSTR>(&resource), 0);
        ASSERT_GT(length, 0) << "string " << e.id;
        EXPECT_EQ(fromWide(resource, static_cast<std::size_t>(length)), std::u16string_view(e.text)) << "string " << e.id;
    }
    // The message of a water mass fraction that is not a number has a text.
    EXPECT_FALSE(loadString(IDS_ERR_WATER_NOT_NUMBER).empty());
}

TEST_F(ResourcesTest, EveryDialogAndIconTheCodeLoadsExists)
{
    for (int id : moduleDialogIds) {
        EXPECT_NE(FindResourceW(ownModule(), MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5)), nullptr) << "dialog " << id;
    }
    for (int id : moduleIconIds) {
        Icon small(id, 16);
        ASSERT_NE(small.get(), nullptr) << "icon " << id;
        EXPECT_EQ(iconWidth(small.get()), 16) << "icon " << id;
    }
    // The about box shows the application icon at 80 x 80, drawn at that size.
    Icon large(IDI_APP, 80);
    ASSERT_NE(large.get(), nullptr);
    EXPECT_EQ(iconWidth(large.get()), 80);
    EXPECT_NE(FindResourceW(ownModule(), MAKEINTRESOURCEW(IDR_MANIFEST), MAKEINTRESOURCEW(24)), nullptr);
}

// Inside the module's activation context the controls are those of Common
// Controls 6 (the themed button answers BCM_GETIDEALSIZE); outside it a
// program without a manifest gets the classic button.
TEST_F(ResourcesTest, TheModulesContextGivesCommonControls6)
{
    auto idealSizeAnswered = [this] {
        HWND button = CreateWindowExW(0, L"Button", L"OK", WS_CHILD | BS_PUSHBUTTON, 0, 0, 50, 20, owner(), nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
        SIZE size{};
        const bool answered = SendMessageW(button, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&size)) != 0;
        DestroyWindow(button);
        return answered;
    };
    {
        CommonControlsScope scope;
        ASSERT_TRUE(scope.active());
        EXPECT_TRUE(idealSizeAnswered());
    }
    EXPECT_FALSE(idealSizeAnswered());
}

// Positions in dialog units, control classes and styles of the templates.
TEST_F(ResourcesTest, TemplatesPlaceTheirControlsWhereTheWindowsExpectThem)
{
    struct Case {
        int dialog;
        int control;
        int x, y, width, height;
        const char16_t* windowClass;
    };
    const Case cases[] = {
        {IDD_MAIN, IDC_ADD, 7, 7, 16, 14, u"Button"},
        {IDD_MAIN, IDC_REMOVE, 7, 22, 16, 14, u"Button"},
        {IDD_MAIN, IDC_REMOVE_ALL, 7, 37, 16, 14, u"Button"},
        {IDD_MAIN, IDC_OPEN, 7, 52, 16, 14, u"Button"},
        {IDD_MAIN, IDC_RELOAD, 7, 67, 16, 14, u"Button"},
        {IDD_MAIN, IDC_SETTINGS, 7, 82, 16, 14, u"Button"},
        {IDD_MAIN, IDC_REPORT, 7, 96, 16, 14, u"Button"},
        {IDD_MAIN, IDC_ABOUT, 7, 110, 16, 14, u"Button"},
        {IDD_MAIN, IDC_MAIN_LIST, 26, 7, 548, 117, u"SysListView32"},
        {IDD_MAIN, IDC_MAIN_TABS, 7, 129, 567, 140, u"SysTabControl32"},
        {IDD_ABOUT, IDOK, 198, 117, 50, 14, u"Button"},
        {IDD_LIST_PAGE, IDC_PAGE_LIST, 0, 0, 300, 120, u"SysListView32"},
        {IDD_MESSAGES_PAGE, IDC_MESSAGES, 0, 0, 300, 120, u"ListBox"},
        {IDD_SETTINGS, IDC_SETTINGS_TABS, 7, 7, 377, 199, u"SysTabControl32"},
        {IDD_SETTINGS, IDOK, 280, 222, 50, 14, u"Button"},
        {IDD_SETTINGS, IDCANCEL, 334, 222, 50, 14, u"Button"},
        {IDD_SETTINGS, IDC_WATER_MASS, 81, 219, 61, 14, u"Edit"},
        {IDD_SETTINGS, IDC_WATER_LABEL, 7, 222, 72, 8, u"Static"},
        {IDD_SETTINGS, IDC_PERCENT_LABEL, 143, 222, 8, 8, u"Static"},
        {IDD_GRADUATION_PAGE, IDC_GRAD_TABLE, 7, 25, 181, 80, u"SysListView32"},
        {IDD_GRADUATION_PAGE, IDC_GRAD_CHART, 194, 7, 155, 98, u"Static"},
    };
    for (const Case& c : cases) {
        Dialog dialog(c.dialog, owner());
        ASSERT_NE(dialog.get(), nullptr) << "dialog " << c.dialog;
        const HWND control = GetDlgItem(dialog.get(), c.control);
        ASSERT_NE(control, nullptr) << "dialog " << c.dialog << " control " << c.control;
        const RECT expected = dialogUnits(dialog.get(), c.x, c.y, c.width, c.height);
        const RECT actual = childRect(control);
        EXPECT_EQ(actual.left, expected.left) << "dialog " << c.dialog << " control " << c.control;
        EXPECT_EQ(actual.top, expected.top) << "dialog " << c.dialog << " control " << c.control;
        EXPECT_EQ(actual.right, expected.right) << "dialog " << c.dialog << " control " << c.control;
        EXPECT_EQ(actual.bottom, expected.bottom) << "dialog " << c.dialog << " control " << c.control;
        EXPECT_EQ(className(control), c.windowClass) << "dialog " << c.dialog << " control " << c.control;
    }
}

TEST_F(ResourcesTest, TemplatesHaveTheirFramesAndTexts)
{
    struct Case {
        int dialog;
        LONG_PTR required;
        LONG_PTR excluded;
        const char16_t* caption;
        int width, height;  // dialog units of the client area
    };
    const LONG_PTR resizable = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME;
    const Case cases[] = {
        {IDD_MAIN, resizable, WS_CHILD, u"Плагин: Определение массовой доли этиленгликоля и диэтиленгликоля", 581, 276},
        {IDD_SETTINGS, resizable, WS_CHILD, u"Настройки", 391, 243},
        {IDD_ABOUT, WS_CAPTION | WS_SYSMENU, WS_THICKFRAME | WS_MAXIMIZEBOX, u"О плагине", 255, 138},
        {IDD_GRADUATION_PAGE, WS_CHILD, WS_CAPTION, u"", 356, 112},
    };
    for (const Case& c : cases) {
        Dialog dialog(c.dialog, owner());
        ASSERT_NE(dialog.get(), nullptr) << "dialog " << c.dialog;
        const LONG_PTR style = GetWindowLongPtrW(dialog.get(), GWL_STYLE);
        EXPECT_EQ(style & c.required, c.required) << "dialog " << c.dialog;
        EXPECT_EQ(style & c.excluded, 0) << "dialog " << c.dialog;
        EXPECT_EQ(windowText(dialog.get()), c.caption) << "dialog " << c.dialog;
        RECT client{};
        GetClientRect(dialog.get(), &client);
        const RECT expected = dialogUnits(dialog.get(), 0, 0, c.width, c.height);
        EXPECT_EQ(client.right, expected.right) << "dialog " << c.dialog;
        EXPECT_EQ(client.bottom, expected.bottom) << "dialog " << c.dialog;
    }
    Dialog settings(IDD_SETTINGS, owner());
    EXPECT_EQ(windowText(GetDlgItem(settings.get(), IDCANCEL)), u"Отмена");
    EXPECT_EQ(windowText(GetDlgItem(settings.get(), IDC_WATER_LABEL)), u"Массовая доля воды");
    Dialog about(IDD_ABOUT, owner());
    EXPECT_NE(FindWindowExW(about.get(), nullptr, L"Static", L"Версия: 1.0.1.0"), nullptr);
}
