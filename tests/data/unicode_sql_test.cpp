#include "data/unicode_sql.h"

#include "text/unicode.h"
#include "text/utf.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#ifndef _WIN32
#include <pthread.h>
#endif

using namespace norvalt;

namespace {

struct CloseDb {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct FinalizeStmt {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using DbPtr = std::unique_ptr<sqlite3, CloseDb>;
using StmtPtr = std::unique_ptr<sqlite3_stmt, FinalizeStmt>;

// An in-memory connection with the functions registered, in UTF-8 or UTF-16.
class Connection {
public:
    explicit Connection(const char* encoding = "UTF-8")
    {
        sqlite3* raw = nullptr;
        EXPECT_EQ(sqlite3_open(":memory:", &raw), SQLITE_OK);
        db_.reset(raw);
        exec(std::string("PRAGMA encoding = '") + encoding + "'");
        EXPECT_EQ(registerUnicodeFunctions(db_.get()), SQLITE_OK);
    }

    sqlite3* get() const { return db_.get(); }

    void exec(const std::string& sql)
    {
        char* error = nullptr;
        const int rc = sqlite3_exec(db_.get(), sql.c_str(), nullptr, nullptr, &error);
        EXPECT_EQ(rc, SQLITE_OK) << sql << ": " << (error ? error : "");
        sqlite3_free(error);
    }

    StmtPtr prepare(const std::string& sql)
    {
        sqlite3_stmt* s = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db_.get(), sql.c_str(), -1, &s, nullptr), SQLITE_OK)
            << sql << ": " << sqlite3_errmsg(db_.get());
        return StmtPtr(s);
    }

    // The single result of a query as UTF-8 text, "NULL" for a null, or
    // "error: <message>" when the statement fails.
    std::string value(const std::string& sql)
    {
        auto s = prepare(sql);
        const int rc = sqlite3_step(s.get());
        if (rc != SQLITE_ROW)
            return std::string("error: ") + sqlite3_errmsg(db_.get());
        if (sqlite3_column_type(s.get(), 0) == SQLITE_NULL)
            return "NULL";
        return reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 0));
    }

    std::vector<std::string> column(const std::string& sql)
    {
        std::vector<std::string> out;
        auto s = prepare(sql);
        while (sqlite3_step(s.get()) == SQLITE_ROW)
            out.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 0)));
        return out;
    }

private:
    DbPtr db_;
};

std::string u8(std::u8string_view s)
{
    return std::string(s.begin(), s.end());
}

// The LIKE match exactly as the recursive rule reads, over code points: the
// reference the iterative matcher is checked against.
char32_t refKey(char32_t c)
{
    return c < 0x10000 ? unicode::key(static_cast<char16_t>(c)) : c;
}

bool refLike(const std::u32string& p, std::size_t i, const std::u32string& t, std::size_t j,
             std::optional<char32_t> esc, bool escaped)
{
    if (i == p.size())
        return j == t.size();
    char32_t ch = p[i++];
    if (ch == U'%' && !escaped) {
        for (; i < p.size() && (p[i] == U'%' || p[i] == U'_'); ++i)
            if (p[i] == U'_') {
                if (j == t.size())
                    return false;
                ++j;
            }
        if (i == p.size())
            return true;
        ch = p[i++];
        if (esc && ch == *esc) {
            if (i == p.size())
                return false;
            ch = p[i++];
        }
        for (; j < t.size(); ++j)
            if (refKey(t[j]) == refKey(ch) && refLike(p, i, t, j + 1, esc, false))
                return true;
        return false;
    }
    if (ch == U'_' && !escaped)
        return j < t.size() && refLike(p, i, t, j + 1, esc, false);
    if (esc && ch == *esc && !escaped)
        return refLike(p, i, t, j, esc, true);
    return j < t.size() && refKey(t[j]) == refKey(ch) && refLike(p, i, t, j + 1, esc, false);
}

