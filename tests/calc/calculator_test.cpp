#include "calc/calculator.h"

#include <cmath>

#include <gtest/gtest.h>

#include "calc/kinds.h"
#include "calc/norms.h"
#include "calc_fixtures.h"
#include "text/string_table.h"

namespace norvalt {
namespace {

using test::chromatogram;
using test::peak;
using Texts = std::vector<std::u16string>;

// Peak names as the laboratory's chromatograms write them (test::shortNames).
const std::u16string EG = u"ЭГ";
const std::u16string DEG = u"ДЭГ";
const std::u16string TEG = u"ТЭГ";
const std::u16string BA = u"Бензол";  // benzyl alcohol, the standard of column 2
const std::u16string A1 = u"C:\\an\\a1.chr";
const std::u16string A2 = u"C:\\an\\a2.chr";

class CalculatorTest : public ::testing::Test {
protected:
    test::AltNames names{test::shortNames()};
    MessageList messages;
    Calculator calculator{messages};
    ChromatogramMap set;
    std::vector<Mixture> mixtures{Mixture{}, Mixture{}};

    void calibration(int id, std::u16string file, int mixture, std::initializer_list<Peak> peaks)
    {
        set.emplace(id, chromatogram(std::move(file), true, mixture, peaks, GradColumn2NoTeg));
    }
    void analysed(int id, std::u16string file, std::initializer_list<Peak> peaks)
    {
        set.emplace(id, chromatogram(std::move(file), false, -1, peaks, AnalysisColumn2));
    }
    const CalibrationSeries& series(const std::u16string& name) const
    {
        for (const auto& s : calculator.calibrationSeries()) {
            if (s.peakName == name) return s;
        }
        ADD_FAILURE() << "no series";
        return calculator.calibrationSeries().front();
    }
    const ComponentResult* row(const std::u16string& name) const
    {
        for (const auto& r : calculator.selectedResults()) {
            if (r.name == name) return &r;
        }
        return nullptr;
    }

