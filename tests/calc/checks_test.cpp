#include "calc/checks.h"

#include <cfloat>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "calc/kinds.h"
#include "text/string_table.h"

namespace norvalt {
namespace {

using Texts = std::vector<std::u16string>;

TEST(IsValidValue, AcceptsNormalValuesAboveEpsilonOfEitherSign)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(isValidValue(1));
    EXPECT_TRUE(isValidValue(-1));
    EXPECT_TRUE(isValidValue(2 * DBL_EPSILON));
    EXPECT_TRUE(isValidValue(std::nextafter(DBL_EPSILON, 1.0)));
    EXPECT_TRUE(isValidValue(1e300));

    EXPECT_FALSE(isValidValue(0.0));
    EXPECT_FALSE(isValidValue(-0.0));
    EXPECT_FALSE(isValidValue(DBL_EPSILON));  // strictly greater is required
    EXPECT_FALSE(isValidValue(-DBL_EPSILON));
    EXPECT_FALSE(isValidValue(DBL_MIN));      // normal, but far below epsilon
    EXPECT_FALSE(isValidValue(DBL_MIN / 2));  // subnormal
    EXPECT_FALSE(isValidValue(inf));
    EXPECT_FALSE(isValidValue(-inf));
    EXPECT_FALSE(isValidValue(std::numeric_limits<double>::quiet_NaN()));
}

// A set of chromatograms described by kind, calibration flag and mixture.
class Checks : public ::testing::Test {
protected:
    ChromatogramMap set;
    MessageList messages;
    int nextId = 1;

    int add(int kind, bool isCalibration, int mixtureIndex)
    {
        Chromatogram c;
        c.kind = kind;
        c.isCalibration = isCalibration;
        c.mixtureIndex = mixtureIndex;
        set.emplace(nextId, c);
        return nextId++;
    }
    void calibrations(int kind, int mixtureIndex, int count)
    {
        for (int i = 0; i < count; ++i) add(kind, true, mixtureIndex);
    }
    int analysed(int kind) { return add(kind, false, -1); }

