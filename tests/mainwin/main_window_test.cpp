// The main window over the sample laboratory: its commands by their buttons,
// the list's notifications, the profile it reads and writes, and the about
// box, all through messages to the real windows.
//
// The sample laboratory (tools/hostkit/sample_lab.cpp): assays 1 to 6 are
// the calibrations k1-grad-1..6 of column 1 (mixtures ГС-1, ГС-1, ГС-2,
// ГС-2, ГС-3, ГС-3), 7 to 9 the analysed k1-analysis-1..3, 10 to 13 the
// calibrations k2-grad-1..4 of column 2 (ГС-4, ГС-4, ГС-5, ГС-5) and 14, 15
// the analysed k2-analysis-1, 2. Every file has volume 1. Assay n was
// measured at 2026-11-01 09:00 UTC + (n - 1) · 40 minutes.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "calc/components.h"
#include "controls/grid_ctrl.h"
#include "data/database.h"
#include "host/profile_settings.h"
#include "main_window_fixture.h"
#include "res/resource_ids.h"
#include "sample_lab.h"
#include "text/string_table.h"
#include "text/wide.h"
#include "ui/dlg_main.h"
#include "ui/main_window.h"
#include "ui/settings_dlg.h"
#include "ui_fixture.h"
#include "workset/module_settings.h"

using namespace norvalt;
using namespace norvalt::test;

namespace {

class MainWindowTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        host = std::make_unique<StandInHost>();
    }
    void TearDown() override
    {
        host.reset();
        UiTest::TearDown();
    }

    // The window as the menu command opens it, shown.
    HWND openShown()
    {
        showMainWindow(owner());
        const HWND window = mainWindow();
        EXPECT_NE(window, nullptr);
        return window;
    }
    // The same window never shown: without a window manager Wine waits two
    // seconds for every shown top-level window that goes away.
    HWND open()
    {
        DlgMain* window = DlgMain::create(owner(), norvalt::host());
        EXPECT_NE(window, nullptr);
        return window ? window->hwnd() : nullptr;
    }
    // Opens the window and adds the ids through the assay dialog.
    HWND openWith(std::vector<std::int32_t> ids)
    {
        const HWND window = open();
        add(window, std::move(ids));
        return window;
    }
    void add(HWND window, std::vector<std::int32_t> ids)
    {
        host->dialogAnswers.push_back(std::move(ids));
        pressButton(window, IDC_ADD);
    }
    static HWND list(HWND window) { return GetDlgItem(window, IDC_MAIN_LIST); }
    static DlgMain& main() { return *DlgMain::current(); }
    static std::vector<std::int32_t> rowIds()
    {
        std::vector<std::int32_t> ids;
        for (int row = 0; row < main().list().rowCount(); ++row) ids.push_back(main().list().rowValue(row));
        return ids;
    }
    static std::vector<std::u16string> row(HWND window, int index)
    {
        std::vector<std::u16string> cells;
        for (int c = 0; c < 7; ++c) cells.push_back(listCell(list(window), index, c));
        return cells;
    }
    static HWND page(int index) { return main().tabs().page(index); }
    static void selectTab(HWND window, int index)
    {
        const HWND tabs = GetDlgItem(window, IDC_MAIN_TABS);
        SendMessageW(tabs, TCM_SETCURSEL, index, 0);
        NMHDR change{tabs, IDC_MAIN_TABS, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageW(window, WM_NOTIFY, IDC_MAIN_TABS, reinterpret_cast<LPARAM>(&change));
    }
    static std::vector<std::u16string> messageLines()
    {
        const HWND box = GetDlgItem(main().messagesPage().hwnd(), IDC_MESSAGES);
        std::vector<std::u16string> lines;
        const int count = static_cast<int>(SendMessageW(box, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            std::u16string line(static_cast<std::size_t>(SendMessageW(box, LB_GETTEXTLEN, i, 0)) + 1, u'\0');
            line.resize(static_cast<std::size_t>(
                SendMessageW(box, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wideBuffer(line)))));
            lines.push_back(line);
        }
        return lines;
    }
    static int calculationRows() { return listRowCount(GetDlgItem(main().calculationPage().hwnd(), IDC_PAGE_LIST)); }

    std::unique_ptr<StandInHost> host;
};

struct OwnedSearch {
    HWND owner;
    const wchar_t* className;
    std::vector<HWND> found;
};

// EnumThreadWindows calls back by the system's convention (stdcall on i686).
BOOL CALLBACK collectOwned(HWND window, LPARAM lParam)
{
    auto& s = *reinterpret_cast<OwnedSearch*>(lParam);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (GetWindow(window, GW_OWNER) == s.owner && lstrcmpiW(name, s.className) == 0 && IsWindow(window))
        s.found.push_back(window);
    return TRUE;
}