    // Two mixtures measured twice each on column 2, and two analysed
    // chromatograms; (area, concentration) of each peak:
    //
    //            mixture  EG       DEG        BA (standard)
    //   k1       0        (2, 1)   (2, 0.5)   (4, 2)
    //   k2       0        (2, 1)   (3, 0.5)   (4, 2)
    //   k3       1        (4, 1)   (4, 1)     (8, 2)
    //   k4       1        (4, 1)   (6, 1)     (8, 2)
    //   a1       -        (6, 0)   (5, 1e4)   (4, 2)
    //   a2       -        (10, 0)  (7, 1e4)   (8, 2)
    void workedExample()
    {
        calibration(1, u"C:\\cal\\k1.chr", 0, {peak(EG, 2, 1), peak(DEG, 2, 0.5), peak(BA, 4, 2)});
        calibration(2, u"C:\\cal\\k2.chr", 0, {peak(EG, 2, 1), peak(DEG, 3, 0.5), peak(BA, 4, 2)});
        calibration(3, u"C:\\cal\\k3.chr", 1, {peak(EG, 4, 1), peak(DEG, 4, 1), peak(BA, 8, 2)});
        calibration(4, u"C:\\cal\\k4.chr", 1, {peak(EG, 4, 1), peak(DEG, 6, 1), peak(BA, 8, 2)});
        analysed(10, A1, {peak(EG, 6, 0), peak(DEG, 5, 1e4), peak(BA, 4, 2)});
        analysed(11, A2, {peak(EG, 10, 0), peak(DEG, 7, 1e4), peak(BA, 8, 2)});
    }
};

// K = (Q.area × P.conc) / ((Xa.area − (Ia.area / Q.area) × P.area) × Q.conc)
// with P the calibration point, Q the standard in the same calibration
// chromatogram, Xa the component and Ia the standard in the analysed one.
//
// DEG for a1 (Ia.area 4, Xa.area 5):
//   k1: 4/4 = 1,   1 × 2 = 2,   5 − 2 = 3, × 2 = 6;  4 × 0.5 = 2;  K = 2/6 = 1/3
//   k2: 4/4 = 1,   1 × 3 = 3,   5 − 3 = 2, × 2 = 4;  4 × 0.5 = 2;  K = 2/4 = 1/2
//   k3: 4/8 = 0.5, 0.5 × 4 = 2, 5 − 2 = 3, × 2 = 6;  8 × 1 = 8;    K = 8/6 = 4/3
//   k4: 4/8 = 0.5, 0.5 × 6 = 3, 5 − 3 = 2, × 2 = 4;  8 × 1 = 8;    K = 8/4 = 2
//   mean = (1/3 + 1/2 + 4/3 + 2) / 4 = (25/6) / 4 = 25/24
// DEG for a2 (Ia.area 8, Xa.area 7):
//   k1: 2, 2 × 2 = 4, 7 − 4 = 3, × 2 = 6;  K = 2/6 = 1/3
//   k2: 2, 2 × 3 = 6, 7 − 6 = 1, × 2 = 2;  K = 2/2 = 1
//   k3: 1, 1 × 4 = 4, 7 − 4 = 3, × 2 = 6;  K = 8/6 = 4/3
//   k4: 1, 1 × 6 = 6, 7 − 6 = 1, × 2 = 2;  K = 8/2 = 4
//   mean = (1/3 + 1 + 4/3 + 4) / 4 = (20/3) / 4 = 5/3
// EG for a1 (Xa.area 6): k1, k2: 1 × 2 = 2, 6 − 2 = 4, × 2 = 8; 4/8 = 1/2
//                        k3, k4: 0.5 × 4 = 2, 6 − 2 = 4, × 2 = 8; 8/8 = 1
//   mean = 3/4
// EG for a2 (Xa.area 10): k1, k2: 2 × 2 = 4, 10 − 4 = 6, × 2 = 12; 4/12 = 1/3
//                         k3, k4: 1 × 4 = 4, 10 − 4 = 6, × 2 = 12; 8/12 = 2/3
//   mean = 2/4 = 1/2
// BA is the standard's own series: every point NaN, mean 0.
TEST_F(CalculatorTest, WorkedExampleCoefficientsAndMeans)
{
    workedExample();
    calculator.run(set, mixtures, 10, 0.5);
    ASSERT_TRUE(messages.empty());

    ASSERT_EQ(calculator.calibrationSeries().size(), 3u);
    EXPECT_EQ(calculator.calibrationSeries()[0].peakName, EG);  // order of first meeting in k1
    EXPECT_EQ(calculator.calibrationSeries()[1].peakName, DEG);
    EXPECT_EQ(calculator.calibrationSeries()[2].peakName, BA);
    EXPECT_EQ(calculator.internalStandardId(), BenzylAlcohol);
    EXPECT_EQ(calculator.internalStandardSeries(), 2);

    const auto& deg = series(DEG);
    ASSERT_EQ(deg.points.size(), 4u);
    EXPECT_EQ(deg.points[1].fileName, u"k2.chr");
    EXPECT_EQ(deg.points[1].area, 3);
    EXPECT_EQ(deg.points[1].concentration, 0.5);
    const double a1Coefficients[] = {1.0 / 3, 0.5, 4.0 / 3, 2};
    const double a2Coefficients[] = {1.0 / 3, 1, 4.0 / 3, 4};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_DOUBLE_EQ(deg.points[i].coefficient, a1Coefficients[i]);  // a1 is selected
        EXPECT_DOUBLE_EQ(deg.points[i].coefficientByFile.at(A1), a1Coefficients[i]);
        EXPECT_DOUBLE_EQ(deg.points[i].coefficientByFile.at(A2), a2Coefficients[i]);
    }
    EXPECT_DOUBLE_EQ(deg.meanCoefficient, 25.0 / 24);
    EXPECT_DOUBLE_EQ(deg.meanCoefficientByFile.at(A1), 25.0 / 24);
    EXPECT_DOUBLE_EQ(deg.meanCoefficientByFile.at(A2), 5.0 / 3);

    const auto& eg = series(EG);
    EXPECT_DOUBLE_EQ(eg.meanCoefficientByFile.at(A1), 0.75);
    EXPECT_DOUBLE_EQ(eg.meanCoefficientByFile.at(A2), 0.5);

