#include "ui/graduation_tab.h"

#include <commctrl.h>
#include <windowsx.h>

#include "res/resource_ids.h"
#include "text/string_table.h"
#include "text/wide.h"
#include "ui/list_view.h"

namespace norvalt {

namespace {

constexpr int meanSeries = 0;
constexpr int pointSeries = 1;

HWND table(HWND page)
{
    return GetDlgItem(page, IDC_GRAD_TABLE);
}

HWND selector(HWND page)
{
    return GetDlgItem(page, IDC_GRAD_COMPONENT);
}

LogicalFont titleFont()
{
    // Cyrillic Arial at 15 pixels; every other field left to the mapper.
    LogicalFont font;
    font.height = 15;
    font.weight = 0;
    font.charSet = 204;
    return font;
}

} // namespace

HWND GraduationTab::create(HWND parent)
{
    return createModeless(IDD_GRADUATION_PAGE, parent);
}

bool GraduationTab::onInitDialog()
{
    layout().add(IDC_GRAD_TABLE, {0, 0, 0.5, 1});
    layout().add(IDC_GRAD_CHART, {0.5, 0, 0.5, 1});

    const ColumnSpec columns[] = {
        {u"№", 30, ColumnAlign::Centre},
        {loadString(IDS_COL_GRAD_POINT), 170, ColumnAlign::Left},
        {loadString(IDS_COL_PEAK_AREA), 50, ColumnAlign::Centre},
        {loadString(IDS_COL_CONCENTRATION), 50, ColumnAlign::Centre},
        {loadString(IDS_KI), 50, ColumnAlign::Centre},
    };
    for (int i = 0; i < 5; ++i) insertListColumn(table(hwnd()), i, columns[i]);
    ListView_SetExtendedListViewStyle(table(hwnd()), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);

    chart_.attach(hwnd(), IDC_GRAD_CHART);
    chart_.flags = 0;
    chart_.axisStyle = axisGridX | axisGridY | axisTicksTopRight;
    chart_.autoX = true;
    chart_.autoY = true;
    chart_.zoomEnabled = true;
    chart_.zoomButton = 1;
    chart_.horizontalScrollAllowed = false;
    chart_.verticalScrollAllowed = false;
    chart_.titleFont = titleFont();
    chart_.xTitle = loadString(IDS_COL_CONCENTRATION);
    chart_.yTitle = loadString(IDS_COL_AREA);
    chart_.titleColour = 0xFF0000;

    CAutoSeries& means = chart_.series[chart_.addSeries()];
    means.lineMode = 1;
    means.markerStyle = 1;
    means.markerSize = 2;
    means.colour = 0xFF0000;
    CAutoSeries& points = chart_.series[chart_.addSeries()];
    points.lineMode = 0;
    points.markerStyle = 2;
    points.markerSize = 4;
    points.colour = 0x0000FF;

    chart_.setXRange(plot_.xMin, plot_.xMax);
    chart_.setYRange(plot_.yMin, plot_.yMax);
    return false;
}

void GraduationTab::setData(const std::vector<CalibrationSeries>& series,
                            std::map<std::u16string, double> meanCoefficients)
{
    meanCoefficients_ = std::move(meanCoefficients);
    entries_ = graduationEntries(series);
}

void GraduationTab::refresh()
{
    clear();
    const HWND combo = selector(hwnd());
    for (const std::u16string& name : graduationComponentNames(entries_))
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(name)));
    if (SendMessageW(combo, CB_GETCOUNT, 0, 0) > 0) {
        SendMessageW(combo, CB_SETCURSEL, 0, 0);
        showSelectedComponent();
    }
}

void GraduationTab::clear()
{
    SendMessageW(selector(hwnd()), CB_RESETCONTENT, 0, 0);
    ListView_DeleteAllItems(table(hwnd()));
    plot_ = emptyGraduationPlot();
    attachPlot();
    resetView();
}

void GraduationTab::showSelectedComponent()
{
    const HWND combo = selector(hwnd());
    const LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return;
    std::u16string name(static_cast<std::size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, index, 0)) + 1, u'\0');
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(wideBuffer(name)));
    name.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    showComponent(name);
}

void GraduationTab::showComponent(const std::u16string& name)
{
    const HWND list = table(hwnd());
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(list);
    for (const auto& cells : graduationRowTexts(entries_, name, meanCoefficients_)) {
        const int row = appendListRow(list, cells[0]);
        for (int c = 1; c < static_cast<int>(cells.size()); ++c) setListCell(list, row, c, cells[c]);
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);

    plot_ = graduationPlot(entries_, name);
    attachPlot();
    resetView();
}

void GraduationTab::attachPlot()
{
    const auto attach = [this](int index, const std::vector<double>& xs, const std::vector<double>& ys) {
        CAutoSeries& s = chart_.series[index];
        s.count = static_cast<std::int32_t>(xs.size());
        s.xValues = xs.empty() ? nullptr : xs.data();
        s.yValues = ys.empty() ? nullptr : ys.data();
        chart_.updateSeries(s);
    };
    attach(pointSeries, plot_.pointX, plot_.pointY);
    attach(meanSeries, plot_.meanX, plot_.meanY);
}

void GraduationTab::apply(const GraduationView& view)
{
    const auto axis = [](const AxisView& v, auto setRange) {
        switch (v.kind) {
        case AxisView::Keep:
            break;
        case AxisView::Automatic:
            setRange(0.0, 0.0);  // an empty range makes the axis automatic
            break;
        case AxisView::Range:
            setRange(v.min, v.max);
            break;
        }
    };
    axis(view.x, [this](double min, double max) { chart_.setXRange(min, max); });
    axis(view.y, [this](double min, double max) { chart_.setYRange(min, max); });
}

void GraduationTab::resetView()
{
    apply(graduationResetView(plot_));
    InvalidateRect(chart_.window(), nullptr, TRUE);
}

void GraduationTab::pan(WPARAM keys, LPARAM position)
{
    if (!(keys & MK_SHIFT) || !(keys & MK_LBUTTON)) {
        panning_ = false;
        return;
    }
    const POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (!panning_) {
        panFrom_ = at;
        panning_ = true;
    }
    apply(graduationPan({panFrom_.x, panFrom_.y, at.x, at.y, chart_.xMin, chart_.xMax, chart_.xStep, chart_.yMin,
                         chart_.yMax, chart_.yStep}));
    chart_.establishRanges();
    panFrom_ = at;
    InvalidateRect(chart_.window(), nullptr, TRUE);
    UpdateWindow(chart_.window());
}

bool GraduationTab::onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT&)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_GRAD_COMPONENT && HIWORD(wParam) == CBN_SELCHANGE) {
            showSelectedComponent();
            return true;
        }
        if (LOWORD(wParam) == IDC_GRAD_CHART && HIWORD(wParam) == STN_DBLCLK) {
            resetView();
            return true;
        }
        return false;
    case WM_MOUSEMOVE:
        pan(wParam, lParam);
        return false;  // the move still gets its default processing
    default:
        return false;
    }
}

} // namespace norvalt