// The windows of this thread owned by `owner` with the given class name.
std::vector<HWND> ownedWindows(HWND owner, const wchar_t* className)
{
    OwnedSearch search{owner, className, {}};
    EnumThreadWindows(GetCurrentThreadId(), collectOwned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace

TEST_F(MainWindowTest, OpensWithTitleSystemMenuColumnsAndPages)
{
    const HWND window = openShown();
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetWindow(window, GW_OWNER), owner());
    EXPECT_EQ(windowText(window), loadString(IDS_CAPTION) + u" 1.0.1.0");
    EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);

    // The last two items of the system menu: a separator and the about box.
    const HMENU menu = GetSystemMenu(window, FALSE);
    const int items = GetMenuItemCount(menu);
    ASSERT_GE(items, 2);
    MENUITEMINFOW separator{};
    separator.cbSize = sizeof separator;
    separator.fMask = MIIM_FTYPE;
    GetMenuItemInfoW(menu, items - 2, TRUE, &separator);
    EXPECT_TRUE(separator.fType & MFT_SEPARATOR);
    EXPECT_EQ(GetMenuItemID(menu, items - 1), 16u);
    wchar_t text[64] = {};
    GetMenuStringW(menu, 16, text, 64, MF_BYCOMMAND);
    EXPECT_EQ(fromWide(text), u"О плагине");

    struct Column {
        std::u16string header;
        int width;
        int format;
    };
    const Column columns[] = {{u"№", 30, LVCFMT_CENTER},           {u"Имя файла", 250, LVCFMT_LEFT},
                              {u"Проба", 180, LVCFMT_LEFT},        {u"Объем", 50, LVCFMT_LEFT},
                              {u"Дата анализа", 95, LVCFMT_LEFT},  {u"Тип анализа", 80, LVCFMT_LEFT},
                              {u"Смесь", 110, LVCFMT_LEFT}};
    for (int c = 0; c < 7; ++c) {
        SCOPED_TRACE(c);
        wchar_t header[64] = {};
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = header;
        column.cchTextMax = 64;
        ASSERT_TRUE(SendMessageW(list(window), LVM_GETCOLUMNW, c, reinterpret_cast<LPARAM>(&column)));
        EXPECT_EQ(fromWide(header), columns[c].header);
        EXPECT_EQ(column.cx, columns[c].width);
        if (c > 0) {
            EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, columns[c].format);
        }
    }
    EXPECT_EQ(GetWindowLongPtrW(list(window), GWL_STYLE) & LVS_SINGLESEL, 0) << "several rows selectable";
    EXPECT_TRUE(main().list().extendedStyles() & LVS_EX_GRIDLINES);
    EXPECT_TRUE(main().list().extendedStyles() & LVS_EX_FULLROWSELECT);

    // Four tabs, each page in the tab's client area less 1, 22, 4, 2
    // pixels; the Components page shows, the others are hidden.
    const HWND tabs = GetDlgItem(window, IDC_MAIN_TABS);
    const char16_t* tabTexts[] = {u"Компоненты", u"Градуировка", u"Рассчет", u"Сообщения"};
    ASSERT_EQ(main().tabs().count(), 4);
    RECT client{};
    GetClientRect(tabs, &client);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        wchar_t label[64] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = label;
        item.cchTextMax = 64;
        SendMessageW(tabs, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(fromWide(label), tabTexts[i]);
        const RECT placed = childRect(page(i));
        EXPECT_EQ(placed.left, client.left + 1);
        EXPECT_EQ(placed.top, client.top + 22);
        EXPECT_EQ(placed.right, client.right - 4);
        EXPECT_EQ(placed.bottom, client.bottom - 2);
        EXPECT_EQ(IsWindowVisible(page(i)) != 0, i == 0);
    }
    EXPECT_EQ(page(0), main().componentsPage().hwnd());
    EXPECT_EQ(page(1), main().graduationPage().hwnd());
    EXPECT_EQ(page(2), main().calculationPage().hwnd());
    EXPECT_EQ(page(3), main().messagesPage().hwnd());
    EXPECT_EQ(currentMessageList(), &main().messages());

    selectTab(window, 2);
    EXPECT_FALSE(IsWindowVisible(page(0)));
    EXPECT_TRUE(IsWindowVisible(page(2)));
}