    bool validate(int selected, double water = 1.5)
    {
        return validateInputs(&set, selected, water, messages);
    }
    Texts errors(std::initializer_list<int> ids)
    {
        Texts texts;
        for (int id : ids) texts.push_back(loadString(id));
        return texts;
    }
};

TEST_F(Checks, WithoutASelectedChromatogramNothingElseIsSaid)
{
    calibrations(GradColumn1NoTeg, 0, 1);  // would fail the mixture pairs
    analysed(AnalysisColumn1);
    EXPECT_FALSE(validate(-1));
    EXPECT_FALSE(validate(99));
    EXPECT_FALSE(validateInputs(nullptr, 1, 1.5, messages));
    EXPECT_EQ(messages.allMessageTexts(), errors({IDS_ERR_NO_SELECTION}));
}

TEST_F(Checks, EveryMixtureNeedsTwoCalibrationChromatogramsWhateverElseIsWrong)
{
    calibrations(GradColumn1NoTeg, 0, 2);
    calibrations(GradColumn1WithTeg, 1, 1);  // also mixes TEG variants
    const int selected = analysed(AnalysisColumn1);  // and too few analysed
    EXPECT_FALSE(validate(selected, 0));             // and no water
    EXPECT_EQ(messages.allMessageTexts(), errors({IDS_ERR_MIXTURE_PAIRS}));
}

TEST_F(Checks, CalibrationChromatogramsWithoutMixtureFormOneGroup)
{
    // Two without a mixture pass the pairing; kind 6 counts there too.
    add(Undetermined, true, -1);
    add(GradColumn2NoTeg, true, -1);
    calibrations(GradColumn2NoTeg, 3, 2);
    const int selected = analysed(AnalysisColumn2);
    analysed(AnalysisColumn2);
    EXPECT_TRUE(validate(selected));
    EXPECT_TRUE(messages.empty());

    add(GradColumn2NoTeg, true, 5);
    EXPECT_FALSE(validate(selected));
    EXPECT_EQ(messages.allMessageTexts(), errors({IDS_ERR_MIXTURE_PAIRS}));
}

TEST_F(Checks, MixedTriethyleneGlycolVariantsFailBeforeAnyCount)
{
    calibrations(GradColumn1NoTeg, 0, 2);
    calibrations(GradColumn1WithTeg, 1, 2);
    const int selected = analysed(AnalysisColumn1);  // one analysed: 169 would follow
    EXPECT_FALSE(validate(selected));
    EXPECT_EQ(messages.allMessageTexts(), errors({IDS_ERR_TEG_MIXED}));

    messages.clearMessages();
    set.clear();
    calibrations(GradColumn2WithTeg, 0, 2);
    calibrations(GradColumn2NoTeg, 1, 2);
    EXPECT_FALSE(validate(analysed(AnalysisColumn2)));
    EXPECT_EQ(messages.allMessageTexts(), errors({IDS_ERR_TEG_MIXED}));
}

TEST_F(Checks, EachColumnNeedsTwoAnalysedChromatogramsOfItsOwn)
{
    calibrations(GradColumn1NoTeg, 0, 6);
    const int selected = analysed(AnalysisColumn1);
    analysed(AnalysisColumn2);
    add(Undetermined, false, -1);  // counted nowhere
    EXPECT_FALSE(validate(selected));
    EXPECT_EQ(messages.allMessageTexts(), errors({IDS_ERR_ANALYSIS_COUNT}));

    // Two of column 2 satisfy the count even for a column-1 selection.
    messages.clearMessages();
    analysed(AnalysisColumn2);
    EXPECT_TRUE(validate(selected));
}

TEST_F(Checks, TheSelectedChromatogramMustBeAnAnalysedOne)
{
    calibrations(GradColumn1NoTeg, 0, 6);
    const int calibration = set.begin()->first;
    analysed(AnalysisColumn1);
    analysed(AnalysisColumn1);
    const int undetermined = add(Undetermined, false, -1);
    EXPECT_FALSE(validate(calibration));
    EXPECT_FALSE(validate(undetermined));
    EXPECT_EQ(messages.allMessageTexts(), errors({IDS_ERR_SELECTED_NOT_ANALYSIS}));
}

TEST_F(Checks, ColumnOneNeedsSixToTenCalibrationChromatograms)
{
    // Five: two of one mixture, three of another.
    calibrations(GradColumn1NoTeg, 0, 2);
    calibrations(GradColumn1NoTeg, 1, 3);
    const int selected = analysed(AnalysisColumn1);
    analysed(AnalysisColumn1);
    EXPECT_FALSE(validate(selected));
    EXPECT_EQ(messages.allMessageTexts(), errors({IDS_ERR_GRAD_COUNT}));

    messages.clearMessages();
    calibrations(GradColumn1NoTeg, 1, 1);  // 6
    EXPECT_TRUE(validate(selected));
    calibrations(GradColumn1NoTeg, 1, 4);  // 10
    EXPECT_TRUE(validate(selected));
    calibrations(GradColumn1NoTeg, 1, 1);  // 11
    EXPECT_FALSE(validate(selected));
    EXPECT_EQ(messages.allMessageTexts(), errors({IDS_ERR_GRAD_COUNT}));
}

TEST_F(Checks, ColumnTwoNeedsThreeToFiveCalibrationChromatograms)
{
    calibrations(GradColumn2WithTeg, 0, 2);
    const int selected = analysed(AnalysisColumn2);
    analysed(AnalysisColumn2);
    EXPECT_FALSE(validate(selected));  // 2
    EXPECT_EQ(messages.allMessageTexts(), errors({IDS_ERR_GRAD_COUNT}));

    messages.clearMessages();
    calibrations(GradColumn2WithTeg, 1, 3);  // 5: the same five that column 1 refuses
    EXPECT_TRUE(validate(selected));
    calibrations(GradColumn2WithTeg, 1, 1);  // 6
    EXPECT_FALSE(validate(selected));
    EXPECT_EQ(messages.allMessageTexts(), errors({IDS_ERR_GRAD_COUNT}));
}

TEST_F(Checks, NoCalibrationAtAllGivesBothTegAndCountFindings)
{
    const int selected = analysed(AnalysisColumn1);
    analysed(AnalysisColumn1);
    EXPECT_FALSE(validate(selected));
    EXPECT_EQ(messages.allMessageTexts(), errors({IDS_ERR_TEG_MIXED, IDS_ERR_GRAD_COUNT}));
}

TEST_F(Checks, CalibrationOfTheOtherColumnIsReportedAndFails)
{
    calibrations(GradColumn1NoTeg, 0, 6);
    calibrations(GradColumn2NoTeg, 1, 2);
    const int selected = analysed(AnalysisColumn1);
    analysed(AnalysisColumn1);
    EXPECT_FALSE(validate(selected));
    EXPECT_EQ(messages.allMessageTexts(), errors({IDS_ERR_COLUMN_MISMATCH}));

    // With a wrong count as well, both are said.
    messages.clearMessages();
    calibrations(GradColumn1NoTeg, 0, 5);
    EXPECT_FALSE(validate(selected));
    EXPECT_EQ(messages.allMessageTexts(), errors({IDS_ERR_COLUMN_MISMATCH, IDS_ERR_GRAD_COUNT}));
}

TEST_F(Checks, TheWaterMassFractionIsCheckedLast)
{
    calibrations(GradColumn2NoTeg, 0, 3);
    const int selected = analysed(AnalysisColumn2);
    analysed(AnalysisColumn2);
    EXPECT_TRUE(validate(selected, -1));  // negative values are let through
    EXPECT_TRUE(validate(selected, 0.01));
    EXPECT_TRUE(messages.empty());

    EXPECT_FALSE(validate(selected, 0));
    EXPECT_FALSE(validate(selected, std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(validate(selected, std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(validate(selected, 1e-20));
    EXPECT_EQ(messages.allMessageTexts(), errors({IDS_ERR_WATER_MASS}));

    // A failure earlier on hides the water finding.
    messages.clearMessages();
    calibrations(GradColumn2NoTeg, 0, 3);  // 6
    EXPECT_FALSE(validate(selected, 0));
    EXPECT_EQ(messages.allMessageTexts(), errors({IDS_ERR_GRAD_COUNT}));
}

} // namespace
} // namespace norvalt
