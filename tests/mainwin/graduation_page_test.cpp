// The Graduation page inside the main window, over column 2 of the sample
// laboratory (assays 10 to 15): its selector, its table with the mean row,
// the chart's two series and views, the reset on a double click and the
// Shift + left-button pan, all through messages to the real windows.
//
// Column 2's calibrations (tools/hostkit/sample_lab.cpp), as concentration
// from the mixture and peak area:
//   diethylene glycol   ГС-4 0.03: 14.2, 13.8   ГС-5 0.08: 37.5, 36.9
//   triethylene glycol  ГС-4 0.02: 7.1, 6.8     ГС-5 0.04: 14.6, 14.1
//   benzyl alcohol      0.5 in both: 60.1, 59.5, 60.8, 59.9
//   ethylene glycol     99.0 in both: 19760, 19770, 19780, 19790
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "main_window_fixture.h"
#include "res/resource_ids.h"
#include "text/format.h"
#include "text/wide.h"
#include "ui/dlg_main.h"
#include "ui/main_window.h"
#include "ui_fixture.h"

using namespace norvalt;
using namespace norvalt::test;

namespace {

class GraduationPageTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        host = std::make_unique<StandInHost>();
        // Not shown unless a test paints: Wine waits two seconds for every
        // shown top-level window that goes away.
        DlgMain* main = DlgMain::create(owner(), norvalt::host());
        ASSERT_NE(main, nullptr);
        window = main->hwnd();
        host->dialogAnswers.push_back({10, 11, 12, 13, 14, 15});
        pressButton(window, IDC_ADD);
    }
    void TearDown() override
    {
        host.reset();
        UiTest::TearDown();
    }

    GraduationTab& page() { return DlgMain::current()->graduationPage(); }
    HWND selector() { return GetDlgItem(page().hwnd(), IDC_GRAD_COMPONENT); }
    HWND table() { return GetDlgItem(page().hwnd(), IDC_GRAD_TABLE); }
    HWND chartWindow() { return GetDlgItem(page().hwnd(), IDC_GRAD_CHART); }
    CAutoCtrl& chart() { return page().chart(); }

    std::vector<std::u16string> selectorItems()
    {
        std::vector<std::u16string> items;
        const int count = static_cast<int>(SendMessageW(selector(), CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            std::u16string text(static_cast<std::size_t>(SendMessageW(selector(), CB_GETLBTEXTLEN, i, 0)) + 1, u'\0');
            text.resize(static_cast<std::size_t>(
                SendMessageW(selector(), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wideBuffer(text)))));
            items.push_back(text);
        }
        return items;
    }
    // The user picks item `index` of the selector.
    void choose(int index)
    {
        SendMessageW(selector(), CB_SETCURSEL, index, 0);
        SendMessageW(page().hwnd(), WM_COMMAND, MAKEWPARAM(IDC_GRAD_COMPONENT, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(selector()));
    }
    std::vector<std::array<std::u16string, 5>> rows()
    {
        std::vector<std::array<std::u16string, 5>> all;
        for (int r = 0; r < listRowCount(table()); ++r) {
            std::array<std::u16string, 5> cells;
            for (int c = 0; c < 5; ++c) cells[c] = listCell(table(), r, c);
            all.push_back(cells);
        }
        return all;
    }
    void showPage()
    {
        ShowWindow(window, SW_SHOW);
        const HWND tabs = GetDlgItem(window, IDC_MAIN_TABS);
        SendMessageW(tabs, TCM_SETCURSEL, 1, 0);
        NMHDR change{tabs, IDC_MAIN_TABS, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageW(window, WM_NOTIFY, IDC_MAIN_TABS, reinterpret_cast<LPARAM>(&change));
        UpdateWindow(window);
        UpdateWindow(chartWindow());
    }
    void move(int x, int y, WPARAM keys)
    {
        PostMessageW(chartWindow(), WM_MOUSEMOVE, keys, MAKELPARAM(x, y));
        pump();
    }

    std::unique_ptr<StandInHost> host;
    HWND window = nullptr;
};

} // namespace

TEST_F(GraduationPageTest, SelectorListsTheComponentsSortedAndShowsTheFirst)
{
    EXPECT_TRUE(GetWindowLongPtrW(selector(), GWL_STYLE) & CBS_SORT);
    EXPECT_EQ(GetWindowLongPtrW(selector(), GWL_STYLE) & 3, CBS_DROPDOWNLIST);
    EXPECT_TRUE(GetWindowLongPtrW(chartWindow(), GWL_STYLE) & SS_NOTIFY);
    EXPECT_EQ(selectorItems(), (std::vector<std::u16string>{u"Бензиловый спирт", u"Диэтиленгликоль",
                                                             u"Триэтиленгликоль", u"Этиленгликоль"}));
    EXPECT_EQ(SendMessageW(selector(), CB_GETCURSEL, 0, 0), 0);

    // The internal standard: four points at one concentration, one mean of
    // (60.1 + 59.5 + 60.8 + 59.9) / 4 = 240.3 / 4 = 60.075.
    EXPECT_EQ(listRowCount(table()), 5);
    ASSERT_EQ(chart().series.size(), 2u);
    EXPECT_EQ(chart().series[1].count, 4);
    ASSERT_EQ(chart().series[0].count, 1);
    EXPECT_NEAR(chart().series[0].yValues[0], 60.075, 1e-9);
    // X: 0.5 · 0.95 = 0.475 to 0.5 · 1.05 = 0.525; Y has no extent (one
    // mean) and is automatic.
    EXPECT_FALSE(chart().autoX);
    EXPECT_NEAR(chart().explicitXMin, 0.475, 1e-12);
    EXPECT_NEAR(chart().explicitXMax, 0.525, 1e-12);
    EXPECT_TRUE(chart().autoY);
}

