#pragma once
// Common Controls 6 for the module's windows. The host may run without a
// manifest of its own, and a DLL's manifest is never applied by itself, so
// every window of the module is created, and every one of its messages
// handled, inside the activation context made from the module's own
// manifest (resource 2). Without that context (a system that refuses it)
// the windows fall back to the classic controls; nothing else changes.
#include <windows.h>

namespace norvalt {

class CommonControlsScope {
public:
    CommonControlsScope();
    ~CommonControlsScope();
    CommonControlsScope(const CommonControlsScope&) = delete;
    CommonControlsScope& operator=(const CommonControlsScope&) = delete;

    bool active() const { return active_; }

private:
    ULONG_PTR cookie_ = 0;
    bool active_ = false;
};

// Releases the context when the module unloads; a later scope makes it anew.
void releaseCommonControlsContext();

} // namespace norvalt
