// The grid driven as its owners and the user drive it: messages to the real
// windows, found by control id, under a plain top-level window and under a
// dialog (which answers through DWLP_MSGRESULT).
#include "controls/grid_ctrl.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "text/wide.h"

using namespace norvalt;

namespace {

constexpr int gridId = 1008;
using Texts = std::vector<std::u16string>;

struct Received {
    UINT code;
    HWND from;
    UINT_PTR id;
    int first;
    int second;
};

// The window that owns the grid: records the grid's notifications and the
// item changes passed on to it, and answers from a table (0 for a code it
// has no answer for, like a parent that does not handle it).
struct Owner {
    std::vector<Received> received;
    std::vector<NMLISTVIEW> itemChanges;
    std::map<UINT, std::function<LRESULT(const NMHDR*)>> answers;
    int okCommands = 0;
    std::int32_t doubleClickResult = 0; // written through the record's result pointer

    int count(UINT code) const
    {
        int n = 0;
        for (const auto& r : received) n += r.code == code;
        return n;
    }
    Received last(UINT code) const
    {
        for (auto r = received.rbegin(); r != received.rend(); ++r)
            if (r->code == code) return *r;
        return {0, nullptr, 0, -99, -99};
    }
    LRESULT onNotify(const NMHDR* hdr)
    {
        if (hdr->code >= GRIDN_CELLCHANGED && hdr->code <= GRIDN_COLUMNRESIZED) {
            const auto* record = reinterpret_cast<const GridNotifyCell*>(hdr);
            received.push_back({hdr->code, hdr->hwndFrom, hdr->idFrom, record->row, record->column});
        } else if (hdr->code == GRIDN_DBLCLICK) {
            const auto* record = reinterpret_cast<const GridNotifyDblClick*>(hdr);
            received.push_back({hdr->code, hdr->hwndFrom, hdr->idFrom, record->activation->iItem,
                                record->activation->iSubItem});
            *record->result = doubleClickResult;
        } else if (hdr->code == LVN_ITEMCHANGED) {
            itemChanges.push_back(*reinterpret_cast<const NMLISTVIEW*>(hdr));
        }
        auto answer = answers.find(hdr->code);
        return answer == answers.end() ? 0 : answer->second(hdr);
    }
};

LRESULT CALLBACK ownerWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (owner && message == WM_NOTIFY) return owner->onNotify(reinterpret_cast<const NMHDR*>(lParam));
    if (owner && message == WM_COMMAND && LOWORD(wParam) == IDOK) ++owner->okCommands;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

INT_PTR CALLBACK ownerDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!owner || (message != WM_NOTIFY && message != WM_COMMAND)) return FALSE;
    if (message == WM_COMMAND) owner->okCommands += LOWORD(wParam) == IDOK;
    else SetWindowLongPtrW(dialog, DWLP_MSGRESULT, owner->onNotify(reinterpret_cast<const NMHDR*>(lParam)));
    return TRUE;
}

// A dialog template in memory: a default OK button and, when asked for, the
// list view 1008 (in icon view).
std::vector<WORD> dialogTemplate(bool withList)
{
    std::vector<WORD> t;
    auto dword = [&](DWORD v) { t.insert(t.end(), {LOWORD(v), HIWORD(v)}); };
    auto text = [&](std::u16string_view s) { t.insert(t.end(), s.begin(), s.end()), t.push_back(0); };
    auto item = [&](DWORD style, std::initializer_list<WORD> box, WORD id, std::u16string_view className) {
        if (t.size() % 2) t.push_back(0); // items start on a DWORD
        dword(style), dword(0), t.insert(t.end(), box), t.push_back(id);
        if (className.empty()) t.insert(t.end(), {0xFFFF, 0x0080}), text(u"OK"); // a button
        else text(className), text(u"");
        t.push_back(0); // no creation data
    };
    dword(WS_POPUP | WS_CAPTION | DS_SETFONT | DS_MODALFRAME), dword(0);
    t.insert(t.end(), {static_cast<WORD>(withList ? 2 : 1), 10, 10, 330, 210, 0, 0});
    text(u"Grid in a dialog"), t.push_back(8), text(u"MS Shell Dlg");
    item(WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, {270, 190, 50, 14}, IDOK, u"");
    if (withList) item(WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_ICON, {5, 5, 320, 170}, gridId, u"SysListView32");
    return t;
}

void pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) TranslateMessage(&message), DispatchMessageW(&message);
}

LPARAM at(POINT p)
{
    return MAKELPARAM(p.x, p.y);
}

