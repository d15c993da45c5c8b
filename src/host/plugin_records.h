#pragma once
// The records that pass between the host and a plug-in besides the callback
// table: the information record that GetPluginInfo returns and the menu item
// that "MainMenu/CreateNewMenu" reads. On i686 they are exactly the host's
// 32-bit layouts; on x86_64 every pointer widens to pointer size, so that the
// 64-bit build and the test hosts share the same records.
#include <cstddef>
#include <cstdint>

#include "host/host_services.h"

namespace norvalt {

struct PluginGuid {
    std::uint8_t bytes[16];
};

struct PluginInfo {
    std::uint32_t structSize;
    const char16_t* name;
    std::uint32_t version;  // one byte per part, the major number highest
    const char16_t* description;
    const char16_t* company;
    const char16_t* email;
    const char16_t* legalNotice;
    const char16_t* webAddress;
    PluginGuid moduleId;
};

struct MenuItemRecord {
    std::uint32_t structSize;
    const char16_t* menuPath;  // nested menus and the item, joined by "/"
    std::uint32_t reserved;
    const char* serviceName;   // called with the host's window when the item is picked
};

#if defined(__i386__) || defined(_M_IX86)
static_assert(sizeof(PluginInfo) == 48);
static_assert(offsetof(PluginInfo, name) == 4);
static_assert(offsetof(PluginInfo, version) == 8);
static_assert(offsetof(PluginInfo, description) == 12);
static_assert(offsetof(PluginInfo, company) == 16);
static_assert(offsetof(PluginInfo, email) == 20);
static_assert(offsetof(PluginInfo, legalNotice) == 24);
static_assert(offsetof(PluginInfo, webAddress) == 28);
static_assert(offsetof(PluginInfo, moduleId) == 32);
static_assert(sizeof(MenuItemRecord) == 16);
static_assert(offsetof(MenuItemRecord, menuPath) == 4);
static_assert(offsetof(MenuItemRecord, reserved) == 8);
static_assert(offsetof(MenuItemRecord, serviceName) == 12);
#endif

// The three exports, found by name.
using GetPluginInfoFunction = const PluginInfo*(NORVALT_CDECL*)();
using LoadFunction = std::int32_t(NORVALT_CDECL*)(const HostServices* services);
using UnloadFunction = std::int32_t(NORVALT_CDECL*)();

} // namespace norvalt
