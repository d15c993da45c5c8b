#include "data/unicode_sql.h"

#include "text/unicode.h"

#ifdef NORVALT_SQLITE_EXTENSION
// In the loadable extension every sqlite3_* call goes through the routine
// table that the extension's entry point receives.
#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT3
#else
#include <sqlite3.h>
#endif

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace norvalt {

namespace {

// Longer patterns are refused, as SQLite's own LIKE refuses them.
constexpr int maxPatternBytes = 50000;

using Byte = unsigned char;

// Reads one character the way SQLite's own LIKE does: a byte below 0xC0 is a
// character of its own; a lead byte takes all the continuation bytes after
// it; a sequence that decodes below 0x80, a surrogate and the two
// noncharacters U+FFFE and U+FFFF become U+FFFD. Never reads past end.
char32_t readUtf8(const Byte*& p, const Byte* end)
{
    char32_t c = *p++;
    if (c < 0xC0)
        return c;
    if (c < 0xE0)
        c &= 0x1F;
    else if (c < 0xF0)
        c &= 0x0F;
    else if (c < 0xF8)
        c &= 0x07;
    else if (c < 0xFC)
        c &= 0x03;
    else if (c < 0xFE)
        c &= 0x01;
    else
        c = 0;
    while (p != end && (*p & 0xC0) == 0x80)
        c = (c << 6) + (*p++ & 0x3F);
    if (c < 0x80 || (c & 0xFFFFF800) == 0xD800 || (c & 0xFFFFFFFE) == 0xFFFE)
        c = 0xFFFD;
    return c;
}

// The tables cover the BMP; a character beyond it is its own key, so two such
// characters are equal only when they are the same character.
char32_t keyOf(char32_t c)
{
    return c < 0x10000 ? unicode::key(static_cast<char16_t>(c)) : c;
}

bool isContinuation(Byte b)
{
    return (b & 0xC0) == 0x80;
}

// readUtf8, with the common two-byte sequence (a lead byte, one continuation
// byte and then no further one) decoded in place.
inline char32_t readTwoByteOrAny(const Byte*& p, const Byte* end)
{
    if ((p[0] & 0xE0) == 0xC0 && end - p >= 2 && isContinuation(p[1]) && (end - p == 2 || !isContinuation(p[2]))) {
        const char32_t c = (static_cast<char32_t>(p[0] & 0x1F) << 6) | (p[1] & 0x3F);
        p += 2;
        return c < 0x80 ? 0xFFFD : c;
    }
    return readUtf8(p, end);
}

// Character keys in order, the first difference deciding; a text that ends
// first is the smaller; texts whose characters all have the same keys differ
// by their lengths in bytes ('É' and 'e' are two bytes against one).
int compareUtf8(const Byte* a, int aBytes, const Byte* b, int bBytes)
{
    // Identical leading bytes hold identical characters: skip them, then step
    // back to a byte that starts a character in both texts (any byte that is
    // not a continuation byte does, and so does the end of a text).
    const int n = std::min(aBytes, bBytes);
    int i = 0;
    for (std::uint64_t wa, wb; i + 8 <= n; i += 8) {
        std::memcpy(&wa, a + i, 8);
        std::memcpy(&wb, b + i, 8);
        if (wa != wb)
            break;
    }
    while (i < n && a[i] == b[i])
        ++i;
    while (i > 0 && ((i < aBytes && isContinuation(a[i])) || (i < bBytes && isContinuation(b[i]))))
        --i;
    const Byte* aEnd = a + aBytes;
    const Byte* bEnd = b + bBytes;
    a += i;
    b += i;
    while (a != aEnd && b != bEnd) {
        // Names are mostly ASCII and two-byte Cyrillic: those characters are
        // decoded here without the general reader, and equal characters need
        // no key.
        char32_t ca = *a;
        char32_t cb = *b;
        if (ca < 0x80 && cb < 0x80) {
            ++a;
            ++b;
        } else {
            ca = readTwoByteOrAny(a, aEnd);
            cb = readTwoByteOrAny(b, bEnd);
        }
        if (ca == cb)
            continue;
        const char32_t ka = keyOf(ca);
        const char32_t kb = keyOf(cb);
        if (ka != kb)
            return static_cast<int>(ka) - static_cast<int>(kb);
    }
    if (a == aEnd && b == bEnd)
        return aBytes - bBytes;
    return a == aEnd ? -1 : 1;
}

// SQLite hands the collation keys as they lie in a page, at any address: the
// units are read byte-wise, never as aligned char16_t.
char16_t unitAt(const Byte* text, int index)
{
    char16_t unit;
    std::memcpy(&unit, text + 2 * index, sizeof unit);
    return unit;
}

int compareUtf16(const Byte* a, int aBytes, const Byte* b, int bBytes)
{
    const int n = std::min(aBytes, bBytes) / 2;
    for (int i = 0; i < n; ++i) {
        const char16_t ua = unitAt(a, i);
        const char16_t ub = unitAt(b, i);
        if (ua == ub) {
            if (ua == 0)
                break;
            continue;
        }
        const char16_t ka = unicode::key(ua);
        const char16_t kb = unicode::key(ub);
        if (ka != kb)
            return static_cast<int>(ka) - static_cast<int>(kb);
    }
    return aBytes - bBytes;
}

// Advances t to just past the next character whose key is k; false when the
// text runs out first.
bool findKey(const Byte*& t, const Byte* end, char32_t k)
{
    while (t != end)
        if (keyOf(readUtf8(t, end)) == k)
            return true;
    return false;
}

bool isEscape(char32_t c, std::optional<char32_t> escape)
{
    return escape && c == *escape;
}

// SQLite function and collation callbacks.

struct CaseMapping {
    char16_t (*map)(char16_t);
};

constexpr CaseMapping foldMapping{&unicode::fold};
constexpr CaseMapping lowerMapping{&unicode::lower};
constexpr CaseMapping upperMapping{&unicode::upper};
constexpr CaseMapping titleMapping{&unicode::title};

void unicodeVersion(sqlite3_context* ctx, int, sqlite3_value**)
{
    sqlite3_result_text(ctx, unicode::dataVersion, -1, SQLITE_STATIC);
}

// The argument of a one-argument mapping as UTF-16, or null when the
// result is already set: NULL for a NULL argument, out-of-memory when
// SQLite cannot convert the text.
const char16_t* textArgument(sqlite3_context* ctx, sqlite3_value* value)
{
    if (sqlite3_value_type(value) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return nullptr;
    }
    const auto* in = static_cast<const char16_t*>(sqlite3_value_text16(value));
    if (!in) sqlite3_result_error_nomem(ctx);
    return in;
}

void caseFunction(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const char16_t* in = textArgument(ctx, argv[0]);
    if (!in) return;
    const int bytes = sqlite3_value_bytes16(argv[0]);
    auto* out = static_cast<char16_t*>(sqlite3_malloc64(static_cast<sqlite3_uint64>(bytes) + 2));
    if (!out) {
        sqlite3_result_error_nomem(ctx);
        return;
    }
    std::memcpy(out, in, static_cast<std::size_t>(bytes) + 2);
    const auto* mapping = static_cast<const CaseMapping*>(sqlite3_user_data(ctx));
    for (char16_t* u = out; *u; ++u)
        *u = mapping->map(*u);
    sqlite3_result_text16(ctx, out, -1, sqlite3_free);
}

void unaccentFunction(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const char16_t* in = textArgument(ctx, argv[0]);
    if (!in) return;
    const sqlite3_uint64 units = static_cast<sqlite3_uint64>(sqlite3_value_bytes16(argv[0])) / 2;
    sqlite3_uint64 capacity = units + 1;
    auto* out = static_cast<char16_t*>(sqlite3_malloc64(capacity * 2));
    if (!out) {
        sqlite3_result_error_nomem(ctx);
        return;
    }
    sqlite3_uint64 length = 0;
    for (sqlite3_uint64 i = 0; i < units; ++i) {
        const std::u16string_view r = unicode::unaccent(in[i]);
        if (r.empty()) {
            out[length++] = in[i];
            continue;
        }
        // Every unit still to come needs a place too: grow by the expansion,
        // doubling so that a text of ligatures is not copied over and over.
        const sqlite3_uint64 needed = length + r.size() + (units - i - 1) + 1;
        if (needed > capacity) {
            capacity = std::max(needed, capacity * 2);
            auto* grown = static_cast<char16_t*>(sqlite3_realloc64(out, capacity * 2));
            if (!grown) {
                sqlite3_free(out);
                sqlite3_result_error_nomem(ctx);
                return;
            }
            out = grown;
        }
        std::copy(r.begin(), r.end(), out + length);
        length += r.size();
    }
    out[length] = 0;
    if (length * 2 > 0x7FFFFFFF) {
        sqlite3_free(out);
        sqlite3_result_error_toobig(ctx);
        return;
    }
    sqlite3_result_text16(ctx, out, static_cast<int>(length * 2), sqlite3_free);
}

void likeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    const auto* pattern = sqlite3_value_text(argv[0]);
    const int patternBytes = sqlite3_value_bytes(argv[0]);
    if (patternBytes > maxPatternBytes) {
        sqlite3_result_error(ctx, "LIKE or GLOB pattern too complex", -1);
        return;
    }
    std::optional<char32_t> escape;
    if (argc == 3) {
        if (sqlite3_value_type(argv[2]) == SQLITE_NULL) {
            sqlite3_result_null(ctx);
            return;
        }
        const auto* e = sqlite3_value_text(argv[2]);
        if (!e) {
            sqlite3_result_error_nomem(ctx);
            return;
        }
        const Byte* p = e;
        const Byte* end = e + sqlite3_value_bytes(argv[2]);
        if (p != end)
            escape = readUtf8(p, end);
        if (!escape || p != end) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
    }
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto* text = sqlite3_value_text(argv[1]);
    if (!pattern || !text) {
        sqlite3_result_error_nomem(ctx);
        return;
    }
    const int textBytes = sqlite3_value_bytes(argv[1]);
    const bool match = likeMatch(std::string_view(reinterpret_cast<const char*>(pattern), patternBytes),
                                 std::string_view(reinterpret_cast<const char*>(text), textBytes), escape);
    sqlite3_result_int(ctx, match ? 1 : 0);
}

// The collation's context value tells the two registrations apart.
constexpr std::uintptr_t nocaseUtf8 = 1;
constexpr std::uintptr_t nocaseUtf16 = 4;

int nocaseCollation(void* context, int aBytes, const void* a, int bBytes, const void* b)
{
    return nocaseCompare(static_cast<int>(reinterpret_cast<std::uintptr_t>(context)), a, aBytes, b, bBytes);
}

void* userData(const void* p)
{
    return const_cast<void*>(p);
}

} // namespace

