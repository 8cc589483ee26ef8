// An event object a caller can hand to TCustomComPort::WaitForEvent as its stop event.
#pragma once

namespace serial {

namespace backend {
struct Event;
} // namespace backend

class TSignalEvent {
public:
    explicit TSignalEvent(bool manualReset = true, bool initialState = false);
    ~TSignalEvent();
    TSignalEvent(const TSignalEvent&) = delete;
    TSignalEvent& operator=(const TSignalEvent&) = delete;

    void Set();
    void Reset();
    backend::Event* Handle() const { return event_; }

private:
    backend::Event* event_ = nullptr;
};

} // namespace serial
