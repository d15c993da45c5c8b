#include "text/unicode.h"

#include "text/generated/unicode_tables.h"

#include <gtest/gtest.h>

#include <set>

using namespace norvalt;
using namespace norvalt::unicode;

namespace {

int mappedCount(Mapping m)
{
    int n = 0;
    for (unsigned u = 0; u <= 0xFFFF; ++u)
        n += replacement(m, static_cast<char16_t>(u)).empty() ? 0 : 1;
    return n;
}

std::u16string unaccented(std::u16string_view text)
{
    std::u16string out;
    for (char16_t u : text) {
        const auto r = unaccent(u);
        if (r.empty())
            out.push_back(u);
        else
            out.append(r);
    }
    return out;
}

// Walks the raw layout: every block points at an existing entry, offsets
// start at 0 and grow, and no replacement is empty.
void checkLayout(const tables::Mapping& t, unsigned blocks)
{
    const unsigned blockSize = 1u << t.shift;
    ASSERT_EQ(blocks * blockSize, 0x10000u);
    std::set<unsigned> used;
    for (unsigned b = 0; b < blocks; ++b) {
        ASSERT_LT(t.stage1[b], t.entryCount);
        used.insert(t.stage1[b]);
    }
    EXPECT_EQ(used.size(), t.entryCount) << "an entry no block uses";
    for (unsigned e = 0; e < t.entryCount; ++e) {
        const std::uint8_t* off = t.offsets + e * (blockSize + 1);
        EXPECT_EQ(off[0], 0);
        for (unsigned i = 0; i < blockSize; ++i)
            EXPECT_LT(off[i], off[i + 1]) << "empty replacement in entry " << e;
    }
}

} // namespace

TEST(UnicodeTables, MappedCounts)
{
    // Published sizes of the Unicode 5.1.0 simple mappings over the BMP.
    EXPECT_EQ(mappedCount(Mapping::fold), 995);
    EXPECT_EQ(mappedCount(Mapping::lower), 983);
    EXPECT_EQ(mappedCount(Mapping::upper), 991);
    // title = the 991 upper mappings with the four titlecase digraphs
    // (U+01C5, U+01C8, U+01CB, U+01F2) added as their own title form:
    // 991 + 4 = 995.
    EXPECT_EQ(mappedCount(Mapping::title), 995);
    // unaccent, counted by a separate script over the same data files:
    // 3803 decompositions without marks + 578 "X WITH ..." reductions of
    // characters that are not combining marks + the 4 ligature letters
    // Æ æ Œ œ = 4385.
    EXPECT_EQ(mappedCount(Mapping::unaccent), 4385);
}

TEST(UnicodeTables, UnaccentExpansions)
{
    int longer = 0;
    std::size_t longest = 0;
    for (unsigned u = 0; u <= 0xFFFF; ++u) {
        const auto r = unaccent(static_cast<char16_t>(u));
        longer += r.size() > 1 ? 1 : 0;
        longest = std::max(longest, r.size());
    }
    // 1031 multi-unit decompositions + Æ æ Œ œ + the four letters built on
    // them (Ǣ ǣ Ǽ ǽ) + ᴭ (modifier capital AE) = 1040.
    EXPECT_EQ(longer, 1040);
    // U+FDFA, the Arabic salla ligature, spells 18 letters and spaces.
    EXPECT_EQ(longest, 18u);
    EXPECT_EQ(unaccent(0xFDFA).size(), 18u);
}

TEST(UnicodeTables, Layout)
{
    checkLayout(tables::foldMapping, 2048);
    checkLayout(tables::lowerMapping, 2048);
    checkLayout(tables::upperMapping, 1024);
    checkLayout(tables::titleMapping, 1024);
    checkLayout(tables::unaccentMapping, 2048);
    EXPECT_EQ(tables::foldMapping.entryCount, 69u);
    EXPECT_EQ(tables::lowerMapping.entryCount, 67u);
    EXPECT_EQ(tables::upperMapping.entryCount, 44u);
    EXPECT_EQ(tables::titleMapping.entryCount, 44u);
    EXPECT_EQ(tables::unaccentMapping.entryCount, 239u);
}

