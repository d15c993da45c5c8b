#include "ui/resource_module.h"

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

} // namespace norvalt
