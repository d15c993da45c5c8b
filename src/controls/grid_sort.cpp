#include "controls/grid_sort.h"

#include <utility>

#include "text/format.h"
#include "text/unicode.h"

namespace norvalt {

GridSortKind gridSortKindOfAnswer(std::intptr_t answer)
{
    switch (answer) {
    case 0: return GridSortKind::none;
    case 2: return GridSortKind::number;
    case 3: return GridSortKind::date;
    default: return GridSortKind::text;
    }
}

GridSortKeys::GridSortKeys(GridSortKind kind, bool ascending, GridDateReader readDate)
    : kind_(kind), ascending_(ascending), readDate_(std::move(readDate))
{
}

void GridSortKeys::add(std::u16string_view cellText)
{
    switch (kind_) {
    case GridSortKind::number:
        // As wcstod reads it in the classic locale: a text that is no number is 0.
        numbers_.push_back(parseDoublePrefix(cellText));
        break;
    case GridSortKind::date:
        dates_.push_back(readDate_ ? readDate_(cellText) : std::nullopt);
        break;
    case GridSortKind::text:
    case GridSortKind::none:
        texts_.emplace_back(cellText);
        break;
    }
    ++count_;
}

int GridSortKeys::compareAscending(std::size_t a, std::size_t b) const
{
    switch (kind_) {
    case GridSortKind::number:
        return numbers_[a] > numbers_[b] ? 1 : -1;
    case GridSortKind::date: {
        const auto& first = dates_[a];
        const auto& second = dates_[b];
        if (!first || !second) return 0;
        if (*first < *second) return -1;
        return *first > *second ? 1 : 0;
    }
    case GridSortKind::text:
    case GridSortKind::none:
        break;
    }
    int order = unicode::foldCompare(texts_[a], texts_[b]);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

int GridSortKeys::compare(std::size_t a, std::size_t b) const
{
    int order = compareAscending(a, b);
    return ascending_ ? order : -order;
}

} // namespace norvalt
