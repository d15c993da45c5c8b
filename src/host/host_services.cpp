#include "host/host_services.h"

namespace norvalt {

namespace {
const HostServices* moduleTable = nullptr;
}

bool Host::hasService(const char* service) const
{
    return table_ && table_->hasService && table_->hasService(service) != 0;
}

HostResult Host::callService(const char* service, HostArg first, HostArg second) const
{
    if (!table_ || !table_->callService) return ServiceNotFound;
    return table_->callService(service, first, second);
}

void setHostServices(const HostServices* table)
{
    moduleTable = table;
}

Host host()
{
    return Host(moduleTable);
}

} // namespace norvalt
