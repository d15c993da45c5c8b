#include "ui/resource_module.h"

#include "res/resource_ids.h"

namespace norvalt {

namespace {
HINSTANCE chosenModule = nullptr;
}

HINSTANCE ownModule()
{
    static const HINSTANCE module = [] {
        HMODULE found = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCWSTR>(&chosenModule), &found);
        return found;
    }();
    return module;
}

HINSTANCE resourceModule()
{
    return chosenModule ? chosenModule : ownModule();
}

void setResourceModule(HINSTANCE module)
{
    chosenModule = module;
}

void setWindowIcons(HWND window, HINSTANCE module)
{
    const auto load = [module](int size) {
        return reinterpret_cast<LPARAM>(
            LoadImageW(module, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, size, size, LR_SHARED));
    };
    SendMessageW(window, WM_SETICON, ICON_BIG, load(GetSystemMetrics(SM_CXICON)));
    SendMessageW(window, WM_SETICON, ICON_SMALL, load(GetSystemMetrics(SM_CXSMICON)));
}

} // namespace norvalt
