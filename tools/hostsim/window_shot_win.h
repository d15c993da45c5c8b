#pragma once
// A window as it is on the screen, saved as a 24-bit BMP file, so that the
// demo and the tests can show the module's windows without a screen grabber.
#include <windows.h>

#include <string>

namespace norvalt::hostsim {

// False when the window has no area or the file cannot be written.
bool saveWindowShot(HWND window, const std::u16string& path);

} // namespace norvalt::hostsim
