// A plug-in that tries every service of the stand-in host once and writes
// what it got into the host's profile store ("probe/..." keys), so that the
// host's tests can read the answers from the profile file it leaves.
#include <windows.h>

#include <cstdint>
#include <string>

#include "host/host_services.h"
#include "host/plugin_records.h"
#include "text/format.h"
#include "text/wide.h"

using namespace norvalt;

namespace {

const HostServices* services = nullptr;
HostHandle subscription = 0;
HostHandle registration = 0;

HostResult call(const char* name, HostArg first, HostArg second)
{
    return services->callService(name, first, second);
}

void store(const std::u16string& key, const std::u16string& value)
{
    const std::u16string path = u"probe/" + key;
    call(service::ProfileSetString, Host::arg(path.c_str()), Host::arg(value.c_str()));
}

std::u16string askAssays()
{
    std::int32_t ids[256] = {};
    const HostResult n = call(service::OpenAssayIdDlg, 256, Host::arg(ids));
    std::u16string text = formatInt(n);
    for (HostResult i = 0; i < n && i < 256; ++i)
        text += (i == 0 ? u":" : u",") + formatInt(ids[i]);
    return text;
}

LRESULT CALLBACK probeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == 1001) {
        store(u"clicked", u"1");
        DestroyWindow(window);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

std::int32_t NORVALT_CDECL onMenuCommand(HostArg owner)
{
    store(u"owner", formatInt(static_cast<std::int64_t>(owner)));
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = probeWindowProc;
    windowClass.hInstance = GetModuleHandleW(L"norvalt-probe-plugin.dll");
    windowClass.lpszClassName = L"NorvaltProbeWindow";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, L"NorvaltProbeWindow", L"Probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60,
                                  300, 200, reinterpret_cast<HWND>(owner), nullptr, windowClass.hInstance, nullptr);
    CreateWindowExW(0, L"BUTTON", L"Done", WS_CHILD | WS_VISIBLE, 10, 10, 80, 24, window,
                    reinterpret_cast<HMENU>(1001), windowClass.hInstance, nullptr);
    return 0;
}

std::int32_t NORVALT_CDECL onModulesLoaded()
{
    registration = services->registerService("probe/MenuCommand", onMenuCommand);
    const std::u16string path = u"Данные/Проба/Открыть пробу";
    MenuItemRecord item{16, path.c_str(), 0, "probe/MenuCommand"};
    store(u"menu", formatInt(call(service::CreateNewMenu, 0, Host::arg(&item))));
    store(u"language", formatInt(call(service::GetLanguage, 0, 0)));
    const HostResult uri = call(service::GetConnectionUri, 0, 0);
    store(u"uri", uri == ServiceNotFound ? u"(none)" : std::u16string(reinterpret_cast<const char16_t*>(uri)));
    char16_t folder[260] = {};
    call(service::TemplatePath, 260, Host::arg(folder));
    store(u"templates", folder);
    store(u"assays1", askAssays());
    store(u"assays2", askAssays());
    store(u"assays3", askAssays());
    const std::u16string file = u"C:\\lab\\chromatograms\\a.stg";
    call(service::OpenAssayFile, 1, Host::arg(file.c_str()));
    // A double through the store and back.
    const double water = 0.08;
    const std::u16string waterKey = u"probe/water";
    call(service::ProfileSetDouble, Host::arg(waterKey.c_str()), Host::arg(&water));
    double back = 0;
    const HostResult got = call(service::ProfileGetDouble, Host::arg(waterKey.c_str()), Host::arg(&back));
    store(u"water-back", formatInt(got) + u":" + formatGeneral(back, 6));
    store(u"has-rect", formatInt(services->hasService(service::ProfileGetRect)));
    return 0;
}

const PluginInfo info{48, u"probe", 0x01020304, u"A probe of the host's services", u"Norvalt Labs",
                      u"lab@norvalt.example", u"Test plug-in", u"https://norvalt.example", {}};

} // namespace

extern "C" __declspec(dllexport) const PluginInfo* NORVALT_CDECL GetPluginInfo()
{
    return &info;
}

extern "C" __declspec(dllexport) std::int32_t NORVALT_CDECL Load(const HostServices* table)
{
    services = table;
    subscription = services->subscribeEvent(service::ModulesLoaded, onModulesLoaded);
    return 0;
}

extern "C" __declspec(dllexport) std::int32_t NORVALT_CDECL Unload()
{
    services->unsubscribeEvent(subscription);
    services->unregisterService(registration);
    return 0;
}
