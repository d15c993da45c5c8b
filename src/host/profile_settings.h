#pragma once
// Settings in the host's per-user profile store, reached through the
// "Profile/..." services. A missing service is not an error: reads give
// their defaults and writes are skipped.
#include <cstdint>
#include <string>

#include "host/host_services.h"

namespace norvalt {

struct ProfileRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// What "Profile/GetString" fills: a zero-filled buffer and its capacity in
// characters (8 bytes on i686).
struct ProfileStringBuffer {
    char16_t* text;
    std::uint32_t capacity;
};
#if defined(__i386__) || defined(_M_IX86)
static_assert(sizeof(ProfileStringBuffer) == 8);
#endif
static_assert(sizeof(ProfileRect) == 16);

// The module-wide prefix of every key path: empty until start-up sets it
// to "plugins\kestrin".
void setProfilePrefix(std::u16string prefix);
const std::u16string& profilePrefix();

class ProfileSettings {
public:
    static constexpr std::uint32_t stringCapacity = 256;

    explicit ProfileSettings(Host host) : host_(host) {}

    // prefix + "\" (both left out when the prefix is empty) + section + "/" + key
    static std::u16string profileKeyPath(std::u16string_view section, std::u16string_view key);

    std::int32_t getInt(std::u16string_view section, std::u16string_view key, std::int32_t def) const;
    std::u16string getString(std::u16string_view section, std::u16string_view key, std::u16string_view def) const;
    double getDouble(std::u16string_view section, std::u16string_view key, double def) const;
    bool getRect(std::u16string_view section, std::u16string_view key, ProfileRect& rect) const;

    void setInt(std::u16string_view section, std::u16string_view key, std::int32_t value) const;
    void setString(std::u16string_view section, std::u16string_view key, std::u16string_view value) const;
    void setDouble(std::u16string_view section, std::u16string_view key, double value) const;
    bool setRect(std::u16string_view section, std::u16string_view key, const ProfileRect& rect) const;

private:
    // Calls `service` with the key path and `value` unless it is missing;
    // gives the host's result, or nothing.
    bool call(const char* service, std::u16string_view section, std::u16string_view key, HostArg value,
              HostResult* result) const;

    Host host_;
};

} // namespace norvalt
