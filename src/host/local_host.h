#pragma once
// An in-process host: a HostServices table whose services are C++
// functions. It serves the command-line tool (which is a host of its own)
// and the tests. The table's slots carry no context, so one LocalHost at a
// time is current: the one constructed last and not yet destroyed.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "host/host_services.h"
#include "host/profile_settings.h"

namespace norvalt {

class LocalHost {
public:
    using Service = std::function<HostResult(HostArg first, HostArg second)>;

    LocalHost();
    ~LocalHost();
    LocalHost(const LocalHost&) = delete;
    LocalHost& operator=(const LocalHost&) = delete;

    const HostServices* table() const { return &table_; }

    void offer(const std::string& name, Service service);
    void withdraw(const std::string& name);

    // Raises an event: every handler subscribed to it runs.
    void raise(const std::string& event);
    // The handler that the module registered under `name`, or null.
    HostServiceHandler registered(const std::string& name) const;
    // How often callService asked for `name`, offered or not.
    int callCount(const std::string& name) const;

    // Each call through the table as one line, before it is answered:
    // "subscribe NAME", "unsubscribe HANDLE", "register NAME",
    // "unregister HANDLE", "has NAME", "call NAME FIRST" (the first
    // argument in decimal; the second is an address the trace cannot show).
    using Trace = std::function<void(const std::string& line)>;
    void setTrace(Trace trace) { trace_ = std::move(trace); }

    // The eight "Profile/..." services over an in-memory store whose keys
    // are the full key paths.
    void offerProfileStore();
    std::map<std::u16string, std::u16string>& profile() { return profile_; }

private:
    static HostHandle NORVALT_CDECL subscribeEvent(const char* event, HostEventHandler handler);
    static void NORVALT_CDECL unsubscribeEvent(HostHandle subscription);
    static HostHandle NORVALT_CDECL registerService(const char* name, HostServiceHandler handler);
    static void NORVALT_CDECL unregisterService(HostHandle registration);
    static HostResult NORVALT_CDECL callService(const char* name, HostArg first, HostArg second);
    static std::int32_t NORVALT_CDECL hasService(const char* name);

    HostServices table_{};
    std::map<std::string, Service> services_;
    std::map<std::string, int> calls_;
    std::map<HostHandle, std::pair<std::string, HostEventHandler>> subscriptions_;
    std::map<HostHandle, std::pair<std::string, HostServiceHandler>> registrations_;
    void trace(const std::string& line) const
    {
        if (trace_) trace_(line);
    }

    HostHandle nextHandle_ = 1;
    Trace trace_;
    std::map<std::u16string, std::u16string> profile_;
    LocalHost* previous_ = nullptr;
};

} // namespace norvalt
