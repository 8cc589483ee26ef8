#pragma once
// Connects the serial component to the Win32 program for as long as this object lives: the
// event threads deliver through a Win32SyncDispatcher, and an exception that the component
// cannot raise to a caller (a handler's, under smWindowSync or on an event thread) is shown in
// the UI services' exception box on the user-interface thread. The destructor restores what was
// there before.

#include "serial/app_exception.h"

#include <memory>

namespace protocol {
class UiServices;
}

namespace serial {
class TSyncDispatcher;
}

namespace ui::win32 {

class Win32SyncDispatcher;

class SerialUiBridge {
public:
    // Made on the user-interface thread; ui must outlive this object.
    explicit SerialUiBridge(protocol::UiServices& ui);
    ~SerialUiBridge();
    SerialUiBridge(const SerialUiBridge&) = delete;
    SerialUiBridge& operator=(const SerialUiBridge&) = delete;

    Win32SyncDispatcher& Dispatcher() { return *dispatcher_; }

private:
    std::shared_ptr<Win32SyncDispatcher> dispatcher_;
    std::shared_ptr<serial::TSyncDispatcher> previousDispatcher_;
    serial::TApplicationExceptionHandler previousHandler_;
};

} // namespace ui::win32
