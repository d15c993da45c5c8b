#include "ui/common_controls_scope.h"

#include <commctrl.h>

#include <string>

#include "res/resource_ids.h"
#include "ui/resource_module.h"

namespace norvalt {

namespace {

HANDLE context = INVALID_HANDLE_VALUE;
bool contextTried = false;

HANDLE moduleContext()
{
    if (contextTried) return context;
    contextTried = true;
    std::wstring path(MAX_PATH, L'\0');
    const DWORD length = GetModuleFileNameW(ownModule(), path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) return context;
    path.resize(length);
    ACTCTXW request{};
    request.cbSize = sizeof(request);
    request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = path.c_str();
    request.hModule = ownModule();
    request.lpResourceName = MAKEINTRESOURCEW(IDR_MANIFEST);
    context = CreateActCtxW(&request);
    if (context != INVALID_HANDLE_VALUE) {
        // The classes of version 6 are registered inside the context.
        ULONG_PTR cookie = 0;
        if (ActivateActCtx(context, &cookie)) {
            INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES |
                                                                ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
            InitCommonControlsEx(&controls);
            DeactivateActCtx(0, cookie);
        }
    }
    return context;
}

} // namespace

CommonControlsScope::CommonControlsScope()
{
    const HANDLE ctx = moduleContext();
    if (ctx != INVALID_HANDLE_VALUE) active_ = ActivateActCtx(ctx, &cookie_) != FALSE;
}

CommonControlsScope::~CommonControlsScope()
{
    if (active_) DeactivateActCtx(0, cookie_);
}

void releaseCommonControlsContext()
{
    if (context != INVALID_HANDLE_VALUE) ReleaseActCtx(context);
    context = INVALID_HANDLE_VALUE;
    contextTried = false;
}

} // namespace norvalt