TEST(UnicodeTables, FoldAndLowerDiffer)
{
    std::u16string differing;
    for (unsigned u = 0; u <= 0xFFFF; ++u)
        if (fold(static_cast<char16_t>(u)) != lower(static_cast<char16_t>(u)))
            differing.push_back(static_cast<char16_t>(u));
    EXPECT_EQ(differing.size(), 14u);
    EXPECT_EQ(fold(u'µ'), u'μ');
    EXPECT_EQ(lower(u'µ'), u'µ');
    EXPECT_EQ(fold(u'ſ'), u's');
    EXPECT_EQ(lower(u'ſ'), u'ſ');
    EXPECT_EQ(fold(u'ς'), u'σ');
    EXPECT_EQ(lower(u'ς'), u'ς');
    EXPECT_EQ(lower(u'İ'), u'i');
    EXPECT_EQ(fold(u'İ'), u'İ');
}

TEST(UnicodeTables, CaseExamples)
{
    EXPECT_EQ(toUpper(u"ёлка"), u"ЁЛКА");
    EXPECT_EQ(toLower(u"ЁЛКА"), u"ёлка");
    EXPECT_EQ(fold(u'ẞ'), u'ß');
    EXPECT_EQ(title(u'ǆ'), u'ǅ');
    EXPECT_EQ(title(u'Ǆ'), u'ǅ');
    EXPECT_EQ(upper(u'ǆ'), u'Ǆ');
    EXPECT_EQ(title(u'ǳ'), u'ǲ');
    for (char16_t digraph : {u'ǅ', u'ǈ', u'ǋ', u'ǲ'})
        EXPECT_EQ(replacement(Mapping::title, digraph), std::u16string_view(&digraph, 1));
    // Georgian letters have no title form in 5.1; later data lists them as their own.
    EXPECT_TRUE(replacement(Mapping::title, 0x10D0).empty());
    // ASCII, and a mapping to a letter added after 5.1 (ɐ → Ɐ came in 5.1, ɥ → Ɥ in 6.0).
    EXPECT_EQ(upper(u'q'), u'Q');
    EXPECT_EQ(upper(0x0250), 0x2C6F);
    EXPECT_EQ(upper(0x0265), 0x0265);
}

TEST(UnicodeTables, CyrillicLowering)
{
    // А..Я (U+0410..U+042F) lower by 0x20, Ѐ..Џ (U+0400..U+040F) by 0x50.
    for (char16_t u = 0x0410; u <= 0x042F; ++u) {
        EXPECT_EQ(lower(u), u + 0x20);
        EXPECT_EQ(upper(static_cast<char16_t>(u + 0x20)), u);
    }
    for (char16_t u = 0x0400; u <= 0x040F; ++u)
        EXPECT_EQ(lower(u), u + 0x50);
    EXPECT_EQ(toLower(u"ЭТИЛЕНГЛИКОЛЬ Нонанол-1"), u"этиленгликоль нонанол-1");
}

TEST(UnicodeTables, SurrogatesAndReplacementCharacterUnmapped)
{
    for (Mapping m : {Mapping::fold, Mapping::lower, Mapping::upper, Mapping::title, Mapping::unaccent}) {
        for (char16_t u : {char16_t(0xD800), char16_t(0xDBFF), char16_t(0xDC00), char16_t(0xDFFF), char16_t(0xFFFD),
                           char16_t(0xFFFF)})
            EXPECT_TRUE(replacement(m, u).empty()) << int(m) << ' ' << int(u);
    }
    EXPECT_EQ(fold(0xD83D), 0xD83D);
    EXPECT_EQ(upper(0xFFFD), 0xFFFD);
}

TEST(UnicodeTables, UnaccentExamples)
{
    EXPECT_EQ(unaccented(u"Æsir"), u"AEsir");
    EXPECT_EQ(unaccented(u"É"), u"E");
    EXPECT_EQ(unaccented(u"é"), u"e");
    EXPECT_EQ(unaccented(u"Ёё"), u"Ее");
    EXPECT_EQ(unaccented(u"ſ"), u"s");
    EXPECT_EQ(unaccented(u"ﬁ"), u"fi");
    EXPECT_EQ(unaccented(u"Ǆ"), u"DZ");
    EXPECT_EQ(unaccented(u"Œœæ"), u"OEoeae");
    EXPECT_EQ(unaccented(u"ØĐŁƀ"), u"ODLb");
    // Through a decomposition onto a letter that reduces further: Ǿ = Ø + acute, Ǣ = Æ + macron.
    EXPECT_EQ(unaccented(u"ǾǢ"), u"OAE");
    // Й is И with a breve; Ґ is Г with an upturn.
    EXPECT_EQ(unaccented(u"ЙҐ"), u"ИГ");
    EXPECT_EQ(unaccented(u"abc ЖЯ"), u"abc ЖЯ");
    // A combining mark stays, even one named after another (U+065E ARABIC
    // FATHA WITH TWO DOTS); a Hangul syllable is not decomposed.
    EXPECT_TRUE(unaccent(0x0301).empty());
    EXPECT_TRUE(unaccent(0x065E).empty());
    EXPECT_TRUE(unaccent(0xAC00).empty());
    // A compatibility ideograph whose target lies beyond the BMP keeps itself.
    EXPECT_TRUE(unaccent(0xFAD0).empty());
}

