#include "serial/signal_event.h"

#include "serial/backend.h"

#include <string>
#include <system_error>

namespace serial {

TSignalEvent::TSignalEvent(bool manualReset, bool initialState) {
    if (int err = backend::CreateSignalEvent(manualReset, initialState, event_); err != 0)
        throw std::system_error(err, std::system_category(), "event");
}

TSignalEvent::~TSignalEvent() {
    backend::DestroySignalEvent(event_);
}

void TSignalEvent::Set() {
    backend::SetSignalEvent(event_);
}

void TSignalEvent::Reset() {
    backend::ResetSignalEvent(event_);
}

} // namespace serial
