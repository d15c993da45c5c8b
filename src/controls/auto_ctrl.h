#pragma once
// CAutoCtrl: the chart control. A static child window that paints its chart
// panel (auto_panel.h) through an off-screen bitmap, lets the user zoom by
// dragging a rectangle with the zoom button, shows scroll bars for moving a
// zoomed view through the full data range, and hands everything else to its
// parent.
//
// Using it from a dialog:
//   CAutoCtrl chart;                      // lives as long as the dialog uses it
//   chart.attach(dialog, IDC_PLOT);       // a static placeholder of the template
//   int i = chart.addSeries(); ...        // the panel's settings and series
//   InvalidateRect(chart.window(), nullptr, FALSE);   // after changing data
// or chart.createFromControl(placeholder) to replace a placeholder window.
//
// What the parent receives:
// - WM_NOTIFY, sent, wParam = control id, lParam = NMHDR {window, id, code}:
//   chartZoomed (0x401) after a zoom rectangle was accepted, chartScrolledX
//   (0x402) and chartScrolledY (0x403) after a scroll changed the view. The
//   parent reads the new view from the panel (xMin..yMax, autoX, autoY).
// - Every mouse move and every button message the zoom does not consume,
//   posted unchanged (client coordinates of the control), after the static
//   control's own processing (STN_CLICKED, STN_DBLCLK through WM_COMMAND).
//
// Zoom: a drag of more than 2 pixels both ways with the zoom button
// (zoomButton 0 left, 1 right) becomes the new view, clamped to the current
// one, unless it is narrower than 1/100000 of its larger limit on either
// axis. The button is captured during the drag, so a release outside the
// control still ends it; losing the capture cancels it.
//
// Decided here:
// - On a logarithmic axis, zoom and scroll work on the logarithms the axis
//   holds (even steps of the logarithm; setXView/setYView of the panel).
// - A paint while a tick step is 0 (an axis without data) paints what the
//   panel paints then (backgrounds, titles, axis lines) and is validated;
//   the scroll bars keep their range and position, there being no step to
//   measure them in.
// - A resize repaints the whole chart, whose layout depends on the size.
// - The scroll bars count in tick steps of the paint before (the step of a
//   paint is known only once it has laid the chart out); a thumb position
//   is the message's own 16-bit one.
#include <windows.h>

#include "controls/auto_panel.h"

namespace norvalt {

enum ChartNotification : UINT {
    chartZoomed = 0x401,
    chartScrolledX = 0x402,
    chartScrolledY = 0x403,
};

class CAutoCtrl : public CAutoPanel {
public:
    double fullXMin = 0, fullXMax = 0;   // extent of all data, for the scroll bars
    double fullYMin = 0, fullYMax = 0;
    bool zoomEnabled = true;
    bool horizontalScrollAllowed = true;
    bool verticalScrollAllowed = true;
    bool trackFullX = true;   // full range from the data at every paint, even on an explicit axis
    bool trackFullY = true;
    std::int32_t zoomButton = 0;   // 0 left, 1 right

    CAutoCtrl();
    ~CAutoCtrl();
    CAutoCtrl(const CAutoCtrl&) = delete;
    CAutoCtrl& operator=(const CAutoCtrl&) = delete;

    // Takes over the dialog's static control `id` and adds the notify style
    // (SS_NOTIFY, 0x100). False when there is no such control.
    bool attach(HWND dialog, int id);
    // Destroys the placeholder and creates the control in its place: same
    // parent, id and position, visible, with the notify style.
    bool createFromControl(HWND placeholder);
    HWND window() const { return window_; }

private:
    static LRESULT CALLBACK subclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    bool subclass(HWND window);

    void onPaint();
    void updateScrollBars();
    bool isZoomButtonDown(UINT message) const;
    bool isZoomButtonUp(UINT message) const;
    // The zoom rectangle, inverted on the window (or on a paint's context).
    void drawSelection(HDC onto = nullptr);
    void finishZoom();
    void cancelSelection();
    void scrollX(int request, int position);
    void scrollY(int request, int position);
    void applyView(bool horizontal, double min, double max);
    void notifyParent(UINT code);

    HWND window_ = nullptr;
    bool created_ = false;   // made by createFromControl: destroyed with this object
    bool selecting_ = false;
    POINT dragStart_{}, dragEnd_{};
    bool horizontalBarHidden_ = true, verticalBarHidden_ = true;
    CRITICAL_SECTION paintLock_;
};

} // namespace norvalt
