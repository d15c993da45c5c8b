#include <gtest/gtest.h>

#include "text/utf.h"

using namespace norvalt;

TEST(Utf, RoundTripOfEveryKindOfCharacter)
{
    // ASCII, Cyrillic (2 bytes), CJK (3 bytes) and a character beyond the
    // BMP (4 bytes, a surrogate pair in UTF-16).
    const std::u16string text = u"A Ёлка 中 \U0001F600";
    const std::string utf8 = utf16ToUtf8(text);
    EXPECT_EQ(utf8, "A \xD0\x81\xD0\xBB\xD0\xBA\xD0\xB0 \xE4\xB8\xAD \xF0\x9F\x98\x80");
    EXPECT_EQ(utf8ToUtf16(utf8), text);
}

TEST(Utf, IllFormedUtf8BecomesReplacementCharacters)
{
    // A lone continuation byte, a truncated sequence at the end, an overlong
    // "/" (C0 AF: C0 is never a lead byte, AF a lone continuation) and an
    // encoded surrogate (ED A0 80: ED allows only 80..9F next).
    EXPECT_EQ(utf8ToUtf16("a\x80" "b"), u"a\uFFFDb");
    EXPECT_EQ(utf8ToUtf16("x\xD0"), u"x\uFFFD");
    EXPECT_EQ(utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");
    EXPECT_EQ(utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
    // A three-byte sequence cut after two bytes is one replacement, and the
    // following ASCII survives.
    EXPECT_EQ(utf8ToUtf16("\xE4\xB8z"), u"\uFFFDz");
    EXPECT_EQ(utf8ToUtf16("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");  // above U+10FFFF
    EXPECT_EQ(utf8ToUtf16(std::string("\0a", 2)), std::u16string(u"\0a", 2));
}

TEST(Utf, LoneSurrogatesBecomeReplacementCharacters)
{
    EXPECT_EQ(utf16ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(utf16ToUtf8(std::u16string(1, char16_t(0xDC00))), "\xEF\xBF\xBD");
}

TEST(Utf, WideTextOfEitherWidth)
{
    // L"\U0001F600" is one UTF-32 unit or a surrogate pair; both give the pair.
    EXPECT_EQ(wideToUtf16(L"Ёж \U0001F600"), u"Ёж \U0001F600");
    EXPECT_EQ(wideToUtf16(L""), u"");
}