bool likeMatch(std::string_view patternText, std::string_view textText, std::optional<char32_t> escape)
{
    const auto* p = reinterpret_cast<const Byte*>(patternText.data());
    const auto* pEnd = p + patternText.size();
    const auto* t = reinterpret_cast<const Byte*>(textText.data());
    const auto* tEnd = t + textText.size();

    // The last '%' met: the pattern resumes at starPattern after a text
    // character with key starKey, searched from starText on. Only the last
    // '%' is ever retried: when the pattern after it cannot match from some
    // text position, it cannot match from a later one either, and moving an
    // earlier '%' on only starts this one later. This keeps the matcher
    // iterative and polynomial.
    const Byte* starPattern = nullptr;
    const Byte* starText = nullptr;
    char32_t starKey = 0;
    bool escaped = false;

    for (;;) {
        bool mismatch = false;
        if (p == pEnd) {
            if (t == tEnd)
                return true;
            mismatch = true;
        } else {
            const char32_t ch = readUtf8(p, pEnd);
            if (ch == U'%' && !escaped) {
                // A run of '%' and '_' matches any text of at least as many
                // characters as it has '_'.
                while (p != pEnd && (*p == '%' || *p == '_')) {
                    if (*p++ == '_') {
                        if (t == tEnd)
                            return false;
                        readUtf8(t, tEnd);
                    }
                }
                if (p == pEnd)
                    return true;
                char32_t literal = readUtf8(p, pEnd);
                if (isEscape(literal, escape)) {
                    if (p == pEnd)
                        return false;
                    literal = readUtf8(p, pEnd);
                }
                starPattern = p;
                starKey = keyOf(literal);
                if (!findKey(t, tEnd, starKey))
                    return false;
                starText = t;
                escaped = false;
            } else if (ch == U'_' && !escaped) {
                if (t == tEnd)
                    mismatch = true;
                else
                    readUtf8(t, tEnd);
            } else if (isEscape(ch, escape) && !escaped) {
                escaped = true;
            } else {
                escaped = false;
                mismatch = t == tEnd || keyOf(readUtf8(t, tEnd)) != keyOf(ch);
            }
        }
        if (!mismatch)
            continue;
        if (!starPattern)
            return false;
        t = starText;
        if (!findKey(t, tEnd, starKey))
            return false;
        starText = t;
        p = starPattern;
        escaped = false;
    }
}

