#pragma once
// The few modal services of the windowing toolkit that the tool's logic relies on. The logic
// (engine, transactions, calibration) calls them through this interface only, so it runs and is
// tested without a display: the application installs a Qt implementation, tests a scripted one.

#include <string>

namespace protocol {

enum class CursorShape { Default, Hourglass };

class UiServices {
public:
    virtual ~UiServices() = default;

    // Modal box with the text, one OK button and no icon; a line feed starts a new line.
    virtual void ShowMessage(const std::string& text) = 0;

    // Modal input dialog with OK and Cancel: the edited text on OK, `defaultText` on Cancel.
    virtual std::string InputBox(const std::string& caption, const std::string& prompt,
                                 const std::string& defaultText) = 0;

    // The screen cursor: the hourglass while a transaction runs, the arrow otherwise.
    virtual void SetCursor(CursorShape shape) = 0;

    // The toolkit's standard exception box: the application's title as caption, an error icon,
    // the message with a full stop appended when its last character's code is above '.'.
    virtual void ShowException(const std::string& message) = 0;
};

// The text the standard exception box shows for a message (the full-stop rule).
inline std::string ExceptionBoxText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') {
        return message + ".";
    }
    return message;
}

} // namespace protocol
