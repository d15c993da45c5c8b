#pragma once
// The settings dialog: the water mass fraction of the calculation and the
// components' names in the chromatograms. Modeless and resizable, owned by
// the main window; the main window keeps it to one at a time. On closing it
// stores what it keeps in the profile and posts SettingsClosedMessage to its
// owner: 1 after OK, 2 after Cancel. Enter, Escape and Tab work as in any
// dialog, also in a host that runs no IsDialogMessage (dialog_keys.h). The dialog deletes itself once its
// window is gone; when the owner is destroyed first, it goes with it and
// still stores its rectangle and tab (not the water mass fraction, which
// only OK stores).
#include <windows.h>

#include <optional>
#include <string_view>

#include "host/host_services.h"
#include "host/profile_settings.h"
#include "ui/dialog_base.h"
#include "ui/settings_comps_tab.h"
#include "ui/tab_pages.h"

namespace norvalt {

// Posted to the owner when the settings dialog closes; wParam 1 after OK,
// 2 after Cancel; lParam 0.
inline constexpr UINT SettingsClosedMessage = 0x0BC0;

// The leading decimal number of a text (blanks before it skipped, a point as
// separator, an exponent allowed): "5,5" reads as 5, "12.5%" as 12.5.
// Nothing when the text does not begin with one: hexadecimal numbers,
// "inf" and "nan" are not numbers a user means here.
std::optional<double> leadingDecimalNumber(std::u16string_view text);

class SettingsDlg : public DialogBase {
public:
    // Creates the dialog owned by `owner` and shows it; the object lives
    // until its window is destroyed. Null when the window cannot be made.
    static SettingsDlg* open(HWND owner, Host host);

    double waterMassFraction() const { return waterMassFraction_; }
    SettingsCompsTab& componentsPage() { return componentsPage_; }

protected:
    bool onInitDialog() override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void onFinalMessage() override { delete this; }

private:
    SettingsDlg(HWND owner, Host host) : owner_(owner), profile_(host) {}

    void accept();
    void cancel();
    void onDestroy();

    HWND owner_;
    ProfileSettings profile_;
    TabPages tabs_;
    SettingsCompsTab componentsPage_;
    double waterMassFraction_ = 0;
};

} // namespace norvalt
