#pragma once
// Unicode-aware SQL functions and the NOCASE collation over the module's
// Unicode 5.1 tables, registered on every database connection so that the
// host schema's NOCASE columns, LIKE and upper/lower treat Cyrillic and other
// non-ASCII text case- and accent-insensitively.
//
// The same source also builds the SQLite loadable extension unicodesql
// (compiled there with NORVALT_SQLITE_EXTENSION, reaching SQLite through the
// extension's routine table).
#include <optional>
#include <string_view>

struct sqlite3;

namespace norvalt {

// Registers unicode_version, like (2 and 3 arguments), fold, lower, upper,
// title, unaccent and the NOCASE collation for UTF-8 and UTF-16. Returns the
// SQLite result code: the first failing function registration, else that of
// the UTF-16 collation.
int registerUnicodeFunctions(sqlite3* db);

// The LIKE match of UTF-8 text against a UTF-8 pattern: '%' matches any run
// of characters, '_' one character, the escape character makes the next one
// literal, and characters compare by their NOCASE key. Iterative, with stack
// use independent of the pattern and time at worst proportional to the
// product of the two lengths.
bool likeMatch(std::string_view pattern, std::string_view text, std::optional<char32_t> escape);

// The NOCASE comparison of two texts in UTF-8 (encoding 1) or UTF-16 in the
// machine's byte order (encoding 4), as the collation callback computes it.
int nocaseCompare(int encoding, const void* a, int aBytes, const void* b, int bBytes);

} // namespace norvalt
