#pragma once
// The plug-in's menu command opens the module's main window through here.
#include <windows.h>

namespace norvalt {

// Creates the main window as a modeless window owned by `owner` (none when
// null) unless one exists already, then shows it in its normal state:
// shown, activated, restored if minimised or maximised. At most one main
// window exists; once it is closed (destroyed) the next call starts a new
// one with an empty set. Throws nothing: a failure (a window that cannot be
// made) is told to the user through the notifier (string 202).
void showMainWindow(HWND owner) noexcept;

} // namespace norvalt
