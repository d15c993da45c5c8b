// The pages built on the grid: the Components page and the components page
// of the settings dialog, driven by header clicks, double clicks and the
// cell editor's keys.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calc/components.h"
#include "res/resource_ids.h"
#include "text/wide.h"
#include "ui/components_tab.h"
#include "ui/settings_comps_tab.h"
#include "ui_fixture.h"

using namespace norvalt;
using namespace norvalt::test;

namespace {

using Texts = std::vector<std::u16string>;

struct ColumnLook {
    std::u16string header;
    int width;
    int format;
};

ColumnLook columnLook(HWND list, int column)
{
    wchar_t header[64] = {};
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    c.pszText = header;
    c.cchTextMax = 64;
    SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&c));
    return {std::u16string(fromWide(header)), c.cx, c.fmt & LVCFMT_JUSTIFYMASK};
}

int headerSortMark(HWND list, int column)
{
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    SendMessageW(reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)), HDM_GETITEMW, column,
                 reinterpret_cast<LPARAM>(&item));
    return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
}

Peak peak(const char16_t* name, double area, double time)
{
    Peak p;
    p.name = name;
    p.area = area;
    p.time = time;
    return p;
}

class GridPagesTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        for (const Component& c : componentTable()) saved.push_back(c.altName);
        const char16_t* names[] = {u"ЭГ", u"ДЭГ", u"ТЭГ", u"Вода", u"Нонанол", u"Бензиловый спирт"};
        for (std::int32_t id = 0; id < 6; ++id) setComponentAltName(id, names[id]);
    }
    void TearDown() override
    {
        for (std::int32_t id = 0; id < 6; ++id) setComponentAltName(id, saved[static_cast<std::size_t>(id)]);
        UiTest::TearDown();
    }
    std::vector<std::u16string> saved;
};

} // namespace

TEST_F(GridPagesTest, ComponentsPageColumns)
{
    ComponentsTab page;
    ASSERT_NE(page.create(owner()), nullptr);
    const HWND list = page.item(IDC_PAGE_LIST);
    // Grid lines, full-row selection, info tips and draggable headers.
    EXPECT_EQ(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), 0x431);
    struct Case {
        int column;
        ColumnLook look;
    };
    const Case cases[] = {{0, {u"№", 30, LVCFMT_CENTER}},
                          {1, {u"Имя", 250, LVCFMT_LEFT}},
                          {2, {u"Площадь", 90, LVCFMT_CENTER}},
                          {3, {u"Время выхода", 90, LVCFMT_CENTER}}};
    for (const Case& c : cases) {
        const ColumnLook look = columnLook(list, c.column);
        EXPECT_EQ(look.header, c.look.header) << c.column;
        EXPECT_EQ(look.width, c.look.width) << c.column;
        EXPECT_EQ(look.format, c.look.format) << c.column;
    }
}

TEST_F(GridPagesTest, ComponentsPageShowsAndSortsThePeaks)
{
    ComponentsTab page;
    ASSERT_NE(page.create(owner()), nullptr);
    const HWND list = page.item(IDC_PAGE_LIST);
    Chromatogram chromatogram;
    chromatogram.peaks = {peak(u"ЭГ", 12.5, 1.5), peak(u"ДЭГ", 120, 10), peak(u"ТЭГ", 99, 9),
                          peak(u"", 0.0004, 100)};
    page.showPeaks(chromatogram);
    // 12.5 -> "12.500", 1.5 -> "1.50"; 0.0004 rounds to "0.000".
    EXPECT_EQ(columnTexts(list, 0), (Texts{u"1", u"2", u"3", u"4"}));
    EXPECT_EQ(columnTexts(list, 1), (Texts{u"ЭГ", u"ДЭГ", u"ТЭГ", u""}));
    EXPECT_EQ(columnTexts(list, 2), (Texts{u"12.500", u"120.000", u"99.000", u"0.000"}));
    EXPECT_EQ(columnTexts(list, 3), (Texts{u"1.50", u"10.00", u"9.00", u"100.00"}));
    EXPECT_EQ(headerSortMark(list, 0), HDF_SORTUP);

    struct Click {
        int column;
        Texts numbers;  // column 0 after the click
        int mark;
    };
    const Click clicks[] = {
        // Area as text: "0.000" < "12.500" < "120.000" < "99.000".
        {2, {u"4", u"1", u"2", u"3"}, HDF_SORTUP},
        // Time as numbers: 1.5 < 9 < 10 < 100 (as text "100.00" would come before "9.00").
        {3, {u"1", u"3", u"2", u"4"}, HDF_SORTUP},
        // The same header again: descending.
        {3, {u"4", u"2", u"3", u"1"}, HDF_SORTDOWN},
        // Name as text: "" first, then Д < Т < Э.
        {1, {u"4", u"2", u"3", u"1"}, HDF_SORTUP},
        // Number, ascending: the chromatogram's order again.
        {0, {u"1", u"2", u"3", u"4"}, HDF_SORTUP},
    };
    for (const Click& c : clicks) {
        clickHeader(list, c.column);
        EXPECT_EQ(columnTexts(list, 0), c.numbers) << "after a click on " << c.column;
        EXPECT_EQ(headerSortMark(list, c.column), c.mark) << c.column;
    }

    // No cell opens for editing, even on the focused row.
    focusRow(list, 0);
    doubleClickCell(list, 0, 1);
    EXPECT_EQ(cellEditor(list), nullptr);

    page.clear();
    EXPECT_EQ(listRowCount(list), 0);
    // A chromatogram without peaks shows an empty page.
    page.showPeaks(Chromatogram{});
    EXPECT_EQ(listRowCount(list), 0);
}