LRESULT notifyFromHeader(HWND list, UINT code, int column, HDITEMW* item)
{
    NMHEADERW n{};
    n.hdr = {ListView_GetHeader(list), static_cast<UINT_PTR>(GetDlgCtrlID(ListView_GetHeader(list))), code};
    n.iItem = column;
    n.pitem = item;
    return SendMessageW(list, WM_NOTIFY, n.hdr.idFrom, reinterpret_cast<LPARAM>(&n));
}

enum class ParentKind { window, dialog };

// The parents live for the whole program: under Xvfb without a window
// manager every destroyed top-level window costs Wine a two-second wait. Each
// test gets a new list view in them and its own owner.
class GridTest : public ::testing::TestWithParam<ParentKind> {
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = ownerWindowProc;
        windowClass.hInstance = instance;
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = L"NorvaltGridTestOwner";
        RegisterClassW(&windowClass);
        windows[0] = CreateWindowExW(0, L"NorvaltGridTestOwner", L"Grid", WS_OVERLAPPEDWINDOW, 20, 20, 560, 420,
                                     nullptr, nullptr, instance, nullptr);
        CreateWindowExW(0, WC_BUTTONW, L"OK", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 440, 330, 90, 26, windows[0],
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDOK)), instance, nullptr);
        auto buttonOnly = dialogTemplate(false);
        windows[1] = CreateDialogIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(buttonOnly.data()),
                                                nullptr, ownerDialogProc, 0);
    }
    static void TearDownTestSuite()
    {
        for (HWND window : windows) DestroyWindow(window);
        pump();
    }
    int ownerSlot() const { return GetParam() == ParentKind::window ? GWLP_USERDATA : DWLP_USER; }

    void SetUp() override
    {
        parent_ = windows[GetParam() == ParentKind::window ? 0 : 1];
        ASSERT_NE(parent_, nullptr);
        SetWindowLongPtrW(parent_, ownerSlot(), reinterpret_cast<LONG_PTR>(&owner_));
        RECT client{};
        GetClientRect(parent_, &client);
        HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_BORDER | WS_TABSTOP | LVS_REPORT, 8, 8,
                                    client.right - 16, client.bottom - 90, parent_,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(gridId)), nullptr, nullptr);
        ASSERT_TRUE(grid_.attach(parent_, gridId));
        ShowWindow(list, SW_SHOW);
        ShowWindow(parent_, SW_SHOW);
        SetForegroundWindow(parent_);
        pump();
    }
    void TearDown() override
    {
        DestroyWindow(list());
        pump();
        SetWindowLongPtrW(parent_, ownerSlot(), 0);
    }

    HWND list() const { return GetDlgItem(parent_, gridId); }
    HWND header() const { return ListView_GetHeader(list()); }
    HWND editor() const { return GetDlgItem(list(), CGridCtrl::editorId); }

    // № (centre), a number (right), a name (left), a date (left); rows of
    // the three texts whose orders differ as numbers and as text, and dates
    // in a third order. Each row's value is its number times 100.
    void fillThree()
    {
        const GridColumn columns[] = {
            {u"№", 40, GridAlign::centre, GridSortKind::none},
            {u"Площадь", 90, GridAlign::right, GridSortKind::number},
            {u"Имя", 120, GridAlign::left, GridSortKind::text},
            {u"Дата", 140, GridAlign::left, GridSortKind::date},
        };
        grid_.insertColumns(columns);
        const char16_t* rows[][3] = {{u"10", u"10", u"2024-02-01"}, {u"9", u"9", u"2023-12-31"},
                                     {u"100", u"100", u"2024-01-15"}};
        for (auto& cells : rows) {
            int row = grid_.appendRow();
            grid_.setRowNumber(row, row + 1);
            for (int c = 1; c <= 3; ++c) grid_.setCellText(row, c, cells[c - 1]);
            grid_.setRowValue(row, (row + 1) * 100);
        }
        owner_.answers[GRIDN_SORTKIND] = [this](const NMHDR* hdr) {
            return static_cast<LRESULT>(grid_.columnSortKind(reinterpret_cast<const GridNotifySort*>(hdr)->column));
        };
    }
    Texts column(int c) const
    {
        Texts texts;
        for (int row = 0; row < grid_.rowCount(); ++row) texts.push_back(grid_.cellText(row, c));
        return texts;
    }
    void clickHeader(int c)
    {
        RECT r{};
        Header_GetItemRect(header(), c, &r);
        POINT middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        SendMessageW(header(), WM_LBUTTONDOWN, MK_LBUTTON, at(middle));
        SendMessageW(header(), WM_LBUTTONUP, 0, at(middle));
        pump();
    }
    int sortMark(int c) const
    {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        Header_GetItem(header(), c, &item);
        return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
    }
    void doubleClick(int row, int c)
    {
        RECT r{};
        ListView_GetSubItemRect(list(), 2, c, LVIR_BOUNDS, &r);
        int height = r.bottom - r.top;
        POINT p{r.left + 10, r.top + (row - 2) * height + height / 2}; // rows past the last one too
        SendMessageW(list(), WM_LBUTTONDBLCLK, MK_LBUTTON, at(p));
        SendMessageW(list(), WM_LBUTTONUP, 0, at(p));
        pump();
    }
    bool focused(int row) const { return ListView_GetItemState(list(), row, LVIS_FOCUSED) != 0; }
    void answer(UINT code, LRESULT value)
    {
        owner_.answers[code] = [value](const NMHDR*) { return value; };
    }
    void type(std::u16string text) { SetWindowTextW(editor(), wide(text)); }

    static HWND windows[2];
    Owner owner_;
    CGridCtrl grid_;
    HWND parent_ = nullptr;
};