int nocaseCompare(int encoding, const void* a, int aBytes, const void* b, int bBytes)
{
    switch (encoding) {
    case nocaseUtf8:
        return compareUtf8(static_cast<const Byte*>(a), aBytes, static_cast<const Byte*>(b), bBytes);
    case nocaseUtf16:
        return compareUtf16(static_cast<const Byte*>(a), aBytes, static_cast<const Byte*>(b), bBytes);
    default:
        return aBytes - bBytes;
    }
}

int registerUnicodeFunctions(sqlite3* db)
{
    // Deterministic like the built-ins they replace, so that a schema may
    // keep using them in index expressions, CHECK constraints and views.
    constexpr int flags = SQLITE_ANY | SQLITE_DETERMINISTIC;
    struct Function {
        const char* name;
        int arguments;
        const void* data;
        void (*call)(sqlite3_context*, int, sqlite3_value**);
    };
    const Function functions[] = {
        {"unicode_version", 0, nullptr, unicodeVersion},
        {"like", 2, nullptr, likeFunction},
        {"like", 3, nullptr, likeFunction},
        {"fold", 1, &foldMapping, caseFunction},
        {"lower", 1, &lowerMapping, caseFunction},
        {"upper", 1, &upperMapping, caseFunction},
        {"title", 1, &titleMapping, caseFunction},
        {"unaccent", 1, nullptr, unaccentFunction},
    };
    for (const Function& f : functions) {
        const int rc = sqlite3_create_function(db, f.name, f.arguments, flags, userData(f.data), f.call, nullptr,
                                               nullptr);
        if (rc != SQLITE_OK)
            return rc;
    }
    sqlite3_create_collation(db, "NOCASE", SQLITE_UTF8, reinterpret_cast<void*>(nocaseUtf8), nocaseCollation);
    return sqlite3_create_collation(db, "NOCASE", SQLITE_UTF16, reinterpret_cast<void*>(nocaseUtf16),
                                    nocaseCollation);
}

} // namespace norvalt
