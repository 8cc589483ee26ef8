#pragma once
// Runs an event handler so that no exception leaves it: whatever escapes is shown in the
// standard exception box, as the windowing toolkit of the original tool did for every handler,
// and the window stays usable. The Qt side wraps each of its handlers with it, so no exception
// crosses the Qt event loop.

#include "protocol/ui_services.h"

#include <exception>
#include <utility>

namespace protocol {

// Returns true when the handler ran to its end, false when an exception was shown instead.
template <typename Handler> bool GuardedCall(UiServices& ui, Handler&& handler) noexcept {
    try {
        std::forward<Handler>(handler)();
        return true;
    } catch (const std::exception& error) {
        try {
            ui.ShowException(error.what());
        } catch (...) {
            // The box itself failed; there is nobody left to tell.
        }
    } catch (...) {
        // Not one of ours: shown like an exception with an empty message.
        try {
            ui.ShowException({});
        } catch (...) {
        }
    }
    return false;
}

} // namespace protocol
