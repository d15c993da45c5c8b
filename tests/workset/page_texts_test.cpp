#include "workset/page_texts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace norvalt;

namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();

// Entries as the page keeps them after sorting by concentration.
std::vector<GraduationEntry> entries()
{
    return {
        {u"ДЭГ", u"g1.stg", 0.1, 10, 1.5},
        {u"дэг", u"g2.stg", 0.1, 14, 1.25},
        {u"ТЭГ", u"g1.stg", 0.2, 99, 2},
        {u"ДЭГ", u"g3.stg", 0.2, 20, 1.0},
        {u"ДЭГ", u"g4.stg", 0.5, 40, NaN},
    };
}

} // namespace

TEST(GraduationTexts, RowsMatchTheNameIgnoringCaseAndTheMeanByTheExactName)
{
    std::map<std::u16string, double> means{{u"ДЭГ", 1.2346}};
    const auto rows = graduationRowTexts(entries(), u"ДЭГ", means);
    // g1, g2 ("дэг"), g3, g4 and the summary row.
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[1], (std::array<std::u16string, 5>{u"2", u"g2.stg", u"14.000", u"0.100", u"1.250"}));
    EXPECT_EQ(rows[3][0], u"4");
    EXPECT_EQ(rows[4], (std::array<std::u16string, 5>{u"", u"Среднее:", u"", u"", u"1.235"}));

    // "дэг" shows the same points but has no mean of its own: entered as 0.
    const auto lower = graduationRowTexts(entries(), u"дэг", means);
    ASSERT_EQ(lower.size(), 5u);
    EXPECT_EQ(lower[4][4], u"0.000");
    EXPECT_EQ(means.count(u"дэг"), 1u);

    // A name without points still gets the summary row while any entry
    // exists; an empty page has no rows at all.
    EXPECT_EQ(graduationRowTexts(entries(), u"вода", means).size(), 1u);
    EXPECT_TRUE(graduationRowTexts({}, u"ДЭГ", means).empty());

    // The selector gets each exact name once; it sorts them itself.
    EXPECT_EQ(graduationComponentNames(entries()), (std::vector<std::u16string>{u"ДЭГ", u"дэг", u"ТЭГ"}));
}

TEST(GraduationPlotModel, PointsMeansAndTheViewOfTheMeans)
{
    const GraduationPlot plot = graduationPlot(entries(), u"ДЭГ");
    // Points in the entries' order, "дэг" included.
    EXPECT_EQ(plot.pointX, (std::vector<double>{0.1, 0.1, 0.2, 0.5}));
    EXPECT_EQ(plot.pointY, (std::vector<double>{10, 14, 20, 40}));
    // Means: (10 + 14) / 2 = 12 at 0.1, 20 at 0.2, 40 at 0.5.
    EXPECT_EQ(plot.meanX, (std::vector<double>{0.1, 0.2, 0.5}));
    EXPECT_EQ(plot.meanY, (std::vector<double>{12, 20, 40}));

    // X: 0.1 × 0.95 = 0.095 and 0.5 × 1.05 = 0.525; Y: the means exactly.
    const GraduationView view = graduationResetView(plot);
    EXPECT_EQ(view.x.kind, AxisView::Range);
    EXPECT_DOUBLE_EQ(view.x.min, 0.095);
    EXPECT_DOUBLE_EQ(view.x.max, 0.525);
    EXPECT_EQ(view.y, (AxisView{AxisView::Range, 12, 40}));
}

TEST(GraduationPlotModel, ResetViewCases)
{
    struct Case {
        double xMin, xMax, yMin, yMax;
        AxisView x, y;
    } cases[] = {
        // The empty page: X -1 × 1.05 .. 1 × 1.05, Y as it stands.
        {-1, 1, 0, 100, {AxisView::Range, -1.05, 1.05}, {AxisView::Range, 0, 100}},
        // One concentration 2 and one mean 7: X 1.9 .. 2.1, Y empty: automatic.
        {2, 2, 7, 7, {AxisView::Range, 2 * 0.95, 2 * 1.05}, {AxisView::Automatic}},
        // Negative ends go outwards too: -4 × 1.05 = -4.2, -2 × 0.95 = -1.9.
        {-4, -2, 1, 3, {AxisView::Range, -4.2, -1.9}, {AxisView::Range, 1, 3}},
        // A NaN leaves its axis alone.
        {NaN, 1, 0, NaN, {AxisView::Keep}, {AxisView::Keep}},
    };
    for (const Case& c : cases) {
        GraduationPlot plot;
        plot.xMin = c.xMin;
        plot.xMax = c.xMax;
        plot.yMin = c.yMin;
        plot.yMax = c.yMax;
        const GraduationView v = graduationResetView(plot);
        EXPECT_EQ(v.x.kind, c.x.kind);
        EXPECT_DOUBLE_EQ(v.x.min, c.x.min);
        EXPECT_DOUBLE_EQ(v.x.max, c.x.max);
        EXPECT_EQ(v.y, c.y);
    }
    EXPECT_EQ(graduationResetView(emptyGraduationPlot()).x.max, 1.05);

    // A component without points keeps the untouched extent: the largest
    // double times 0.95 is not below the smallest normal one times 1.05, so
    // both axes become automatic.
    const GraduationView none = graduationResetView(graduationPlot(entries(), u"вода"));
    EXPECT_EQ(none.x.kind, AxisView::Automatic);
    EXPECT_EQ(none.y.kind, AxisView::Automatic);

    // A NaN concentration is a group of its own and keeps the X axis.
    std::vector<GraduationEntry> withNan = entries();
    withNan.push_back({u"ДЭГ", u"g5.stg", NaN, 30, 1});
    const GraduationPlot plot = graduationPlot(withNan, u"ДЭГ");
    EXPECT_EQ(plot.meanY.size(), 4u);
    EXPECT_TRUE(std::isnan(plot.meanX.back()));
    EXPECT_EQ(graduationResetView(plot).x.kind, AxisView::Keep);
    EXPECT_EQ(graduationResetView(plot).y, (AxisView{AxisView::Range, 12, 40}));
}

TEST(GraduationPlotModel, PanMovesTheViewWithTheCursor)
{
    // 60 px left and 50 px down with steps 0.1 and 10: d = 60 × 0.1 / 30 =
    // 0.2 to the right, e = -50 × 10 / 25 = -20, so Y moves up by 20.
    const GraduationView v = graduationPan({100, 100, 40, 150, 0, 1, 0.1, 0, 100, 10});
    EXPECT_DOUBLE_EQ(v.x.min, 0.2);
    EXPECT_DOUBLE_EQ(v.x.max, 1.2);
    EXPECT_EQ(v.y, (AxisView{AxisView::Range, 20, 120}));
    // A range that is no range becomes automatic.
    EXPECT_EQ(graduationPan({0, 0, 0, 0, 1, 1, 0.1, 5, 0, 1}).x.kind, AxisView::Automatic);
    EXPECT_EQ(graduationPan({0, 0, 0, 0, 1, 1, 0.1, 5, 0, 1}).y.kind, AxisView::Automatic);
}
