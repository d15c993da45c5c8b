// The settings dialog through a test host's profile store: what it reads
// when it opens, what it writes and posts when it closes, and in which order.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "calc/components.h"
#include "host/local_host.h"
#include "res/resource_ids.h"
#include "text/format.h"
#include "text/string_table.h"
#include "text/wide.h"
#include "ui/settings_dlg.h"
#include "ui/tab_pages.h"
#include "ui_fixture.h"
#include "workset/module_settings.h"

using namespace norvalt;
using namespace norvalt::test;

namespace {

const std::u16string waterKey = u"plugins\\kestrin\\Settings/WaterMass";
const std::u16string lastTabKey = u"plugins\\kestrin\\Settings/lastTab";
const std::u16string stateKey = u"plugins\\kestrin\\Settings/WState";

// A write to the profile, and whether the closing message was already in
// the owner's queue when it happened.
struct Write {
    std::u16string key;
    std::u16string value;
    bool afterPost;
    bool operator==(const Write&) const = default;
};

class SettingsDlgTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        setModuleProfilePrefix();
        host.offerProfileStore();
        // The writers are replaced by ones that log, into the same store.
        auto log = [this](HostArg path, std::u16string value) {
            MSG queued;
            const bool posted = PeekMessageW(&queued, owner(), SettingsClosedMessage, SettingsClosedMessage,
                                             PM_NOREMOVE) != FALSE;
            std::u16string key(fromWide(reinterpret_cast<const wchar_t*>(path)));
            host.profile()[key] = value;
            writes.push_back({key, value, posted});
        };
        host.offer(service::ProfileSetDouble, [log](HostArg path, HostArg in) -> HostResult {
            log(path, formatGeneral(*reinterpret_cast<const double*>(in), 17));
            return 1;
        });
        host.offer(service::ProfileSetInt, [log](HostArg path, HostArg in) -> HostResult {
            log(path, formatInt(*reinterpret_cast<const std::int32_t*>(in)));
            return 1;
        });
        host.offer(service::ProfileSetRect, [this, log](HostArg path, HostArg in) -> HostResult {
            const auto* r = reinterpret_cast<const ProfileRect*>(in);
            lastRect = *r;
            log(path, format(u"%d,%d,%d,%d", r->left, r->top, r->right, r->bottom));
            return 1;
        });
        for (const Component& c : componentTable()) savedNames.push_back(c.altName);
    }
    void TearDown() override
    {
        for (std::int32_t id = 0; id < 6; ++id) setComponentAltName(id, savedNames[static_cast<std::size_t>(id)]);
        setProfilePrefix(u"");
        UiTest::TearDown();
    }

    SettingsDlg* open()
    {
        SettingsDlg* dialog = SettingsDlg::open(owner(), Host(host.table()));
        EXPECT_NE(dialog, nullptr);
        return dialog;
    }
    static void press(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
    std::vector<Write> writesOf(const std::u16string& key) const
    {
        std::vector<Write> found;
        for (const Write& w : writes)
            if (w.key == key) found.push_back(w);
        return found;
    }
    std::vector<WPARAM> closings() const
    {
        std::vector<WPARAM> found;
        for (const PostedMessage& m : posted()) {
            EXPECT_EQ(m.message, SettingsClosedMessage);
            EXPECT_EQ(m.lParam, 0);
            found.push_back(m.wParam);
        }
        return found;
    }

    LocalHost host;
    std::vector<Write> writes;
    ProfileRect lastRect{};
    std::vector<std::u16string> savedNames;
};

} // namespace

