#include "workset/module_settings.h"

#include "calc/components.h"
#include "data/database.h"
#include "text/format.h"

namespace norvalt {

std::u16string componentAltNameKey(std::int32_t id)
{
    return format(u"compAltName_%d%d", id / 10, id % 10);
}

bool takeConnectionLocation(Host host)
{
    if (!host.hasService(service::GetConnectionUri)) return false;
    // The host's text is copied at once; a host that answers with no text
    // leaves the connection without a location, as if it had none.
    const auto* uri = reinterpret_cast<const char16_t*>(host.callService(service::GetConnectionUri, 0, 0));
    if (uri)
        connection().uri = std::u16string(uri);
    else
        connection().uri.reset();
    return true;
}

void setModuleProfilePrefix()
{
    setProfilePrefix(std::u16string(moduleProfilePrefix));
}

void loadComponentAltNames(const ProfileSettings& profile)
{
    for (std::int32_t id = 0; id < UnidentifiedSubstance; ++id) {
        const std::u16string stored = profile.getString(componentsSection, componentAltNameKey(id), u"");
        setComponentAltName(id, stored.empty() ? componentTable()[id].name : stored);
    }
}

void storeComponentAltNames(const ProfileSettings& profile)
{
    for (std::int32_t id = 0; id < UnidentifiedSubstance; ++id)
        profile.setString(componentsSection, componentAltNameKey(id), componentTable()[id].altName);
}

double readWaterMassFraction(const ProfileSettings& profile, double held)
{
    return profile.getDouble(settingsSection, waterMassKey, held);
}

void storeWaterMassFraction(const ProfileSettings& profile, double percent)
{
    profile.setDouble(settingsSection, waterMassKey, percent);
}

} // namespace norvalt
