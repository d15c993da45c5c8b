#pragma once
// What the module takes from the host when it starts, and the settings it
// keeps in the host's profile store: the water mass fraction and the peak
// names of the components. The plug-in, its windows and the command-line
// host all go through here, so that they read and write the same keys.
#include <cstdint>
#include <string>
#include <string_view>

#include "host/host_services.h"
#include "host/profile_settings.h"

namespace norvalt {

inline constexpr std::u16string_view moduleProfilePrefix = u"plugins\\kestrin";
inline constexpr std::u16string_view settingsSection = u"Settings";
inline constexpr std::u16string_view componentsSection = u"Settings\\Components";
inline constexpr std::u16string_view waterMassKey = u"WaterMass";

// "compAltName_%.2d" of a component id.
std::u16string componentAltNameKey(std::int32_t id);

// Start-up: the host database's location, copied from "DB/GetConnectionUri"
// into the connection. False, with nothing changed, when the host offers no
// such service (the caller tells the user).
bool takeConnectionLocation(Host host);
// Start-up: every key path from now on begins with the module's prefix.
void setModuleProfilePrefix();

// When the main window opens: each of components 0 to 5 takes its stored
// alternative name; an empty or absent one gives the component's own name,
// which the store at closing then writes back.
void loadComponentAltNames(const ProfileSettings& profile);
// When the main window is finally destroyed: all six alternative names.
void storeComponentAltNames(const ProfileSettings& profile);

// The water mass fraction in percent; `held` when the profile has none (0.0
// when the main window opens, the value held until then when the settings
// dialog closes).
double readWaterMassFraction(const ProfileSettings& profile, double held = 0.0);
void storeWaterMassFraction(const ProfileSettings& profile, double percent);

} // namespace norvalt