std::string toUtf8(const std::u32string& s)
{
    std::u16string u16;
    for (char32_t c : s)
        u16.push_back(static_cast<char16_t>(c)); // BMP only in these tests
    return utf16ToUtf8(u16);
}

} // namespace

TEST(UnicodeSql, CaseFunctions)
{
    Connection c;
    EXPECT_EQ(c.value(u8(u8"select upper('ёлка')")), u8(u8"ЁЛКА"));
    EXPECT_EQ(c.value(u8(u8"select lower('ЁЛКА')")), u8(u8"ёлка"));
    EXPECT_EQ(c.value(u8(u8"select title('ǆemal')")), u8(u8"ǅEMAL"));
    EXPECT_EQ(c.value(u8(u8"select fold('ẞ')")), u8(u8"ß"));
    EXPECT_EQ(c.value(u8(u8"select fold('ΣΊΣΥΦΟΣ')")), u8(u8"σίσυφοσ"));
    EXPECT_EQ(c.value(u8(u8"select lower('ΣΊΣΥΦΟΣ')")), u8(u8"σίσυφοσ"));
    EXPECT_EQ(c.value("select upper(12.5)"), "12.5");
    for (const char* f : {"fold", "lower", "upper", "title", "unaccent"})
        EXPECT_EQ(c.value(std::string("select ") + f + "(NULL)"), "NULL") << f;
    EXPECT_EQ(c.value("select unicode_version()"), "5.1.0.12");
}

TEST(UnicodeSql, CaseFunctionsStopAtAZeroUnit)
{
    // The mapped copy is handed back as a terminated UTF-16 text.
    Connection c;
    EXPECT_EQ(c.value("select length(upper('ab' || char(0) || 'cd'))"), "2");
}

TEST(UnicodeSql, Unaccent)
{
    Connection c("UTF-16");
    EXPECT_EQ(c.value(u8(u8"select unaccent('Æsir')")), "AEsir");
    EXPECT_EQ(c.value(u8(u8"select unaccent('é')")), "e");
    EXPECT_EQ(c.value(u8(u8"select unaccent('Ёжик Łódź ﬁnal')")), u8(u8"Ежик Lodz final"));
    // 18 units for U+FDFA; ten of them in a row grow the buffer repeatedly:
    // 2 + 10 * 18 + 2 = 184.
    EXPECT_EQ(c.value("select length(unaccent(char(0xFDFA)))"), "18");
    EXPECT_EQ(c.value("select length(unaccent('ab' || replace(hex(zeroblob(10)), '00', char(0xFDFA)) || 'cd'))"),
              "184");
}

TEST(UnicodeSql, Like)
{
    Connection c;
    EXPECT_EQ(c.value(u8(u8"select 'Ёлка' like 'елка'")), "1");
    EXPECT_EQ(c.value(u8(u8"select 'Crème brûlée' like 'CREME%BRULEE'")), "1");
    EXPECT_EQ(c.value("select 'abc' like 'a_c'"), "1");
    EXPECT_EQ(c.value("select 'abc' like 'a_'"), "0");
    EXPECT_EQ(c.value("select 'a%c' like 'a\\%c' escape '\\'"), "1");
    EXPECT_EQ(c.value("select 'abc' like 'a\\%c' escape '\\'"), "0");
    EXPECT_EQ(c.value(u8(u8"select 'a%c' like 'aЖ%c' escape 'Ж'")), "1");
    EXPECT_EQ(c.value("select like('a%', 'abc')"), "1");
    EXPECT_EQ(c.value("select like('a%', 'abc', NULL)"), "NULL");
    EXPECT_EQ(c.value("select NULL like 'a'"), "NULL");
    EXPECT_EQ(c.value("select 'a' like NULL"), "NULL");
    EXPECT_EQ(c.value("select 'a' like 'a' escape 'ab'"), "error: ESCAPE expression must be a single character");
    EXPECT_EQ(c.value("select 'a' like 'a' escape ''"), "error: ESCAPE expression must be a single character");
    // The length check comes before anything else, NULL text included.
    EXPECT_EQ(c.value("select like(printf('%.*c', 50001, 'a'), NULL)"), "error: LIKE or GLOB pattern too complex");
    EXPECT_EQ(c.value("select like(printf('%.*c', 50000, 'a'), printf('%.*c', 50000, 'A'))"), "1");
}

