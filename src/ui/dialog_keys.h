#pragma once
// Keyboard handling of the module's modeless dialogs in a host whose message
// loop does not call IsDialogMessage: Tab between controls, Enter for the
// default button, Escape for Cancel. While at least one dialog is
// registered, a message hook of this thread offers every keyboard message
// meant for a registered dialog (or a control in it) to IsDialogMessage
// first. A host that does call IsDialogMessage sees no difference: the
// message has been handled before its own call and arrives as WM_NULL.
#include <windows.h>

namespace norvalt {

// For the lifetime of a modeless dialog's window.
void registerDialogKeys(HWND dialog);
void unregisterDialogKeys(HWND dialog);
// When the plug-in is unloaded: the hook goes even while a window stays
// open, since the code it calls may go with the module.
void releaseDialogKeys();

} // namespace norvalt