HWND GridTest::windows[2] = {};

TEST(GridAttach, AListOfADialogTemplateBecomesAReportWithExactlyTheBaseStyles)
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    auto withList = dialogTemplate(true);
    HWND dialog = CreateDialogIndirectParamW(nullptr, reinterpret_cast<const DLGTEMPLATE*>(withList.data()), nullptr,
                                             ownerDialogProc, 0);
    HWND list = GetDlgItem(dialog, gridId);
    ASSERT_NE(list, nullptr);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES | LVS_EX_TRACKSELECT);
    {
        CGridCtrl grid;
        ASSERT_TRUE(grid.attach(dialog, gridId));
        EXPECT_EQ(GetWindowLongPtrW(list, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
        // 0x421 = grid lines 0x1 | full-row selection 0x20 | info tips 0x400.
        EXPECT_EQ(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), 0x421);
        CGridCtrl second;
        EXPECT_FALSE(second.attach(list));   // taken
        EXPECT_FALSE(second.attach(dialog)); // no list view
        // Header drag and drop 0x10 added, as the Components page does: 0x431.
        grid.addExtendedStyles(LVS_EX_HEADERDRAGDROP);
        EXPECT_EQ(grid.extendedStyles(), 0x431u);
    }
    CGridCtrl again; // the first grid gone, the list view is free again
    EXPECT_TRUE(again.attach(list));
    DestroyWindow(dialog);
    EXPECT_EQ(again.hwnd(), nullptr); // detached with its window
}

TEST_P(GridTest, RowsCarryTheirRecordsAndNumbersAreFormattedWithAPoint)
{
    fillThree();
    int row = grid_.appendRow();
    ASSERT_EQ(row, 3);
    ASSERT_NE(grid_.rowData(row), nullptr);
    EXPECT_EQ(grid_.rowData(row)->textColour, 0xFF000000u);
    EXPECT_EQ(grid_.rowData(row)->backgroundColour, 0xFF000000u);
    EXPECT_EQ(grid_.rowData(row)->value, 0);
    grid_.setCellNumber(row, 1, u"%.3f", 12.5); // a peak of area 12.5 shows 12.500
    grid_.setCellNumber(row, 3, u"%.2f", 1.5);  // and time 1.5 shows 1.50
    std::u16string longName(300, u'ж');        // beyond the first read of 128 units
    grid_.setCellText(row, 2, longName);
    EXPECT_EQ(column(1)[3], u"12.500");
    EXPECT_EQ(column(3)[3], u"1.50");
    EXPECT_EQ(column(2)[3], longName);
    EXPECT_EQ(column(0), (Texts{u"1", u"2", u"3", u""}));

    // A row deleted by the owner's own message takes its record along.
    SendMessageW(list(), LVM_DELETEITEM, 1, 0);
    EXPECT_EQ(grid_.rowValue(1), 300);
    EXPECT_EQ(grid_.findRowByValue(200), -1);
    // A row inserted without appendRow has no record.
    std::u16string foreign = u"чужая";
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = 0;
    item.pszText = wideBuffer(foreign);
    item.lParam = 12345;
    ASSERT_EQ(SendMessageW(list(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)), 0);
    EXPECT_EQ(grid_.rowData(0), nullptr);
    grid_.setRowValue(0, 9);
    EXPECT_EQ(grid_.rowValue(0), 0);
    grid_.deleteAllRows();
    EXPECT_EQ(grid_.rowCount(), 0);
}

