#include "controls/grid_sort.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace norvalt;

namespace {

struct PairCase {
    GridSortKind kind;
    bool ascending;
    std::u16string first;
    std::u16string second;
    int expected; // sign of compare(first, second)
};

// Dates for the tests, as day numbers: the reader of the real grid depends on
// the user's locale, the comparison rules do not.
std::optional<double> testDate(std::u16string_view text)
{
    static const std::map<std::u16string, double, std::less<>> days = {
        {u"01.02.24", 45323.0}, // 1 February 2024
        {u"15.01.24", 45306.0}, // 15 January 2024, 17 days earlier
        {u"1/2/2024", 45323.0}, // the first date written otherwise
    };
    auto found = days.find(text);
    if (found == days.end()) return std::nullopt;
    return found->second;
}

int sign(int v)
{
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

// Row order after sorting by compare(): insertion sort, which moves a row
// before another only when the comparison says so, as a merge sort does.
std::vector<std::u16string> sorted(GridSortKind kind, bool ascending, const std::vector<std::u16string>& texts)
{
    GridSortKeys keys(kind, ascending, testDate);
    for (const auto& text : texts) keys.add(text);
    std::vector<std::size_t> order;
    for (std::size_t row = 0; row < texts.size(); ++row) {
        auto at = order.end();
        while (at != order.begin() && keys.compare(*(at - 1), row) > 0) --at;
        order.insert(at, row);
    }
    std::vector<std::u16string> result;
    for (std::size_t row : order) result.push_back(texts[row]);
    return result;
}

} // namespace

TEST(GridSortKind, TheOwnersAnswerNamesTheKind)
{
    struct Case {
        std::intptr_t answer;
        GridSortKind kind;
    };
    // 0, 2 and 3 have meanings of their own; every other value sorts as text.
    const Case cases[] = {
        {0, GridSortKind::none}, {1, GridSortKind::text},  {2, GridSortKind::number},
        {3, GridSortKind::date}, {4, GridSortKind::text},  {-1, GridSortKind::text},
        {0x10002, GridSortKind::text},
    };
    for (const auto& c : cases) EXPECT_EQ(gridSortKindOfAnswer(c.answer), c.kind) << c.answer;
}

TEST(GridSortKeys, PairsCompareByTheKindOfTheColumn)
{
    using K = GridSortKind;
    const PairCase cases[] = {
        // Numbers: 10 > 9, so "10" goes after "9"; 100 > 10.
        {K::number, true, u"10", u"9", 1},
        {K::number, true, u"9", u"10", -1},
        {K::number, true, u"100", u"10", 1},
        {K::number, true, u"1.5", u"1.25", 1},    // 1.5 > 1.25: the point is the separator
        {K::number, true, u"1,5", u"1.2", -1},    // "1,5" reads as 1, and 1 < 1.2
        {K::number, true, u"  7", u"6", 1},       // leading blanks skipped: 7 > 6
        {K::number, true, u"12.5 мг", u"12.4", 1},// the number in front of a unit: 12.5 > 12.4
        {K::number, true, u"abc", u"-1", 1},      // no number is 0, and 0 > -1
        {K::number, true, u"abc", u"0", -1},      // 0 is not greater than 0
        {K::number, true, u"5", u"5.0", -1},      // equal numbers are never reported equal
        {K::number, true, u"5.0", u"5", -1},
        {K::number, false, u"10", u"9", -1},      // descending negates: 10 > 9 gives -1
        {K::number, false, u"5", u"5", 1},
        // Text, case-insensitive: '1' (0x31) < '9' (0x39); a text before a longer one it begins.
        {K::text, true, u"10", u"9", -1},
        {K::text, true, u"100", u"10", 1},
        {K::text, true, u"120.000", u"99.000", -1},
        {K::text, true, u"Вода", u"вОДА", 0},
        {K::text, true, u"abc", u"ABD", -1},      // 'c' < 'd' after folding
        {K::text, true, u"Этиленгликоль", u"диэтиленгликоль", 1}, // 'э' (0x44D) > 'д' (0x434)
        {K::text, false, u"abc", u"ABD", 1},
        {K::text, false, u"Вода", u"вода", 0},    // equal stays equal when negated
        // Dates: the earlier first; a text that is no date equals everything.
        {K::date, true, u"15.01.24", u"01.02.24", -1},
        {K::date, true, u"01.02.24", u"15.01.24", 1},
        {K::date, true, u"01.02.24", u"1/2/2024", 0},
        {K::date, true, u"вчера", u"15.01.24", 0},
        {K::date, true, u"15.01.24", u"", 0},
        {K::date, false, u"15.01.24", u"01.02.24", 1},
    };
    for (const auto& c : cases) {
        GridSortKeys keys(c.kind, c.ascending, testDate);
        keys.add(c.first);
        keys.add(c.second);
        ASSERT_EQ(keys.size(), 2u);
        EXPECT_EQ(sign(keys.compare(0, 1)), c.expected)
            << static_cast<int>(c.kind) << (c.ascending ? " up " : " down ") << c.first.size() << "/"
            << c.second.size() << " units";
    }
}

TEST(GridSortKeys, TheThreeOrdersOfTenNineAndHundred)
{
    const std::vector<std::u16string> texts = {u"10", u"9", u"100"};
    EXPECT_EQ(sorted(GridSortKind::number, true, texts), (std::vector<std::u16string>{u"9", u"10", u"100"}));
    EXPECT_EQ(sorted(GridSortKind::number, false, texts), (std::vector<std::u16string>{u"100", u"10", u"9"}));
    EXPECT_EQ(sorted(GridSortKind::text, true, texts), (std::vector<std::u16string>{u"10", u"100", u"9"}));
    EXPECT_EQ(sorted(GridSortKind::text, false, texts), (std::vector<std::u16string>{u"9", u"100", u"10"}));
    // 15 January before 1 February.
    EXPECT_EQ(sorted(GridSortKind::date, true, {u"01.02.24", u"15.01.24"}),
              (std::vector<std::u16string>{u"15.01.24", u"01.02.24"}));
}

TEST(GridSortKeys, EachTextIsReadOnceHoweverOftenItIsCompared)
{
    int reads = 0;
    GridSortKeys keys(GridSortKind::date, true, [&](std::u16string_view text) {
        ++reads;
        return testDate(text);
    });
    keys.add(u"01.02.24");
    keys.add(u"15.01.24");
    keys.add(u"нет");
    for (int round = 0; round < 4; ++round) {
        EXPECT_GT(keys.compare(0, 1), 0);
        EXPECT_EQ(keys.compare(2, 0), 0);
    }
    EXPECT_EQ(reads, 3);
}

TEST(GridSortKeys, DatesWithoutAReaderAreAllEqual)
{
    GridSortKeys keys(GridSortKind::date, true);
    keys.add(u"15.01.24");
    keys.add(u"01.02.24");
    EXPECT_EQ(keys.compare(0, 1), 0);
    EXPECT_EQ(keys.compare(1, 0), 0);
}