    const auto& ba = series(BA);
    for (const auto& p : ba.points) {
        EXPECT_TRUE(std::isnan(p.coefficient));
        EXPECT_TRUE(p.coefficientByFile.empty());
    }
    EXPECT_EQ(ba.meanCoefficient, 0);
    EXPECT_EQ(ba.meanCoefficientByFile.at(A1), 0);

    EXPECT_EQ(calculator.analysedChromatograms().size(), 2u);
    EXPECT_EQ(calculator.internalStandardPoints().size(), 2u);
}

// w = K̄ × Xa.area × Ia.conc × 100 / (Xa.conc × Ia.area)
// a1: DEG 25/24 × 5 × 2 × 100 / (1e4 × 4) = 25/24 × 1000/40000 = 25/960 = 0.0260416…
//     BA  0 × 4 × 2 × 100 / (2 × 4) = 0
//     EG  100 − 0.5 − 0 − 25/960 = 99.4739583…
// a2: DEG 5/3 × 7 × 2 × 100 / (1e4 × 8) = 5/3 × 1400/80000 = 7/240 = 0.0291666…
//     EG  99.5 − 7/240 = 99.4708333…
// Rows in code-unit order of the names: "Бензол" (U+0411) before "ДЭГ"
// (U+0414); the EG entry is no row of its own, its remainder comes last.
TEST_F(CalculatorTest, WorkedExampleMassFractions)
{
    workedExample();
    calculator.run(set, mixtures, 10, 0.5);
    auto rows = calculator.selectedResults();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].name, BA);
    EXPECT_EQ(rows[0].massFraction, 0);
    EXPECT_FALSE(rows[0].complies);  // no norm
    EXPECT_EQ(rows[0].norm, 0);
    EXPECT_EQ(rows[1].name, DEG);
    EXPECT_DOUBLE_EQ(rows[1].massFraction, 25.0 / 960);
    EXPECT_TRUE(rows[1].complies);  // below 0.05
    EXPECT_EQ(rows[1].norm, 0.0005);
    EXPECT_EQ(rows[2].name, u"этиленгликоль");
    EXPECT_DOUBLE_EQ(rows[2].massFraction, 99.5 - 25.0 / 960);
    EXPECT_FALSE(rows[2].complies);  // below 99.8
    EXPECT_EQ(rows[2].norm, 0.998);

    calculator.run(set, mixtures, 11, 0.5);
    rows = calculator.selectedResults();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_DOUBLE_EQ(rows[1].massFraction, 7.0 / 240);
    EXPECT_DOUBLE_EQ(rows[2].massFraction, 99.5 - 7.0 / 240);
    // The selected chromatogram's coefficients now are a2's.
    EXPECT_DOUBLE_EQ(series(DEG).points[3].coefficient, 4);
    EXPECT_DOUBLE_EQ(series(DEG).meanCoefficient, 5.0 / 3);
}

TEST_F(CalculatorTest, CalibrationWithoutItsStandardPeakKeepsZeroButCountsInTheMean)
{
    workedExample();
    set.at(2).peaks.pop_back();  // k2 loses its benzyl alcohol peak
    calculator.run(set, mixtures, 10, 0.5);
    const auto& deg = series(DEG);
    // a1: (1/3 + 4/3 + 2) / 4 = (11/3) / 4 = 11/12; k2's point keeps 0.
    EXPECT_EQ(deg.points[1].coefficient, 0);
    EXPECT_EQ(deg.points[1].coefficientByFile.count(A1), 0u);
    EXPECT_DOUBLE_EQ(deg.meanCoefficient, 11.0 / 12);
    EXPECT_EQ(series(BA).points.size(), 3u);
}

TEST_F(CalculatorTest, AnInvalidCalibrationValueGivesNaNForThatPointOnly)
{
    workedExample();
    set.at(3).peaks[1].area = 0;  // k3's DEG
    calculator.run(set, mixtures, 10, 0.5);
    const auto& deg = series(DEG);
    EXPECT_TRUE(std::isnan(deg.points[2].coefficient));
    EXPECT_EQ(deg.points[2].coefficientByFile.count(A1), 0u);
    // (1/3 + 1/2 + 2) / 4 = (17/6) / 4 = 17/24
    EXPECT_DOUBLE_EQ(deg.meanCoefficient, 17.0 / 24);
}

