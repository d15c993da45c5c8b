// The chart's arithmetic: ranges, transforms, tick steps and labels.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "controls/auto_panel.h"

using namespace norvalt;

TEST(ChartRange, SetRangeSwitchesBetweenAutomaticAndExplicit)
{
    CAutoPanel chart;
    chart.setXRange(0, 10);
    EXPECT_FALSE(chart.autoX);
    EXPECT_EQ(chart.explicitXMin, 0);
    EXPECT_EQ(chart.explicitXMax, 10);
    chart.setXRange(5, 5);
    EXPECT_TRUE(chart.autoX);
    chart.setXRange(0, 10);
    chart.setXRange(6, 5);
    EXPECT_TRUE(chart.autoX);
    chart.setYRange(-1, 1);
    EXPECT_FALSE(chart.autoY);
    EXPECT_EQ(chart.explicitYMin, -1);
}

TEST(ChartRange, LogarithmicAxesStoreLogarithms)
{
    CAutoPanel chart;
    chart.flags = chartLogX | chartLogY;
    chart.setXRange(1, 100);   // log10: 0 .. 2
    EXPECT_FALSE(chart.autoX);
    EXPECT_DOUBLE_EQ(chart.explicitXMin, 0);
    EXPECT_DOUBLE_EQ(chart.explicitXMax, 2);
    chart.setYRange(0.1, 1000);   // -1 .. 3
    EXPECT_DOUBLE_EQ(chart.explicitYMin, -1);
    EXPECT_DOUBLE_EQ(chart.explicitYMax, 3);
    // log10(0) is no limit: the axis follows the data rather than break.
    chart.setXRange(-5, 100);
    EXPECT_TRUE(chart.autoX);
    chart.setYRange(0, 10);
    EXPECT_TRUE(chart.autoY);
    // A view is taken as it is stored.
    chart.setXView(0.5, 1.5);
    EXPECT_FALSE(chart.autoX);
    EXPECT_EQ(chart.explicitXMax, 1.5);
}

namespace {

struct Data {
    std::vector<double> x, y;
};

int addSeries(CAutoPanel& chart, const Data& d)
{
    int i = chart.addSeries();
    CAutoSeries& s = chart.series[i];
    s.count = static_cast<int>(d.x.size());
    s.xValues = d.x.data();
    s.yValues = d.y.data();
    chart.updateSeries(s);
    return i;
}

} // namespace

TEST(ChartRange, AutomaticRangeHasTheSmallestSpan)
{
    CAutoPanel chart;
    Data single{{5.0}, {5.0}};
    addSeries(chart, single);
    double min, max;
    chart.automaticXRange(min, max);
    // One value: 5 ± 10^-3 / 2.
    EXPECT_DOUBLE_EQ(min, 4.9995);
    EXPECT_DOUBLE_EQ(max, 5.0005);
    EXPECT_TRUE(chart.xRangeReady);

    CAutoPanel close;
    Data pair{{100, 100.01}, {1, 2}};
    addSeries(close, pair);
    close.automaticXRange(min, max);
    // d = 100.01 · 0.001 = 0.10001 > 0.01: centred on 100.005.
    EXPECT_NEAR(min, 100.005 - 0.10001 / 2, 1e-12);
    EXPECT_NEAR(max, 100.005 + 0.10001 / 2, 1e-12);
    EXPECT_NEAR(max - min, 0.10001, 1e-12);
}

TEST(ChartRange, HiddenSeriesCountZonesAndNonFiniteValuesDoNot)
{
    CAutoPanel chart;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Data shown{{1, 2, nan}, {10, 20, 1e9}};
    Data hidden{{-3, 0}, {0, 0}};
    Data zones{{-100, 50}, {200, 60}};
    addSeries(chart, shown);
    chart.series[addSeries(chart, hidden)].hidden = 1;
    chart.series[addSeries(chart, zones)].markerStyle = 6;
    double min, max;
    chart.automaticXRange(min, max);
    EXPECT_EQ(min, -3);
    EXPECT_EQ(max, 2);
    chart.automaticYRange(min, max);
    EXPECT_EQ(min, 0);   // the NaN point's 1e9 is left out with it
    EXPECT_EQ(max, 20);
}

