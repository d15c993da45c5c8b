// The Messages and Calculation pages, made from their templates and read
// back through their controls.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/resource_ids.h"
#include "text/wide.h"
#include "ui/calculation_tab.h"
#include "ui/list_view.h"
#include "ui/messages_tab.h"
#include "ui_fixture.h"

using namespace norvalt;
using namespace norvalt::test;

namespace {

class ResultPagesTest : public UiTest {
protected:
    std::vector<std::u16string> listBoxLines(HWND list)
    {
        std::vector<std::u16string> lines;
        const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            std::u16string line(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, u'\0');
            line.resize(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wideBuffer(line)))));
            lines.push_back(line);
        }
        return lines;
    }
};

} // namespace

TEST_F(ResultPagesTest, MessagesAreNumberedAcrossTheLevels)
{
    struct Case {
        const char* name;
        std::vector<std::u16string> errors, warnings, information;
        std::vector<std::u16string> lines;
    };
    const Case cases[] = {
        {"nothing", {}, {}, {}, {}},
        // Two errors then a warning: the warning is number 3, not 1.
        {"errors then a warning",
         {u"E1", u"E2"},
         {u"W1"},
         {},
         {u"Ошибки:", u"    1. E1", u"    2. E2", u"Предупреждения:", u"    3. W1"}},
        // A level without texts has no heading: information follows errors.
        {"errors and information",
         {u"E1"},
         {},
         {u"I1", u"I2"},
         {u"Ошибки:", u"    1. E1", u"Информация:", u"    2. I1", u"    3. I2"}},
        {"information only", {}, {}, {u"I1"}, {u"Информация:", u"    1. I1"}},
    };
    for (const Case& c : cases) {
        MessageList messages;
        MessagesTab page(messages);
        ASSERT_NE(page.create(owner()), nullptr);
        for (const auto& t : c.errors) page.addMessage(MessageLevel::Error, t);
        for (const auto& t : c.warnings) page.addMessage(MessageLevel::Warning, t);
        for (const auto& t : c.information) page.addMessage(MessageLevel::Information, t);
        page.refresh();
        EXPECT_EQ(listBoxLines(page.item(IDC_MESSAGES)), c.lines) << c.name;
    }
}

// Adding changes the lists only; the list box shows the last refresh until
// the next one, and a text added twice is shown once.
TEST_F(ResultPagesTest, OnlyARefreshRewritesTheMessageListBox)
{
    MessageList messages;
    MessagesTab page(messages);
    ASSERT_NE(page.create(owner()), nullptr);
    const HWND list = page.item(IDC_MESSAGES);

    page.addMessage(MessageLevel::Error, u"first");
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 0);
    page.refresh();
    EXPECT_EQ(listBoxLines(list), (std::vector<std::u16string>{u"Ошибки:", u"    1. first"}));

    // A loader's message between recalculations.
    messages.addMessage(MessageLevel::Warning, u"later");
    page.addMessage(MessageLevel::Error, u"first");
    EXPECT_EQ(listBoxLines(list), (std::vector<std::u16string>{u"Ошибки:", u"    1. first"}));
    page.refresh();
    EXPECT_EQ(listBoxLines(list),
              (std::vector<std::u16string>{u"Ошибки:", u"    1. first", u"Предупреждения:", u"    2. later"}));

    page.clearView();
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 0);
    EXPECT_FALSE(messages.empty());
    page.refresh();
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 4);
    page.clearMessages();
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 0);
    EXPECT_TRUE(messages.empty());
}

TEST_F(ResultPagesTest, CalculationPageHasItsColumns)
{
    CalculationTab page;
    ASSERT_NE(page.create(owner()), nullptr);
    const HWND list = page.item(IDC_PAGE_LIST);
    struct Column {
        const char16_t* header;
        int width;
        int format;
    };
    // Column 0 is asked centred; the list view draws its first column
    // left-aligned anyway.
    const Column columns[] = {{u"№", 30, LVCFMT_CENTER},
                              {u"Имя", 200, LVCFMT_LEFT},
                              {u"Массовая доля", 140, LVCFMT_CENTER},
                              {u"Норматив", 65, LVCFMT_CENTER},
                              {u"Соответствие", 85, LVCFMT_CENTER}};
    for (int i = 0; i < 5; ++i) {
        wchar_t header[64] = {};
        LVCOLUMNW c{};
        c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        c.pszText = header;
        c.cchTextMax = 64;
        ASSERT_TRUE(SendMessageW(list, LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&c))) << i;
        EXPECT_EQ(fromWide(header), columns[i].header) << i;
        EXPECT_EQ(c.cx, columns[i].width) << i;
        EXPECT_EQ(c.fmt & LVCFMT_JUSTIFYMASK, columns[i].format) << i;
    }
    const auto extended = SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    EXPECT_EQ(extended & (LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
}

TEST_F(ResultPagesTest, CalculationRowsShowFractionsNormsAndCompliance)
{
    CalculationTab page;
    ASSERT_NE(page.create(owner()), nullptr);
    const HWND list = page.item(IDC_PAGE_LIST);
    // 99.81249 rounds down to 99.812; 0.0514 to 0.051; 0.9996 up to 1.000.
    // The norm 0.998 shows as 0.998, 0.0005 rounds to 0.001 at three
    // decimals, and a norm of 0 is no norm: an empty cell.
    page.setResults({{u"Этиленгликоль", 99.81249, true, 0.998},
                     {u"Диэтиленгликоль", 0.0514, false, 0.0005},
                     {u"Триэтиленгликоль", 0.9996, true, 0.0}});
    EXPECT_EQ(listRowCount(list), 0);  // the copy alone shows nothing
    page.refresh();
    const std::vector<std::vector<std::u16string>> expected = {
        {u"1", u"Этиленгликоль", u"99.812", u"0.998", u"Да"},
        {u"2", u"Диэтиленгликоль", u"0.051", u"0.001", u"Нет"},
        {u"3", u"Триэтиленгликоль", u"1.000", u"", u"Да"},
    };
    ASSERT_EQ(listRowCount(list), 3);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 5; ++c) EXPECT_EQ(listCell(list, r, c), expected[r][c]) << r << "," << c;

    // A second refresh replaces the rows rather than adding to them.
    page.setResults({{u"Этиленгликоль", 99.5, false, 0.998}});
    page.refresh();
    ASSERT_EQ(listRowCount(list), 1);
    EXPECT_EQ(listCell(list, 0, 2), u"99.500");
    EXPECT_EQ(listCell(list, 0, 4), u"Нет");

    page.clearView();
    EXPECT_EQ(listRowCount(list), 0);
    EXPECT_EQ(page.results().size(), 1u);
}