TEST_F(MainWindowTest, ButtonsShowIconsAndBalloonTips)
{
    const HWND window = open();
    struct Button {
        int id;
        std::u16string tip;
    };
    const Button buttons[] = {{IDC_ADD, u"Добавить хроматограмму"},
                              {IDC_REMOVE, u"Удалить выбранную хроматограмму"},
                              {IDC_REMOVE_ALL, u"Удалить все хроматограммы"},
                              {IDC_OPEN, u"Открыть хроматограмму"},
                              {IDC_RELOAD, u"Пересчитать"},
                              {IDC_SETTINGS, u"Настройки"},
                              {IDC_REPORT, u"Создать отчет"},
                              {IDC_ABOUT, u"О плагине"}};
    const std::vector<HWND> tips = ownedWindows(window, TOOLTIPS_CLASSW);
    ASSERT_EQ(tips.size(), 1u);
    const HWND tip = tips[0];
    EXPECT_TRUE(GetWindowLongPtrW(tip, GWL_STYLE) & TTS_BALLOON);
    EXPECT_TRUE(GetWindowLongPtrW(tip, GWL_STYLE) & TTS_ALWAYSTIP);
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 8);
    for (const Button& b : buttons) {
        SCOPED_TRACE(b.id);
        const HWND button = GetDlgItem(window, b.id);
        EXPECT_TRUE(IsWindowEnabled(button));
        const auto icon = reinterpret_cast<HICON>(SendMessageW(button, BM_GETIMAGE, IMAGE_ICON, 0));
        ASSERT_NE(icon, nullptr);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP mask{};
        GetObjectW(info.hbmMask, sizeof mask, &mask);
        EXPECT_EQ(mask.bmWidth, 16);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);

        wchar_t text[128] = {};
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = window;
        tool.uId = reinterpret_cast<UINT_PTR>(button);
        tool.lpszText = text;
        SendMessageW(tip, TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&tool));
        EXPECT_EQ(fromWide(text), b.tip);
    }
}

namespace {

// The messages relayed to a tooltip, caught by replacing its procedure.
std::vector<MSG> relayed;
WNDPROC tooltipProc = nullptr;
LRESULT CALLBACK recordRelay(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == TTM_RELAYEVENT) relayed.push_back(*reinterpret_cast<const MSG*>(lParam));
    return CallWindowProcW(tooltipProc, window, message, wParam, lParam);
}

} // namespace

TEST_F(MainWindowTest, TheCursorsMouseMessageIsRelayedToTheTooltip)
{
    const HWND window = open();
    const std::vector<HWND> tips = ownedWindows(window, TOOLTIPS_CLASSW);
    ASSERT_EQ(tips.size(), 1u);
    relayed.clear();
    tooltipProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(tips[0], GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(recordRelay)));
    const HWND button = GetDlgItem(window, IDC_REPORT);
    struct Case {
        UINT cause;
        bool relayed;
    };
    // Mouse messages are relayed with the window under the mouse; a cursor
    // set for any other reason is not.
    const Case cases[] = {{WM_MOUSEMOVE, true}, {WM_LBUTTONDOWN, true}, {0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cause);
        relayed.clear();
        SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(button), MAKELPARAM(HTCLIENT, c.cause));
        ASSERT_EQ(relayed.size(), c.relayed ? 1u : 0u);
        if (c.relayed) {
            EXPECT_EQ(relayed[0].hwnd, button);
            EXPECT_EQ(relayed[0].message, c.cause);
        }
    }
    SetWindowLongPtrW(tips[0], GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(tooltipProc));
}

TEST_F(MainWindowTest, AHostWithoutAProfile)
{
    for (const char* name : {service::ProfileGetInt, service::ProfileSetInt, service::ProfileGetString,
                             service::ProfileSetString, service::ProfileGetDouble, service::ProfileSetDouble,
                             service::ProfileGetRect, service::ProfileSetRect})
        host->local.withdraw(name);
    host->local.profile().clear();
    const HWND window = openWith({10, 11, 12, 13, 14, 15});
    // No water mass fraction: 0.0, which no determination takes.
    EXPECT_EQ(main().set().waterMassFractionSetting(), 0.0);
    EXPECT_EQ(componentTable()[1].altName, componentTable()[1].name);
    const auto lines = messageLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), u"    1. " + loadString(IDS_ERR_WATER_MASS)), lines.end());
    RECT r{};
    GetWindowRect(window, &r);
    MINMAXINFO limits{};
    SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(r.right - r.left, limits.ptMinTrackSize.x) << "the template's size";
    DestroyWindow(window);
    EXPECT_TRUE(host->local.profile().empty()) << "nothing stored";
}

