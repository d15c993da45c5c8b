#pragma once
// The components page of the settings dialog: grid 1008 with components 0
// to 5, whose names in the chromatograms (column 2) the user edits in place.
// An accepted name is in force at once, whichever button closes the dialog.
// A name that is empty, or nothing but blanks and marks that the peak-name
// comparison drops, would match no peak and is refused like an empty one:
// the old name comes back.
#include <windows.h>

#include "controls/grid_ctrl.h"
#include "ui/dialog_base.h"

namespace norvalt {

class SettingsCompsTab : public DialogBase {
public:
    // The page as a hidden child of `parent` (template 108).
    HWND create(HWND parent);
    CGridCtrl& grid() { return grid_; }

protected:
    bool onInitDialog() override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    // GRIDN_CELLCHANGED: true keeps the new text.
    bool acceptAltName(int row, int column);

    CGridCtrl grid_;
};

} // namespace norvalt