TEST_F(CalculatorTest, AnInvalidStandardPointSpoilsEveryCoefficient)
{
    workedExample();
    set.at(4).peaks[2].concent = 0;  // k4's benzyl alcohol
    calculator.run(set, mixtures, 10, 0.5);
    for (const auto& s : calculator.calibrationSeries()) {
        for (const auto& p : s.points) EXPECT_TRUE(std::isnan(p.coefficient));
        EXPECT_EQ(s.meanCoefficient, 0);
    }
    // DEG then has mean 0 and so a mass fraction of 0.
    ASSERT_NE(row(DEG), nullptr);
    EXPECT_EQ(row(DEG)->massFraction, 0);
    EXPECT_EQ(row(u"этиленгликоль")->massFraction, 99.5);
}

TEST_F(CalculatorTest, WithoutAStandardOfTheRightColumnEveryCoefficientIsNaN)
{
    workedExample();
    // Column-1 kinds: benzyl alcohol is no standard there, and no nonanol-1.
    for (int id : {1, 2, 3, 4}) set.at(id).kind = GradColumn1NoTeg;
    for (int id : {10, 11}) set.at(id).kind = AnalysisColumn1;
    calculator.run(set, mixtures, 10, 0.5);
    ASSERT_TRUE(messages.allMessageTexts() == Texts{loadString(IDS_ERR_GRAD_COUNT)});
    // Four calibration chromatograms are too few for column 1; with six:
    calibration(5, u"k5.chr", 0, {peak(EG, 2, 1), peak(DEG, 2, 0.5), peak(BA, 4, 2)});
    calibration(6, u"k6.chr", 0, {peak(EG, 2, 1), peak(DEG, 2, 0.5), peak(BA, 4, 2)});
    set.at(5).kind = set.at(6).kind = GradColumn1NoTeg;
    calculator.run(set, mixtures, 10, 0.5);
    ASSERT_TRUE(messages.empty());
    EXPECT_EQ(calculator.internalStandardId(), UnidentifiedSubstance);
    EXPECT_EQ(calculator.internalStandardSeries(), -1);
    for (const auto& s : calculator.calibrationSeries()) {
        for (const auto& p : s.points) EXPECT_TRUE(std::isnan(p.coefficient));
        EXPECT_EQ(s.meanCoefficient, 0);
    }
}

TEST_F(CalculatorTest, ASeriesNoAnalysedChromatogramCarriesGetsNoCoefficientAndNoRow)
{
    workedExample();
    for (int id : {1, 2, 3, 4}) {
        set.at(id).peaks.push_back(peak(TEG, 1, 0.1));
        set.at(id).kind = GradColumn2WithTeg;
    }
    calculator.run(set, mixtures, 10, 0.5);
    const auto& teg = series(TEG);
    for (const auto& p : teg.points) EXPECT_EQ(p.coefficient, 0);
    EXPECT_EQ(teg.meanCoefficient, 0);
    // Looking it up entered an empty list under its name.
    ASSERT_EQ(calculator.analysisPointsByName().count(TEG), 1u);
    EXPECT_TRUE(calculator.analysisPointsByName().at(TEG).empty());
    EXPECT_EQ(row(TEG), nullptr);
    EXPECT_EQ(calculator.selectedResults().size(), 3u);
}

TEST_F(CalculatorTest, ASeriesOpenedWithoutAValidMixtureGivesNoRow)
{
    workedExample();
    // k1 and k2 without a mixture still pair up; k1 opens every series.
    set.at(1).mixtureIndex = set.at(2).mixtureIndex = -1;
    calculator.run(set, mixtures, 10, 0.5);
    ASSERT_TRUE(messages.empty());
    EXPECT_TRUE(series(DEG).meanCoefficientByFile.empty());
    EXPECT_EQ(series(DEG).points[2].coefficient, 0);
    ASSERT_EQ(calculator.selectedResults().size(), 1u);
    EXPECT_EQ(calculator.selectedResults()[0].massFraction, 99.5);
}

