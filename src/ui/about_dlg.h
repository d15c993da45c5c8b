#pragma once
// The about box: the module's icon at 80 × 80, its name, version and maker
// (template 103). Modal; OK, Escape and the close box end it.
#include <windows.h>

#include "res/resource_ids.h"
#include "ui/dialog_base.h"
#include "ui/owned_icon.h"

namespace norvalt {

class CAboutDlg : public DialogBase {
public:
    static constexpr int iconSize = 80;

    // Runs the box owned by `owner`; gives the code it ended with, -1 when
    // it could not open.
    INT_PTR run(HWND owner) { return runModal(IDD_ABOUT, owner); }

protected:
    bool onInitDialog() override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    OwnedIcon largeIcon_;  // lives as long as the box shows it
};

} // namespace norvalt
