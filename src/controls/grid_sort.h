#pragma once
// How the grid orders its rows by one column: the owner names the kind of the
// column (numbers, dates or text) when a sort is asked for, the grid reads
// every row's text of that column once, turns it into a key here and then
// compares only keys while the rows are sorted. Portable: the date reading,
// which depends on the user's locale, is handed in by the caller.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace norvalt {

// The owner's answer to a sort request. The values are those of the answer
// to GRIDN_SORTKIND, so a page can answer with static_cast<LRESULT>(kind).
enum class GridSortKind : int {
    none = 0,   // the column does not sort
    text = 1,   // case-insensitive text (any non-zero answer other than 2 and 3)
    number = 2, // decimal numbers with a point; a text that is no number counts as 0
    date = 3,   // dates in the user's format; a text that is no date equals everything
};

// The kind that an answer to GRIDN_SORTKIND names.
GridSortKind gridSortKindOfAnswer(std::intptr_t answer);

// A date read from a cell text as a day number (the later the greater), or
// nothing when the text is no date.
using GridDateReader = std::function<std::optional<double>(std::u16string_view)>;

// The keys of one sort: one per row, added in the order of the rows before
// the sort; compare() then works on row numbers of that order.
class GridSortKeys {
public:
    GridSortKeys(GridSortKind kind, bool ascending, GridDateReader readDate = {});

    void add(std::u16string_view cellText);
    std::size_t size() const { return count_; }

    // Negative when row a goes before row b, positive when after, 0 when they
    // count as equal. Numbers are never equal: the first goes after the second
    // only when its number is greater. Dates are equal when either text is no
    // date. Descending negates every result.
    int compare(std::size_t a, std::size_t b) const;

private:
    int compareAscending(std::size_t a, std::size_t b) const;

    GridSortKind kind_;
    bool ascending_;
    GridDateReader readDate_;
    std::size_t count_ = 0;
    std::vector<double> numbers_;
    std::vector<std::optional<double>> dates_;
    std::vector<std::u16string> texts_;
};

} // namespace norvalt
