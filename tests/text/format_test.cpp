#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "text/format.h"
#include "text/utf.h"

using namespace norvalt;

TEST(Format, StringTablePatterns)
{
    EXPECT_EQ(format(u"Ошибка %d. Не удалось открыть файл.\n'%s'.", -1, u"C:\\lab\\a.stg"),
              u"Ошибка -1. Не удалось открыть файл.\n'C:\\lab\\a.stg'.");
    EXPECT_EQ(format(u"100%% of %s", u"x"), u"100% of x");
    // A missing argument formats as nothing rather than reading garbage.
    EXPECT_EQ(format(u"[%s|%d]"), u"[|]");
    // An unknown conversion stays as written.
    EXPECT_EQ(format(u"%q %s", u"a"), u"%q a");
    EXPECT_EQ(format(u"trailing %"), u"trailing %");
}

TEST(Format, NumbersUseAPointWhateverTheLocale)
{
    // Rounding of the binary value, as printf does: 2.675 is stored as
    // 2.67499999999999982236431605997495353221893310546875.
    EXPECT_EQ(formatFixed(2.675, 2), u"2.67");
    EXPECT_EQ(formatFixed(0.0625, 3), u"0.062");  // exact tie, round half to even
    EXPECT_EQ(formatFixed(99.87654, 2), u"99.88");
    EXPECT_EQ(formatFixed(-0.0004, 3), u"-0.000");
    EXPECT_EQ(format(u"%.3f|%.2f|%d", 1.5, 2.345678, 42), u"1.500|2.35|42");
    EXPECT_EQ(formatInt(-2147483648LL), u"-2147483648");
}

TEST(Format, GeneralPrecisionRoundTrips)
{
    EXPECT_EQ(formatGeneral(0.1, 17), u"0.10000000000000001");
    EXPECT_EQ(formatGeneral(0.1, 15), u"0.1");
    EXPECT_EQ(formatGeneral(1e21, 17), u"1e+21");
    EXPECT_EQ(formatGeneral(123456.0, 15), u"123456");
    EXPECT_EQ(format(u"%.*g", 17, 2.5), u"2.5");
    EXPECT_EQ(formatGeneralUtf8(-0.0, 17), "-0");
    for (double v : {0.1, 1.0 / 3.0, 6.02214076e23, 5e-324, -1.7976931348623157e308}) {
        std::string text = formatGeneralUtf8(v, 17);
        EXPECT_EQ(parseDoublePrefix(text), v) << text;
    }
    EXPECT_EQ(formatGeneral(std::numeric_limits<double>::quiet_NaN(), 17), u"nan");
    EXPECT_EQ(formatGeneral(-std::numeric_limits<double>::infinity(), 17), u"-inf");
}

TEST(Format, HexAndUnsigned)
{
    EXPECT_EQ(format(u"%x %X %u", 255, 0xABCDu, 7u), u"ff ABCD 7");
    // A negative int prints as its 32-bit two's complement, as printf does.
    EXPECT_EQ(format(u"%X", -2147467259), u"80004005");
}

TEST(ParseDouble, BehavesLikeWcstodWithoutLocale)
{
    size_t used = 0;
    EXPECT_EQ(parseDoublePrefix(u"  12.5 мл", &used), 12.5);
    EXPECT_EQ(used, 6u);
    EXPECT_EQ(parseDoublePrefix(u"+3e2x"), 300.0);
    EXPECT_EQ(parseDoublePrefix(u"-0.25"), -0.25);
    EXPECT_EQ(parseDoublePrefix(u".5"), 0.5);
    // A comma ends the number: "0,8" reads as 0.
    EXPECT_EQ(parseDoublePrefix(u"0,8"), 0.0);
    EXPECT_EQ(parseDoublePrefix(u"abc", &used), 0.0);
    EXPECT_EQ(used, 0u);
    EXPECT_EQ(parseDoublePrefix(u"", &used), 0.0);
    EXPECT_EQ(parseDoublePrefix(u"--1"), 0.0);
    EXPECT_EQ(parseDoublePrefix(u"0x1p4"), 16.0);
    EXPECT_EQ(parseDoublePrefix(u"0xg", &used), 0.0);
    EXPECT_EQ(used, 1u);  // the "0" before the x
    EXPECT_TRUE(std::isinf(parseDoublePrefix(u"1e999")));
    EXPECT_EQ(parseDoublePrefix(u"1e-999"), 0.0);
    EXPECT_TRUE(std::isnan(parseDoublePrefix(u"nan")));
    EXPECT_TRUE(std::isinf(parseDoublePrefix(u"-Infinity")));
    // A no-break space before the number is white space too.
    EXPECT_EQ(parseDoublePrefix(u"\u00A07"), 7.0);
}
