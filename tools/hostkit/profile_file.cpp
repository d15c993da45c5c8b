#include "profile_file.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "text/utf.h"

namespace norvalt {

std::filesystem::path defaultProfilePath()
{
#ifdef _WIN32
    const wchar_t* appData = _wgetenv(L"APPDATA");
    std::filesystem::path base = appData && *appData ? std::filesystem::path(appData) : std::filesystem::current_path();
#else
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    std::filesystem::path base = config && *config ? std::filesystem::path(config)
                               : home && *home     ? std::filesystem::path(home) / ".config"
                                                   : std::filesystem::current_path();
#endif
    return base / "norvalt" / "profile";
}

ProfileEntries readProfileFile(const std::filesystem::path& path)
{
    ProfileEntries entries;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto eq = line.find('=');
        if (eq == std::string::npos || eq == 0) continue;
        entries[utf8ToUtf16(line.substr(0, eq))] = utf8ToUtf16(line.substr(eq + 1));
    }
    return entries;
}

bool writeProfileFile(const std::filesystem::path& path, const ProfileEntries& entries)
{
    std::error_code ignored;
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ignored);
    std::ostringstream text;
    for (const auto& [key, value] : entries) {
        // One entry per line: a line break inside a value cannot be stored.
        std::u16string flat = value;
        for (char16_t& c : flat)
            if (c == u'\n' || c == u'\r') c = u' ';
        text << utf16ToUtf8(key) << '=' << utf16ToUtf8(flat) << '\n';
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text.str();
    return static_cast<bool>(out.flush());
}

} // namespace norvalt
