#include "serial/sync_window.h"

#include "serial/com_port.h"
#include "serial/sync_dispatcher.h"

#include <atomic>

namespace serial {

struct TSyncWindow::State {
    TCustomComPort* port = nullptr;
    std::atomic<bool> alive{true};
};

TSyncWindow::TSyncWindow(TCustomComPort& port, std::shared_ptr<TSyncDispatcher> dispatcher)
    : state_(std::make_shared<State>()), dispatcher_(std::move(dispatcher)) {
    state_->port = &port;
}

TSyncWindow::~TSyncWindow() {
    state_->alive = false;
}

void TSyncWindow::Post(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) {
    std::shared_ptr<State> state = state_;
    dispatcher_->Post([state, msg, wParam, lParam] {
        if (!state->alive)
            return;
        TMessage message;
        message.Msg = msg;
        message.WParam = wParam;
        message.LParam = lParam;
        state->port->WindowMethod(message);
    });
}

} // namespace serial