TEST(UnicodeSql, NocaseCollationUtf8)
{
    Connection c;
    EXPECT_EQ(c.value("select 'Ab' = 'aB' collate nocase"), "1");
    EXPECT_EQ(c.value("select 'ab' < 'abc' collate nocase"), "1");
    EXPECT_EQ(c.value(u8(u8"select 'É' = 'é' collate nocase")), "1");
    EXPECT_EQ(c.value(u8(u8"select 'Ёлка' = 'ЁЛКА' collate nocase")), "1");
    // Same keys but two bytes against one: not equal, and 'É' sorts after 'e'.
    EXPECT_EQ(c.value(u8(u8"select 'É' = 'e' collate nocase")), "0");
    EXPECT_EQ(c.value(u8(u8"select 'É' > 'e' collate nocase")), "1");
}

TEST(UnicodeSql, NocaseCollationUtf16)
{
    Connection c("UTF-16");
    EXPECT_EQ(c.value("select 'Ab' = 'aB' collate nocase"), "1");
    EXPECT_EQ(c.value("select 'ab' < 'abc' collate nocase"), "1");
    EXPECT_EQ(c.value(u8(u8"select 'É' = 'e' collate nocase")), "1");
    EXPECT_EQ(c.value(u8(u8"select 'Ё' = 'е' collate nocase")), "1");
}

TEST(UnicodeSql, NocaseColumnOrderAndLookup)
{
    for (const char* encoding : {"UTF-8", "UTF-16"}) {
        Connection c(encoding);
        c.exec("create table mixture(name text collate nocase)");
        c.exec("create index mixture_name on mixture(name)");
        c.exec(u8(u8"insert into mixture values ('Смесь Б'), ('смесь а'), ('Ёлка'), ('елочка'), ('Beta'), ('alpha'), "
                  u8"('СМЕСЬ В'), ('ель')"));
        // Latin keys come before Cyrillic ones (U+0061.. against U+0430..).
        // Ё has the key of е, so Ёлка, елочка and ель differ first at their
        // third letters: к (U+043A) < о (U+043E) < ь (U+044C).
        EXPECT_EQ(c.column("select name from mixture order by name"),
                  (std::vector<std::string>{"alpha", "Beta", u8(u8"Ёлка"), u8(u8"елочка"), u8(u8"ель"),
                                            u8(u8"смесь а"), u8(u8"Смесь Б"), u8(u8"СМЕСЬ В")}))
            << encoding;
        EXPECT_EQ(c.value(u8(u8"select name from mixture where name = 'СМЕСЬ А'")), u8(u8"смесь а")) << encoding;
        EXPECT_EQ(c.value(u8(u8"select name from mixture where name = 'ёлка'")), u8(u8"Ёлка")) << encoding;
        EXPECT_EQ(c.value("select count(*) from mixture where name like '%ль%'"), "1") << encoding;
        EXPECT_EQ(c.value("pragma integrity_check"), "ok") << encoding;
    }
}

TEST(UnicodeSql, FunctionsUsableInIndexExpressions)
{
    // Like the built-ins they replace, the functions are deterministic.
    Connection c;
    c.exec("create table t(name text)");
    c.exec("create index t_upper on t(upper(name))");
    c.exec(u8(u8"insert into t values ('ёлка')"));
    EXPECT_EQ(c.value(u8(u8"select name from t where upper(name) = 'ЁЛКА'")), u8(u8"ёлка"));
}

