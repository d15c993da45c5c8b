// Linked into the i686 test programs, which run under 32-bit Wine through
// user-mode emulation: there Wine's OutputDebugStringA, which raises a
// structured exception for a debugger to see, ends the process (the
// emulator stops at an illegal instruction). GoogleTest sends every
// failure and skip to the debugger that way, so a first failure would end
// the whole run without a report. Before any test runs, the program's
// import slot of the function is pointed at one that sends nothing; what
// GoogleTest prints to standard output is untouched.
#include <windows.h>

// The import address the compiler calls through for a dllimport function.
extern "C" void* importedOutputDebugStringA __asm__("__imp__OutputDebugStringA@4");

namespace {

void WINAPI noDebuggerOutput(LPCSTR) {}

const bool redirected = [] {
    DWORD protection = 0;
    if (!VirtualProtect(&importedOutputDebugStringA, sizeof(void*), PAGE_READWRITE, &protection)) return false;
    importedOutputDebugStringA = reinterpret_cast<void*>(&noDebuggerOutput);
    VirtualProtect(&importedOutputDebugStringA, sizeof(void*), protection, &protection);
    return true;
}();

} // namespace