TEST(UnicodeTables, Keys)
{
    EXPECT_EQ(key(u'É'), key(u'e'));
    EXPECT_EQ(key(u'é'), key(u'E'));
    EXPECT_EQ(key(u'Æ'), key(u'a'));
    EXPECT_EQ(key(u'Ё'), key(u'е'));
    EXPECT_EQ(key(u'Я'), key(u'я'));
    EXPECT_EQ(key(u'ẞ'), key(u'ß'));
    EXPECT_NE(key(u'Е'), key(u'E')); // Cyrillic and Latin stay apart
    EXPECT_NE(key(u'a'), key(u'b'));
    // The generated key table follows the rule for every unit: fold below
    // 128, otherwise fold of the first unit of the unaccent replacement.
    for (unsigned u = 0; u <= 0xFFFF; ++u) {
        const auto c = static_cast<char16_t>(u);
        const auto r = unaccent(c);
        const char16_t expected = fold(u < 0x80 || r.empty() ? c : r.front());
        ASSERT_EQ(key(c), expected) << u;
    }
}

TEST(UnicodeClasses, WhiteSpace)
{
    for (char16_t u : {u' ', u'\t', u'\n', u'\r', u'\v', u'\f', char16_t(0x85), char16_t(0xA0), char16_t(0x2028),
                       char16_t(0x3000)})
        EXPECT_TRUE(isWhiteSpace(u)) << int(u);
    // U+180E was white space in 5.1 but left the property in 6.3; the data
    // files we read are newer, so it stays out.
    for (char16_t u : {u'a', u'0', u'-', char16_t(0), char16_t(0x200B), char16_t(0x180E), char16_t(0xFEFF)})
        EXPECT_FALSE(isWhiteSpace(u)) << int(u);
}

TEST(UnicodeClasses, Graphic)
{
    for (char16_t u : {u'a', u'Z', u'0', u'-', u'~', u'Ж', u'ё', char16_t(0x0301), char16_t(0x20AC), char16_t(0x4E00),
                       char16_t(0xD800), char16_t(0xDFFF)})
        EXPECT_TRUE(isGraphic(u)) << int(u);
    // Space, controls, soft hyphen (format), private use, unassigned in 5.1
    // (U+0378 never; U+20B9, the rupee sign, came in 6.0), noncharacters.
    for (char16_t u : {u' ', u'\t', char16_t(0), char16_t(0x7F), char16_t(0xA0), char16_t(0xAD), char16_t(0xE000),
                       char16_t(0x0378), char16_t(0x20B9), char16_t(0xFFFF)})
        EXPECT_FALSE(isGraphic(u)) << int(u);
}

TEST(UnicodeCompare, FoldCompare)
{
    // Expected signs by hand: equal after folding -> 0; else the first unit
    // whose folds differ decides by code point (folds are lower-case here),
    // and a text is before a longer one it begins.
    struct Case {
        std::u16string_view a, b;
        int sign;
    } cases[] = {
        {u"ДЭГ", u"дэг", 0},
        {u"Нонанол-1", u"нОНАНОЛ-1", 0},
        {u"ёлка", u"ЁЛКА", 0},
        {u"ς", u"Σ", 0},          // final sigma folds to σ, as Σ does
        {u"а", u"Б", -1},          // а U+0430 < б U+0431
        {u"Z", u"a", 1},           // z U+007A > a U+0061, unlike the raw units
        {u"abc", u"ABCD", -1},
        {u"", u"", 0},
        {u"x", u"", 1},
        {u"10", u"9", -1},         // text order, not numeric
        {u"я", u"z", 1},           // Cyrillic after Latin
    };
    auto sign = [](int v) { return (v > 0) - (v < 0); };
    for (const Case& c : cases) {
        EXPECT_EQ(sign(foldCompare(c.a, c.b)), c.sign);
        EXPECT_EQ(sign(foldCompare(c.b, c.a)), -c.sign);
        EXPECT_EQ(foldEqual(c.a, c.b), c.sign == 0);
    }
}