TEST_F(GraduationPageTest, EachComponentShowsItsPointsMeansAndView)
{
    struct Case {
        int item;
        std::vector<std::array<const char16_t*, 3>> points;  // file, area, concentration, by file
        std::vector<double> meanX, meanY;
        double xMin, xMax, yMin, yMax;
    };
    const Case cases[] = {
        // Means (14.2 + 13.8) / 2 = 14.0 and (37.5 + 36.9) / 2 = 37.2; X
        // 0.03 · 0.95 = 0.0285 to 0.08 · 1.05 = 0.084.
        {1,
         {{u"k2-grad-1.stg", u"14.200", u"0.030"},
          {u"k2-grad-2.stg", u"13.800", u"0.030"},
          {u"k2-grad-3.stg", u"37.500", u"0.080"},
          {u"k2-grad-4.stg", u"36.900", u"0.080"}},
         {0.03, 0.08},
         {14.0, 37.2},
         0.0285,
         0.084,
         14.0,
         37.2},
        // (7.1 + 6.8) / 2 = 6.95, (14.6 + 14.1) / 2 = 14.35; X 0.02 · 0.95 =
        // 0.019 to 0.04 · 1.05 = 0.042.
        {2,
         {{u"k2-grad-1.stg", u"7.100", u"0.020"},
          {u"k2-grad-2.stg", u"6.800", u"0.020"},
          {u"k2-grad-3.stg", u"14.600", u"0.040"},
          {u"k2-grad-4.stg", u"14.100", u"0.040"}},
         {0.02, 0.04},
         {6.95, 14.35},
         0.019,
         0.042,
         6.95,
         14.35},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        choose(c.item);
        auto shown = rows();
        ASSERT_EQ(shown.size(), c.points.size() + 1);
        // The mean row: the set's mean coefficient of that peak name.
        const auto mean = shown.back();
        shown.pop_back();
        const std::u16string name = selectorItems()[static_cast<std::size_t>(c.item)];
        EXPECT_EQ(mean[0], u"");
        EXPECT_EQ(mean[1], u"Среднее:");
        EXPECT_EQ(mean[2], u"");
        EXPECT_EQ(mean[3], u"");
        EXPECT_EQ(mean[4], formatFixed(DlgMain::current()->set().componentValues().at(name), 3));
        // Numbered from 1 in the table's order, which is by concentration.
        for (std::size_t i = 0; i < shown.size(); ++i) EXPECT_EQ(shown[i][0], formatInt(static_cast<int>(i) + 1));
        std::sort(shown.begin(), shown.end(), [](const auto& a, const auto& b) { return a[1] < b[1]; });
        for (std::size_t i = 0; i < shown.size(); ++i) {
            EXPECT_EQ(shown[i][1], c.points[i][0]);
            EXPECT_EQ(shown[i][2], c.points[i][1]);
            EXPECT_EQ(shown[i][3], c.points[i][2]);
        }

        const CAutoSeries& means = chart().series[0];
        const CAutoSeries& points = chart().series[1];
        EXPECT_EQ(points.count, 4);
        ASSERT_EQ(means.count, static_cast<int>(c.meanX.size()));
        for (int i = 0; i < means.count; ++i) {
            EXPECT_NEAR(means.xValues[i], c.meanX[static_cast<std::size_t>(i)], 1e-12);
            EXPECT_NEAR(means.yValues[i], c.meanY[static_cast<std::size_t>(i)], 1e-9);
        }
        EXPECT_NEAR(chart().explicitXMin, c.xMin, 1e-12);
        EXPECT_NEAR(chart().explicitXMax, c.xMax, 1e-12);
        EXPECT_NEAR(chart().explicitYMin, c.yMin, 1e-9);
        EXPECT_NEAR(chart().explicitYMax, c.yMax, 1e-9);
    }
}