TEST_F(GridPagesTest, SettingsComponentsPageListsComponentsZeroToFive)
{
    SettingsCompsTab page;
    ASSERT_NE(page.create(owner()), nullptr);
    const HWND list = page.item(IDC_PAGE_LIST);
    EXPECT_EQ(columnTexts(list, 0), (Texts{u"1", u"2", u"3", u"4", u"5", u"6"}));
    EXPECT_EQ(columnTexts(list, 1), (Texts{u"Этиленгликоль", u"Диэтиленгликоль", u"Триэтиленгликоль", u"Вода",
                                           u"Нонанол-1", u"Бензиловый спирт"}));
    EXPECT_EQ(columnTexts(list, 2), (Texts{u"ЭГ", u"ДЭГ", u"ТЭГ", u"Вода", u"Нонанол", u"Бензиловый спирт"}));
    EXPECT_EQ(columnTexts(list, 3), (Texts{u"C2H6O2", u"C4H10O3", u"C6H14O4", u"H20", u"C9H20O", u"C7H8O"}));
    const ColumnLook widths[] = {{u"№", 30, LVCFMT_CENTER},
                                 {u"Имя", 154, LVCFMT_LEFT},
                                 {u"Имя в хроматограмме", 154, LVCFMT_LEFT},
                                 {u"Формула", 80, LVCFMT_LEFT}};
    for (int c = 0; c < 4; ++c) {
        const ColumnLook look = columnLook(list, c);
        EXPECT_EQ(look.header, widths[c].header);
        EXPECT_EQ(look.width, widths[c].width);
        EXPECT_EQ(look.format, widths[c].format);
    }
    for (int row = 0; row < 6; ++row) EXPECT_EQ(page.grid().rowValue(row), row);

    // Names in Cyrillic alphabetical order: Б, В, Д, Н, Т, Э, i.e. ids
    // 5, 3, 1, 4, 2, 0 and numbers 6, 4, 2, 5, 3, 1.
    clickHeader(list, 1);
    EXPECT_EQ(columnTexts(list, 0), (Texts{u"6", u"4", u"2", u"5", u"3", u"1"}));
    // Numbers descending after ascending.
    clickHeader(list, 0);
    clickHeader(list, 0);
    EXPECT_EQ(columnTexts(list, 0), (Texts{u"6", u"5", u"4", u"3", u"2", u"1"}));
}

TEST_F(GridPagesTest, AlternativeNamesAreEditedInPlace)
{
    SettingsCompsTab page;
    ASSERT_NE(page.create(owner()), nullptr);
    ShowWindow(owner(), SW_SHOW);
    ShowWindow(page.hwnd(), SW_SHOW);
    const HWND list = page.item(IDC_PAGE_LIST);
    const int deg = 1;  // row of diethylene glycol, sorted by number

    // Only the name in the chromatograms opens for editing.
    focusRow(list, deg);
    doubleClickCell(list, deg, 1);
    EXPECT_EQ(cellEditor(list), nullptr);

    struct Case {
        const char* name;
        const wchar_t* text;
        WPARAM key;
        const char16_t* shown;   // the cell afterwards
        const char16_t* inForce; // diethylene glycol's alternative name afterwards
    };
    const Case cases[] = {
        {"accepted", L"ДЭГ-2", VK_RETURN, u"ДЭГ-2", u"ДЭГ-2"},
        {"empty refused", L"", VK_RETURN, u"ДЭГ-2", u"ДЭГ-2"},
        {"blanks refused", L"   ", VK_RETURN, u"ДЭГ-2", u"ДЭГ-2"},
        {"escape", L"другое", VK_ESCAPE, u"ДЭГ-2", u"ДЭГ-2"},
        {"unchanged", L"ДЭГ-2", VK_RETURN, u"ДЭГ-2", u"ДЭГ-2"},
        {"accepted again", L"диэтиленгликоль", VK_RETURN, u"диэтиленгликоль", u"диэтиленгликоль"},
    };
    for (const Case& c : cases) {
        focusRow(list, deg);
        doubleClickCell(list, deg, 2);
        ASSERT_NE(cellEditor(list), nullptr) << c.name;
        finishEdit(list, c.text, c.key);
        pump();
        EXPECT_EQ(cellEditor(list), nullptr) << c.name;
        EXPECT_EQ(listCell(list, deg, 2), c.shown) << c.name;
        EXPECT_EQ(componentTable()[DiethyleneGlycol].altName, c.inForce) << c.name;
    }
    // The accepted name is what recognises peaks from now on.
    EXPECT_EQ(componentOfName(u"Диэтиленгликоль"), DiethyleneGlycol);
    EXPECT_EQ(componentOfName(u"ДЭГ-2"), UnidentifiedSubstance);
}
