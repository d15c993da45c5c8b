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

// A notification as the parent received it.
struct Received {
    UINT code;
    HWND from;
    UINT_PTR id;
    int first;
    int second;
};

enum class ParentKind { window, dialog };

// The window that owns the grid: it records every grid notification and the
// list view's item changes that reach it, and answers from a table (0 when
// the table has no answer, like a parent that does not handle it).
struct Owner {
    std::vector<Received> received;
    std::vector<NMLISTVIEW> itemChanges;
    std::map<UINT, std::function<LRESULT(const NMHDR*)>> answers;
    int okCommands = 0;
    int cancelCommands = 0;
    std::int32_t doubleClickResult = 0; // written through the record's result pointer

    int count(UINT code) const
    {
        int n = 0;
        for (const auto& r : received) n += r.code == code;
        return n;
    }
    const Received* last(UINT code) const
    {
        for (auto r = received.rbegin(); r != received.rend(); ++r)
            if (r->code == code) return &*r;
        return nullptr;
    }

    LRESULT onNotify(const NMHDR* hdr)
    {
        if (hdr->idFrom != gridId) return 0;
        if (hdr->code >= GRIDN_CELLCHANGED && hdr->code <= GRIDN_COLUMNRESIZED) {
            const auto* record = reinterpret_cast<const GridNotifyCell*>(hdr);
            received.push_back({hdr->code, hdr->hwndFrom, hdr->idFrom, record->row, record->column});
        } else if (hdr->code == GRIDN_DBLCLICK) {
            const auto* record = reinterpret_cast<const GridNotifyDblClick*>(hdr);
            received.push_back({hdr->code, hdr->hwndFrom, hdr->idFrom, record->activation->iItem,
                                record->activation->iSubItem});
            if (doubleClickResult) *record->result = doubleClickResult;
        } else if (hdr->code == LVN_ITEMCHANGED) {
            itemChanges.push_back(*reinterpret_cast<const NMLISTVIEW*>(hdr));
        }
        auto answer = answers.find(hdr->code);
        return answer == answers.end() ? 0 : answer->second(hdr);
    }
    void onCommand(WPARAM wParam)
    {
        if (LOWORD(wParam) == IDOK) ++okCommands;
        if (LOWORD(wParam) == IDCANCEL) ++cancelCommands;
    }
};

LRESULT CALLBACK ownerWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (owner && message == WM_NOTIFY) return owner->onNotify(reinterpret_cast<const NMHDR*>(lParam));
    if (owner && message == WM_COMMAND) owner->onCommand(wParam);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

INT_PTR CALLBACK ownerDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        return FALSE;
    }
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!owner) return FALSE;
    if (message == WM_NOTIFY) {
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, owner->onNotify(reinterpret_cast<const NMHDR*>(lParam)));
        return TRUE;
    }
    if (message == WM_COMMAND) {
        owner->onCommand(wParam);
        return TRUE;
    }
    return FALSE;
}

// A dialog template in memory: a default OK button and, when asked for, the
// list view 1008.
class DialogTemplate {
public:
    explicit DialogTemplate(bool withList)
    {
        dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT | DS_MODALFRAME);
        dword(0);
        words_.push_back(withList ? 2 : 1); // items
        shorts({10, 10, 330, 210});
        words_.push_back(0); // no menu
        words_.push_back(0); // standard class
        text(u"Grid in a dialog");
        words_.push_back(8);
        text(u"MS Shell Dlg");
        if (withList)
            item(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_ICON, {5, 5, 320, 170}, gridId, u"SysListView32");
        item(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, {270, 185, 50, 14}, IDOK, nullptr);
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void dword(DWORD v)
    {
        words_.push_back(LOWORD(v));
        words_.push_back(HIWORD(v));
    }
    void shorts(std::initializer_list<short> values)
    {
        for (short v : values) words_.push_back(static_cast<WORD>(v));
    }
    void text(std::u16string_view s)
    {
        for (char16_t c : s) words_.push_back(c);
        words_.push_back(0);
    }
    void item(DWORD style, std::initializer_list<short> box, WORD id, const char16_t* className)
    {
        if (words_.size() % 2) words_.push_back(0); // items start on a DWORD
        dword(style);
        dword(0);
        shorts(box);
        words_.push_back(id);
        if (className) {
            text(className);
            text(u"");
        } else {
            words_.push_back(0xFFFF);
            words_.push_back(0x0080); // button
            text(u"OK");
        }
        words_.push_back(0); // no creation data
    }
    std::vector<WORD> words_;
};

void pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

