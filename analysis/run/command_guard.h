#pragma once
// Runs a command handler so that no exception leaves it: an error that ends
// the command is shown to the user in an error box instead. Every handler
// called from the toolkit's event loop goes through this.
#include <exception>
#include <utility>

#include "analysis/run/run_failure.h"
#include "foundation/messages.h"

namespace platform {

// Returns true if the handler ran to its end.
template <class Handler>
bool RunCommand(Handler&& handler) noexcept
{
    try {
        std::forward<Handler>(handler)();
        return true;
    } catch (...) {
        try { ShowError(CommandFailureMessage(std::current_exception())); } catch (...) {}
    }
    return false;
}

// RunCommand, unless a command of the same window is still running: a click
// can arrive while that command waits in a nested event loop (a dialog, a
// run off the interface thread) and is then ignored. `running` is the
// window's flag.
template <class Handler>
bool RunCommandOnce(bool& running, Handler&& handler) noexcept
{
    if (running) return false;
    running = true;
    const bool completed = RunCommand(std::forward<Handler>(handler));
    running = false;
    return completed;
}

}  // namespace platform
