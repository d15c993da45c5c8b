#include "calc/kinds.h"

#include <gtest/gtest.h>

#include "calc_fixtures.h"

namespace norvalt {
namespace {

using test::chromatogram;
using test::mixture;
using test::peak;
using Texts = std::vector<std::u16string>;

TEST(KindText, GivesTheStringTableTextAndUndeterminedOutsideTheRange)
{
    EXPECT_EQ(kindText(GradColumn1WithTeg), u"Град. 1 колонка (c ТЭГ)");  // Latin c
    EXPECT_EQ(kindText(GradColumn2WithTeg), u"Град. 2 колонка (с ТЭГ)");  // Cyrillic с
    EXPECT_EQ(kindText(AnalysisColumn2), u"Анализ. 2 колонка");
    EXPECT_EQ(kindText(Undetermined), u"Неизвестен");
    EXPECT_EQ(kindText(7), u"Неизвестен");
    EXPECT_EQ(kindText(-1), u"Неизвестен");
}

class Classification : public ::testing::Test {
protected:
    test::AltNames names{test::shortNames()};
    MessageList messages;
    // 0: a complete column-1 mixture; 1: the same with TEG; 2: without DEG;
    // 3: a column-2 mixture.
    std::vector<Mixture> mixtures{
        mixture(u"Смесь 1", {u"эг", u"ДЭГ", u"Нонанол"}),
        mixture(u"Смесь 2", {u"ЭГ", u"ДЭГ", u"ТЭГ", u"Нонанол"}),
        mixture(u"Смесь 3", {u"ЭГ", u"Нонанол"}),
        mixture(u"Смесь 4", {u"ЭГ", u"ДЭГ", u"Бензол"}),
    };