TEST_F(MainWindowTest, AddFillsTheListAndSelectsTheLastRow)
{
    const HWND window = openWith({1, 7});
    EXPECT_EQ(host->dialogCalls, 1);
    ASSERT_EQ(main().list().rowCount(), 2);
    // Assay 1 at 09:00, assay 7 six steps of 40 minutes later, 13:00 (UTC,
    // the time zone of the test machine).
    const std::vector<std::u16string> first{u"1",     u"k1-grad-1.stg",           u"Градуировка ГС-1", u"1.000",
                                            u"01.11.26   09:00", u"Град. 1 колонка (c ТЭГ)", u"ГС-1"};
    const std::vector<std::u16string> second{u"2",     u"k1-analysis-1.stg", u"Партия 2611-01", u"1.000",
                                             u"01.11.26   13:00", u"Анализ. 1 колонка", u""};
    EXPECT_EQ(row(window, 0), first);
    EXPECT_EQ(row(window, 1), second);
    EXPECT_EQ(rowIds(), (std::vector<std::int32_t>{1, 7}));

    // The last row is the selected chromatogram, and no row stays highlighted.
    EXPECT_EQ(main().set().selectedAssayId(), 7);
    EXPECT_TRUE(main().list().selectedRows().empty());
    // Its six peaks on the Components page, by retention time.
    const HWND peaks = GetDlgItem(main().componentsPage().hwnd(), IDC_PAGE_LIST);
    EXPECT_EQ(columnTexts(peaks, 1), (std::vector<std::u16string>{u"Вода", u"Этиленгликоль", u"н/и",
                                                                    u"Диэтиленгликоль", u"Нонанол-1",
                                                                    u"Триэтиленгликоль"}));
    EXPECT_EQ(listCell(peaks, 0, 2), u"12.500");
    EXPECT_EQ(listCell(peaks, 0, 3), u"0.92");
}

TEST_F(MainWindowTest, AddSkipsIdsAlreadyThereAndWhatDoesNotLoad)
{
    struct Case {
        const char* name;
        std::vector<std::vector<std::int32_t>> dialogs;
        std::vector<std::int32_t> rows;
        std::int32_t selected;
    };
    const Case cases[] = {
        // 7 is there already: only 2 joins, at the end, and is selected.
        {"duplicate", {{1, 7}, {7, 2}}, {1, 7, 2}, 2},
        // 999 is no assay: the last existing row is selected again.
        {"nothing loads", {{1, 7}, {999}}, {1, 7}, 7},
        // Into an empty set: nothing to select, -1 as the window opened.
        {"empty and nothing loads", {{999}}, {}, -1},
        // The dialog closed without a choice changes nothing.
        {"no choice", {{1}, {}}, {1}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const HWND window = open();
        for (const auto& ids : c.dialogs) add(window, ids);
        EXPECT_EQ(host->dialogCalls, static_cast<int>(c.dialogs.size()));
        EXPECT_EQ(rowIds(), c.rows);
        EXPECT_EQ(main().set().selectedAssayId(), c.selected);
        DestroyWindow(window);
        host->dialogCalls = 0;
    }
}

TEST_F(MainWindowTest, ANestedAddDoesNotOpenTheDialogAgain)
{
    const HWND window = open();
    host->duringDialog = [&] { pressButton(window, IDC_ADD); };
    add(window, {1, 2});
    EXPECT_EQ(host->dialogCalls, 1);
    EXPECT_EQ(rowIds(), (std::vector<std::int32_t>{1, 2}));
}

TEST_F(MainWindowTest, AddWithoutTheDialogServiceChangesNothing)
{
    const HWND window = open();
    host->local.withdraw(service::OpenAssayIdDlg);
    pressButton(window, IDC_ADD);
    EXPECT_EQ(main().list().rowCount(), 0);
    EXPECT_TRUE(notifier.notices.empty());
}

TEST_F(MainWindowTest, SelectingARowRecalculatesAndFillsTheHiddenComponentsPage)
{
    const HWND window = openWith({10, 11, 12, 13, 14, 15});
    selectTab(window, 3);
    ASSERT_FALSE(GetWindowLongPtrW(main().componentsPage().hwnd(), GWL_STYLE) & WS_VISIBLE);
    // Row 0 is assay 10, a calibration: the determination needs an
    // analysed chromatogram and says so.
    focusRow(list(window), 0);
    EXPECT_EQ(main().set().selectedAssayId(), 10);
    const HWND peaks = GetDlgItem(main().componentsPage().hwnd(), IDC_PAGE_LIST);
    EXPECT_EQ(columnTexts(peaks, 1), (std::vector<std::u16string>{u"Этиленгликоль", u"Диэтиленгликоль",
                                                                    u"Бензиловый спирт", u"Триэтиленгликоль"}));
    const auto lines = messageLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), u"    1. " + loadString(IDS_ERR_SELECTED_NOT_ANALYSIS)),
              lines.end());

    // Extending the selection with row 5 (assay 15, analysed) makes it the
    // selected one; the calculation shows its rows.
    focusRow(list(window), 5);
    EXPECT_EQ(main().set().selectedAssayId(), 15);
    EXPECT_EQ(main().list().selectedRows(), (std::vector<int>{0, 5}));
    EXPECT_GT(calculationRows(), 0);
    EXPECT_EQ(listRowCount(peaks), 6);
}

