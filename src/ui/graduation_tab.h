#pragma once
// The Graduation page (template 116): the calibration points of the last
// recalculation for one component at a time. A sorted drop-down list of the
// components (1017), the points with their coefficients and the mean
// (list view 1018), and the chart (1019) of peak area against
// concentration: red crosses for the points, blue circles joined by lines
// for the mean area at each concentration. The right button zooms, a double
// click returns to the data's view, Shift with the left button held pans.
// The page computes nothing itself: the plot model is page_texts.h's.
//
// Decided here: Shift counts as held when the mouse message says so
// (MK_SHIFT), so a queued move is judged by the keys of its own moment; and
// after a pan the chart's current ranges are taken at once, so that a pan
// over a page that has not painted yet (hidden behind another tab) moves
// from where the previous move left it.
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "calc/calculator.h"
#include "controls/auto_ctrl.h"
#include "ui/dialog_base.h"
#include "workset/page_texts.h"

namespace norvalt {

class GraduationTab : public DialogBase {
public:
    // The page as a hidden child of `parent` (template 116).
    HWND create(HWND parent);

    // The calibration points of every series, sorted by concentration, and
    // the mean coefficients by peak name (taken over).
    void setData(const std::vector<CalibrationSeries>& series, std::map<std::u16string, double> meanCoefficients);
    // Selector, table and chart from the data held; the first component in
    // the selector's order is shown.
    void refresh();
    // No components, no rows, no points; the view of the empty page.
    void clear();

    CAutoCtrl& chart() { return chart_; }
    const GraduationPlot& plot() const { return plot_; }
    const std::vector<GraduationEntry>& entries() const { return entries_; }

protected:
    bool onInitDialog() override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void showComponent(const std::u16string& name);
    void showSelectedComponent();
    void attachPlot();
    void resetView();
    void apply(const GraduationView& view);
    void pan(WPARAM keys, LPARAM position);

    std::map<std::u16string, double> meanCoefficients_;
    std::vector<GraduationEntry> entries_;
    GraduationPlot plot_ = emptyGraduationPlot();  // the arrays the chart's series point into
    CAutoCtrl chart_;
    bool panning_ = false;
    POINT panFrom_{};
};

} // namespace norvalt