    Chromatogram classified(Chromatogram c)
    {
        c.kind = 0;  // anything but the default, so the reset is seen
        c.column = 0;
        classifyChromatogram(c, mixtures, messages);
        return c;
    }
};

TEST_F(Classification, AnalysedChromatogramsTakeTheirColumnFromTheInternalStandard)
{
    auto c = classified(chromatogram(u"a.chr", false, -1, {peak(u"ЭГ"), peak(u"ДЭГ"), peak(u"Нонанол")}));
    EXPECT_EQ(c.kind, AnalysisColumn1);
    EXPECT_EQ(c.column, column1);

    c = classified(chromatogram(u"b.chr", false, -1, {peak(u"Бензол"), peak(u" эг ")}));
    EXPECT_EQ(c.kind, AnalysisColumn2);
    EXPECT_EQ(c.column, column2);

    // Both standards once: nonanol-1 decides.
    c = classified(chromatogram(u"c.chr", false, -1, {peak(u"ЭГ"), peak(u"Бензол"), peak(u"Нонанол")}));
    EXPECT_EQ(c.kind, AnalysisColumn1);
    EXPECT_EQ(c.column, column1);

    // Two nonanol-1 peaks: it falls to the benzyl alcohol peak.
    c = classified(chromatogram(u"d.chr", false, -1,
                                {peak(u"ЭГ"), peak(u"Бензол"), peak(u"Нонанол"), peak(u"Нонанол")}));
    EXPECT_EQ(c.kind, AnalysisColumn2);

    // No standard, or no single EG peak: undetermined, silently.
    c = classified(chromatogram(u"e.chr", false, -1, {peak(u"ЭГ"), peak(u"ДЭГ")}));
    EXPECT_EQ(c.kind, Undetermined);
    EXPECT_EQ(c.column, unknownColumn);
    c = classified(chromatogram(u"f.chr", false, -1, {peak(u"ДЭГ"), peak(u"Нонанол")}));
    EXPECT_EQ(c.kind, Undetermined);
    EXPECT_TRUE(messages.empty());
}

TEST_F(Classification, AnAnalysedChromatogramMustNotNameAMixture)
{
    auto c = classified(chromatogram(u"C:\\data\\x\\a1.chr", false, 0, {peak(u"ЭГ"), peak(u"Нонанол")}));
    EXPECT_EQ(c.kind, Undetermined);
    EXPECT_EQ(c.column, unknownColumn);
    // An index past the list is still a mixture named by the assay.
    c = classified(chromatogram(u"D:/y/a2.chr", false, 17, {peak(u"ЭГ"), peak(u"Нонанол")}));
    EXPECT_EQ(c.kind, Undetermined);
    EXPECT_EQ(messages.allMessageTexts(),
              (Texts{u"В анализируемой хроматограмме 'a1.chr' должна отсутствовать смесь",
                     u"В анализируемой хроматограмме 'a2.chr' должна отсутствовать смесь"}));
}

TEST_F(Classification, CalibrationKindsFollowTheAgreementOfPeaksAndMixture)
{
    // Column 1 without TEG.
    auto c = classified(chromatogram(u"g1.chr", true, 0, {peak(u"ЭГ"), peak(u"ДЭГ"), peak(u"Нонанол")}));
    EXPECT_EQ(c.kind, GradColumn1NoTeg);
    EXPECT_EQ(c.column, column1);

    // TEG in both: with TEG.
    c = classified(chromatogram(u"g2.chr", true, 1,
                                {peak(u"ЭГ"), peak(u"ДЭГ"), peak(u"ТЭГ"), peak(u"Нонанол")}));
    EXPECT_EQ(c.kind, GradColumn1WithTeg);
    EXPECT_EQ(c.column, column1);

    // TEG in the mixture but not among the peaks, and the reverse: without.
    c = classified(chromatogram(u"g3.chr", true, 1, {peak(u"ЭГ"), peak(u"ДЭГ"), peak(u"Нонанол")}));
    EXPECT_EQ(c.kind, GradColumn1NoTeg);
    c = classified(chromatogram(u"g4.chr", true, 0,
                                {peak(u"ЭГ"), peak(u"ДЭГ"), peak(u"ТЭГ"), peak(u"Нонанол")}));
    EXPECT_EQ(c.kind, GradColumn1NoTeg);

    // Column 2.
    c = classified(chromatogram(u"g5.chr", true, 3, {peak(u"ЭГ"), peak(u"ДЭГ"), peak(u"Бензол")}));
    EXPECT_EQ(c.kind, GradColumn2NoTeg);
    EXPECT_EQ(c.column, column2);

    // The standard must be a peak and a mixture component: benzyl alcohol
    // among the peaks of a nonanol-1 mixture gives nothing.
    c = classified(chromatogram(u"g6.chr", true, 0, {peak(u"ЭГ"), peak(u"ДЭГ"), peak(u"Бензол")}));
    EXPECT_EQ(c.kind, Undetermined);
    EXPECT_EQ(c.column, unknownColumn);

    // Two EG peaks: undetermined before anything is said.
    c = classified(chromatogram(u"g7.chr", true, 0,
                                {peak(u"ЭГ"), peak(u"ЭГ"), peak(u"ДЭГ"), peak(u"Нонанол")}));
    EXPECT_EQ(c.kind, Undetermined);
    EXPECT_TRUE(messages.empty());
}

TEST_F(Classification, CalibrationFindingsNameTheFileOrTheMixture)
{
    classified(chromatogram(u"C:\\cal\\n1.chr", true, -1, {peak(u"ЭГ"), peak(u"ДЭГ"), peak(u"Нонанол")}));
    classified(chromatogram(u"C:\\cal\\n2.chr", true, 4, {peak(u"ЭГ"), peak(u"ДЭГ"), peak(u"Нонанол")}));
    EXPECT_EQ(messages.allMessageTexts(),
              (Texts{u"В градуировочной хроматограмме 'n1.chr' нет смеси",
                     u"В градуировочной хроматограмме 'n2.chr' нет смеси"}));
    messages.clearMessages();

    // Neither the mixture nor the peaks hold DEG: both findings.
    auto c = classified(chromatogram(u"C:\\cal\\m1.chr", true, 2, {peak(u"ЭГ"), peak(u"Нонанол")}));
    EXPECT_EQ(c.kind, Undetermined);
    const Texts both{u"В градуировочной смеси 'Смесь 3' должен быть этиленгликоль и диэтиленгликоль",
                     u"В хроматограмме 'm1.chr' должен быть этиленгликоль и диэтиленгликоль"};
    EXPECT_EQ(messages.allMessageTexts(), both);
    // The same file name from another folder adds nothing new.
    classified(chromatogram(u"D:\\other\\m1.chr", true, 2, {peak(u"ЭГ"), peak(u"Нонанол")}));
    EXPECT_EQ(messages.allMessageTexts(), both);
    messages.clearMessages();

    // The mixture is complete but the chromatogram has DEG twice: only
    // the chromatogram is at fault.
    classified(chromatogram(u"m2.chr", true, 0,
                            {peak(u"ЭГ"), peak(u"ДЭГ"), peak(u"ДЭГ"), peak(u"Нонанол")}));
    EXPECT_EQ(messages.allMessageTexts(),
              (Texts{u"В хроматограмме 'm2.chr' должен быть этиленгликоль и диэтиленгликоль"}));
    messages.clearMessages();

    // The peaks hold DEG once but the mixture lacks it: only the mixture.
    classified(chromatogram(u"m3.chr", true, 2, {peak(u"ЭГ"), peak(u"ДЭГ"), peak(u"Нонанол")}));
    EXPECT_EQ(messages.allMessageTexts(),
              (Texts{u"В градуировочной смеси 'Смесь 3' должен быть этиленгликоль и диэтиленгликоль"}));
}

TEST_F(Classification, KindsFollowTheCurrentAlternativeNames)
{
    auto c = chromatogram(u"a.chr", false, -1, {peak(u"Ethylene glycol"), peak(u"1-Nonanol")});
    classifyChromatogram(c, mixtures, messages);
    EXPECT_EQ(c.kind, Undetermined);

    test::AltNames english({u"ethylene glycol", u"DEG", u"TEG", u"water", u"1-nonanol", u"benzyl alcohol"});
    classifyChromatogram(c, mixtures, messages);
    EXPECT_EQ(c.kind, AnalysisColumn1);
}

} // namespace
} // namespace norvalt
