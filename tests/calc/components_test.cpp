#include "calc/components.h"

#include <gtest/gtest.h>

#include "calc_fixtures.h"

namespace norvalt {
namespace {

using test::AltNames;

TEST(NormalizeName, DropsWhiteSpaceAndControlsAndLowersWhatIsGraphic)
{
    EXPECT_EQ(normalizeName(u"  ЭТИЛЕН ГЛИКОЛЬ "), u"этиленгликоль");
    // Punctuation is kept, so the hyphen separates these two spellings.
    EXPECT_EQ(normalizeName(u"Нонанол - 1"), u"нонанол-1");
    EXPECT_EQ(normalizeName(u"Нонанол 1"), u"нонанол1");
    // Tab, no-break space and line separator are white space; U+0001 is a
    // control and U+200B a format character: all dropped.
    EXPECT_EQ(normalizeName(u"\tДЭГ\u00A0(Σ)\u2028\u0001x\u200B"), u"дэг(σ)x");
    // Ё lowers to ё, not to е: the letters stay apart.
    EXPECT_EQ(normalizeName(u"ЁЖ"), u"ёж");
    EXPECT_EQ(normalizeName(u" \r\n"), u"");
}

TEST(ComponentTable, HoldsTheSevenSubstancesInIdOrder)
{
    const auto& table = componentTable();
    for (int id = 0; id < componentCount; ++id) EXPECT_EQ(table[id].id, id);
    EXPECT_EQ(table[EthyleneGlycol].name, u"Этиленгликоль");
    EXPECT_EQ(table[Water].formula, u"H20");  // digit zero, as stored
    EXPECT_EQ(table[BenzylAlcohol].name, u"Бензиловый спирт");
    EXPECT_EQ(table[UnidentifiedSubstance].formula, u"");
}

TEST(ComponentOfName, RecognisesThroughAlternativeNamesOnly)
{
    AltNames names({u"Этиленгликоль", u"ДЭГ", u"ТЭГ", u"Вода", u"Нонанол - 1", u"Бензиловый спирт"});
    EXPECT_EQ(componentOfName(u"  ЭТИЛЕН ГЛИКОЛЬ "), EthyleneGlycol);
    EXPECT_EQ(componentOfName(u"дэг"), DiethyleneGlycol);
    EXPECT_EQ(componentOfName(u"НОНАНОЛ-1"), Nonanol1);
    EXPECT_EQ(componentOfName(u"Нонанол 1"), UnidentifiedSubstance);
    // A prefix or an extension of an alternative name is another name.
    EXPECT_EQ(componentOfName(u"ДЭ"), UnidentifiedSubstance);
    EXPECT_EQ(componentOfName(u"ДЭГ-2"), UnidentifiedSubstance);
    // The fixed name of DEG is not its alternative name: not recognised.
    EXPECT_EQ(componentOfName(u"Диэтиленгликоль"), UnidentifiedSubstance);
    EXPECT_EQ(componentOfName(u"Неизвестное вещ-во"), UnidentifiedSubstance);

    EXPECT_TRUE(isComponentName(u"д э г", DiethyleneGlycol));
    EXPECT_FALSE(isComponentName(u"дэг", TriethyleneGlycol));
    EXPECT_FALSE(isComponentName(u"дэг", UnidentifiedSubstance));
    EXPECT_FALSE(isComponentName(u"дэг", -1));
}

TEST(ComponentOfName, TheLowerIdWinsWhenAlternativeNamesCoincide)
{
    AltNames names({u"ЭГ", u"Гликоль", u"гликоль ", u"Вода", u"Нонанол", u"Бензол"});
    EXPECT_EQ(componentOfName(u"ГЛИКОЛЬ"), DiethyleneGlycol);
    // isComponentName asks about one id and so holds for both.
    EXPECT_TRUE(isComponentName(u"ГЛИКОЛЬ", TriethyleneGlycol));
}

TEST(ComponentOfName, AnUnnamedPeakIsNeverAComponent)
{
    // Before the main window fills the table every alternative name is
    // empty; and a blank one must not turn unnamed peaks into a component.
    AltNames names({u"", u"  ", u"ТЭГ", u"Вода", u"Нонанол", u"Бензол"});
    EXPECT_EQ(componentOfName(u""), UnidentifiedSubstance);
    EXPECT_EQ(componentOfName(u" "), UnidentifiedSubstance);
    EXPECT_FALSE(isComponentName(u"", EthyleneGlycol));
    EXPECT_FALSE(isComponentName(u"", DiethyleneGlycol));
}

TEST(ComponentAltName, OnlyIdsZeroToFiveCanBeRenamed)
{
    AltNames names(test::shortNames());
    EXPECT_TRUE(setComponentAltName(Water, u"H2O"));
    EXPECT_EQ(componentTable()[Water].altName, u"H2O");
    EXPECT_EQ(componentOfName(u"h2o"), Water);
    EXPECT_EQ(componentOfName(u"Вода"), UnidentifiedSubstance);

    EXPECT_FALSE(setComponentAltName(UnidentifiedSubstance, u"X"));
    EXPECT_FALSE(setComponentAltName(7, u"X"));
    EXPECT_FALSE(setComponentAltName(-1, u"X"));
    EXPECT_EQ(componentTable()[UnidentifiedSubstance].altName, u"");
    EXPECT_EQ(componentOfName(u"X"), UnidentifiedSubstance);
}

TEST(ComponentDisplayName, FallsBackToTheUnknownSubstance)
{
    EXPECT_EQ(componentDisplayName(DiethyleneGlycol), u"Диэтиленгликоль");
    EXPECT_EQ(componentDisplayName(UnidentifiedSubstance), u"Неизвестное вещ-во");
    EXPECT_EQ(componentDisplayName(7), u"Неизвестное вещ-во");
    EXPECT_EQ(componentDisplayName(-3), u"Неизвестное вещ-во");
}

} // namespace
} // namespace norvalt