TEST(ChartRange, LogarithmicSeriesLeaveOutValuesWithoutLogarithm)
{
    CAutoPanel chart;
    chart.flags = chartLogY;
    Data d{{1, 2, 3, 4, 5}, {-1, 0, 1, 10, 100}};
    addSeries(chart, d);
    double min, max;
    chart.automaticYRange(min, max);
    // lg 1 .. lg 100; lg(−1) and lg 0 are no numbers, and their points go.
    EXPECT_DOUBLE_EQ(min, 0);
    EXPECT_DOUBLE_EQ(max, 2);
    chart.automaticXRange(min, max);
    EXPECT_EQ(min, 3);
    EXPECT_EQ(max, 5);
}

TEST(ChartRange, NoDataGivesZeroRangeNotReady)
{
    CAutoPanel chart;
    double min = 1, max = 1;
    chart.automaticXRange(min, max);
    EXPECT_EQ(min, 0);
    EXPECT_EQ(max, 0);
    EXPECT_FALSE(chart.xRangeReady);
    // Zero range: no step can be found.
    EXPECT_EQ(CAutoAxis::tickSpacing(min, max, 300, 36, true).step, 0);
}

TEST(ChartRange, ReadyRangeIsReused)
{
    CAutoPanel chart;
    Data d{{0, 1}, {0, 1}};
    addSeries(chart, d);
    double min, max;
    chart.automaticXRange(min, max);
    chart.xMax = 7;   // what a tick extension does to it
    d.x[1] = 100;     // data change in the same paint is not seen
    chart.automaticXRange(min, max);
    EXPECT_EQ(max, 7);
}

TEST(ChartTransform, LinearMappingRoundsAsTheFormulaSays)
{
    CAutoCoordObject c;
    c.rect = {10, 20, 111, 121};   // r − l − 1 = b − t − 1 = 100
    c.xMin = 0;
    c.xMax = 100;
    c.yMin = 0;
    c.yMax = 100;
    // ceil(v − 0.5) + 10: 0 → ceil(−0.5) = 0; 50.25 → ceil(49.75) = 50; 50.75 → 51.
    EXPECT_EQ(c.mapX(0), 10);
    EXPECT_EQ(c.mapX(50.25), 60);
    EXPECT_EQ(c.mapX(50.75), 61);
    EXPECT_EQ(c.mapX(100), 110);
    // 120 − ceil(v − 0.5)
    EXPECT_EQ(c.mapY(0), 120);
    EXPECT_EQ(c.mapY(100), 20);
    EXPECT_EQ(c.mapY(25.2), 95);
    c.xMax = 0;
    EXPECT_EQ(c.mapX(42), 0);
    // Polar: angle π/2, radius 50 lands at (0, 50).
    c.xMax = 100;
    c.xMin = -100;
    c.flags = chartPolar;
    PixelPoint p = c.mapPoint(std::acos(0.0), 50);
    EXPECT_EQ(p.x, 60);   // (0 + 100) / 200 · 100 = 50 → 60
    EXPECT_EQ(p.y, 70);   // 120 − 50
}

TEST(ChartTransform, MulDivRoundsHalfAwayFromZero)
{
    EXPECT_EQ(mulDiv(7, 3, 2), 11);      // 10.5
    EXPECT_EQ(mulDiv(-7, 3, 2), -11);
    EXPECT_EQ(mulDiv(-30, 21, 71), -9);  // −8.87
    EXPECT_EQ(mulDiv(10, -5, -10), 5);
    EXPECT_EQ(mulDiv(1, 1, 0), -1);
}

struct StepCase {
    double max;    // range 0..max over 100 pixels with spacing 10: raw = max / 10
    double step;
};

class ChartTickFactor : public ::testing::TestWithParam<StepCase> {};

TEST_P(ChartTickFactor, FactorThresholds)
{
    double min = 0, max = GetParam().max;
    EXPECT_DOUBLE_EQ(CAutoAxis::tickSpacing(min, max, 100, 10, false).step, GetParam().step);
}

// m = raw exactly at each threshold takes the smaller factor, just above it the larger.
INSTANTIATE_TEST_SUITE_P(Thresholds, ChartTickFactor,
                         ::testing::Values(StepCase{75, 5}, StepCase{75.1, 10}, StepCase{35, 3}, StepCase{35.1, 5},
                                           StepCase{26, 2.5}, StepCase{26.1, 3}, StepCase{24, 2},
                                           StepCase{24.1, 2.5}, StepCase{15, 1}, StepCase{15.1, 2},
                                           StepCase{10, 1}, StepCase{9, 1}));

