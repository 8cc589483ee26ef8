#include "ui/win32/serial_ui_bridge.h"

#include "protocol/guarded_call.h"
#include "protocol/ui_services.h"
#include "ui/win32/win32_sync_dispatcher.h"

#include <exception>

namespace ui::win32 {

SerialUiBridge::SerialUiBridge(protocol::UiServices& ui)
    : dispatcher_(std::make_shared<Win32SyncDispatcher>()) {
    previousDispatcher_ = serial::SyncDispatcher();
    serial::SetSyncDispatcher(dispatcher_);
    // The box is shown on the user-interface thread: at once when the exception is raised
    // there (as the toolkit's handler does), otherwise through the message loop. The handler
    // holds the dispatcher only weakly, so an exception arriving after the bridge is gone is
    // dropped instead of reaching a destroyed window.
    std::weak_ptr<Win32SyncDispatcher> dispatcher = dispatcher_;
    protocol::UiServices* target = &ui;
    previousHandler_ =
        serial::SetApplicationExceptionHandler([dispatcher, target](std::exception_ptr error) {
            const auto show = [target, error] {
                protocol::GuardedCall(*target, [&error] { std::rethrow_exception(error); });
            };
            if (auto alive = dispatcher.lock()) {
                if (alive->InUiThread()) {
                    show();
                } else {
                    alive->Post(show);
                }
            }
        });
}

SerialUiBridge::~SerialUiBridge() {
    serial::SetApplicationExceptionHandler(previousHandler_);
    serial::SetSyncDispatcher(previousDispatcher_);
}

} // namespace ui::win32
