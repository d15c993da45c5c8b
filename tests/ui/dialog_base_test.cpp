// The dialog base: anchored layout, page placement, the minimum tracking
// size, and the edge that keeps a failing handler from taking the window
// (or the host) down.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <stdexcept>

#include "res/resource_ids.h"
#include "text/string_table.h"
#include "ui/dialog_base.h"
#include "ui/tab_pages.h"
#include "ui_fixture.h"

using namespace norvalt;
using namespace norvalt::test;

namespace {

constexpr UINT failMessage = WM_APP + 1;
constexpr UINT answerMessage = WM_APP + 2;

// The settings template with a layout of its own, a handler that fails on
// request and one that answers through DWLP_MSGRESULT.
class ProbeDialog : public DialogBase {
public:
    HWND open(HWND owner) { return createModeless(IDD_SETTINGS, owner); }

protected:
    bool onInitDialog() override
    {
        layout().add(IDC_SETTINGS_TABS, anchors::fill);
        layout().add(IDOK, anchors::bottomRight);
        // Half of the change each: moves by half the width, grows by half the height.
        layout().add(IDC_WATER_MASS, Anchor{0.5, 0, 0, 0.5});
        layout().add(4711, anchors::fill);  // no such control: ignored
        recordMinimumTrackingSize();
        return true;
    }
    bool onMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) override
    {
        if (message == failMessage) throw std::runtime_error("probe failed");
        if (message == answerMessage) {
            result = static_cast<LRESULT>(wParam) * 2;
            return true;
        }
        return false;
    }
};

// The about template as a modal dialog that ends itself with code 7 as soon
// as its loop runs.
class ModalProbe : public DialogBase {
public:
    INT_PTR run(HWND owner) { return runModal(IDD_ABOUT, owner); }

protected:
    bool onInitDialog() override
    {
        PostMessageW(hwnd(), WM_COMMAND, IDOK, 0);
        return true;
    }
    bool onMessage(UINT message, WPARAM wParam, LPARAM, LRESULT&) override
    {
        if (message != WM_COMMAND || LOWORD(wParam) != IDOK) return false;
        EndDialog(hwnd(), 7);
        return true;
    }
};

using DialogBaseTest = UiTest;

} // namespace

TEST(AnchoredRect, EachShareOfTheChange)
{
    struct Case {
        Anchor anchor;
        int dx, dy;
        RECT expected;
    };
    const RECT initial{10, 20, 110, 70};  // 100 x 50 at (10, 20)
    const Case cases[] = {
        {anchors::fixed, 40, 30, {10, 20, 110, 70}},
        {anchors::fill, 40, 30, {10, 20, 150, 100}},          // 100 + 40 wide, 50 + 30 high
        {anchors::bottomRight, 40, 30, {50, 50, 150, 100}},   // moved by 40, 30
        {anchors::bottom, 40, 30, {10, 50, 110, 100}},        // moved down by 30
        {Anchor{0, 0, 1, 0.5}, 40, 30, {10, 20, 150, 85}},    // half of 30 is 15
        {Anchor{0, 0.5, 1, 0.5}, 40, 30, {10, 35, 150, 100}}, // the lower half of a split
        {Anchor{0, 0, 0, 0.5}, 0, 3, {10, 20, 110, 72}},      // 1.5 rounds to 2
        {anchors::fill, -40, -10, {10, 20, 70, 60}},          // shrinking
    };
    for (const Case& c : cases) {
        const RECT r = anchoredRect(initial, c.anchor, c.dx, c.dy);
        EXPECT_EQ(r.left, c.expected.left);
        EXPECT_EQ(r.top, c.expected.top);
        EXPECT_EQ(r.right, c.expected.right);
        EXPECT_EQ(r.bottom, c.expected.bottom);
    }
}

TEST(TabPagesRect, InsetsOfThePageInTheTabsClientArea)
{
    // 600 x 300 client: 1 off the left, 22 off the top, 4 off the right, 2 off the bottom.
    const RECT r = TabPages::pageRect({0, 0, 600, 300});
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.top, 22);
    EXPECT_EQ(r.right, 596);
    EXPECT_EQ(r.bottom, 298);
}

TEST_F(DialogBaseTest, ControlsFollowTheirShareOfTheResize)
{
    ProbeDialog dialog;
    const HWND window = dialog.open(owner());
    ASSERT_NE(window, nullptr);
    const RECT tabs = childRect(GetDlgItem(window, IDC_SETTINGS_TABS));
    const RECT ok = childRect(GetDlgItem(window, IDOK));
    const RECT edit = childRect(GetDlgItem(window, IDC_WATER_MASS));
    RECT outer{};
    GetWindowRect(window, &outer);
    // 100 pixels wider and 60 higher.
    SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left + 100, outer.bottom - outer.top + 60,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    const RECT tabsNow = childRect(GetDlgItem(window, IDC_SETTINGS_TABS));
    EXPECT_EQ(tabsNow.left, tabs.left);
    EXPECT_EQ(tabsNow.right, tabs.right + 100);
    EXPECT_EQ(tabsNow.bottom, tabs.bottom + 60);
    const RECT okNow = childRect(GetDlgItem(window, IDOK));
    EXPECT_EQ(okNow.left, ok.left + 100);
    EXPECT_EQ(okNow.top, ok.top + 60);
    EXPECT_EQ(okNow.right - okNow.left, ok.right - ok.left);
    const RECT editNow = childRect(GetDlgItem(window, IDC_WATER_MASS));
    EXPECT_EQ(editNow.left, edit.left + 50);
    EXPECT_EQ(editNow.top, edit.top);
    EXPECT_EQ(editNow.bottom - editNow.top, edit.bottom - edit.top + 30);

    // It cannot be dragged smaller than it was made.
    MINMAXINFO limits{};
    SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, outer.right - outer.left);
    EXPECT_EQ(limits.ptMinTrackSize.y, outer.bottom - outer.top);
}

TEST_F(DialogBaseTest, AFailingHandlerIsToldAndTheWindowLivesOn)
{
    ProbeDialog dialog;
    const HWND window = dialog.open(owner());
    ASSERT_NE(window, nullptr);
    // The answer of a handled message reaches the sender.
    EXPECT_EQ(SendMessageW(window, answerMessage, 21, 0), 42);

    SendMessageW(window, failMessage, 0, 0);
    ASSERT_EQ(notifier.notices.size(), 1u);
    const std::u16string pattern = loadString(IDS_ERR_AT_WINDOW_EDGE);
    EXPECT_EQ(notifier.notices[0].text, pattern.substr(0, pattern.find(u"%s")) + u"probe failed");
    EXPECT_EQ(notifier.notices[0].owner.window, window);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(SendMessageW(window, answerMessage, 5, 0), 10);
}

// An object that goes before its window leaves a window that no longer
// reaches it.
TEST_F(DialogBaseTest, DeletingTheObjectDestroysItsWindow)
{
    HWND window = nullptr;
    {
        ProbeDialog dialog;
        window = dialog.open(owner());
        ASSERT_TRUE(IsWindow(window));
    }
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(DialogBaseTest, AModalDialogGivesTheCodeItEndedWith)
{
    ModalProbe probe;
    EXPECT_EQ(probe.run(owner()), 7);
    EXPECT_EQ(probe.hwnd(), nullptr);
}
