#include "text/unicode.h"

#include "text/generated/unicode_tables.h"

namespace norvalt::unicode {

namespace {

constexpr char16_t noMapping = 0xFFFF;

std::u16string_view lookup(const tables::Mapping& t, char16_t u)
{
    const unsigned blockSize = 1u << t.shift;
    const unsigned entry = t.stage1[u >> t.shift];
    const std::uint8_t* offsets = t.offsets + entry * (blockSize + 1);
    const unsigned i = u & (blockSize - 1);
    const char16_t* units = t.units + t.starts[entry];
    return {units + offsets[i], static_cast<std::size_t>(offsets[i + 1] - offsets[i])};
}

// The case tables replace every unit by exactly one unit, 0xFFFF meaning "itself".
char16_t single(const tables::Mapping& t, char16_t u)
{
    const char16_t r = lookup(t, u).front();
    return r == noMapping ? u : r;
}

const tables::Mapping& table(Mapping m)
{
    switch (m) {
    case Mapping::fold: return tables::foldMapping;
    case Mapping::lower: return tables::lowerMapping;
    case Mapping::upper: return tables::upperMapping;
    case Mapping::title: return tables::titleMapping;
    case Mapping::unaccent: break;
    }
    return tables::unaccentMapping;
}

bool contains(const tables::BitSet& s, char16_t u)
{
    return (s.words[s.stage1[u >> 5]] >> (u & 31)) & 1u;
}

} // namespace

std::u16string_view replacement(Mapping m, char16_t u)
{
    const auto r = lookup(table(m), u);
    return r.size() == 1 && r.front() == noMapping ? std::u16string_view() : r;
}

char16_t fold(char16_t u) { return single(tables::foldMapping, u); }
char16_t lower(char16_t u) { return single(tables::lowerMapping, u); }
char16_t upper(char16_t u) { return single(tables::upperMapping, u); }
char16_t title(char16_t u) { return single(tables::titleMapping, u); }

std::u16string_view unaccent(char16_t u) { return replacement(Mapping::unaccent, u); }

bool isWhiteSpace(char16_t u) { return contains(tables::whiteSpaceSet, u); }
bool isGraphic(char16_t u) { return contains(tables::graphicSet, u); }

int foldCompare(std::u16string_view a, std::u16string_view b)
{
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (a[i] == b[i]) continue;
        const char16_t fa = fold(a[i]);
        const char16_t fb = fold(b[i]);
        if (fa != fb) return fa < fb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

std::u16string toLower(std::u16string_view text)
{
    std::u16string out(text);
    for (char16_t& u : out)
        u = lower(u);
    return out;
}

std::u16string toUpper(std::u16string_view text)
{
    std::u16string out(text);
    for (char16_t& u : out)
        u = upper(u);
    return out;
}

} // namespace norvalt::unicode