TEST(UnicodeSql, RegistrationReportsFailure)
{
    Connection c;
    c.exec("create table t(x); insert into t values (1), (2)");
    auto running = c.prepare("select x from t");
    ASSERT_EQ(sqlite3_step(running.get()), SQLITE_ROW);
    // Replacing functions under a running statement is refused.
    EXPECT_EQ(registerUnicodeFunctions(c.get()), SQLITE_BUSY);
    running.reset();
    EXPECT_EQ(registerUnicodeFunctions(c.get()), SQLITE_OK);
}

TEST(UnicodeSql, OutOfMemory)
{
    Connection c("UTF-16");
    auto fold = c.prepare("select fold(?1)");
    auto unaccent = c.prepare("select unaccent(?1)");
    // Bound with their terminators, so SQLite hands them over without a copy.
    const std::u16string letters(400000, u'a');          // 800 000 bytes
    const std::u16string fewLetters(200000, u'a');       // 400 000 bytes
    const std::u16string ligatures(400000, u'\uFB01');   // 800 000 bytes, 1 600 000 unaccented
    const sqlite3_int64 before = sqlite3_hard_heap_limit64(-1);
    auto limitTo = [](sqlite3_int64 extra) { sqlite3_hard_heap_limit64(sqlite3_memory_used() + extra); };

    // 1.2 MB more: the copy of 400 000 bytes (and SQLite's own of the
    // result) fits, unaccent's first buffer of 800 000 bytes fits but cannot
    // grow to 1 600 000.
    limitTo(1200000);
    sqlite3_bind_text16(fold.get(), 1, fewLetters.c_str(), -1, SQLITE_STATIC);
    EXPECT_EQ(sqlite3_step(fold.get()), SQLITE_ROW);
    sqlite3_reset(fold.get());
    sqlite3_bind_text16(unaccent.get(), 1, ligatures.c_str(), -1, SQLITE_STATIC);
    EXPECT_EQ(sqlite3_step(unaccent.get()), SQLITE_NOMEM);
    sqlite3_reset(unaccent.get());

    // 0.5 MB more: the case functions' copy of 800 000 bytes fails at once.
    limitTo(500000);
    sqlite3_bind_text16(fold.get(), 1, letters.c_str(), -1, SQLITE_STATIC);
    EXPECT_EQ(sqlite3_step(fold.get()), SQLITE_NOMEM);
    sqlite3_reset(fold.get());

    sqlite3_hard_heap_limit64(before);
    EXPECT_EQ(sqlite3_step(fold.get()), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_bytes16(fold.get(), 0), 800000);
    EXPECT_EQ(sqlite3_step(unaccent.get()), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_bytes16(unaccent.get(), 0), 1600000);
}