TEST(LeadingDecimalNumber, ReadsTheNumberAtTheStartOfTheText)
{
    struct Case {
        const char16_t* text;
        bool number;
        double value;
    };
    const Case cases[] = {
        {u"12.5", true, 12.5},
        {u"5,5", true, 5},          // the comma ends the number
        {u"  0.25 %", true, 0.25},  // leading blanks skipped, the rest ignored
        {u"-1", true, -1},
        {u".5", true, 0.5},
        {u"7.", true, 7},
        {u"1e2", true, 100},        // 1 * 10^2
        {u"5e", true, 5},           // no digits after e: not an exponent
        {u"0x1A", true, 0},         // the decimal number is the 0
        {u"abc", false, 0},
        {u"", false, 0},
        {u".", false, 0},
        {u"-", false, 0},
        {u"inf", false, 0},
        {u"nan", false, 0},
        {u"\u00a012", false, 0},    // only blanks and tabs are skipped
    };
    for (const Case& c : cases) {
        const auto read = leadingDecimalNumber(c.text);
        ASSERT_EQ(read.has_value(), c.number) << std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text));
        if (c.number) {
            EXPECT_EQ(*read, c.value);
        }
    }
}

TEST_F(SettingsDlgTest, OkStoresTheFractionThenPostsThenStoresTabAndPlace)
{
    host.profile()[waterKey] = u"3.25";
    SettingsDlg* dialog = open();
    const HWND window = dialog->hwnd();
    EXPECT_EQ(windowText(GetDlgItem(window, IDC_WATER_MASS)), u"3.25");

    SetDlgItemTextW(window, IDC_WATER_MASS, L"12.5");
    press(window, IDOK);
    EXPECT_FALSE(IsWindow(window));
    pump();

    EXPECT_TRUE(notifier.notices.empty());
    EXPECT_EQ(closings(), std::vector<WPARAM>{1});
    ASSERT_EQ(writes.size(), 3u);
    EXPECT_EQ(writes[0], (Write{waterKey, u"12.5", false}));
    EXPECT_EQ(writes[1], (Write{lastTabKey, u"0", true}));
    EXPECT_EQ(writes[2].key, stateKey);
    EXPECT_TRUE(writes[2].afterPost);
    EXPECT_GT(lastRect.right - lastRect.left, 0);
    EXPECT_EQ(readWaterMassFraction(ProfileSettings(Host(host.table()))), 12.5);
}

TEST_F(SettingsDlgTest, OkWithATextThatIsNoNumberKeepsTheFractionAndSaysSo)
{
    host.profile()[waterKey] = u"3.25";
    SettingsDlg* dialog = open();
    const HWND window = dialog->hwnd();
    SetDlgItemTextW(window, IDC_WATER_MASS, L"abc");
    press(window, IDOK);
    pump();

    ASSERT_EQ(notifier.notices.size(), 1u);
    EXPECT_EQ(notifier.notices[0].kind, NoticeKind::Error);
    EXPECT_EQ(notifier.notices[0].text, loadString(IDS_ERR_WATER_NOT_NUMBER));
    EXPECT_EQ(notifier.notices[0].owner.window, window);
    // The dialog still closes with OK, storing the value it had.
    EXPECT_EQ(closings(), std::vector<WPARAM>{1});
    EXPECT_EQ(writesOf(waterKey), (std::vector<Write>{{waterKey, u"3.25", false}}));
}

TEST_F(SettingsDlgTest, CancelAndTheCloseBoxStoreNoFraction)
{
    struct Case {
        const char* name;
        bool closeBox;
    };
    for (const Case c : {Case{"cancel button", false}, Case{"close box", true}}) {
        writes.clear();
        host.profile()[waterKey] = u"3.25";
        SettingsDlg* dialog = open();
        const HWND window = dialog->hwnd();
        SetDlgItemTextW(window, IDC_WATER_MASS, L"12.5");
        if (c.closeBox) {
            SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        } else {
            press(window, IDCANCEL);
        }
        pump();  // the close box's Cancel comes as a posted command
        EXPECT_FALSE(IsWindow(window)) << c.name;
        EXPECT_EQ(host.profile()[waterKey], u"3.25") << c.name;
        EXPECT_TRUE(writesOf(waterKey).empty()) << c.name;
        ASSERT_EQ(writes.size(), 2u) << c.name;
        EXPECT_EQ(writes[0], (Write{lastTabKey, u"0", true})) << c.name;
        EXPECT_EQ(writes[1].key, stateKey) << c.name;
    }
    EXPECT_EQ(closings(), (std::vector<WPARAM>{2, 2}));
}

