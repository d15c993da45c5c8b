#include <gtest/gtest.h>

#include "text/string_table.h"

using namespace norvalt;

TEST(StringTable, HoldsTheRussianTexts)
{
    EXPECT_EQ(loadString(IDS_WATER_MASS_TITLE), u"Массовая доля воды, %");
    // Kind 1 is written with a Latin "c", kind 4 with a Cyrillic "с".
    EXPECT_EQ(loadString(IDS_KIND_GRAD1_WITH_TEG).find(u"(c "), 16u);
    EXPECT_NE(loadString(IDS_KIND_GRAD2_WITH_TEG).find(u"(с "), std::u16string::npos);
    EXPECT_EQ(loadString(IDS_ERR_OPEN_FILE), u"Ошибка %d. Не удалось открыть файл.\n'%s'.");
    EXPECT_EQ(loadString(129), u"");
    EXPECT_FALSE(builtinString(9999).has_value());
}

TEST(StringTable, LanguageLookupIsAskedFirst)
{
    setStringLookup([](int id) -> std::optional<std::u16string> {
        if (id == IDS_YES) return u"Yes";
        return std::nullopt;
    });
    EXPECT_EQ(loadString(IDS_YES), u"Yes");
    EXPECT_EQ(loadString(IDS_NO), u"Нет");  // falls back to the built-in text
    setStringLookup({});
    EXPECT_EQ(loadString(IDS_YES), u"Да");
}
