#pragma once
// The user-interface services on Win32: MessageBoxW with the application's title, OK and no
// icon; the tool's own input box; the hourglass over all of the tool's windows; the standard
// exception box (error icon, the message with its full stop).

#include "protocol/ui_services.h"

#include <string>

namespace ui::win32 {

class Win32UiServices : public protocol::UiServices {
public:
    explicit Win32UiServices(std::string title);
    ~Win32UiServices() override;

    void ShowMessage(const std::string& text) override;
    std::string InputBox(const std::string& caption, const std::string& prompt,
                         const std::string& defaultText) override;
    void SetCursor(protocol::CursorShape shape) override;
    void ShowException(const std::string& message) override;

    const std::string& Title() const { return title_; }

private:
    std::string title_;
};

} // namespace ui::win32