TEST_F(MainWindowTest, RemoveSelectedAndRemoveAll)
{
    const HWND window = openWith({1, 7, 2});
    focusRow(list(window), 0);
    focusRow(list(window), 2);
    ASSERT_EQ(main().set().selectedAssayId(), 2);
    pressButton(window, IDC_REMOVE);
    // One row left, numbered 1; the Components page is empty.
    EXPECT_EQ(rowIds(), (std::vector<std::int32_t>{7}));
    EXPECT_EQ(listCell(list(window), 0, 0), u"1");
    EXPECT_EQ(listRowCount(GetDlgItem(main().componentsPage().hwnd(), IDC_PAGE_LIST)), 0);
    EXPECT_EQ(main().set().selectedAssayId(), 2) << "removals do not change the selected id";

    // Nothing selected: nothing removed.
    pressButton(window, IDC_REMOVE);
    EXPECT_EQ(rowIds(), (std::vector<std::int32_t>{7}));

    add(window, {10, 11, 12, 13, 14, 15});
    ASSERT_GT(calculationRows(), 0);
    ASSERT_GT(SendDlgItemMessageW(main().graduationPage().hwnd(), IDC_GRAD_COMPONENT, CB_GETCOUNT, 0, 0), 0);
    pressButton(window, IDC_REMOVE_ALL);
    EXPECT_EQ(main().list().rowCount(), 0);
    EXPECT_EQ(listRowCount(GetDlgItem(main().componentsPage().hwnd(), IDC_PAGE_LIST)), 0);
    EXPECT_EQ(calculationRows(), 0);
    EXPECT_EQ(SendDlgItemMessageW(main().graduationPage().hwnd(), IDC_GRAD_COMPONENT, CB_GETCOUNT, 0, 0), 0);
    EXPECT_TRUE(messageLines().empty());
    EXPECT_TRUE(main().messages().empty());
    EXPECT_EQ(main().set().selectedAssayId(), 15);
}

TEST_F(MainWindowTest, OpenAndDoubleClickAskTheHostForTheSelectedFiles)
{
    const HWND window = openWith({1, 7, 2});
    focusRow(list(window), 2);
    focusRow(list(window), 0);
    pressButton(window, IDC_OPEN);
    // In list order, whatever order they were selected in.
    ASSERT_EQ(host->openedFiles.size(), 2u);
    EXPECT_EQ(std::filesystem::path(host->openedFiles[0]).filename(), "k1-grad-1.stg");
    EXPECT_EQ(std::filesystem::path(host->openedFiles[1]).filename(), "k1-grad-2.stg");

    host->openedFiles.clear();
    main().list().clearSelection();
    focusRow(list(window), 1);
    doubleClickCell(list(window), 1, 1);
    ASSERT_EQ(host->openedFiles.size(), 1u);
    EXPECT_EQ(std::filesystem::path(host->openedFiles[0]).filename(), "k1-analysis-1.stg");
    EXPECT_EQ(cellEditor(list(window)), nullptr) << "the main list's cells are not editable";
}

TEST_F(MainWindowTest, AHeaderClickDoesNotSortTheList)
{
    // By file name these would go k1-analysis-1, k1-grad-1, k1-grad-2.
    const HWND window = openWith({2, 7, 1});
    for (int column = 0; column < 7; ++column) {
        SCOPED_TRACE(column);
        clickHeader(list(window), column);
        EXPECT_EQ(rowIds(), (std::vector<std::int32_t>{2, 7, 1}));
    }
}

TEST_F(MainWindowTest, AnOpenSettingsDialogGoesWithTheWindow)
{
    const HWND window = open();
    pressButton(window, IDC_SETTINGS);
    const std::vector<HWND> dialogs = ownedWindows(window, L"#32770");
    ASSERT_EQ(dialogs.size(), 1u);
    DestroyWindow(window);
    EXPECT_FALSE(IsWindow(dialogs[0]));
    // It stored its place as its own closing does.
    EXPECT_EQ(host->local.profile().count(u"plugins\\kestrin\\Settings/WState"), 1u);
    EXPECT_EQ(DlgMain::current(), nullptr);
}