TEST(ChartTicks, StepsAndTicksOfTheExamples)
{
    // 0..100, 60 px over 500: raw 12 → 10^1 · 1.2 → step 10, ticks 0..100.
    double min = 0, max = 100;
    TickSpacing t = CAutoAxis::tickSpacing(min, max, 500, 60, false);
    EXPECT_DOUBLE_EQ(t.step, 10);
    EXPECT_EQ(t.first(), 0);
    EXPECT_EQ(t.last(), 100);
    EXPECT_EQ(t.count(), 11);
    // 0..37, 24 px over 200: raw 4.44 → 5; explicit: last floor(7.4 + 0.01) · 5 = 35.
    max = 37;
    t = CAutoAxis::tickSpacing(min, max, 200, 24, false);
    EXPECT_DOUBLE_EQ(t.step, 5);
    EXPECT_EQ(t.first(), 0);
    EXPECT_EQ(t.last(), 35);
    EXPECT_EQ(max, 37);
}

TEST(ChartTicks, AutomaticAxesExtendToAWholeTickExplicitOnesNever)
{
    // Ranges 9.4 and 8.8 with 12 px over 100: raw 1.13 and 1.06 → step 1.
    double min = 0.3, max = 9.7;
    TickSpacing t = CAutoAxis::tickSpacing(min, max, 100, 12, true);
    EXPECT_EQ(t.step, 1);
    EXPECT_EQ(min, 0);   // 0.3 is within half a step of 0
    EXPECT_EQ(max, 10);
    EXPECT_EQ(t.first(), 0);
    EXPECT_EQ(t.last(), 10);

    min = 0.6;
    max = 9.4;
    t = CAutoAxis::tickSpacing(min, max, 100, 12, true);
    EXPECT_EQ(min, 0.6);
    EXPECT_EQ(max, 9.4);
    EXPECT_EQ(t.first(), 1);
    EXPECT_EQ(t.last(), 9);

    min = 0.3;
    max = 9.7;
    t = CAutoAxis::tickSpacing(min, max, 100, 12, false);
    EXPECT_EQ(min, 0.3);
    EXPECT_EQ(max, 9.7);
    EXPECT_EQ(t.first(), 1);   // ceil(0.29)
    EXPECT_EQ(t.last(), 9);    // floor(9.71)

    // The 1 % tolerance: 1.005..8.995 still has ticks 1 and 9.
    min = 1.005;
    max = 8.995;
    t = CAutoAxis::tickSpacing(min, max, 100, 13, false);   // raw 1.04
    EXPECT_EQ(t.first(), 1);
    EXPECT_EQ(t.last(), 9);
}

TEST(ChartTicks, TickValuesAreWholeMultiplesSoZeroIsZero)
{
    // −0.3..0.3 over 100 px with 17 px: raw 0.102 → 0.1; ticks −0.3..0.3.
    double min = -0.3, max = 0.3;
    TickSpacing t = CAutoAxis::tickSpacing(min, max, 100, 17, false);
    ASSERT_EQ(t.count(), 7);
    EXPECT_EQ((t.firstIndex + 3) * t.step, 0.0);
    EXPECT_EQ(CAutoAxis::tickLabel((t.firstIndex + 3) * t.step), u"0");
    EXPECT_EQ(CAutoAxis::tickLabel((t.firstIndex + 1) * t.step), u"-0.2");
}

TEST(ChartTicks, Labels)
{
    EXPECT_EQ(CAutoAxis::tickLabel(-0.0), u"0");
    EXPECT_EQ(CAutoAxis::tickLabel(2.5), u"2.5");
    EXPECT_EQ(CAutoAxis::tickLabel(1e-20), u"1e-20");
    EXPECT_EQ(CAutoAxis::tickLabel(123456789012.0), u"1.23456789e+11");
    EXPECT_EQ(CAutoAxis::tickLabel(0.1 + 0.2), u"0.3");
}

TEST(ChartTicks, DegenerateRangesGiveNoStep)
{
    double min = 1, max = std::numeric_limits<double>::infinity();
    EXPECT_EQ(CAutoAxis::tickSpacing(min, max, 100, 10, true).step, 0);
    min = 0;
    max = 1;
    EXPECT_EQ(CAutoAxis::tickSpacing(min, max, 0, 10, true).step, 0);
    EXPECT_EQ(CAutoAxis::tickSpacing(min, max, 0, 10, true).count(), 0);
}
