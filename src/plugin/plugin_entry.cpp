#include "plugin/plugin_entry.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>

#include "controls/window_guard.h"
#include "data/database.h"
#include "text/string_table.h"
#include "text/user_notifier.h"
#include "text/wide.h"
#include "ui/dialog_keys.h"
#include "ui/main_window.h"
#include "ui/resource_module.h"
#include "workset/module_settings.h"

namespace norvalt::plugin {

namespace {

constexpr LANGID russian = 1049;  // the language of the module's own resources
constexpr std::size_t menuPathCapacity = 256;

HostHandle modulesLoadedSubscription = 0;
HostHandle menuCommandRegistration = 0;
MessageBoxNotifier messageBoxes;

std::int32_t NORVALT_CDECL modulesLoadedHandler();
std::int32_t NORVALT_CDECL menuCommandHandler(HostArg owner);

// Start-up's message boxes: no owner, the module's caption, the error icon.
void tellMissingService(std::u16string_view text)
{
    userNotifier().notify(NoticeKind::Error, text, {});
}

// The language module beside the plug-in for the host's language: for
// norvalt.dll and English (United States) norvaltENU.dll. Nothing is told
// when there is none; the module's own Russian resources stay in use.
void chooseLanguageModule(Host host)
{
    if (!host.hasService(service::GetLanguage)) return;
    const auto language = static_cast<LANGID>(host.callService(service::GetLanguage, 0, 0) & 0xFFFF);
    if (language == russian) return;
    wchar_t self[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(ownModule(), self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    wchar_t abbreviation[4] = {};
    if (!GetLocaleInfoW(MAKELCID(language, SORT_DEFAULT), LOCALE_SABBREVLANGNAME, abbreviation, 4)) return;
    std::u16string path(fromWide(self, length));
    // The extension is what follows the last '.' of the file name itself.
    const std::size_t name = path.find_last_of(u"\\/") + 1;
    const std::size_t dot = path.rfind(u'.');
    path = path.substr(0, dot != std::u16string::npos && dot >= name ? dot : path.size()) +
           std::u16string(fromWide(abbreviation)) + u".dll";
    HMODULE module = LoadLibraryW(wide(path));
    if (!module) return;
    setResourceModule(module);
    setStringLookup([module](int id) -> std::optional<std::u16string> {
        const wchar_t* text = nullptr;
        // With no buffer, LoadStringW gives the text in place and its length.
        const int n = LoadStringW(module, static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
        if (n <= 0 || !text) return std::nullopt;
        return std::u16string(fromWide(text, static_cast<std::size_t>(n)));
    });
}

void addMenuItem(Host host)
{
    // The host reads the record during the call; both live until it returns.
    char16_t menuPath[menuPathCapacity] = {};
    const std::u16string text = loadString(IDS_MENU_PATH);
    std::copy_n(text.begin(), std::min(text.size(), menuPathCapacity - 1), menuPath);
    MenuItemRecord item{};
    item.structSize = sizeof item;
    item.menuPath = menuPath;
    item.reserved = 0;
    item.serviceName = service::MenuCommand;
    if (host.callService(service::CreateNewMenu, 0, Host::arg(&item)) == ServiceNotFound)
        tellMissingService(u"CreateNewMenu service not found.");
}

} // namespace

const PluginInfo& pluginInfo()
{
    static const PluginInfo info{
        sizeof(PluginInfo),
        u"norvalt",
        0x01000100,
        u"The mass fraction of ethylene glycol and diethylene glycol",
        u"Norvalt Labs",
        u"support@norvalt-labs.example",
        u"\u00A9 Norvalt Labs, 2026. All rights reserved.",
        u"https://norvalt-labs.example",
        // {476602ff-9697-4be5-81fe-36c8ce8d97bc} in its stored byte order
        {{0xFF, 0x02, 0x66, 0x47, 0x97, 0x96, 0xE5, 0x4B, 0x81, 0xFE, 0x36, 0xC8, 0xCE, 0x8D, 0x97, 0xBC}},
    };
    return info;
}

void load(const HostServices* services)
{
    setHostServices(services);
    setUserNotifier(&messageBoxes);
    if (services && services->subscribeEvent)
        modulesLoadedSubscription = services->subscribeEvent(service::ModulesLoaded, modulesLoadedHandler);
}

void onModulesLoaded()
{
    const Host host = norvalt::host();
    chooseLanguageModule(host);
    if (const HostServices* table = host.table(); table && table->registerService)
        menuCommandRegistration = table->registerService(service::MenuCommand, menuCommandHandler);
    addMenuItem(host);
    if (!host.hasService(service::OpenAssayIdDlg)) tellMissingService(u"OpenAssayIdDlg service not found.");
    if (!takeConnectionLocation(host)) tellMissingService(u"GetDbUri service not found.");
    setModuleProfilePrefix();
}

void onMenuCommand(HostArg owner)
{
    showMainWindow(reinterpret_cast<HWND>(owner));
}

void unload()
{
    const HostServices* table = host().table();
    if (table && table->unsubscribeEvent) table->unsubscribeEvent(modulesLoadedSubscription);
    if (table && table->unregisterService) table->unregisterService(menuCommandRegistration);
    modulesLoadedSubscription = 0;
    menuCommandRegistration = 0;
    releaseConnection();
    releaseDialogKeys();
}

namespace {

std::int32_t NORVALT_CDECL modulesLoadedHandler()
{
    return guardWindowEdge(nullptr, 0, [] {
        onModulesLoaded();
        return 0;
    });
}

std::int32_t NORVALT_CDECL menuCommandHandler(HostArg owner)
{
    return guardWindowEdge(nullptr, 0, [owner] {
        onMenuCommand(owner);
        return 0;
    });
}

} // namespace

} // namespace norvalt::plugin
