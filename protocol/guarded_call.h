#pragma once
// Runs an event handler so that no exception leaves it: whatever escapes is shown in the
// standard exception box, as the windowing toolkit of the original tool did for every handler,
// and the window stays usable. The Qt side wraps each of its handlers with it, so no exception
// crosses the Qt event loop.

#include "protocol/exchange_engine.h"
#include "protocol/ui_services.h"

#include <exception>
#include <string>
#include <utility>

namespace protocol {

namespace detail {

// describe gives the text the box shows for an exception.
template <typename Handler, typename Describe>
bool Guarded(UiServices& ui, Handler&& handler, Describe&& describe) noexcept {
    try {
        std::forward<Handler>(handler)();
        return true;
    } catch (const std::exception& error) {
        try {
            ui.ShowException(describe(error));
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

} // namespace detail

// Returns true when the handler ran to its end, false when an exception was shown instead. An
// exception shows its own message.
template <typename Handler> bool GuardedCall(UiServices& ui, Handler&& handler) noexcept {
    return detail::Guarded(ui, std::forward<Handler>(handler),
                           [](const std::exception& error) { return std::string(error.what()); });
}

// A handler of a window that drives the engine: the port's errors (a port that cannot be opened,
// a first command it cannot send) read as the engine tells them, explained.
template <typename Handler>
bool GuardedCall(UiServices& ui, const ExchangeEngine& engine, Handler&& handler) noexcept {
    return detail::Guarded(ui, std::forward<Handler>(handler),
                           [&engine](const std::exception& e) { return engine.ErrorText(e); });
}

} // namespace protocol