POINT centre(const RECT& r)
{
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

LPARAM pointParam(POINT p)
{
    return MAKELPARAM(p.x, p.y);
}

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
        windowParent = CreateWindowExW(0, L"NorvaltGridTestOwner", L"Grid in a window", WS_OVERLAPPEDWINDOW, 20, 20,
                                       560, 420, nullptr, nullptr, instance, nullptr);
        CreateWindowExW(0, WC_BUTTONW, L"OK", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 440, 330, 90, 26,
                        windowParent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDOK)), instance, nullptr);
        DialogTemplate buttonOnly(false);
        dialogParent = CreateDialogIndirectParamW(instance, buttonOnly.get(), nullptr, ownerDialogProc, 0);
    }
    static void TearDownTestSuite()
    {
        DestroyWindow(windowParent);
        DestroyWindow(dialogParent);
        pump();
    }

    void SetUp() override
    {
        parent_ = GetParam() == ParentKind::window ? windowParent : dialogParent;
        ASSERT_NE(parent_, nullptr);
        if (GetParam() == ParentKind::window)
            SetWindowLongPtrW(parent_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&owner_));
        else
            SetWindowLongPtrW(parent_, DWLP_USER, reinterpret_cast<LONG_PTR>(&owner_));
        RECT client{};
        GetClientRect(parent_, &client);
        // No WS_VISIBLE yet: the window shows after the grid has taken it.
        HWND listView = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_BORDER | WS_TABSTOP | LVS_REPORT, 8, 8,
                                        client.right - 16, client.bottom - 60, parent_,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(gridId)),
                                        GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(listView, nullptr);
        ASSERT_TRUE(grid_.attach(parent_, gridId));
        ShowWindow(listView, SW_SHOW);
        ShowWindow(parent_, SW_SHOW);
        SetForegroundWindow(parent_);
        pump();
    }
    void TearDown() override
    {
        DestroyWindow(list());
        pump();
        SetWindowLongPtrW(parent_, GetParam() == ParentKind::window ? GWLP_USERDATA : DWLP_USER, 0);
    }

    HWND list() const { return GetDlgItem(parent_, gridId); }
    HWND header() const { return ListView_GetHeader(list()); }
    HWND editorWindow() const { return GetDlgItem(list(), CGridCtrl::editorId); }

    // Columns: № (centre), number (right), text (left), date (left).
    void makeColumns()
    {
        const GridColumn columns[] = {
            {u"№", 40, GridAlign::centre, GridSortKind::none},
            {u"Площадь", 90, GridAlign::right, GridSortKind::number},
            {u"Имя", 120, GridAlign::left, GridSortKind::text},
            {u"Дата", 140, GridAlign::left, GridSortKind::date},
        };
        grid_.insertColumns(columns);
    }
    void addRow(int number, std::u16string_view value, std::u16string_view name, std::u16string_view date)
    {
        int row = grid_.appendRow();
        grid_.setRowNumber(row, number);
        grid_.setCellText(row, 1, value);
        grid_.setCellText(row, 2, name);
        grid_.setCellText(row, 3, date);
        grid_.setRowValue(row, number * 100);
    }
    // The three texts whose orders differ as numbers and as text, and dates
    // whose order differs from both.
    void fillThree()
    {
        makeColumns();
        addRow(1, u"10", u"10", u"2024-02-01");
        addRow(2, u"9", u"9", u"2023-12-31");
        addRow(3, u"100", u"100", u"2024-01-15");
    }
    std::vector<std::u16string> column(int c) const
    {
        std::vector<std::u16string> texts;
        for (int row = 0; row < grid_.rowCount(); ++row) texts.push_back(grid_.cellText(row, c));
        return texts;
    }
    void answerSortKinds()
    {
        owner_.answers[GRIDN_SORTKIND] = [this](const NMHDR* hdr) {
            return static_cast<LRESULT>(grid_.columnSortKind(reinterpret_cast<const GridNotifySort*>(hdr)->column));
        };
    }
    void clickHeader(int c)
    {
        RECT r{};
        Header_GetItemRect(header(), c, &r);
        LPARAM at = pointParam(centre(r));
        SendMessageW(header(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(header(), WM_LBUTTONUP, 0, at);
        pump();
    }
    int headerSortMark(int c) const
    {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        Header_GetItem(header(), c, &item);
        return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
    }
    POINT cellCentre(int row, int c) const
    {
        RECT r{};
        ListView_GetSubItemRect(list(), row, c, LVIR_BOUNDS, &r);
        if (c == 0) r.right = r.left + grid_.columnWidth(0);
        return centre(r);
    }
    void doubleClick(POINT at)
    {
        SendMessageW(list(), WM_LBUTTONDBLCLK, MK_LBUTTON, pointParam(at));
        SendMessageW(list(), WM_LBUTTONUP, 0, pointParam(at));
        pump();
    }
    bool rowFocused(int row) const { return (ListView_GetItemState(list(), row, LVIS_FOCUSED) & LVIS_FOCUSED) != 0; }
    void allowEdits()
    {
        owner_.answers[GRIDN_CANEDIT] = [](const NMHDR*) -> LRESULT { return 1; };
    }
    void typeIntoEditor(std::u16string_view text)
    {
        std::u16string t(text);
        SetWindowTextW(editorWindow(), wide(t));
    }
    void sendChar(WPARAM character)
    {
        SendMessageW(editorWindow(), WM_CHAR, character, 1);
        pump();
    }

    static HWND windowParent;
    static HWND dialogParent;
    Owner owner_;
    CGridCtrl grid_;
    HWND parent_ = nullptr;
};

HWND GridTest::windowParent = nullptr;
HWND GridTest::dialogParent = nullptr;

std::string parentName(const ::testing::TestParamInfo<ParentKind>& info)
{
    return info.param == ParentKind::window ? "InWindow" : "InDialog";
}

TEST_P(GridTest, AttachingSetsReportViewAndExactlyTheBaseExtendedStyles)
{
    // 0x421 = grid lines 0x1 | full-row selection 0x20 | info tips 0x400.
    EXPECT_EQ(grid_.extendedStyles(), 0x421u);
    EXPECT_EQ(SendMessageW(list(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), 0x421);
    EXPECT_EQ(GetWindowLongPtrW(list(), GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
    // Header drag and drop 0x10 added as the Components page does: 0x431.
    grid_.addExtendedStyles(LVS_EX_HEADERDRAGDROP);
    EXPECT_EQ(grid_.extendedStyles(), 0x431u);
    // A second grid cannot take the same list view.
    CGridCtrl second;
    EXPECT_FALSE(second.attach(list()));
    EXPECT_FALSE(second.attach(parent_)); // no list view
}

TEST(GridAttach, AListOfADialogTemplateBecomesAReportWithOnlyTheBaseStyles)
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    DialogTemplate withList(true); // its list view is in icon view
    Owner owner;
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), withList.get(), nullptr, ownerDialogProc,
                                             reinterpret_cast<LPARAM>(&owner));
    ASSERT_NE(dialog, nullptr);
    HWND list = GetDlgItem(dialog, gridId);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES | LVS_EX_TRACKSELECT);
    {
        CGridCtrl grid;
        ASSERT_TRUE(grid.attach(dialog, gridId));
        EXPECT_EQ(GetWindowLongPtrW(list, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
        EXPECT_EQ(grid.extendedStyles(), 0x421u);
        EXPECT_EQ(grid.controlId(), gridId);
    }
    // The grid object gone first, the list view can be taken again.
    CGridCtrl again;
    EXPECT_TRUE(again.attach(list));
    DestroyWindow(dialog);
    EXPECT_EQ(again.hwnd(), nullptr); // detached with its window
}

TEST_P(GridTest, RowsCarryTheirRecordsAndNumbersAreFormattedWithAPoint)
{
    makeColumns();
    int row = grid_.appendRow();
    EXPECT_EQ(row, 0);
    ASSERT_NE(grid_.rowData(0), nullptr);
    EXPECT_EQ(grid_.rowData(0)->textColour, 0xFF000000u);
    EXPECT_EQ(grid_.rowData(0)->backgroundColour, 0xFF000000u);
    EXPECT_EQ(grid_.rowData(0)->value, 0);
    EXPECT_EQ(grid_.cellText(0, 0), u"");
    grid_.setRowNumber(0, 17);
    grid_.setCellNumber(0, 1, u"%.3f", 12.5); // a peak of area 12.5 shows 12.500
    grid_.setCellNumber(0, 2, u"%.2f", 1.5);  // and time 1.5 shows 1.50
    EXPECT_EQ(grid_.cellText(0, 0), u"17");
    EXPECT_EQ(grid_.cellText(0, 1), u"12.500");
    EXPECT_EQ(grid_.cellText(0, 2), u"1.50");
    // A long text comes back whole: 300 units, beyond the first read.
    std::u16string longName(300, u'ж');
    grid_.setCellText(0, 2, longName);
    EXPECT_EQ(grid_.cellText(0, 2), longName);

    EXPECT_EQ(grid_.appendRow(), 1);
    EXPECT_EQ(grid_.appendRow(), 2);
    grid_.setRowValue(1, 42);
    grid_.setRowValue(2, 43);
    EXPECT_EQ(grid_.findRowByValue(43), 2);
    // A row deleted by the owner's own message takes its record along; the
    // rows behind move up with theirs.
    SendMessageW(list(), LVM_DELETEITEM, 1, 0);
    EXPECT_EQ(grid_.rowValue(1), 43);
    EXPECT_EQ(grid_.findRowByValue(42), -1);

    // A row inserted without appendRow has no record and the value 0.
    std::u16string foreign = u"чужая";
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = 2;
    item.pszText = wideBuffer(foreign);
    item.lParam = 12345;
    ASSERT_EQ(SendMessageW(list(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)), 2);
    EXPECT_EQ(grid_.rowData(2), nullptr);
    EXPECT_EQ(grid_.rowValue(2), 0);
    grid_.setRowValue(2, 9); // ignored: there is no record to hold it
    EXPECT_EQ(grid_.rowValue(2), 0);

    grid_.deleteAllRows();
    EXPECT_EQ(grid_.rowCount(), 0);
    EXPECT_EQ(grid_.rowData(0), nullptr);
}

TEST_P(GridTest, HeaderClicksSortAscendingThenDescendingAndMarkTheHeader)
{
    fillThree();
    answerSortKinds();

    // Numbers: 9 < 10 < 100.
    clickHeader(1);
    EXPECT_EQ(column(1), (std::vector<std::u16string>{u"9", u"10", u"100"}));
    EXPECT_EQ(headerSortMark(1), HDF_SORTUP);
    const Received* asked = owner_.last(GRIDN_SORTKIND);
    ASSERT_NE(asked, nullptr);
    EXPECT_EQ(asked->from, list());
    EXPECT_EQ(asked->id, static_cast<UINT_PTR>(gridId));
    EXPECT_EQ(asked->first, 1);
    EXPECT_EQ(asked->second, 1);
    EXPECT_EQ(grid_.sortColumn(), 1);
    EXPECT_TRUE(grid_.sortAscending());
    EXPECT_EQ(grid_.sortKind(), GridSortKind::number);

    // The same header again: descending.
    clickHeader(1);
    EXPECT_EQ(column(1), (std::vector<std::u16string>{u"100", u"10", u"9"}));
    EXPECT_EQ(headerSortMark(1), HDF_SORTDOWN);
    EXPECT_EQ(owner_.last(GRIDN_SORTKIND)->second, 0);

    // Another header: ascending again, and the first loses its mark.
    // As text "10" < "100" < "9" ('1' 0x31 before '9' 0x39).
    clickHeader(2);
    EXPECT_EQ(column(2), (std::vector<std::u16string>{u"10", u"100", u"9"}));
    EXPECT_EQ(headerSortMark(2), HDF_SORTUP);
    EXPECT_EQ(headerSortMark(1), 0);

    // Dates: 31 December 2023, 15 January 2024, 1 February 2024.
    clickHeader(3);
    EXPECT_EQ(column(3), (std::vector<std::u16string>{u"2023-12-31", u"2024-01-15", u"2024-02-01"}));
    clickHeader(3);
    EXPECT_EQ(column(3), (std::vector<std::u16string>{u"2024-02-01", u"2024-01-15", u"2023-12-31"}));

    // Each row kept its own cells and value through the sorts: the row of
    // 1 February is row 1 with value 100.
    EXPECT_EQ(column(0), (std::vector<std::u16string>{u"1", u"3", u"2"}));
    EXPECT_EQ(grid_.rowValue(0), 100);
    EXPECT_EQ(grid_.rowValue(1), 300);
    EXPECT_EQ(grid_.rowValue(2), 200);
    EXPECT_EQ(owner_.count(GRIDN_SORTKIND), 5);
}

TEST_P(GridTest, AParentThatAnswersZeroLeavesRowsAndMarksAlone)
{
    fillThree();
    answerSortKinds();
    clickHeader(1); // 9, 10, 100 marked up
    // Column 0 is declared as not sorting: the answer 0.
    clickHeader(0);
    EXPECT_EQ(column(1), (std::vector<std::u16string>{u"9", u"10", u"100"}));
    EXPECT_EQ(headerSortMark(1), HDF_SORTUP);
    EXPECT_EQ(headerSortMark(0), 0);
    EXPECT_EQ(grid_.sortKind(), GridSortKind::none);
    // The request was stored: column 0 ascending, so a click on column 1 starts ascending.
    EXPECT_EQ(grid_.sortColumn(), 0);
    grid_.sortByColumn(1, false);
    EXPECT_EQ(column(1), (std::vector<std::u16string>{u"100", u"10", u"9"}));
}

TEST_P(GridTest, SortingKeepsTheSelectionAndSelectsNothingNew)
{
    fillThree();
    answerSortKinds();
    grid_.selectRow(0); // "10"
    int selections = owner_.count(GRIDN_ROWSELECTED);
    std::size_t changes = owner_.itemChanges.size();
    grid_.sortByColumn(1, true); // 9, 10, 100
    EXPECT_EQ(grid_.selectedRows(), std::vector<int>{1});
    EXPECT_EQ(grid_.focusedRow(), 1);
    EXPECT_EQ(owner_.count(GRIDN_ROWSELECTED), selections);
    EXPECT_EQ(owner_.itemChanges.size(), changes);
}

TEST_P(GridTest, NoSortHeaderStyleTurnsSortingOff)
{
    fillThree();
    answerSortKinds();
    SetWindowLongPtrW(list(), GWL_STYLE, GetWindowLongPtrW(list(), GWL_STYLE) | LVS_NOSORTHEADER);
    grid_.sortByColumn(1, true);
    EXPECT_EQ(owner_.count(GRIDN_SORTKIND), 0);
    EXPECT_EQ(column(1), (std::vector<std::u16string>{u"10", u"9", u"100"}));
    EXPECT_EQ(headerSortMark(1), 0);
}

TEST_P(GridTest, RowSelectedComesOnlyForANewSelection)
{
    fillThree();
    grid_.selectRow(2);
    ASSERT_EQ(owner_.count(GRIDN_ROWSELECTED), 1);
    EXPECT_EQ(owner_.last(GRIDN_ROWSELECTED)->first, 2);
    EXPECT_EQ(owner_.last(GRIDN_ROWSELECTED)->second, 0);
    // The new selection itself is not passed on as an item change.
    for (const auto& change : owner_.itemChanges)
        EXPECT_FALSE((change.uNewState & LVIS_SELECTED) && !(change.uOldState & LVIS_SELECTED)) << change.iItem;

    grid_.selectRow(2); // already selected
    EXPECT_EQ(owner_.count(GRIDN_ROWSELECTED), 1);

    std::size_t before = owner_.itemChanges.size();
    grid_.clearSelection(); // losing the selection is passed on unchanged
    EXPECT_EQ(owner_.count(GRIDN_ROWSELECTED), 1);
    ASSERT_GT(owner_.itemChanges.size(), before);
    const NMLISTVIEW& lost = owner_.itemChanges.back();
    EXPECT_EQ(lost.iItem, 2);
    EXPECT_TRUE(lost.uOldState & LVIS_SELECTED);
    EXPECT_FALSE(lost.uNewState & LVIS_SELECTED);
    EXPECT_TRUE(grid_.selectedRows().empty());
    EXPECT_EQ(grid_.focusedRow(), -1);

    // Several rows newly selected at once: one notification each.
    grid_.selectRow(0, false);
    grid_.selectRow(1, false);
    EXPECT_EQ(owner_.count(GRIDN_ROWSELECTED), 3);
    EXPECT_EQ(grid_.selectedRows(), (std::vector<int>{0, 1}));
}

TEST_P(GridTest, AnAcceptedEditKeepsTheNewText)
{
    fillThree();
    allowEdits();
    owner_.answers[GRIDN_CELLCHANGED] = [](const NMHDR*) -> LRESULT { return 1; };
    CGridCtrlEditCell* editor = grid_.beginEdit(1, 2);
    ASSERT_NE(editor, nullptr);
    ASSERT_EQ(editorWindow(), editor->hwnd());
    EXPECT_EQ(GetFocus(), editor->hwnd());
    EXPECT_EQ(editor->initialText(), u"9");
    EXPECT_EQ(editor->row(), 1);
    EXPECT_EQ(editor->column(), 2);
    const Received* asked = owner_.last(GRIDN_CANEDIT);
    ASSERT_NE(asked, nullptr);
    EXPECT_EQ(asked->first, 1);
    EXPECT_EQ(asked->second, 2);
    // The whole text is selected: from 0 to its length 1.
    DWORD start = 0, end = 0;
    SendMessageW(editor->hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 1u);
    // On the label rectangle, 2 pixels higher and 2 lower (in grid coordinates).
    RECT label{}, placed{};
    ListView_GetSubItemRect(list(), 1, 2, LVIR_LABEL, &label);
    GetWindowRect(editor->hwnd(), &placed);
    MapWindowPoints(nullptr, list(), reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.top, label.top - 2);
    EXPECT_EQ(placed.bottom, label.bottom + 2);
    EXPECT_EQ(placed.left, label.left);
    EXPECT_EQ(placed.right, label.right);
    EXPECT_EQ(GetWindowLongPtrW(editor->hwnd(), GWL_STYLE) & (ES_CENTER | ES_RIGHT), ES_LEFT);

    typeIntoEditor(u"девять");
    sendChar(VK_RETURN);
    EXPECT_EQ(editorWindow(), nullptr);
    EXPECT_EQ(grid_.editor(), nullptr);
    EXPECT_EQ(GetFocus(), list());
    EXPECT_EQ(grid_.cellText(1, 2), u"девять");
    ASSERT_EQ(owner_.count(GRIDN_CELLCHANGED), 1);
    EXPECT_EQ(owner_.last(GRIDN_CELLCHANGED)->first, 1);
    EXPECT_EQ(owner_.last(GRIDN_CELLCHANGED)->second, 2);
}

TEST_P(GridTest, ARefusedEditShowsTheOldTextAgain)
{
    fillThree();
    allowEdits();
    // The parent reads the new text in the cell before it refuses it.
    std::u16string seen;
    owner_.answers[GRIDN_CELLCHANGED] = [&](const NMHDR* hdr) -> LRESULT {
        const auto* cell = reinterpret_cast<const GridNotifyCell*>(hdr);
        seen = grid_.cellText(cell->row, cell->column);
        return 0;
    };
    ASSERT_NE(grid_.beginEdit(0, 1), nullptr);
    typeIntoEditor(u"");
    sendChar(VK_RETURN);
    EXPECT_EQ(seen, u"");
    EXPECT_EQ(grid_.cellText(0, 1), u"10");
    EXPECT_EQ(owner_.count(GRIDN_CELLCHANGED), 1); // asked once, not again for the restore
}

TEST_P(GridTest, EscapeAndAnUnchangedEnterSendNothing)
{
    fillThree();
    allowEdits();
    ASSERT_NE(grid_.beginEdit(2, 2), nullptr);
    typeIntoEditor(u"сто");
    sendChar(VK_ESCAPE);
    EXPECT_EQ(editorWindow(), nullptr);
    EXPECT_EQ(grid_.cellText(2, 2), u"100");

    ASSERT_NE(grid_.beginEdit(2, 2), nullptr);
    sendChar(VK_RETURN);
    EXPECT_EQ(editorWindow(), nullptr);
    EXPECT_EQ(owner_.count(GRIDN_CELLCHANGED), 0);
    EXPECT_EQ(owner_.okCommands, 0);
    EXPECT_EQ(owner_.cancelCommands, 0);
}

TEST_P(GridTest, EnterTypedInTheEditorIsNoDialogOk)
{
    fillThree();
    allowEdits();
    owner_.answers[GRIDN_CELLCHANGED] = [](const NMHDR*) -> LRESULT { return 1; };
    // The key as the keyboard delivers it, through a message loop without
    // IsDialogMessage (as the host runs it), then through one with it.
    for (bool dialogLoop : {false, true}) {
        ASSERT_NE(grid_.beginEdit(0, 2), nullptr);
        HWND editor = editorWindow();
        typeIntoEditor(dialogLoop ? u"второй" : u"первый");
        UINT scan = MapVirtualKeyW(VK_RETURN, MAPVK_VK_TO_VSC);
        PostMessageW(editor, WM_KEYDOWN, VK_RETURN, 1 | (scan << 16));
        PostMessageW(editor, WM_KEYUP, VK_RETURN, 1 | (scan << 16) | 0xC0000000u);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (dialogLoop && IsDialogMessageW(parent_, &message)) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        pump();
        EXPECT_EQ(owner_.okCommands, 0) << dialogLoop;
        EXPECT_EQ(editorWindow(), nullptr) << dialogLoop;
        EXPECT_EQ(grid_.cellText(0, 2), dialogLoop ? u"второй" : u"первый");
    }
    EXPECT_EQ(owner_.count(GRIDN_CELLCHANGED), 2);
}

TEST_P(GridTest, EditorsAreRefusedOutsideTheRowsAndWhenTheParentSaysNo)
{
    fillThree();
    EXPECT_EQ(grid_.beginEdit(0, 1), nullptr); // the parent answers 0
    EXPECT_EQ(owner_.count(GRIDN_CANEDIT), 1);
    EXPECT_EQ(editorWindow(), nullptr);
    allowEdits();
    EXPECT_EQ(grid_.beginEdit(-1, 1), nullptr);
    EXPECT_EQ(grid_.beginEdit(3, 1), nullptr); // three rows: 0 to 2
    EXPECT_EQ(grid_.beginEdit(0, -1), nullptr);
    EXPECT_EQ(owner_.count(GRIDN_CANEDIT), 1); // not asked for cells that do not exist
    // Alignment follows the column: right for column 1, centre for column 0.
    ASSERT_NE(grid_.beginEdit(0, 1), nullptr);
    EXPECT_EQ(GetWindowLongPtrW(editorWindow(), GWL_STYLE) & (ES_CENTER | ES_RIGHT), ES_RIGHT);
    // Opening another editor ends the first (no change: nothing sent).
    ASSERT_NE(grid_.beginEdit(1, 0), nullptr);
    EXPECT_EQ(GetWindowLongPtrW(editorWindow(), GWL_STYLE) & (ES_CENTER | ES_RIGHT), ES_CENTER);
    EXPECT_EQ(grid_.editor()->row(), 1);
    int editors = 0;
    for (HWND child = GetWindow(list(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        editors += GetDlgCtrlID(child) == CGridCtrl::editorId;
    EXPECT_EQ(editors, 1);
}

TEST_P(GridTest, AScrollOrAClickElsewhereEndsTheEditWithItsText)
{
    fillThree();
    allowEdits();
    owner_.answers[GRIDN_CELLCHANGED] = [](const NMHDR*) -> LRESULT { return 1; };
    ASSERT_NE(grid_.beginEdit(0, 2), nullptr);
    typeIntoEditor(u"прокрутка");
    SendMessageW(list(), WM_VSCROLL, SB_LINEDOWN, 0);
    pump();
    EXPECT_EQ(editorWindow(), nullptr);
    EXPECT_EQ(grid_.cellText(0, 2), u"прокрутка");

    ASSERT_NE(grid_.beginEdit(1, 2), nullptr);
    typeIntoEditor(u"кнопка");
    SetFocus(GetDlgItem(parent_, IDOK));
    pump();
    EXPECT_EQ(editorWindow(), nullptr);
    EXPECT_EQ(grid_.cellText(1, 2), u"кнопка");
    EXPECT_EQ(owner_.count(GRIDN_CELLCHANGED), 2);
}

TEST_P(GridTest, DoubleClickFocusesARowFirstAndEditsTheFocusedOne)
{
    fillThree();
    allowEdits();
    ASSERT_FALSE(rowFocused(1));
    doubleClick(cellCentre(1, 2));
    ASSERT_EQ(owner_.count(GRIDN_DBLCLICK), 1);
    EXPECT_EQ(owner_.last(GRIDN_DBLCLICK)->first, 1);
    EXPECT_EQ(owner_.last(GRIDN_DBLCLICK)->second, 2);
    EXPECT_TRUE(rowFocused(1));
    EXPECT_TRUE(grid_.isRowSelected(1));
    EXPECT_EQ(owner_.count(GRIDN_ROWSELECTED), 1);
    EXPECT_EQ(owner_.count(GRIDN_CANEDIT), 0);
    EXPECT_EQ(editorWindow(), nullptr);

    // The row has the focus now: the second double click opens the editor
    // on the cell that was hit.
    doubleClick(cellCentre(1, 2));
    EXPECT_EQ(owner_.count(GRIDN_CANEDIT), 1);
    ASSERT_NE(grid_.editor(), nullptr);
    EXPECT_EQ(grid_.editor()->row(), 1);
    EXPECT_EQ(grid_.editor()->column(), 2);
    SetFocus(list());
    pump();

    // Below the last row: reported, nothing else.
    RECT last{};
    ListView_GetItemRect(list(), 2, &last, LVIR_BOUNDS);
    doubleClick({last.left + 20, last.bottom + 40});
    EXPECT_EQ(owner_.count(GRIDN_DBLCLICK), 3);
    EXPECT_EQ(owner_.last(GRIDN_DBLCLICK)->first, -1);
    EXPECT_EQ(owner_.count(GRIDN_CANEDIT), 1);
    EXPECT_EQ(editorWindow(), nullptr);
}

TEST_P(GridTest, AParentThatHandlesTheDoubleClickStopsTheGrid)
{
    fillThree();
    allowEdits();
    owner_.doubleClickResult = 1;
    doubleClick(cellCentre(2, 1));
    EXPECT_EQ(owner_.count(GRIDN_DBLCLICK), 1);
    EXPECT_FALSE(rowFocused(2));
    EXPECT_EQ(owner_.count(GRIDN_ROWSELECTED), 0);
}

TEST_P(GridTest, AZeroWidthColumnCannotBeWidened)
{
    fillThree();
    grid_.setColumnWidth(2, 0);
    ASSERT_EQ(grid_.columnWidth(2), 0);
    // The header asks its list view before a divider is dragged.
    NMHEADERW track{};
    HDITEMW width{};
    width.mask = HDI_WIDTH;
    width.cxy = 0;
    track.hdr = {header(), static_cast<UINT_PTR>(GetDlgCtrlID(header())), HDN_BEGINTRACKW};
    track.iItem = 2;
    track.pitem = &width;
    EXPECT_TRUE(SendMessageW(list(), WM_NOTIFY, track.hdr.idFrom, reinterpret_cast<LPARAM>(&track)));
    EXPECT_EQ(owner_.count(GRIDN_BEGINRESIZE), 0); // refused without asking
    track.hdr.code = HDN_DIVIDERDBLCLICKW;          // nor sized to fit its texts
    SendMessageW(list(), WM_NOTIFY, track.hdr.idFrom, reinterpret_cast<LPARAM>(&track));
    pump();
    EXPECT_EQ(grid_.columnWidth(2), 0);

    // The mouse on the divider right of column 1 (at 40 + 90 = 130, where
    // the hidden column 2 begins), dragged 60 pixels to the right.
    RECT first{};
    Header_GetItemRect(header(), 1, &first);
    int y = (first.top + first.bottom) / 2;
    for (int x : {first.right, first.right + 2}) {
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
    NMHEADERW track{};
    HDITEMW item{};
    track.hdr = {header(), static_cast<UINT_PTR>(GetDlgCtrlID(header())), HDN_BEGINTRACKW};
    track.iItem = 1;
    track.pitem = &item;
    // The parent refuses: non-zero.
    owner_.answers[GRIDN_BEGINRESIZE] = [](const NMHDR*) -> LRESULT { return 1; };
    EXPECT_TRUE(SendMessageW(list(), WM_NOTIFY, track.hdr.idFrom, reinterpret_cast<LPARAM>(&track)));
    ASSERT_EQ(owner_.count(GRIDN_BEGINRESIZE), 1);
    EXPECT_EQ(owner_.last(GRIDN_BEGINRESIZE)->first, 1);
    EXPECT_EQ(owner_.last(GRIDN_BEGINRESIZE)->second, 0);
    owner_.answers.erase(GRIDN_BEGINRESIZE);
    EXPECT_FALSE(SendMessageW(list(), WM_NOTIFY, track.hdr.idFrom, reinterpret_cast<LPARAM>(&track)));

    // The end of a resize to 150 pixels, cancelled by the answer 1: column 1
    // goes back to its 90.
    owner_.answers[GRIDN_COLUMNRESIZED] = [](const NMHDR*) -> LRESULT { return 1; };
    grid_.setColumnWidth(1, 150);
    item.mask = HDI_WIDTH;
    item.cxy = 150;
    track.hdr.code = HDN_ENDTRACKW;
    SendMessageW(list(), WM_NOTIFY, track.hdr.idFrom, reinterpret_cast<LPARAM>(&track));
    pump();
    ASSERT_EQ(owner_.count(GRIDN_COLUMNRESIZED), 1);
    EXPECT_EQ(owner_.last(GRIDN_COLUMNRESIZED)->first, 1);
    EXPECT_EQ(owner_.last(GRIDN_COLUMNRESIZED)->second, 150);
    EXPECT_EQ(grid_.columnWidth(1), 90);

    // A drag of column 3 to display position 0: asked, and cancelled by 1.
    owner_.answers[GRIDN_COLUMNMOVED] = [](const NMHDR*) -> LRESULT { return 1; };
    item.mask = HDI_ORDER;
    item.iOrder = 0;
    track.iItem = 3;
    track.hdr.code = HDN_ENDDRAG;
    EXPECT_TRUE(SendMessageW(list(), WM_NOTIFY, track.hdr.idFrom, reinterpret_cast<LPARAM>(&track)));
    ASSERT_EQ(owner_.count(GRIDN_COLUMNMOVED), 1);
    EXPECT_EQ(owner_.last(GRIDN_COLUMNMOVED)->first, 3);
    EXPECT_EQ(owner_.last(GRIDN_COLUMNMOVED)->second, 0);
    // A drop where the column already is changes no order: not asked.
    item.iOrder = 3;
    SendMessageW(list(), WM_NOTIFY, track.hdr.idFrom, reinterpret_cast<LPARAM>(&track));
    EXPECT_EQ(owner_.count(GRIDN_COLUMNMOVED), 1);
}

TEST_P(GridTest, TheContextMenuRequestNamesAScreenPoint)
{
    fillThree();
    SendMessageW(list(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list()), MAKELPARAM(300, 200));
    ASSERT_EQ(owner_.count(GRIDN_CONTEXTMENU), 1);
    EXPECT_EQ(owner_.last(GRIDN_CONTEXTMENU)->first, 300);
    EXPECT_EQ(owner_.last(GRIDN_CONTEXTMENU)->second, 200);
    // From the keyboard (-1, -1): the client corner moved by (5, 5).
    POINT corner{5, 5};
    ClientToScreen(list(), &corner);
    SendMessageW(list(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list()), MAKELPARAM(-1, -1));
    ASSERT_EQ(owner_.count(GRIDN_CONTEXTMENU), 2);
    EXPECT_EQ(owner_.last(GRIDN_CONTEXTMENU)->first, corner.x);
    EXPECT_EQ(owner_.last(GRIDN_CONTEXTMENU)->second, corner.y);
}

TEST_P(GridTest, RowColoursAndTheHighlightWithoutFocus)
{
    fillThree();
    // Row 0 yellow on dark blue; row 2 selected while the OK button has the focus.
    const COLORREF yellow = RGB(255, 255, 0);
    grid_.setRowColours(0, RGB(0, 0, 128), yellow);
    grid_.selectRow(2);
    SetFocus(GetDlgItem(parent_, IDOK));
    RedrawWindow(list(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    pump();
    ASSERT_NE(GetFocus(), list());
    // A point in the name column's cell, right of its short left-aligned text.
    auto pixel = [&](int row) {
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

INSTANTIATE_TEST_SUITE_P(Parents, GridTest, ::testing::Values(ParentKind::window, ParentKind::dialog), parentName);

} // namespace