TEST_F(GraduationPageTest, ChartSettings)
{
    const CAutoSeries& means = chart().series[0];
    const CAutoSeries& points = chart().series[1];
    EXPECT_EQ(means.lineMode, 1);
    EXPECT_EQ(means.markerStyle, 1);
    EXPECT_EQ(means.markerSize, 2);
    EXPECT_EQ(means.colour, 0xFF0000u);
    EXPECT_EQ(points.lineMode, 0);
    EXPECT_EQ(points.markerStyle, 2);
    EXPECT_EQ(points.markerSize, 4);
    EXPECT_EQ(points.colour, 0x0000FFu);
    EXPECT_EQ(chart().axisStyle, 7);
    EXPECT_EQ(chart().flags, 0);
    EXPECT_TRUE(chart().zoomEnabled);
    EXPECT_EQ(chart().zoomButton, 1);
    EXPECT_FALSE(chart().horizontalScrollAllowed);
    EXPECT_FALSE(chart().verticalScrollAllowed);
    EXPECT_EQ(chart().xTitle, u"Концентрация");
    EXPECT_EQ(chart().yTitle, u"Площадь");
    EXPECT_EQ(chart().titleColour, 0xFF0000u);
    EXPECT_EQ(chart().titleFont.height, 15);
    EXPECT_EQ(chart().titleFont.charSet, 204);
    EXPECT_EQ(chart().titleFont.weight, 0);
    EXPECT_EQ(std::u16string(chart().titleFont.faceName), u"Arial");
}

TEST_F(GraduationPageTest, ShiftDragPansByOneStepPer30And25PixelsAndADoubleClickResets)
{
    choose(1);  // diethylene glycol: X (0.0285, 0.084), Y (14.0, 37.2)
    showPage();
    const double x0 = chart().xMin, x1 = chart().xMax, xs = chart().xStep;
    const double y0 = chart().yMin, y1 = chart().yMax, ys = chart().yStep;
    ASSERT_GT(xs, 0);
    ASSERT_GT(ys, 0);

    // Press at (100, 100), drag to (70, 125): 30 pixels left is one X step
    // to the right, 25 pixels down one Y step up.
    move(100, 100, MK_SHIFT | MK_LBUTTON);
    move(70, 125, MK_SHIFT | MK_LBUTTON);
    EXPECT_FALSE(chart().autoX);
    EXPECT_NEAR(chart().explicitXMin, x0 + xs, 1e-12);
    EXPECT_NEAR(chart().explicitXMax, x1 + xs, 1e-12);
    EXPECT_NEAR(chart().explicitYMin, y0 + ys, 1e-9);
    EXPECT_NEAR(chart().explicitYMax, y1 + ys, 1e-9);

    // Without Shift the pan ends; the next Shift move starts a new one from
    // where the cursor is then, so the view does not jump.
    const double px0 = chart().explicitXMin;
    move(40, 125, MK_LBUTTON);
    EXPECT_NEAR(chart().explicitXMin, px0, 1e-12);
    move(10, 10, MK_SHIFT | MK_LBUTTON);
    EXPECT_NEAR(chart().explicitXMin, px0, 1e-12);

    // The page's own moves (outside the chart) pan as well: 60 pixels to
    // the right are two X steps to the left, with X step s' of the view now.
    SendMessageW(page().hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, 5));  // ends the pan above
    const double qx0 = chart().explicitXMin, qs = chart().xStep;
    SendMessageW(page().hwnd(), WM_MOUSEMOVE, MK_SHIFT | MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(page().hwnd(), WM_MOUSEMOVE, MK_SHIFT | MK_LBUTTON, MAKELPARAM(65, 5));
    EXPECT_NEAR(chart().explicitXMin, qx0 - 2 * qs, 1e-12);
    SendMessageW(page().hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(65, 5));

    PostMessageW(chartWindow(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(50, 50));
    pump();
    EXPECT_NEAR(chart().explicitXMin, 0.0285, 1e-12);
    EXPECT_NEAR(chart().explicitXMax, 0.084, 1e-12);
    EXPECT_NEAR(chart().explicitYMin, 14.0, 1e-9);
    EXPECT_NEAR(chart().explicitYMax, 37.2, 1e-9);
}

TEST_F(GraduationPageTest, RemoveAllLeavesTheEmptyPagesView)
{
    pressButton(window, IDC_REMOVE_ALL);
    EXPECT_TRUE(selectorItems().empty());
    EXPECT_EQ(listRowCount(table()), 0);
    EXPECT_EQ(chart().series[0].count, 0);
    EXPECT_EQ(chart().series[1].count, 0);
    // X (-1, 1) widened by 5 % outwards: -1 · 1.05 and 1 · 1.05; Y (0, 100).
    EXPECT_NEAR(chart().explicitXMin, -1.05, 1e-12);
    EXPECT_NEAR(chart().explicitXMax, 1.05, 1e-12);
    EXPECT_EQ(chart().explicitYMin, 0.0);
    EXPECT_EQ(chart().explicitYMax, 100.0);
}

TEST_F(GraduationPageTest, ARecalculationShowsTheFirstComponentAgain)
{
    choose(2);
    // Selecting a row recalculates; the selector starts again at its top.
    focusRow(GetDlgItem(window, IDC_MAIN_LIST), 5);
    EXPECT_EQ(SendMessageW(selector(), CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(chart().series[1].count, 4);
    EXPECT_NEAR(chart().explicitXMin, 0.475, 1e-12);
}