TEST_F(CalculatorTest, ADifferentlyWrittenCalibrationPeakIsLeftOutWithAMessage)
{
    workedExample();
    set.at(3).peaks[1].name = u"дэг";  // same component, other spelling
    set.at(4).peaks[1].name = u"дэг";
    calculator.run(set, mixtures, 10, 0.5);
    EXPECT_EQ(messages.allMessageTexts(),
              (Texts{u"В град. хроматограммах не совпадают названия пиков для компонента Диэтиленгликоль"}));
    const auto& deg = series(DEG);
    ASSERT_EQ(deg.points.size(), 2u);
    // a1: (1/3 + 1/2) / 2 = 5/12
    EXPECT_DOUBLE_EQ(deg.meanCoefficient, 5.0 / 12);
}

TEST_F(CalculatorTest, AnAnalysedChromatogramWithoutItsStandardHasOnlyTheRemainder)
{
    workedExample();
    analysed(12, u"C:\\an\\a3.chr", {peak(EG, 6, 0), peak(DEG, 5, 1e4)});
    calculator.run(set, mixtures, 12, 0.5);
    ASSERT_EQ(calculator.selectedResults().size(), 1u);
    EXPECT_EQ(calculator.selectedResults()[0].massFraction, 99.5);
    // Its coefficients were not formed either.
    EXPECT_EQ(series(DEG).meanCoefficient, 0);
    EXPECT_EQ(series(DEG).points[0].coefficient, 0);
}

TEST_F(CalculatorTest, SameFileNameInTwoFoldersUsesTheFirstPointForBoth)
{
    workedExample();
    set.at(11).fileName = u"D:\\other\\a1.chr";
    calculator.run(set, mixtures, 11, 0.5);
    // a2's own peaks are never found: it gets a1's points, so a1's
    // coefficients, keyed by its own full path.
    EXPECT_DOUBLE_EQ(series(DEG).meanCoefficientByFile.at(u"D:\\other\\a1.chr"), 25.0 / 24);
    EXPECT_DOUBLE_EQ(row(DEG)->massFraction, 25.0 / 960);
}

TEST_F(CalculatorTest, AFailedCheckLeavesEveryResultEmptyAndEachTextOnce)
{
    workedExample();
    calculator.run(set, mixtures, 10, 0.5);
    ASSERT_FALSE(calculator.selectedResults().empty());

    calculator.run(set, mixtures, 10, 0);  // no water mass fraction
    calculator.run(set, mixtures, 10, 0);
    EXPECT_EQ(messages.allMessageTexts(), (Texts{loadString(IDS_ERR_WATER_MASS)}));
    EXPECT_TRUE(calculator.calibrationSeries().empty());
    EXPECT_TRUE(calculator.selectedResults().empty());
    EXPECT_TRUE(calculator.analysisPointsByName().empty());
    EXPECT_TRUE(calculator.analysedChromatograms().empty());
    EXPECT_EQ(calculator.internalStandardSeries(), -1);
}

TEST_F(CalculatorTest, RunClearsTheFindingsOfLoading)
{
    workedExample();
    messages.addMessage(MessageLevel::Error, u"from a load");
    calculator.run(set, mixtures, 10, 0.5);
    EXPECT_TRUE(messages.empty());
}

// A set in which every coefficient is 1, so a mass fraction is chosen by
// the analysed chromatogram alone. Three calibration chromatograms of one
// mixture with the standard at (area 1, conc 1), DEG at (1, 1), TEG at (1, 2):
//   DEG: K = (1 × 1) / ((Xa.area − (1/1) × 1) × 1) = 1 for Xa.area 2
//   TEG: K = (1 × 2) / ((Xa.area − (1/1) × 1) × 1) = 1 for Xa.area 3
// and then w = 1 × Xa.area × Ia.conc × 100 / (Xa.conc × 1).
class UnitCoefficients : public CalculatorTest {
protected:
    void SetUp() override
    {
        for (int id = 1; id <= 3; ++id)
            calibration(id, u"k" + std::u16string(1, char16_t(u'0' + id)), 0,
                        {peak(EG, 1, 1), peak(DEG, 1, 1), peak(TEG, 1, 2), peak(BA, 1, 1)});
        analysed(20, u"other.chr", {peak(EG, 1, 1), peak(BA, 1, 1)});
    }
};

