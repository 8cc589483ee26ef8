// The hidden window of smWindowSync: event messages travel from the event thread to the port's
// WindowMethod on the user-interface thread. Messages still queued when the window is
// destroyed are dropped, as a destroyed window's are.
#pragma once

#include <cstdint>
#include <memory>

namespace serial {

class TCustomComPort;
class TSyncDispatcher;

class TSyncWindow {
public:
    TSyncWindow(TCustomComPort& port, std::shared_ptr<TSyncDispatcher> dispatcher);
    ~TSyncWindow();
    TSyncWindow(const TSyncWindow&) = delete;
    TSyncWindow& operator=(const TSyncWindow&) = delete;

    // Queues a message for the window procedure and returns at once.
    void Post(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam);

private:
    struct State;
    std::shared_ptr<State> state_;
    std::shared_ptr<TSyncDispatcher> dispatcher_;
};

} // namespace serial