TEST_P(GridTest, HeaderClicksSortAscendingThenDescendingAndMarkTheHeader)
{
    fillThree();
    clickHeader(1); // numbers: 9 < 10 < 100
    EXPECT_EQ(column(1), (Texts{u"9", u"10", u"100"}));
    EXPECT_EQ(sortMark(1), HDF_SORTUP);
    Received asked = owner_.last(GRIDN_SORTKIND);
    EXPECT_EQ(asked.from, list());
    EXPECT_EQ(asked.id, static_cast<UINT_PTR>(gridId));
    EXPECT_EQ(asked.first, 1);
    EXPECT_EQ(asked.second, 1);
    EXPECT_EQ(grid_.sortKind(), GridSortKind::number);

    clickHeader(1); // the same header again: descending
    EXPECT_EQ(column(1), (Texts{u"100", u"10", u"9"}));
    EXPECT_EQ(sortMark(1), HDF_SORTDOWN);
    EXPECT_EQ(owner_.last(GRIDN_SORTKIND).second, 0);

    clickHeader(2); // another header: ascending; as text '1' (0x31) before '9' (0x39)
    EXPECT_EQ(column(2), (Texts{u"10", u"100", u"9"}));
    EXPECT_EQ(sortMark(2), HDF_SORTUP);
    EXPECT_EQ(sortMark(1), 0);

    clickHeader(3); // 31 December 2023, 15 January 2024, 1 February 2024
    EXPECT_EQ(column(3), (Texts{u"2023-12-31", u"2024-01-15", u"2024-02-01"}));
    clickHeader(3);
    EXPECT_EQ(column(3), (Texts{u"2024-02-01", u"2024-01-15", u"2023-12-31"}));
    // Each row kept its cells and value: 1 February is row 1, value 100.
    EXPECT_EQ(column(0), (Texts{u"1", u"3", u"2"}));
    EXPECT_EQ((std::vector<int>{grid_.rowValue(0), grid_.rowValue(1), grid_.rowValue(2)}),
              (std::vector<int>{100, 300, 200}));

    // Column 0 answers 0: nothing moves, the marks stay.
    clickHeader(0);
    EXPECT_EQ(column(3), (Texts{u"2024-02-01", u"2024-01-15", u"2023-12-31"}));
    EXPECT_EQ(sortMark(3), HDF_SORTDOWN);
    EXPECT_EQ(sortMark(0), 0);
    EXPECT_EQ(owner_.count(GRIDN_SORTKIND), 6);
    // With the style that turns header clicks off, not even the parent is asked.
    SetWindowLongPtrW(list(), GWL_STYLE, GetWindowLongPtrW(list(), GWL_STYLE) | LVS_NOSORTHEADER);
    grid_.sortByColumn(1, true);
    EXPECT_EQ(owner_.count(GRIDN_SORTKIND), 6);
    EXPECT_EQ(column(1), (Texts{u"10", u"100", u"9"}));
}