TEST_F(MainWindowTest, ReloadReadsTheDatabaseAgain)
{
    const HWND window = openWith({14, 10, 11, 12, 13, 15});
    focusRow(list(window), 0);
    ASSERT_EQ(main().set().selectedAssayId(), 14);
    pressButton(window, IDC_RELOAD);
    EXPECT_EQ(host->dialogCalls, 1) << "a reload asks the host for nothing";
    std::vector<std::int32_t> ids = rowIds();
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (std::vector<std::int32_t>{10, 11, 12, 13, 14, 15}));
    // The last row of the rebuilt list is the selected chromatogram again.
    EXPECT_EQ(main().set().selectedAssayId(), main().list().rowValue(5));
    EXPECT_TRUE(main().list().selectedRows().empty());
}

TEST_F(MainWindowTest, AnUnreadableDatabaseIsToldAndTheWindowStaysUsable)
{
    const HWND window = openWith({1, 7});
    connection().uri = (std::filesystem::temp_directory_path() / "no-such-folder" / "lab.db").u16string();
    add(window, {2});
    pressButton(window, IDC_RELOAD);
    // Both commands told the user, each in a box owned by the window; the
    // set is as it was.
    ASSERT_EQ(notifier.notices.size(), 2u);
    for (const auto& notice : notifier.notices) EXPECT_EQ(notice.owner.window, window);
    EXPECT_EQ(rowIds(), (std::vector<std::int32_t>{1, 7}));

    connection().uri = sampleLabDatabase().u16string();
    add(window, {2});
    EXPECT_EQ(rowIds(), (std::vector<std::int32_t>{1, 7, 2}));
}

TEST_F(MainWindowTest, AFileRemovedBetweenAddAndReloadIsToldAndTheAssayStays)
{
    // A laboratory of its own, since a file of it goes.
    const auto dir = std::filesystem::temp_directory_path() / "norvalt-main-window-lab-removed";
    connection().uri = writeSampleLab(dir).u16string();
    const HWND window = openWith({1, 7});
    ASSERT_EQ(listCell(list(window), 1, 3), u"1.000");
    std::filesystem::remove(dir / "chromatograms" / "k1-analysis-1.stg");
    pressButton(window, IDC_RELOAD);
    // One warning naming the file; the assay is still there, without the
    // volume that only the file knows.
    ASSERT_EQ(notifier.notices.size(), 1u);
    EXPECT_EQ(notifier.notices[0].kind, NoticeKind::Warning);
    EXPECT_NE(notifier.notices[0].text.find(u"k1-analysis-1.stg"), std::u16string::npos);
    std::vector<std::int32_t> ids = rowIds();
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (std::vector<std::int32_t>{1, 7}));
    const int row = main().list().findRowByValue(7);
    EXPECT_EQ(listCell(list(window), row, 3), u"0.000");
    add(window, {2});
    EXPECT_EQ(main().list().rowCount(), 3);
}

TEST_F(MainWindowTest, AFailingCommandIsToldAtTheWindowsEdge)
{
    const HWND window = openWith({1, 7});
    host->local.offer(service::OpenAssayFile, [](HostArg, HostArg) -> HostResult {
        throw std::runtime_error("host refused");
    });
    focusRow(list(window), 0);
    pressButton(window, IDC_OPEN);
    ASSERT_EQ(notifier.notices.size(), 1u);
    EXPECT_NE(notifier.notices[0].text.find(u"host refused"), std::u16string::npos);

    EXPECT_TRUE(IsWindow(window));
    add(window, {2});
    EXPECT_EQ(rowIds(), (std::vector<std::int32_t>{1, 7, 2}));
}

