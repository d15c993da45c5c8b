#include "host/local_host.h"

#include <cstring>
#include <string>

#include "text/format.h"

namespace norvalt {

namespace {

LocalHost* current = nullptr;

std::u16string pathArg(HostArg a)
{
    return std::u16string(reinterpret_cast<const char16_t*>(a));
}

// Numbers are kept as text in the store so that it can be written out as
// key=value lines.
// Reads a leading integer; gives the code units used, 0 when none fits.
std::size_t parseInt(std::u16string_view text, std::int32_t& value)
{
    std::size_t used = 0;
    const double d = parseDoublePrefix(text, &used);
    if (used == 0 || !(d >= INT32_MIN && d <= INT32_MAX)) return 0;
    value = static_cast<std::int32_t>(d);
    return used;
}

} // namespace

LocalHost::LocalHost()
{
    table_.subscribeEvent = &LocalHost::subscribeEvent;
    table_.unsubscribeEvent = &LocalHost::unsubscribeEvent;
    table_.registerService = &LocalHost::registerService;
    table_.unregisterService = &LocalHost::unregisterService;
    table_.callService = &LocalHost::callService;
    table_.hasService = &LocalHost::hasService;
    previous_ = current;
    current = this;
}

LocalHost::~LocalHost()
{
    if (current == this) current = previous_;
}

void LocalHost::offer(const std::string& name, Service service)
{
    services_[name] = std::move(service);
}

void LocalHost::withdraw(const std::string& name)
{
    services_.erase(name);
}

void LocalHost::raise(const std::string& event)
{
    // Handlers may unsubscribe while they run: walk a copy.
    auto subscriptions = subscriptions_;
    for (const auto& [handle, entry] : subscriptions)
        if (entry.first == event && entry.second) entry.second();
}

HostServiceHandler LocalHost::registered(const std::string& name) const
{
    for (const auto& [handle, entry] : registrations_)
        if (entry.first == name) return entry.second;
    return nullptr;
}

int LocalHost::callCount(const std::string& name) const
{
    auto it = calls_.find(name);
    return it == calls_.end() ? 0 : it->second;
}

HostHandle LocalHost::subscribeEvent(const char* event, HostEventHandler handler)
{
    if (!current) return 0;
    current->trace(std::string("subscribe ") + event);
    const HostHandle handle = current->nextHandle_++;
    current->subscriptions_[handle] = {event, handler};
    return handle;
}

void LocalHost::unsubscribeEvent(HostHandle subscription)
{
    if (!current) return;
    current->trace("unsubscribe " + std::to_string(subscription));
    current->subscriptions_.erase(subscription);
}

HostHandle LocalHost::registerService(const char* name, HostServiceHandler handler)
{
    if (!current) return 0;
    current->trace(std::string("register ") + name);
    const HostHandle handle = current->nextHandle_++;
    current->registrations_[handle] = {name, handler};
    return handle;
}

void LocalHost::unregisterService(HostHandle registration)
{
    if (!current) return;
    current->trace("unregister " + std::to_string(registration));
    current->registrations_.erase(registration);
}

HostResult LocalHost::callService(const char* name, HostArg first, HostArg second)
{
    if (!current) return ServiceNotFound;
    current->trace(std::string("call ") + name + ' ' + std::to_string(first));
    ++current->calls_[name];
    auto it = current->services_.find(name);
    if (it == current->services_.end()) return ServiceNotFound;
    return it->second(first, second);
}

std::int32_t LocalHost::hasService(const char* name)
{
    if (!current) return 0;
    current->trace(std::string("has ") + name);
    return current->services_.count(name) ? 1 : 0;
}

void LocalHost::offerProfileStore()
{
    auto find = [this](HostArg path) -> const std::u16string* {
        auto it = profile_.find(pathArg(path));
        return it == profile_.end() ? nullptr : &it->second;
    };
    offer(service::ProfileGetInt, [find](HostArg path, HostArg out) -> HostResult {
        const std::u16string* text = find(path);
        std::int32_t value = 0;
        if (!text || parseInt(*text, value) == 0) return 0;
        *reinterpret_cast<std::int32_t*>(out) = value;
        return 1;
    });
    offer(service::ProfileSetInt, [this](HostArg path, HostArg in) -> HostResult {
        profile_[pathArg(path)] = formatInt(*reinterpret_cast<const std::int32_t*>(in));
        return 1;
    });
    offer(service::ProfileGetDouble, [find](HostArg path, HostArg out) -> HostResult {
        const std::u16string* text = find(path);
        std::size_t used = 0;
        if (!text) return 0;
        const double value = parseDoublePrefix(*text, &used);
        if (used == 0) return 0;
        *reinterpret_cast<double*>(out) = value;
        return 1;
    });
    offer(service::ProfileSetDouble, [this](HostArg path, HostArg in) -> HostResult {
        profile_[pathArg(path)] = formatGeneral(*reinterpret_cast<const double*>(in), 17);
        return 1;
    });
    offer(service::ProfileGetString, [find](HostArg path, HostArg out) -> HostResult {
        const std::u16string* text = find(path);
        if (!text) return 0;
        auto* buffer = reinterpret_cast<ProfileStringBuffer*>(out);
        if (!buffer->text || buffer->capacity == 0) return 0;
        const std::size_t n = std::min<std::size_t>(text->size(), buffer->capacity - 1);
        std::memcpy(buffer->text, text->data(), n * sizeof(char16_t));
        buffer->text[n] = 0;
        return 1;
    });
    offer(service::ProfileSetString, [this](HostArg path, HostArg in) -> HostResult {
        profile_[pathArg(path)] = pathArg(in);
        return 1;
    });
    offer(service::ProfileGetRect, [find](HostArg path, HostArg out) -> HostResult {
        const std::u16string* text = find(path);
        if (!text) return 0;
        std::int32_t v[4];
        std::u16string_view rest(*text);
        for (auto& x : v) {
            const std::size_t used = parseInt(rest, x);
            if (used == 0) return 0;
            rest.remove_prefix(std::min(rest.size(), used + 1));  // the number and its comma
        }
        *reinterpret_cast<ProfileRect*>(out) = ProfileRect{v[0], v[1], v[2], v[3]};
        return 1;
    });
    offer(service::ProfileSetRect, [this](HostArg path, HostArg in) -> HostResult {
        const auto& r = *reinterpret_cast<const ProfileRect*>(in);
        profile_[pathArg(path)] = format(u"%d,%d,%d,%d", r.left, r.top, r.right, r.bottom);
        return 1;
    });
}

} // namespace norvalt
