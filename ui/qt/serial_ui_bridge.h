#pragma once
// Connects the serial component to the Qt application for as long as this object lives: the
// event threads deliver through a QtSyncDispatcher, and an exception that the component cannot
// raise to a caller (a handler's, under smWindowSync or on an event thread) is shown in the UI
// services' exception box on the GUI thread. The destructor restores what was there before.

#include "serial/app_exception.h"

#include <memory>

namespace protocol {
class UiServices;
}

namespace serial {
class TSyncDispatcher;
}

namespace ui::qt {

class SerialUiBridge {
public:
    // Made on the GUI thread; ui must outlive this object.
    explicit SerialUiBridge(protocol::UiServices& ui);
    ~SerialUiBridge();
    SerialUiBridge(const SerialUiBridge&) = delete;
    SerialUiBridge& operator=(const SerialUiBridge&) = delete;

    struct Shown; // where exceptions go, shared with the installed handler

private:
    std::shared_ptr<Shown> shown_;
    std::shared_ptr<serial::TSyncDispatcher> previousDispatcher_;
    serial::TApplicationExceptionHandler previousHandler_;
};

} // namespace ui::qt