TEST(NocaseCompare, OrderIsConsistent)
{
    // Keys: "éa" = (e, a), "eb" = (e, b), "eaaa" = (e, a, a, a), so
    // "éa" < "eaaa" < "eb". A comparison that stopped once the shorter byte
    // length was used up would rank "éa" above "eb" (3 bytes against 2
    // after comparing é with e), "eb" above "eaaa" and "eaaa" above "éa":
    // a cycle that no sort or index can follow.
    const std::string a = u8(u8"éa"), b = "eb", c = "eaaa";
    auto cmp = [](const std::string& x, const std::string& y) {
        return nocaseCompare(1, x.data(), static_cast<int>(x.size()), y.data(), static_cast<int>(y.size()));
    };
    EXPECT_LT(cmp(a, b), 0);
    EXPECT_GT(cmp(b, c), 0);
    EXPECT_LT(cmp(a, c), 0);

    // Random texts over letters that share keys: sorting with the comparison
    // must leave every pair in order.
    const std::vector<std::string> letters{"e", u8(u8"é"), "E", u8(u8"É"), "a", "b", u8(u8"ё"), u8(u8"Е")};
    std::mt19937 rng(20240611);
    std::vector<std::string> texts;
    for (int i = 0; i < 300; ++i) {
        std::string t;
        for (unsigned n = rng() % 5; n > 0; --n)
            t += letters[rng() % letters.size()];
        texts.push_back(t);
    }
    // Against the rule read plainly: the key sequences in order, then the
    // byte lengths.
    auto reference = [](const std::string& x, const std::string& y) {
        std::u16string kx, ky;
        for (char16_t u : utf8ToUtf16(x))
            kx.push_back(unicode::key(u));
        for (char16_t u : utf8ToUtf16(y))
            ky.push_back(unicode::key(u));
        const int byKeys = kx.compare(ky);
        return byKeys != 0 ? byKeys : static_cast<int>(x.size()) - static_cast<int>(y.size());
    };
    auto signOf = [](int v) { return (v > 0) - (v < 0); };
    for (const auto& x : texts)
        for (const auto& y : texts)
            ASSERT_EQ(signOf(cmp(x, y)), signOf(reference(x, y))) << x << " / " << y;
    std::sort(texts.begin(), texts.end(), [&](const auto& x, const auto& y) { return cmp(x, y) < 0; });
    for (std::size_t i = 0; i < texts.size(); ++i)
        for (std::size_t j = i + 1; j < texts.size(); ++j)
            ASSERT_LE(cmp(texts[i], texts[j]), 0) << texts[i] << " / " << texts[j];
}

TEST(NocaseCompare, Utf8IllFormedAndBeyondTheBmp)
{
    // Each pair's first characters decode alike by SQLite's rules, so the
    // second ones decide: "b" after "a", positive. A reader that took the
    // first sequence apart differently would compare unlike characters.
    struct Case {
        const char* a;
        const char* b;
    };
    const Case cases[] = {
        {"\xBF" "b", "\xC2\xBF" "a"},                 // a lone continuation byte is U+00BF itself
        {"\xC1\x81" "b", "\xEF\xBF\xBD" "a"},         // overlong 'A' becomes U+FFFD
        {"\xD0" "b", "\xEF\xBF\xBD" "a"},             // a lead byte without continuation: U+FFFD
        {"\xD0\x90\x90" "b", "\xF0\x90\x90\x90" "a"}, // a lead takes every continuation: U+10410
        {"\xED\xA0\x80" "b", "\xEF\xBF\xBD" "a"},     // a surrogate: U+FFFD
        {"\xD0\x81" "b", "\xD0\xB5" "a"},             // Ё and е share a key
        {"Q" "b", "q" "a"},
    };
    for (const Case& c : cases) {
        const int ab = nocaseCompare(1, c.a, static_cast<int>(std::strlen(c.a)), c.b, static_cast<int>(std::strlen(c.b)));
        const int ba = nocaseCompare(1, c.b, static_cast<int>(std::strlen(c.b)), c.a, static_cast<int>(std::strlen(c.a)));
        EXPECT_GT(ab, 0) << c.a;
        EXPECT_LT(ba, 0) << c.a;
    }
}

TEST(NocaseCompare, Utf16KeysAtOddAddresses)
{
    // SQLite passes keys where they lie in a page; "Ёлка" against "ЕЛКА"
    // (equal keys) and "ab" against "aC" (b < c), each one byte into a buffer.
    auto units = [](std::u16string_view text, unsigned char* at) {
        std::memcpy(at, text.data(), text.size() * 2);
        return static_cast<int>(text.size() * 2);
    };
    alignas(2) unsigned char a[16], b[16];
    int na = units(u"Ёлка", a + 1), nb = units(u"ЕЛКА", b + 1);
    EXPECT_EQ(nocaseCompare(4, a + 1, na, b + 1, nb), 0);
    na = units(u"ab", a + 1);
    nb = units(u"aC", b + 1);
    EXPECT_LT(nocaseCompare(4, a + 1, na, b + 1, nb), 0);
}

