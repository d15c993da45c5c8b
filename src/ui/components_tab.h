#pragma once
// The Components page: grid 1008 with the peaks of the selected
// chromatogram. Its cells are not editable; number and retention time sort
// as numbers, name and area as text (an area shown as 120.000 comes before
// 99.000), which is what the laboratory's earlier tool did.
#include <windows.h>

#include "controls/grid_ctrl.h"
#include "model/chromatogram.h"
#include "ui/dialog_base.h"

namespace norvalt {

class ComponentsTab : public DialogBase {
public:
    // The page as a hidden child of `parent` (template 108).
    HWND create(HWND parent);

    // One row per peak in the chromatogram's order, then sorted by number.
    void showPeaks(const Chromatogram& chromatogram);
    void clear();
    CGridCtrl& grid() { return grid_; }

protected:
    bool onInitDialog() override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    CGridCtrl grid_;
};

} // namespace norvalt