TEST_F(MainWindowTest, SettingsClosedRereadsTheWaterAndRecalculatesOnlyAfterOk)
{
    struct Case {
        WPARAM how;
        bool recalculated;
    };
    const Case cases[] = {{1, true}, {2, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        const HWND window = openWith({10, 11, 12, 13, 14, 15});
        host->local.profile()[u"plugins\\kestrin\\Settings/WaterMass"] = u"12.5";
        // A marker that a recalculation empties together with the list.
        main().messages().addMessage(MessageLevel::Information, u"marker");
        SendMessageW(window, SettingsClosedMessage, c.how, 0);
        EXPECT_EQ(main().set().waterMassFractionSetting(), 12.5);
        const auto& information = main().messages().messages(MessageLevel::Information);
        const bool markerKept = std::find(information.begin(), information.end(), u"marker") != information.end();
        EXPECT_EQ(markerKept, !c.recalculated);
        DestroyWindow(window);
    }
}

TEST_F(MainWindowTest, OneSettingsDialogAtATime)
{
    const HWND window = open();
    pressButton(window, IDC_SETTINGS);
    pressButton(window, IDC_SETTINGS);
    EXPECT_TRUE(main().settingsOpen());
    const std::vector<HWND> dialogs = ownedWindows(window, L"#32770");
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(windowText(dialogs[0]), u"Настройки");

    host->local.profile()[u"plugins\\kestrin\\Settings/WaterMass"] = u"3.5";
    pressButton(dialogs[0], IDCANCEL);
    pump();  // the dialog posts its closing
    EXPECT_FALSE(main().settingsOpen());
    EXPECT_EQ(main().set().waterMassFractionSetting(), 3.5);
    pressButton(window, IDC_SETTINGS);
    EXPECT_EQ(ownedWindows(window, L"#32770").size(), 1u) << "a new one after the first closed";
}

TEST_F(MainWindowTest, ReportWithAndWithoutTheTemplateService)
{
    const HWND window = openWith({10, 11, 12, 13, 14, 15});
    pressButton(window, IDC_REPORT);
    ASSERT_EQ(host->reports.size(), 1u);
    EXPECT_TRUE(notifier.notices.empty());
    const std::filesystem::path html(host->reports[0]);
    ASSERT_TRUE(std::filesystem::exists(html));
    EXPECT_GT(std::filesystem::file_size(html), 0u);
    std::filesystem::remove(html);

    host->local.withdraw(service::TemplatePath);
    pressButton(window, IDC_REPORT);
    // Message 138 owned by the window; the report still tried, without a
    // template to find, and told its own failure.
    ASSERT_GE(notifier.notices.size(), 1u);
    EXPECT_EQ(notifier.notices[0].text, u"Не найден сервис поиска шаблона");
    EXPECT_EQ(notifier.notices[0].kind, NoticeKind::Error);
    EXPECT_EQ(notifier.notices[0].owner.window, window);
    EXPECT_EQ(host->reports.size(), 1u);
}

namespace {

// What the about box showed, read by a timer while it runs modally.
struct AboutSeen {
    HWND owner = nullptr;
    int opened = 0;
    std::u16string caption;
    int iconWidth = 0;
    bool versionShown = false;
};
AboutSeen* seen = nullptr;

void CALLBACK readAndCloseAbout(HWND, UINT, UINT_PTR timer, DWORD)
{
    const std::vector<HWND> boxes = ownedWindows(seen->owner, L"#32770");
    if (boxes.empty()) return;
    KillTimer(nullptr, timer);
    const HWND box = boxes[0];
    ++seen->opened;
    seen->caption = windowText(box);
    const auto icon = reinterpret_cast<HICON>(SendDlgItemMessageW(box, IDC_ABOUT_ICON, STM_GETICON, 0, 0));
    ICONINFO info{};
    if (icon && GetIconInfo(icon, &info)) {
        BITMAP mask{};
        GetObjectW(info.hbmMask, sizeof mask, &mask);
        seen->iconWidth = mask.bmWidth;
        if (info.hbmColor) DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (windowText(child) == u"Версия: 1.0.1.0") seen->versionShown = true;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

} // namespace

TEST_F(MainWindowTest, TheAboutBoxFromItsButtonAndTheSystemMenu)
{
    const HWND window = open();
    AboutSeen about;
    about.owner = window;
    seen = &about;
    struct Way {
        const char* name;
        UINT message;
        WPARAM wParam;
        int opened;  // boxes seen so far
    };
    const Way ways[] = {
        {"button", WM_COMMAND, MAKEWPARAM(IDC_ABOUT, BN_CLICKED), 1},
        {"menu item 16", WM_SYSCOMMAND, 16, 2},
        {"any id of 16 to 31", WM_SYSCOMMAND, 31, 3},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        SetTimer(nullptr, 0, 50, readAndCloseAbout);
        SendMessageW(window, way.message, way.wParam, way.message == WM_COMMAND ? reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_ABOUT)) : 0);
        EXPECT_EQ(about.opened, way.opened);
    }
    EXPECT_EQ(about.caption, u"О плагине");
    EXPECT_EQ(about.iconWidth, 80);
    EXPECT_TRUE(about.versionShown);
    seen = nullptr;
}

TEST_F(MainWindowTest, ClosingStoresThePlaceAndNamesAndTheNextWindowStartsEmpty)
{
    struct Way {
        const char* name;
        UINT message;
        WPARAM wParam;
    };
    const Way ways[] = {{"OK", WM_COMMAND, IDOK}, {"Cancel", WM_COMMAND, IDCANCEL}, {"close box", WM_CLOSE, 0}};
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        host->local.profile().clear();
        HWND window = openWith({1, 7});
        // Larger than the template, which is the smallest the window can be.
        SetWindowPos(window, nullptr, 40, 30, 1200, 800, SWP_NOZORDER);
        setComponentAltName(1, u"ДЭГ");
        SendMessageW(window, way.message, way.wParam, 0);
        pump();  // the close box posts its Cancel
        EXPECT_FALSE(IsWindow(window));
        EXPECT_EQ(DlgMain::current(), nullptr);

        auto& profile = host->local.profile();
        EXPECT_FALSE(profile[u"plugins\\kestrin\\/WState"].empty());
        EXPECT_EQ(profile[u"plugins\\kestrin\\Settings\\Components/compAltName_01"], u"ДЭГ");
        for (int id = 0; id < 6; ++id)
            EXPECT_EQ(profile.count(u"plugins\\kestrin\\Settings\\Components/" + componentAltNameKey(id)), 1u);

        // The names come back from the profile, not from memory.
        setComponentAltName(1, u"something else");
        window = open();
        EXPECT_EQ(main().list().rowCount(), 0);
        RECT r{};
        GetWindowRect(window, &r);
        EXPECT_EQ(r.left, 40);
        EXPECT_EQ(r.top, 30);
        EXPECT_EQ(r.right - r.left, 1200);
        EXPECT_EQ(r.bottom - r.top, 800);
        EXPECT_EQ(componentTable()[1].altName, u"ДЭГ");
        DestroyWindow(window);
    }
}

