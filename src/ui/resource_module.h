#pragma once
// The module whose resources the windows are made from. Dialog templates
// and icons come from the module that holds this code (the plug-in DLL, or
// a test program linked with the resources) unless start-up names another.
#include <windows.h>

namespace norvalt {

// The module containing this code, found from an address inside it.
HINSTANCE ownModule();

HINSTANCE resourceModule();
// Null restores the module's own.
void setResourceModule(HINSTANCE module);

// The window's big and small icons: the module's icon 102 as `module` holds
// it (the main window takes the resource module's, the settings dialog the
// module's own).
void setWindowIcons(HWND window, HINSTANCE module);

} // namespace norvalt