// The dialog opens where it was; it cannot be made smaller than its
// template, and its page follows the tab control.
TEST_F(SettingsDlgTest, StoredPlaceAndLayout)
{
    SettingsDlg* first = open();
    const HWND firstWindow = first->hwnd();
    RECT templateRect{};
    GetWindowRect(firstWindow, &templateRect);
    const RECT okBefore = childRect(GetDlgItem(firstWindow, IDOK));
    press(firstWindow, IDCANCEL);
    pump();

    // 200 pixels wider and 100 higher than the template.
    const RECT stored{40, 30, 40 + (templateRect.right - templateRect.left) + 200,
                      30 + (templateRect.bottom - templateRect.top) + 100};
    host.profile()[stateKey] = format(u"%d,%d,%d,%d", stored.left, stored.top, stored.right, stored.bottom);
    host.offer(service::ProfileGetRect, [stored](HostArg, HostArg out) -> HostResult {
        *reinterpret_cast<ProfileRect*>(out) = {stored.left, stored.top, stored.right, stored.bottom};
        return 1;
    });
    SettingsDlg* dialog = open();
    const HWND window = dialog->hwnd();
    RECT now{};
    GetWindowRect(window, &now);
    EXPECT_EQ(now.left, stored.left);
    EXPECT_EQ(now.top, stored.top);
    EXPECT_EQ(now.right, stored.right);
    EXPECT_EQ(now.bottom, stored.bottom);

    MINMAXINFO limits{};
    SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, templateRect.right - templateRect.left);
    EXPECT_EQ(limits.ptMinTrackSize.y, templateRect.bottom - templateRect.top);

    // OK follows the bottom-right corner (the shares themselves are the
    // dialog base's tests).
    const RECT ok = childRect(GetDlgItem(window, IDOK));
    EXPECT_EQ(ok.left, okBefore.left + 200);
    EXPECT_EQ(ok.top, okBefore.top + 100);
    const HWND tabs = GetDlgItem(window, IDC_SETTINGS_TABS);
    const RECT tabRect = childRect(tabs);
    EXPECT_EQ(tabRect.right, dialogUnits(window, 7, 7, 377, 199).right + 200);
    EXPECT_EQ(tabRect.bottom, dialogUnits(window, 7, 7, 377, 199).bottom + 100);

    // The page fills the tab's client area less 1, 22, 4 and 2 pixels.
    const HWND page = dialog->componentsPage().hwnd();
    EXPECT_TRUE(IsWindowVisible(page));
    RECT tabClient{};
    GetClientRect(tabs, &tabClient);
    const RECT pageRect = childRect(page);
    EXPECT_EQ(pageRect.left, 1);
    EXPECT_EQ(pageRect.top, 22);
    EXPECT_EQ(pageRect.right, tabClient.right - 4);
    EXPECT_EQ(pageRect.bottom, tabClient.bottom - 2);
    // And the grid fills the page.
    const RECT gridRect = childRect(GetDlgItem(page, IDC_PAGE_LIST));
    EXPECT_EQ(gridRect.right, pageRect.right - pageRect.left);
    EXPECT_EQ(gridRect.bottom, pageRect.bottom - pageRect.top);

    press(window, IDCANCEL);
    pump();
    // Closing stores the rectangle it has.
    EXPECT_EQ(lastRect.left, stored.left);
    EXPECT_EQ(lastRect.bottom, stored.bottom);
}

TEST_F(SettingsDlgTest, AStoredTabThatDoesNotExistShowsNoPage)
{
    host.profile()[lastTabKey] = u"3";
    SettingsDlg* dialog = open();
    const HWND window = dialog->hwnd();
    EXPECT_FALSE(IsWindowVisible(dialog->componentsPage().hwnd()));
    press(window, IDCANCEL);
    pump();
    EXPECT_EQ(writesOf(lastTabKey), (std::vector<Write>{{lastTabKey, u"-1", true}}));
}