TEST_F(MainWindowTest, ALargerStoredPlaceSplitsTheHeightAndKeepsTheTemplateAsMinimum)
{
    HWND window = open();
    RECT start{};
    GetWindowRect(window, &start);
    const RECT list0 = childRect(GetDlgItem(window, IDC_MAIN_LIST));
    const RECT tabs0 = childRect(GetDlgItem(window, IDC_MAIN_TABS));
    const RECT add0 = childRect(GetDlgItem(window, IDC_ADD));
    DestroyWindow(window);

    // 200 pixels wider and 300 higher: the list takes the 200 and half of
    // the 300 (150), the tab control moves down 150 and grows by 150 too.
    ProfileSettings(norvalt::host()).setRect(u"", u"WState",
                                          {start.left, start.top, start.right + 200, start.bottom + 300});
    window = open();
    const RECT list1 = childRect(GetDlgItem(window, IDC_MAIN_LIST));
    const RECT tabs1 = childRect(GetDlgItem(window, IDC_MAIN_TABS));
    EXPECT_EQ(list1.right - list1.left, list0.right - list0.left + 200);
    EXPECT_EQ(list1.bottom - list1.top, list0.bottom - list0.top + 150);
    EXPECT_EQ(tabs1.top, tabs0.top + 150);
    EXPECT_EQ(tabs1.bottom - tabs1.top, tabs0.bottom - tabs0.top + 150);
    EXPECT_EQ(tabs1.right - tabs1.left, tabs0.right - tabs0.left + 200);
    // Resized while open, the pages follow the tab control with the same
    // insets.
    RECT now{};
    GetWindowRect(window, &now);
    SetWindowPos(window, nullptr, 0, 0, now.right - now.left + 100, now.bottom - now.top + 100,
                 SWP_NOMOVE | SWP_NOZORDER);
    RECT client{};
    GetClientRect(GetDlgItem(window, IDC_MAIN_TABS), &client);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const RECT placed = childRect(page(i));
        EXPECT_EQ(placed.right, client.right - 4);
        EXPECT_EQ(placed.bottom, client.bottom - 2);
    }
    const RECT add1 = childRect(GetDlgItem(window, IDC_ADD));
    EXPECT_EQ(add1.left, add0.left) << "the buttons keep their place";
    EXPECT_EQ(add1.top, add0.top);

    // The smallest size is the template's, not the stored one.
    MINMAXINFO limits{};
    SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, start.right - start.left);
    EXPECT_EQ(limits.ptMinTrackSize.y, start.bottom - start.top);
}

TEST_F(MainWindowTest, TheMenuCommandShowsTheOneWindowRestored)
{
    const HWND window = openShown();
    ShowWindow(window, SW_MINIMIZE);
    showMainWindow(owner());
    EXPECT_EQ(mainWindow(), window) << "at most one main window";
    EXPECT_FALSE(IsIconic(window));
    EXPECT_TRUE(IsWindowVisible(window));
    ShowWindow(window, SW_MAXIMIZE);
    showMainWindow(owner());
    EXPECT_FALSE(IsZoomed(window));
}
