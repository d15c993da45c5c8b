#pragma once
// Character data of Unicode 5.1.0 for the Basic Multilingual Plane, from the
// module's own generated tables: case mappings, the unaccent reduction and
// the character classes that name normalisation needs. Nothing here depends
// on the C runtime's locale.
#include "text/generated/unicode_tables.h"

#include <string>
#include <string_view>

namespace norvalt::unicode {

// The version of the character data, as the SQL function unicode_version reports it.
inline constexpr const char* dataVersion = "5.1.0.12";

enum class Mapping { fold, lower, upper, title, unaccent };

// The replacement of u in a table (1 to 18 units), or an empty view when the
// table has no mapping for u. A mapping may give u itself: the titlecase
// digraphs are their own title form.
std::u16string_view replacement(Mapping table, char16_t u);

// Simple (one-to-one) mappings; a unit without a mapping maps to itself.
char16_t fold(char16_t u);
char16_t lower(char16_t u);
char16_t upper(char16_t u);
char16_t title(char16_t u);

// The unaccent replacement of u (1 to 18 units), or an empty view when u
// has no mapping and stays as it is.
std::u16string_view unaccent(char16_t u);

// The per-character comparison key of NOCASE and LIKE: fold of u below 128,
// otherwise fold of the first unit of its unaccent replacement. Sorts and
// LIKE scans ask for it per character, so it is one inline lookup in a
// table generated from the two mappings.
inline char16_t key(char16_t u)
{
    return static_cast<char16_t>(u + tables::keyDeltas[tables::keyStage1[u >> 5] * 32u + (u & 31u)]);
}

// White space: the White_Space property.
bool isWhiteSpace(char16_t u);
// Graphic: letters, marks, numbers, punctuation and symbols (general
// categories L, M, N, P, S), and surrogate units, which belong to graphic
// characters beyond the BMP. Not graphic: controls, format characters,
// separators, private use and unassigned units.
bool isGraphic(char16_t u);

// Case-insensitive comparison: the texts compared unit by unit after simple
// case folding, a shorter text before a longer one it begins; gives a
// negative number, 0 or a positive number. Names that differ only in letter
// case compare equal.
int foldCompare(std::u16string_view a, std::u16string_view b);
inline bool foldEqual(std::u16string_view a, std::u16string_view b)
{
    return a.size() == b.size() && foldCompare(a, b) == 0;
}

// Whole-text helpers over the simple mappings.
std::u16string toLower(std::u16string_view text);
std::u16string toUpper(std::u16string_view text);

} // namespace norvalt::unicode