TEST(NocaseCompare, OtherEncodingsCompareByLength)
{
    EXPECT_LT(nocaseCompare(2, "b", 1, "aa", 2), 0);
    EXPECT_EQ(nocaseCompare(3, "b", 1, "a", 1), 0);
}

TEST(LikeMatch, AgreesWithRecursiveRule)
{
    const std::u32string patternAlphabet = U"%%__\\aAbéeЁе";
    const std::u32string textAlphabet = U"aAbBéeЁе%_\\";
    std::mt19937 rng(5489);
    int matches = 0;
    for (int round = 0; round < 20000; ++round) {
        std::u32string p, t;
        for (unsigned n = rng() % 8; n > 0; --n)
            p.push_back(patternAlphabet[rng() % patternAlphabet.size()]);
        for (unsigned n = rng() % 8; n > 0; --n)
            t.push_back(textAlphabet[rng() % textAlphabet.size()]);
        std::optional<char32_t> esc;
        if (rng() % 3 == 0)
            esc = U'\\';
        else if (rng() % 4 == 0)
            esc = patternAlphabet[rng() % patternAlphabet.size()];
        const bool expected = refLike(p, 0, t, 0, esc, false);
        matches += expected ? 1 : 0;
        ASSERT_EQ(likeMatch(toUtf8(p), toUtf8(t), esc), expected)
            << toUtf8(p) << " / " << toUtf8(t) << " esc " << (esc ? int(*esc) : -1);
    }
    // Both outcomes must occur often for the comparison to mean something.
    EXPECT_GT(matches, 1000);
    EXPECT_LT(matches, 19000);
}

TEST(LikeMatch, Utf8Reading)
{
    // A stray continuation byte is a character of its own; an overlong
    // encoding of 'a' (C1 A1) reads as U+FFFD, as does a lone surrogate.
    EXPECT_TRUE(likeMatch("_", "\xA9", std::nullopt));
    EXPECT_TRUE(likeMatch("_", "\xC1\xA1", std::nullopt));
    EXPECT_FALSE(likeMatch("a", "\xC1\xA1", std::nullopt));
    EXPECT_TRUE(likeMatch("\xEF\xBF\xBD", "\xED\xA0\x80", std::nullopt));
    // A lead byte with its continuation bytes missing at the end of the text.
    EXPECT_TRUE(likeMatch("a_", "a\xD0", std::nullopt));
    // Beyond the BMP a character equals only itself.
    EXPECT_TRUE(likeMatch("%\xF0\x9F\x98\x80", "x\xF0\x9F\x98\x80", std::nullopt));
    EXPECT_FALSE(likeMatch("\xF0\x9F\x98\x80", "\xF0\xAF\x98\x80", std::nullopt));
}

namespace {

// 25 000 pairs "%a" (50 000 bytes, the longest pattern allowed).
bool deepPatternMatches(std::size_t textLength)
{
    std::string pattern;
    for (int i = 0; i < 25000; ++i)
        pattern += "%a";
    return likeMatch(pattern, std::string(textLength, 'A'), std::nullopt);
}

} // namespace

TEST(LikeMatch, LongPatternOnSmallStack)
{
    // One 'a' per pair is needed: 20 000 letters are too few, 25 000 enough.
    bool shortText = true, longText = false;
    auto run = [&] {
        shortText = deepPatternMatches(20000);
        longText = deepPatternMatches(25000);
    };
#ifndef _WIN32
    // A matcher that recursed per '%' would need far more than 256 KB here.
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, 256 * 1024);
    pthread_t thread;
    auto body = [](void* f) -> void* {
        (*static_cast<decltype(run)*>(f))();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attr, body, &run), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
#else
    run();
#endif
    EXPECT_FALSE(shortText);
    EXPECT_TRUE(longText);
}
