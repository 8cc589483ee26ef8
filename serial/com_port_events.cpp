// The port's side of the event thread: starting and stopping it, waiting for events without it,
// and the hidden window's procedure.
#include "serial/com_port.h"

#include <stdexcept>

namespace serial {

void TCustomComPort::StartEventThread() {
    watchThreadRunning_ = false;
}

void TCustomComPort::StopEventThread() {
    watchThreadRunning_ = false;
}

void TCustomComPort::WaitForEvent(TComEvents& /*events*/, void* /*stopEvent*/, int /*timeout*/) {
    throw std::logic_error("WaitForEvent is not available yet");
}

void TCustomComPort::WindowMethod(TMessage& message) {
    message.Result = 0;
}

} // namespace serial
