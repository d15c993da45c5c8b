#pragma once
// A stand-in host's profile store on disk (the CLI's and the test host's):
// UTF-8 lines "key=value", the key being the module's full key path
// ("plugins\kestrin\Settings/WaterMass"). Lines without '=' and empty lines
// are ignored.
#include <filesystem>
#include <map>
#include <string>

namespace norvalt {

using ProfileEntries = std::map<std::u16string, std::u16string>;

// The default place: $XDG_CONFIG_HOME/norvalt/profile (~/.config when unset;
// %APPDATA% on Windows).
std::filesystem::path defaultProfilePath();

// A missing file is an empty profile.
ProfileEntries readProfileFile(const std::filesystem::path& path);
// Creates the folder if needed; false when the file cannot be written.
bool writeProfileFile(const std::filesystem::path& path, const ProfileEntries& entries);

} // namespace norvalt