TEST_P(GridTest, SortingKeepsTheSelectionAndTheDataOfRowsAndReportsNoChange)
{
    fillThree();
    // Rows not made by appendRow: "50" and "5" with the same item data 7,
    // "0.5" with 8.
    for (auto [number, data] : {std::pair{u"50", 7}, {u"5", 7}, {u"0.5", 8}}) {
        std::u16string text = number;
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = grid_.rowCount();
        item.pszText = wideBuffer(text);
        item.lParam = data;
        int row = static_cast<int>(SendMessageW(list(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        grid_.setCellText(row, 1, number);
    }
    auto data = [&] {
        std::vector<LPARAM> all;
        for (int row = 0; row < grid_.rowCount(); ++row) {
            LVITEMW item{};
            item.mask = LVIF_PARAM;
            item.iItem = row;
            SendMessageW(list(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
            all.push_back(item.lParam);
        }
        return all;
    };
    auto values = [&](std::initializer_list<int> rows) {
        std::vector<int> all;
        for (int row : rows) all.push_back(grid_.rowValue(row));
        return all;
    };
    grid_.selectRow(0); // "10"
    std::size_t changes = owner_.itemChanges.size();

    grid_.sortByColumn(1, true); // shared data: 0.5, 5, 9, 10, 50, 100
    EXPECT_EQ(column(1), (Texts{u"0.5", u"5", u"9", u"10", u"50", u"100"}));
    std::vector<LPARAM> shared = data();
    EXPECT_EQ((std::vector<LPARAM>{shared[0], shared[1], shared[4]}), (std::vector<LPARAM>{8, 7, 7}));
    EXPECT_EQ(values({2, 3, 5}), (std::vector<int>{200, 100, 300}));
    EXPECT_EQ(grid_.selectedRows(), std::vector<int>{3});

    SendMessageW(list(), LVM_DELETEITEM, 1, 0); // "5": now every row's data differs
    grid_.sortByColumn(1, false);               // 100, 50, 10, 9, 0.5
    EXPECT_EQ(column(1), (Texts{u"100", u"50", u"10", u"9", u"0.5"}));
    std::vector<LPARAM> distinct = data();
    EXPECT_EQ((std::vector<LPARAM>{distinct[1], distinct[4]}), (std::vector<LPARAM>{7, 8}));
    EXPECT_EQ(values({0, 2, 3}), (std::vector<int>{300, 100, 200}));
    EXPECT_EQ(grid_.selectedRows(), std::vector<int>{2});
    EXPECT_EQ(grid_.focusedRow(), 2);
    EXPECT_EQ(owner_.count(GRIDN_ROWSELECTED), 1);
    EXPECT_EQ(owner_.itemChanges.size(), changes);
}

TEST_P(GridTest, RowSelectedComesOnlyForANewSelection)
{
    fillThree();
    grid_.selectRow(2);
    grid_.selectRow(2); // already selected
    ASSERT_EQ(owner_.count(GRIDN_ROWSELECTED), 1);
    EXPECT_EQ(owner_.last(GRIDN_ROWSELECTED).first, 2);
    EXPECT_EQ(owner_.last(GRIDN_ROWSELECTED).second, 0);
    for (const auto& change : owner_.itemChanges) // the new selection is not passed on
        EXPECT_FALSE((change.uNewState & LVIS_SELECTED) && !(change.uOldState & LVIS_SELECTED)) << change.iItem;

    grid_.clearSelection(); // the lost selection is passed on unchanged
    EXPECT_EQ(owner_.count(GRIDN_ROWSELECTED), 1);
    ASSERT_FALSE(owner_.itemChanges.empty());
    EXPECT_EQ(owner_.itemChanges.back().iItem, 2);
    EXPECT_NE(owner_.itemChanges.back().uOldState & LVIS_SELECTED, 0u);
    EXPECT_EQ(owner_.itemChanges.back().uNewState & LVIS_SELECTED, 0u);
    EXPECT_EQ(grid_.focusedRow(), -1);

    grid_.selectRow(0, false);
    grid_.selectRow(1, false);
    EXPECT_EQ(owner_.count(GRIDN_ROWSELECTED), 3); // one for each new row
    EXPECT_EQ(grid_.selectedRows(), (std::vector<int>{0, 1}));
}

TEST_P(GridTest, TheEditorOpensOnTheLabelWithTheWholeTextSelected)
{
    fillThree();
    EXPECT_EQ(grid_.beginEdit(1, 2), nullptr); // the parent answers 0
    answer(GRIDN_CANEDIT, 1);
    for (auto [row, c] : {std::pair{-1, 1}, {3, 1}, {0, -1}, {0, 4}}) EXPECT_EQ(grid_.beginEdit(row, c), nullptr);
    EXPECT_EQ(owner_.count(GRIDN_CANEDIT), 1); // not asked for cells that do not exist

    CGridCtrlEditCell* cell = grid_.beginEdit(1, 2);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(editor(), cell->hwnd());
    EXPECT_EQ(GetFocus(), cell->hwnd());
    EXPECT_EQ(cell->initialText(), u"9");
    EXPECT_EQ(owner_.last(GRIDN_CANEDIT).first, 1);
    EXPECT_EQ(owner_.last(GRIDN_CANEDIT).second, 2);
    DWORD start = 9, end = 9; // the whole text "9": from 0 to 1
    SendMessageW(cell->hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 1u);
    RECT label{}, placed{};
    ListView_GetSubItemRect(list(), 1, 2, LVIR_LABEL, &label);
    GetWindowRect(cell->hwnd(), &placed);
    MapWindowPoints(nullptr, list(), reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.top, label.top - 2); // 2 pixels higher and 2 lower
    EXPECT_EQ(placed.bottom, label.bottom + 2);
    EXPECT_EQ(placed.left, label.left);
    EXPECT_EQ(placed.right, label.right);
    // The column's alignment: left, right, centre; another editor ends this one.
    for (auto [c, style] : {std::pair{2, ES_LEFT}, {1, ES_RIGHT}, {0, ES_CENTER}}) {
        ASSERT_NE(grid_.beginEdit(0, c), nullptr);
        EXPECT_EQ(GetWindowLongPtrW(editor(), GWL_STYLE) & (ES_CENTER | ES_RIGHT), style) << c;
    }
    int editors = 0;
    for (HWND child = GetWindow(list(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        editors += GetDlgCtrlID(child) == CGridCtrl::editorId;
    EXPECT_EQ(editors, 1);
    EXPECT_EQ(owner_.count(GRIDN_CELLCHANGED), 0);
}

TEST_P(GridTest, TheEndOfAnEditAsksTheParentOnlyForANewText)
{
    struct Case {
        const char* what;
        std::u16string typed;
        std::function<void(HWND grid, HWND editor)> end;
        LRESULT answer;
        std::u16string shown;
        int asked;
    };
    auto key = [](WPARAM character) {
        return [character](HWND, HWND editor) { SendMessageW(editor, WM_CHAR, character, 1); };
    };
    const Case cases[] = {
        {"Enter, accepted", u"девять", key(VK_RETURN), 1, u"девять", 1},
        {"Enter, refused", u"", key(VK_RETURN), 0, u"9", 1},
        {"Enter, unchanged", u"9", key(VK_RETURN), 1, u"9", 0},
        {"Escape", u"сто", key(VK_ESCAPE), 1, u"9", 0},
        {"a scroll", u"прокрутка", [](HWND grid, HWND) { SendMessageW(grid, WM_VSCROLL, SB_LINEDOWN, 0); }, 1,
         u"прокрутка", 1},
        {"a click elsewhere", u"кнопка", [this](HWND, HWND) { SetFocus(GetDlgItem(parent_, IDOK)); }, 1, u"кнопка",
         1},
    };
    fillThree();
    answer(GRIDN_CANEDIT, 1);
    for (const auto& c : cases) {
        grid_.setCellText(1, 2, u"9");
        owner_.received.clear();
        std::u16string inCell = u"-";
        owner_.answers[GRIDN_CELLCHANGED] = [&](const NMHDR*) { return inCell = grid_.cellText(1, 2), c.answer; };
        ASSERT_NE(grid_.beginEdit(1, 2), nullptr) << c.what;
        type(c.typed);
        c.end(list(), editor());
        pump();
        EXPECT_EQ(editor(), nullptr) << c.what;
        EXPECT_EQ(grid_.editor(), nullptr) << c.what;
        EXPECT_EQ(grid_.cellText(1, 2), c.shown) << c.what;
        EXPECT_EQ(owner_.count(GRIDN_CELLCHANGED), c.asked) << c.what;
        if (c.asked) {
            EXPECT_EQ(inCell, c.typed) << c.what; // the parent reads the new text in the cell
            EXPECT_EQ(owner_.last(GRIDN_CELLCHANGED).first, 1);
            EXPECT_EQ(owner_.last(GRIDN_CELLCHANGED).second, 2);
        }
    }
    EXPECT_EQ(owner_.okCommands, 0);
}

TEST_P(GridTest, EnterTypedInTheEditorIsNoDialogOk)
{
    fillThree();
    answer(GRIDN_CANEDIT, 1);
    answer(GRIDN_CELLCHANGED, 1);
    // The key as the keyboard delivers it, through a message loop without
    // IsDialogMessage (as the host runs it), then through one with it.
    for (bool dialogLoop : {false, true}) {
        ASSERT_NE(grid_.beginEdit(0, 2), nullptr);
        type(dialogLoop ? u"второй" : u"первый");
        LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(VK_RETURN, MAPVK_VK_TO_VSC)) << 16;
        PostMessageW(editor(), WM_KEYDOWN, VK_RETURN, 1 | scan);
        PostMessageW(editor(), WM_KEYUP, VK_RETURN, 1 | scan | 0xC0000000);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (dialogLoop && IsDialogMessageW(parent_, &message)) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        EXPECT_EQ(owner_.okCommands, 0) << dialogLoop;
        EXPECT_EQ(editor(), nullptr) << dialogLoop;
        EXPECT_EQ(grid_.cellText(0, 2), dialogLoop ? u"второй" : u"первый");
    }
}

TEST_P(GridTest, DoubleClickFocusesARowFirstAndEditsTheFocusedOne)
{
    fillThree();
    answer(GRIDN_CANEDIT, 1);
    owner_.doubleClickResult = 1; // a parent that handles it itself stops the grid
    doubleClick(2, 1);
    EXPECT_EQ(owner_.last(GRIDN_DBLCLICK).first, 2);
    EXPECT_EQ(owner_.last(GRIDN_DBLCLICK).second, 1);
    EXPECT_FALSE(focused(2));
    owner_.doubleClickResult = 0;

    doubleClick(1, 2); // a row without the focus: it becomes selected and focused
    EXPECT_TRUE(focused(1));
    EXPECT_TRUE(grid_.isRowSelected(1));
    EXPECT_EQ(owner_.count(GRIDN_ROWSELECTED), 1);
    EXPECT_EQ(owner_.count(GRIDN_CANEDIT), 0);
    EXPECT_EQ(editor(), nullptr);

    doubleClick(1, 2); // now focused: the editor opens on the cell hit
    EXPECT_EQ(owner_.count(GRIDN_CANEDIT), 1);
    ASSERT_NE(grid_.editor(), nullptr);
    EXPECT_EQ(grid_.editor()->row(), 1);
    EXPECT_EQ(grid_.editor()->column(), 2);
    SetFocus(list());

    doubleClick(4, 2); // below the last row: reported, nothing else
    EXPECT_EQ(owner_.count(GRIDN_DBLCLICK), 4);
    EXPECT_EQ(owner_.last(GRIDN_DBLCLICK).first, -1);
    EXPECT_EQ(owner_.count(GRIDN_CANEDIT), 1);
    EXPECT_EQ(editor(), nullptr);
}

TEST_P(GridTest, AZeroWidthColumnCannotBeWidened)
{
    fillThree();
    grid_.setColumnWidth(2, 0);
    HDITEMW width{};
    width.mask = HDI_WIDTH;
    EXPECT_TRUE(notifyFromHeader(list(), HDN_BEGINTRACKW, 2, &width)); // refused without asking
    notifyFromHeader(list(), HDN_DIVIDERDBLCLICKW, 2, &width);         // nor sized to its texts
    // The mouse on the divider where the hidden column begins (40 + 90 =
    // 130 and 2 pixels right of it), dragged 60 pixels to the right.
    RECT number{};
    Header_GetItemRect(header(), 1, &number);
    int y = (number.top + number.bottom) / 2;
    for (int x : {number.right, number.right + 2}) {
        SendMessageW(header(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageW(header(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + 60, y));
        SendMessageW(header(), WM_LBUTTONUP, 0, MAKELPARAM(x + 60, y));
        pump();
        EXPECT_EQ(grid_.columnWidth(2), 0) << x;
    }
    for (const auto& r : owner_.received) EXPECT_NE(r.first, 2) << std::hex << r.code;
}

TEST_P(GridTest, ColumnResizesAndMovesAskTheParent)
{
    fillThree();
    HDITEMW item{};
    answer(GRIDN_BEGINRESIZE, 1); // non-zero refuses
    EXPECT_TRUE(notifyFromHeader(list(), HDN_BEGINTRACKW, 1, &item));
    EXPECT_EQ(owner_.last(GRIDN_BEGINRESIZE).first, 1);
    EXPECT_EQ(owner_.last(GRIDN_BEGINRESIZE).second, 0);
    answer(GRIDN_BEGINRESIZE, 0);
    EXPECT_FALSE(notifyFromHeader(list(), HDN_BEGINTRACKW, 1, &item));

    // Dragged to 150 pixels, the answer 1 cancels: back to its 90.
    answer(GRIDN_COLUMNRESIZED, 1);
    grid_.setColumnWidth(1, 150);
    item.mask = HDI_WIDTH;
    item.cxy = 150;
    notifyFromHeader(list(), HDN_ENDTRACKW, 1, &item);
    pump();
    EXPECT_EQ(owner_.last(GRIDN_COLUMNRESIZED).first, 1);
    EXPECT_EQ(owner_.last(GRIDN_COLUMNRESIZED).second, 150);
    EXPECT_EQ(grid_.columnWidth(1), 90);

    // Column 3 dropped at display position 0: the answer 1 cancels the move;
    // a drop where it already is (3) changes no order and is not asked.
    answer(GRIDN_COLUMNMOVED, 1);
    item.mask = HDI_ORDER;
    item.iOrder = 0;
    EXPECT_TRUE(notifyFromHeader(list(), HDN_ENDDRAG, 3, &item));
    EXPECT_EQ(owner_.last(GRIDN_COLUMNMOVED).first, 3);
    EXPECT_EQ(owner_.last(GRIDN_COLUMNMOVED).second, 0);
    item.iOrder = 3;
    notifyFromHeader(list(), HDN_ENDDRAG, 3, &item);
    EXPECT_EQ(owner_.count(GRIDN_COLUMNMOVED), 1);
}

TEST_P(GridTest, TheContextMenuRequestNamesAScreenPoint)
{
    fillThree();
    POINT corner{5, 5}; // from the keyboard (-1, -1): the client corner moved by (5, 5)
    ClientToScreen(list(), &corner);
    for (auto [sent, expected] : {std::pair{POINT{300, 200}, POINT{300, 200}}, {POINT{-1, -1}, corner}}) {
        SendMessageW(list(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list()), MAKELPARAM(sent.x, sent.y));
        EXPECT_EQ(owner_.last(GRIDN_CONTEXTMENU).first, expected.x);
        EXPECT_EQ(owner_.last(GRIDN_CONTEXTMENU).second, expected.y);
    }
    EXPECT_EQ(owner_.count(GRIDN_CONTEXTMENU), 2);
}

TEST_P(GridTest, RowColoursAndTheHighlightWithoutFocus)
{
    fillThree();
    const COLORREF yellow = RGB(255, 255, 0);
    grid_.setRowColours(0, RGB(0, 0, 128), yellow);
    grid_.selectRow(2);
    SetFocus(GetDlgItem(parent_, IDOK));
    RedrawWindow(list(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    ASSERT_NE(GetFocus(), list());
    auto pixel = [&](int row) { // in the name cell, right of its short text
        RECT cell{};
        ListView_GetSubItemRect(list(), row, 2, LVIR_BOUNDS, &cell);
        HDC dc = GetDC(list());
        COLORREF colour = GetPixel(dc, cell.right - 8, (cell.top + cell.bottom) / 2);
        ReleaseDC(list(), dc);
        return colour;
    };
    EXPECT_EQ(pixel(0), yellow);
    EXPECT_EQ(pixel(2), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(pixel(1), GetSysColor(COLOR_WINDOW));
}

// A Components page as the user sees it: sorted by time with the header's
// mark, a coloured row, a row selected while the editor of another cell has
// the focus. With NORVALT_GRID_SHOW_SECONDS set the window stays up that
// long, for a screenshot.
TEST_P(GridTest, AFilledGridWithItsMarkSelectionAndEditor)
{
    const GridColumn columns[] = {
        {u"№", 30, GridAlign::centre, GridSortKind::number},
        {u"Имя", 250, GridAlign::left, GridSortKind::text},
        {u"Площадь", 90, GridAlign::centre, GridSortKind::text},
        {u"Время выхода", 90, GridAlign::centre, GridSortKind::number},
    };
    grid_.insertColumns(columns);
    grid_.addExtendedStyles(LVS_EX_HEADERDRAGDROP);
    const std::pair<const char16_t*, double> peaks[] = {
        {u"Вода", 1.5},           {u"Этиленгликоль", 6.42},    {u"Нонанол-1", 9.87},
        {u"Диэтиленгликоль", 11.3}, {u"Бензиловый спирт", 8.05}, {u"Триэтиленгликоль", 14.6},
    };
    {
        CGridCtrl::RedrawOff quiet(grid_);
        for (auto [name, time] : peaks) {
            int row = grid_.appendRow();
            grid_.setRowNumber(row, row + 1);
            grid_.setCellText(row, 1, name);
            grid_.setCellNumber(row, 2, u"%.3f", time * 100.5);
            grid_.setCellNumber(row, 3, u"%.2f", time);
        }
    }
    owner_.answers[GRIDN_SORTKIND] = [this](const NMHDR* hdr) {
        return static_cast<LRESULT>(grid_.columnSortKind(reinterpret_cast<const GridNotifySort*>(hdr)->column));
    };
    clickHeader(3);
    EXPECT_EQ(column(3), (Texts{u"1.50", u"6.42", u"8.05", u"9.87", u"11.30", u"14.60"}));
    EXPECT_EQ(sortMark(3), HDF_SORTUP);
    grid_.setRowColours(5, RGB(160, 0, 0), RGB(255, 240, 200));
    grid_.selectRow(1);
    answer(GRIDN_CANEDIT, 1);
    ASSERT_NE(grid_.beginEdit(3, 1), nullptr);
    EXPECT_EQ(GetFocus(), editor());
    EXPECT_TRUE(grid_.isRowSelected(1));
    wchar_t seconds[8] = {};
    if (GetParam() == ParentKind::window && GetEnvironmentVariableW(L"NORVALT_GRID_SHOW_SECONDS", seconds, 8))
        for (DWORD until = GetTickCount() + 1000u * static_cast<DWORD>(_wtoi(seconds)); GetTickCount() < until;)
            pump(), Sleep(20);
}

INSTANTIATE_TEST_SUITE_P(Parents, GridTest, ::testing::Values(ParentKind::window, ParentKind::dialog),
                         [](const auto& info) { return info.param == ParentKind::window ? "InWindow" : "InDialog"; });

} // namespace
