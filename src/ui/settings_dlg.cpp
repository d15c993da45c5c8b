#include "ui/settings_dlg.h"

#include <commctrl.h>

#include "res/resource_ids.h"
#include "text/format.h"
#include "text/string_table.h"
#include "text/user_notifier.h"
#include "ui/dialog_keys.h"
#include "ui/resource_module.h"
#include "workset/module_settings.h"

namespace norvalt {

namespace {

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

std::size_t digitsFrom(std::u16string_view text, std::size_t at)
{
    std::size_t end = at;
    while (end < text.size() && isDigit(text[end])) ++end;
    return end;
}

ProfileRect outerRect(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return {r.left, r.top, r.right, r.bottom};
}

} // namespace

std::optional<double> leadingDecimalNumber(std::u16string_view text)
{
    std::size_t at = 0;
    while (at < text.size() && (text[at] == u' ' || text[at] == u'\t')) ++at;
    const std::size_t start = at;
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) ++at;
    const std::size_t integral = digitsFrom(text, at);
    std::size_t end = integral;
    bool digits = integral > at;
    if (end < text.size() && text[end] == u'.') {
        const std::size_t fraction = digitsFrom(text, end + 1);
        digits = digits || fraction > end + 1;
        end = fraction;
    }
    if (!digits) return std::nullopt;
    // An exponent counts only when digits follow it: "5e" is 5.
    if (end < text.size() && (text[end] == u'e' || text[end] == u'E')) {
        std::size_t exponent = end + 1;
        if (exponent < text.size() && (text[exponent] == u'+' || text[exponent] == u'-')) ++exponent;
        const std::size_t exponentEnd = digitsFrom(text, exponent);
        if (exponentEnd > exponent) end = exponentEnd;
    }
    return parseDoublePrefix(text.substr(start, end - start));
}

SettingsDlg* SettingsDlg::open(HWND owner, Host host)
{
    auto* dialog = new SettingsDlg(owner, host);
    if (!dialog->createModeless(IDD_SETTINGS, owner)) {
        delete dialog;
        return nullptr;
    }
    registerDialogKeys(dialog->hwnd());
    ShowWindow(dialog->hwnd(), SW_SHOW);
    return dialog;
}

bool SettingsDlg::onInitDialog()
{
    // The settings dialog keeps the module's own icon, whatever the language.
    setWindowIcons(hwnd(), ownModule());
    layout().add(IDC_SETTINGS_TABS, anchors::fill);
    layout().add(IDOK, anchors::bottomRight);
    layout().add(IDCANCEL, anchors::bottomRight);
    layout().add(IDC_WATER_MASS, anchors::bottom);
    layout().add(IDC_WATER_LABEL, anchors::bottom);
    layout().add(IDC_PERCENT_LABEL, anchors::bottom);

    tabs_.attach(item(IDC_SETTINGS_TABS));
    tabs_.add(loadString(IDS_TAB_COMPONENTS), componentsPage_.create(tabs_.tabControl()));
    tabs_.select(profile_.getInt(settingsSection, u"lastTab", 0));

    recordMinimumTrackingSize();
    ProfileRect stored;
    if (profile_.getRect(settingsSection, u"WState", stored)) {
        SetWindowPos(hwnd(), nullptr, stored.left, stored.top, stored.right - stored.left, stored.bottom - stored.top,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
    waterMassFraction_ = readWaterMassFraction(profile_);
    setItemText(IDC_WATER_MASS, formatGeneral(waterMassFraction_, 15));
    return true;
}

void SettingsDlg::accept()
{
    if (const auto value = leadingDecimalNumber(itemText(IDC_WATER_MASS))) {
        waterMassFraction_ = *value;
    } else {
        userNotifier().notify(NoticeKind::Error, loadString(IDS_ERR_WATER_NOT_NUMBER), {hwnd()});
    }
    ShowWindow(hwnd(), SW_HIDE);
    storeWaterMassFraction(profile_, waterMassFraction_);
    PostMessageW(owner_, SettingsClosedMessage, 1, 0);
    DestroyWindow(hwnd());
}

void SettingsDlg::cancel()
{
    ShowWindow(hwnd(), SW_HIDE);
    PostMessageW(owner_, SettingsClosedMessage, 2, 0);
    DestroyWindow(hwnd());
}

void SettingsDlg::onDestroy()
{
    unregisterDialogKeys(hwnd());
    profile_.setInt(settingsSection, u"lastTab", tabs_.selected());
    profile_.setRect(settingsSection, u"WState", outerRect(hwnd()));
    if (componentsPage_.hwnd()) DestroyWindow(componentsPage_.hwnd());
}

bool SettingsDlg::onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED) return false;
        if (LOWORD(wParam) == IDOK) accept();
        else if (LOWORD(wParam) == IDCANCEL) cancel();
        else return false;
        return true;
    case WM_NOTIFY: {
        const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
        if (hdr->idFrom != IDC_SETTINGS_TABS || hdr->code != TCN_SELCHANGE) return false;
        tabs_.show(tabs_.selected());
        return true;
    }
    case WM_SIZE:
        tabs_.place();
        return true;
    case WM_DESTROY:
        onDestroy();
        return true;
    default:
        return false;
    }
}

} // namespace norvalt
