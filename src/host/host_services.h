#pragma once
// The host's table of callbacks and the named services reached through it.
// The host hands the table to Load; it is a sequence of cdecl function
// pointers. On i686 it is exactly the host's 32-bit layout; on x86_64 every
// argument, result and handle that can carry a pointer widens to pointer size.
#include <cstddef>
#include <cstdint>

#if defined(__i386__) || defined(_M_IX86)
#define NORVALT_CDECL __cdecl
#else
#define NORVALT_CDECL
#endif

namespace norvalt {

using HostArg = std::intptr_t;     // an argument of callService: a number or an address
using HostResult = std::intptr_t;  // a result of callService: a number or an address
using HostHandle = std::intptr_t;  // a subscription or registration handle

using HostEventHandler = std::int32_t(NORVALT_CDECL*)();
using HostServiceHandler = std::int32_t(NORVALT_CDECL*)(HostArg first);

// The result of callService for a name that no service has: 0x80000000 as a
// signed 32-bit value (sign-extended where results are wider).
constexpr HostResult ServiceNotFound = static_cast<HostResult>(INT32_MIN);

struct HostServices {
    void* reserved[3];  // not used by the module
    HostHandle(NORVALT_CDECL* subscribeEvent)(const char* event, HostEventHandler handler);
    void(NORVALT_CDECL* unsubscribeEvent)(HostHandle subscription);
    HostHandle(NORVALT_CDECL* registerService)(const char* service, HostServiceHandler handler);
    void(NORVALT_CDECL* unregisterService)(HostHandle registration);
    HostResult(NORVALT_CDECL* callService)(const char* service, HostArg first, HostArg second);
    std::int32_t(NORVALT_CDECL* hasService)(const char* service);
};

#if defined(__i386__) || defined(_M_IX86)
static_assert(sizeof(HostServices) == 36, "nine 32-bit slots");
static_assert(offsetof(HostServices, subscribeEvent) == 12);
static_assert(offsetof(HostServices, unsubscribeEvent) == 16);
static_assert(offsetof(HostServices, registerService) == 20);
static_assert(offsetof(HostServices, unregisterService) == 24);
static_assert(offsetof(HostServices, callService) == 28);
static_assert(offsetof(HostServices, hasService) == 32);
#endif
static_assert(sizeof(HostArg) == sizeof(void*) && sizeof(HostResult) == sizeof(void*));

// A null-safe view of the table: a missing table or slot behaves like a
// host that offers no service.
class Host {
public:
    explicit Host(const HostServices* table) : table_(table) {}

    bool hasService(const char* service) const;
    HostResult callService(const char* service, HostArg first, HostArg second) const;

    template <class T>
    static HostArg arg(T* pointer)
    {
        return reinterpret_cast<HostArg>(pointer);
    }

    const HostServices* table() const { return table_; }

private:
    const HostServices* table_;
};

// The table that Load keeps for the life of the process.
void setHostServices(const HostServices* table);
Host host();

// Service names of the catalogue.
namespace service {
inline constexpr const char* ModulesLoaded = "System/ModulesLoaded";
inline constexpr const char* GetLanguage = "System/GetLanguage";
inline constexpr const char* MenuCommand = "norvalt/MenuCommand";
inline constexpr const char* CreateNewMenu = "MainMenu/CreateNewMenu";
inline constexpr const char* OpenAssayIdDlg = "Main/OpenAssayIdDlg";
inline constexpr const char* OpenAssayFile = "Main/OpenAssayFile";
inline constexpr const char* GetConnectionUri = "DB/GetConnectionUri";
inline constexpr const char* TemplatePath = "Cfg/TemplatePath";
inline constexpr const char* ProfileGetInt = "Profile/GetInt";
inline constexpr const char* ProfileSetInt = "Profile/SetInt";
inline constexpr const char* ProfileGetString = "Profile/GetString";
inline constexpr const char* ProfileSetString = "Profile/SetString";
inline constexpr const char* ProfileGetDouble = "Profile/GetDouble";
inline constexpr const char* ProfileSetDouble = "Profile/SetDouble";
inline constexpr const char* ProfileGetRect = "Profile/GetRect";
inline constexpr const char* ProfileSetRect = "Profile/SetRect";
} // namespace service

} // namespace norvalt
