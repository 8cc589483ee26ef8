#pragma once
// Reads the system's font configuration on a thread of its own while the application object
// starts. Where Qt's fonts come from fontconfig, reading its configuration (dozens of XML
// files) is the largest single piece of the start-up before the main window is shown, and
// nothing needs it before the first window is built; the application object meanwhile loads
// its platform plug-in and connects to the display, work that waits more than it computes.
// Elsewhere this does nothing.

#include <thread>

namespace ui::qt {

class FontConfigurationPreload {
public:
    // Starts the reading; made before the QApplication.
    FontConfigurationPreload();
    // Waits for it, if still running.
    ~FontConfigurationPreload();
    FontConfigurationPreload(const FontConfigurationPreload&) = delete;
    FontConfigurationPreload& operator=(const FontConfigurationPreload&) = delete;

    // Waits until the configuration is read; called before the first window is built, so the
    // font database never reads it a second time beside this thread. True when it was read
    // ahead, false where Qt's fonts do not come from fontconfig.
    bool Wait();

private:
    bool read_ = false; // before the thread that sets it
    std::thread thread_;
};

} // namespace ui::qt
