#pragma once
// Runs the message loop of the test's thread (the user-interface thread of the windows under
// test) until a condition holds or a time has passed.

#include "ui/win32/message_loop.h"

#include <windows.h>

#include <chrono>
#include <functional>
#include <thread>

namespace lirat_test {

inline bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        ui::win32::PumpWaitingMessages();
        if (done()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= until) {
            return false;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

inline void PumpFor(int milliseconds) {
    PumpUntil([] { return false; }, milliseconds);
}

} // namespace lirat_test
