#include "text/string_table.h"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace norvalt {

namespace {

struct Entry {
    int id;
    std::u16string_view text;
};

#define NORVALT_STRING(id, text) {id, u"" text},
constexpr Entry table[] = {
#include "strings_ru.inc"
};
#undef NORVALT_STRING

static_assert(std::is_sorted(std::begin(table), std::end(table),
                             [](const Entry& a, const Entry& b) { return a.id < b.id; }),
              "the string table is kept in ascending id order");

StringLookup& installedLookup()
{
    static StringLookup lookup;
    return lookup;
}

} // namespace

std::optional<std::u16string> builtinString(int id)
{
    auto it = std::lower_bound(std::begin(table), std::end(table), id,
                               [](const Entry& e, int key) { return e.id < key; });
    if (it == std::end(table) || it->id != id) return std::nullopt;
    return std::u16string(it->text);
}

std::u16string loadString(int id)
{
    if (const auto& lookup = installedLookup()) {
        if (auto text = lookup(id)) return *text;
    }
    return builtinString(id).value_or(std::u16string());
}

void setStringLookup(StringLookup lookup)
{
    installedLookup() = std::move(lookup);
}

} // namespace norvalt