TEST_F(UnitCoefficients, DiethyleneGlycolMustStayStrictlyBelowItsNorm)
{
    // DEG at (2, 2), the standard's concentration c:
    // w = ((1 × 2) × c) × 100 / (2 × 1). Doubling and halving are exact, so
    // w is c × 100 rounded once, as is the norm product 0.0005 × 100.
    analysed(21, u"a.chr", {peak(EG, 1, 1), peak(DEG, 2, 2), peak(BA, 1, 0.0005)});
    calculator.run(set, mixtures, 21, 0.2);
    ASSERT_NE(row(DEG), nullptr);
    EXPECT_EQ(row(DEG)->massFraction, 0.0005 * 100);
    EXPECT_FALSE(row(DEG)->complies);

    // c = 0.000499999 gives 0.0499999: complies.
    set.at(21).peaks[2].concent = 0.000499999;
    calculator.run(set, mixtures, 21, 0.2);
    EXPECT_DOUBLE_EQ(row(DEG)->massFraction, 0.0499999);
    EXPECT_TRUE(row(DEG)->complies);
}

TEST_F(UnitCoefficients, EthyleneGlycolCompliesFromItsNormUpwards)
{
    analysed(21, u"a.chr", {peak(EG, 1, 1), peak(BA, 1, 1)});
    // Only the standard's row (0) besides the remainder 100 − W.
    // 100 − 0.2 and 0.998 × 100 round to the same double next to 99.8.
    calculator.run(set, mixtures, 21, 0.2);
    ASSERT_EQ(calculator.selectedResults().size(), 2u);
    EXPECT_EQ(calculator.selectedResults()[1].massFraction, 100 - 0.2);
    EXPECT_TRUE(calculator.selectedResults()[1].complies);

    // 100 − 0.20000000000002 = 99.79999999999998: one double below 99.8.
    calculator.run(set, mixtures, 21, 0.20000000000002);
    EXPECT_LT(calculator.selectedResults()[1].massFraction, 99.8);
    EXPECT_FALSE(calculator.selectedResults()[1].complies);

    // A negative water fraction passes the checks; the remainder exceeds
    // 100 and still complies.
    calculator.run(set, mixtures, 21, -1);
    EXPECT_EQ(calculator.selectedResults()[1].massFraction, 101);
    EXPECT_TRUE(calculator.selectedResults()[1].complies);
}

TEST_F(UnitCoefficients, ImpuritiesWithoutANormNeverComplyAndEnterTheNormTable)
{
    // Standard (1, 1.5): DEG (2, 10000): w = 2 × 1.5 × 100 / 10000 = 0.03;
    // TEG (3, 22500): w = 3 × 1.5 × 100 / 22500 = 0.02.
    // EG = 100 − 12.5 − 0 (standard) − 0.03 − 0.02 = 87.45
    analysed(21, u"a.chr",
             {peak(EG, 1, 1), peak(DEG, 2, 10000), peak(TEG, 3, 22500), peak(BA, 1, 1.5)});
    calculator.run(set, mixtures, 21, 12.5);
    ASSERT_EQ(calculator.selectedResults().size(), 4u);
    EXPECT_DOUBLE_EQ(row(DEG)->massFraction, 0.03);
    EXPECT_TRUE(row(DEG)->complies);
    EXPECT_DOUBLE_EQ(row(TEG)->massFraction, 0.02);
    EXPECT_FALSE(row(TEG)->complies);
    EXPECT_NEAR(row(u"этиленгликоль")->massFraction, 87.45, 1e-12);
    EXPECT_EQ(calculator.selectedResults().back().name, u"этиленгликоль");
    EXPECT_EQ(componentNorms().at(TriethyleneGlycol), 0);
}

TEST(ComponentNorms, KnownNormsAndInsertOnMiss)
{
    EXPECT_EQ(componentNorm(EthyleneGlycol), 0.998);
    EXPECT_EQ(componentNorm(DiethyleneGlycol), 0.0005);
    // The table is process-wide: an id that no other test looks up.
    constexpr std::int32_t unused = 100;
    EXPECT_EQ(componentNorms().count(unused), 0u);
    EXPECT_EQ(componentNorm(unused), 0);
    EXPECT_EQ(componentNorms().count(unused), 1u);
    EXPECT_EQ(componentNorm(EthyleneGlycol), 0.998);
}

} // namespace
} // namespace norvalt
