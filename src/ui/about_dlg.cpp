#include "ui/about_dlg.h"

#include "res/resource_ids.h"
#include "ui/resource_module.h"

namespace norvalt {

bool CAboutDlg::onInitDialog()
{
    const auto windowIcon = [](int size) {
        return reinterpret_cast<LPARAM>(
            LoadImageW(resourceModule(), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, size, size, LR_SHARED));
    };
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, windowIcon(GetSystemMetrics(SM_CXICON)));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, windowIcon(GetSystemMetrics(SM_CXSMICON)));
    largeIcon_ = OwnedIcon(ownModule(), IDI_APP, iconSize);
    SendDlgItemMessageW(hwnd(), IDC_ABOUT_ICON, STM_SETICON, reinterpret_cast<WPARAM>(largeIcon_.get()), 0);
    return true;
}

bool CAboutDlg::onMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result)
{
    if (message != WM_COMMAND) return false;
    const int id = LOWORD(wParam);
    if (id != IDOK && id != IDCANCEL) return false;
    EndDialog(hwnd(), id);
    result = 0;
    return true;
}

} // namespace norvalt
