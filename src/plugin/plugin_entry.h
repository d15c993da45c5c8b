#pragma once
// The plug-in's life inside the host: the information record, Load, the
// start-up when every module is loaded, the menu command and Unload. The
// exported functions are thin wrappers over these (plugin_exports.cpp).
#include "host/host_services.h"
#include "host/plugin_records.h"

namespace norvalt::plugin {

const PluginInfo& pluginInfo();

// Keeps the table, installs the message-box notifier and subscribes to
// "System/ModulesLoaded"; nothing else happens until the event.
void load(const HostServices* services);

// "System/ModulesLoaded": the language module, the menu command service and
// menu item, the checks of the services the module needs, the database
// location and the profile prefix. A missing service is told in a message
// box without owner and start-up goes on.
void onModulesLoaded();

// "norvalt/MenuCommand": the one main window, created when there is none,
// owned by `owner`, shown in its normal state.
void onMenuCommand(HostArg owner);

// Gives back the subscription and the registration (0 when start-up never
// registered), forgets the database connection and removes the keyboard
// hook of the module's dialogs. The language module stays loaded and an
// open main window stays open.
void unload();

} // namespace norvalt::plugin
