#pragma once
// The edge between the system's message dispatch (the host's message loop)
// and the module's code. Every window procedure, dialog procedure and
// callback runs its handler through guardWindowEdge: whatever the handler
// throws is told to the user through the notifier, and the window answers
// `fallback` and lives on. No exception reaches the host.
#include <exception>
#include <utility>

#include "text/user_notifier.h"

namespace norvalt {

// Tells the user of a failure that reached a window's edge (string 202 with
// the failure's own text, if it has one). While one such notice is on the
// screen, further ones are dropped: a handler that fails on every paint
// would otherwise stack message boxes without end.
void tellFailureAtWindowEdge(NoticeOwner owner, const char* what) noexcept;

template <class Result, class Handler>
Result guardWindowEdge(void* window, Result fallback, Handler&& handler) noexcept
{
    try {
        return std::forward<Handler>(handler)();
    } catch (const std::exception& failure) {
        tellFailureAtWindowEdge({window}, failure.what());
    } catch (...) {
        tellFailureAtWindowEdge({window}, nullptr);
    }
    return fallback;
}

} // namespace norvalt
