#include "host/profile_settings.h"

namespace norvalt {

namespace {
std::u16string& prefixStorage()
{
    static std::u16string prefix;
    return prefix;
}
} // namespace

void setProfilePrefix(std::u16string prefix)
{
    prefixStorage() = std::move(prefix);
}

const std::u16string& profilePrefix()
{
    return prefixStorage();
}

std::u16string ProfileSettings::profileKeyPath(std::u16string_view section, std::u16string_view key)
{
    std::u16string path;
    const std::u16string& prefix = profilePrefix();
    if (!prefix.empty()) {
        path += prefix;
        path += u'\\';
    }
    path += section;
    path += u'/';
    path += key;
    return path;
}

bool ProfileSettings::call(const char* service, std::u16string_view section, std::u16string_view key,
                           HostArg value, HostResult* result) const
{
    if (!host_.hasService(service)) return false;
    const std::u16string path = profileKeyPath(section, key);
    const HostResult r = host_.callService(service, Host::arg(path.c_str()), value);
    if (result) *result = r;
    return true;
}

std::int32_t ProfileSettings::getInt(std::u16string_view section, std::u16string_view key, std::int32_t def) const
{
    std::int32_t value = 0;
    HostResult r = 0;
    if (!call(service::ProfileGetInt, section, key, Host::arg(&value), &r) || r == 0) return def;
    return value;
}

std::u16string ProfileSettings::getString(std::u16string_view section, std::u16string_view key,
                                          std::u16string_view def) const
{
    char16_t text[stringCapacity] = {};
    ProfileStringBuffer buffer{text, stringCapacity};
    HostResult r = 0;
    if (!call(service::ProfileGetString, section, key, Host::arg(&buffer), &r) || r == 0)
        return std::u16string(def);
    // The host may fill the whole buffer without a terminator: never read
    // beyond it.
    size_t length = 0;
    while (length < stringCapacity && text[length] != 0) ++length;
    return std::u16string(text, length);
}

double ProfileSettings::getDouble(std::u16string_view section, std::u16string_view key, double def) const
{
    double value = 0;
    HostResult r = 0;
    if (!call(service::ProfileGetDouble, section, key, Host::arg(&value), &r) || r == 0) return def;
    return value;
}

bool ProfileSettings::getRect(std::u16string_view section, std::u16string_view key, ProfileRect& rect) const
{
    ProfileRect value{};
    HostResult r = 0;
    if (!call(service::ProfileGetRect, section, key, Host::arg(&value), &r) || r == 0) return false;
    rect = value;
    return true;
}

void ProfileSettings::setInt(std::u16string_view section, std::u16string_view key, std::int32_t value) const
{
    call(service::ProfileSetInt, section, key, Host::arg(&value), nullptr);
}

void ProfileSettings::setString(std::u16string_view section, std::u16string_view key,
                                std::u16string_view value) const
{
    const std::u16string text(value);
    call(service::ProfileSetString, section, key, Host::arg(text.c_str()), nullptr);
}

void ProfileSettings::setDouble(std::u16string_view section, std::u16string_view key, double value) const
{
    call(service::ProfileSetDouble, section, key, Host::arg(&value), nullptr);
}

bool ProfileSettings::setRect(std::u16string_view section, std::u16string_view key, const ProfileRect& rect) const
{
    ProfileRect value = rect;
    HostResult r = 0;
    return call(service::ProfileSetRect, section, key, Host::arg(&value), &r) && r != 0;
}

} // namespace norvalt
