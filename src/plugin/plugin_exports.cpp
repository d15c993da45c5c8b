// The three functions the host finds by name (cdecl, undecorated; the
// module definition file exports these and nothing else). Whatever fails
// inside is told to the user and answered with 0: no exception, and so no
// abort, ever reaches the host.
#include "controls/window_guard.h"
#include "plugin/plugin_entry.h"

using namespace norvalt;

extern "C" const PluginInfo* NORVALT_CDECL GetPluginInfo()
{
    return &plugin::pluginInfo();
}

extern "C" std::int32_t NORVALT_CDECL Load(const HostServices* services)
{
    return guardWindowEdge(nullptr, 0, [services] {
        plugin::load(services);
        return 0;
    });
}

extern "C" std::int32_t NORVALT_CDECL Unload()
{
    return guardWindowEdge(nullptr, 0, [] {
        plugin::unload();
        return 0;
    });
}