// Without profile services the dialog opens with 0 and stores nothing.
TEST_F(SettingsDlgTest, AHostWithoutAProfile)
{
    for (const char* name : {service::ProfileGetInt, service::ProfileSetInt, service::ProfileGetString,
                             service::ProfileSetString, service::ProfileGetDouble, service::ProfileSetDouble,
                             service::ProfileGetRect, service::ProfileSetRect})
        host.withdraw(name);
    SettingsDlg* dialog = open();
    const HWND window = dialog->hwnd();
    EXPECT_EQ(windowText(GetDlgItem(window, IDC_WATER_MASS)), u"0");
    EXPECT_TRUE(IsWindowVisible(dialog->componentsPage().hwnd()));
    SetDlgItemTextW(window, IDC_WATER_MASS, L"5.5");
    press(window, IDOK);
    pump();
    EXPECT_TRUE(writes.empty());
    EXPECT_EQ(closings(), std::vector<WPARAM>{1});
}

// The host runs no IsDialogMessage; the keys still work as in a dialog.
TEST_F(SettingsDlgTest, EnterAndEscapeInTheEditWithoutTheHostsHelp)
{
    struct Case {
        const char* name;
        WPARAM key;
        WPARAM closedWith;
        const char16_t* stored;
    };
    const Case cases[] = {{"enter", VK_RETURN, 1, u"7.5"}, {"escape", VK_ESCAPE, 2, u"3.25"}};
    for (const Case& c : cases) {
        host.profile()[waterKey] = u"3.25";
        SettingsDlg* dialog = open();
        const HWND window = dialog->hwnd();
        const HWND edit = GetDlgItem(window, IDC_WATER_MASS);
        SetWindowTextW(edit, L"7.5");
        SetFocus(edit);
        PostMessageW(edit, WM_KEYDOWN, c.key, 1);
        pump();
        EXPECT_FALSE(IsWindow(window)) << c.name;
        EXPECT_EQ(host.profile()[waterKey], c.stored) << c.name;
        ASSERT_FALSE(posted().empty()) << c.name;
        EXPECT_EQ(posted().back().wParam, c.closedWith) << c.name;
    }
}

// Enter and Escape in the name editor end the edit, not the dialog, and a
// name accepted there stays when the dialog is then cancelled.
TEST_F(SettingsDlgTest, KeysInTheNameEditorStayInTheEditor)
{
    setComponentAltName(DiethyleneGlycol, u"ДЭГ");
    SettingsDlg* dialog = open();
    const HWND window = dialog->hwnd();
    const HWND list = GetDlgItem(dialog->componentsPage().hwnd(), IDC_PAGE_LIST);
    const int deg = 1;  // sorted by number
    struct Case {
        const char* name;
        const wchar_t* text;
        WPARAM key;
        const char16_t* inForce;
    };
    const Case cases[] = {{"escape", L"другое", VK_ESCAPE, u"ДЭГ"}, {"enter", L"ДЭГ-2", VK_RETURN, u"ДЭГ-2"}};
    for (const Case& c : cases) {
        focusRow(list, deg);
        doubleClickCell(list, deg, 2);
        const HWND editor = cellEditor(list);
        ASSERT_NE(editor, nullptr) << c.name;
        SetWindowTextW(editor, c.text);
        PostMessageW(editor, WM_KEYDOWN, c.key, 1);
        pump();
        EXPECT_TRUE(IsWindow(window)) << c.name;
        EXPECT_TRUE(posted().empty()) << c.name;
        EXPECT_EQ(cellEditor(list), nullptr) << c.name;
        EXPECT_EQ(componentTable()[DiethyleneGlycol].altName, c.inForce) << c.name;
    }
    press(window, IDCANCEL);
    pump();
    EXPECT_EQ(closings(), std::vector<WPARAM>{2});
    EXPECT_EQ(componentTable()[DiethyleneGlycol].altName, u"ДЭГ-2");
}
