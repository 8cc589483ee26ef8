#pragma once
// The user-interface services of the tool's logic, done with Qt Widgets: modal message and
// input boxes over the active window, the override cursor, and the standard exception box.

#include "protocol/ui_services.h"

#include <QString>

class QWidget;

namespace ui::qt {

class QtUiServices : public protocol::UiServices {
public:
    // `title` is the application's title, the caption of the message boxes and of the exception
    // box (the main window's caption).
    explicit QtUiServices(QString title);
    ~QtUiServices() override;

    QtUiServices(const QtUiServices&) = delete;
    QtUiServices& operator=(const QtUiServices&) = delete;

    void ShowMessage(const std::string& text) override;
    std::string InputBox(const std::string& caption, const std::string& prompt,
                         const std::string& defaultText) override;
    void SetCursor(protocol::CursorShape shape) override;
    void ShowException(const std::string& message) override;

    const QString& Title() const { return title_; }
    bool HourglassShown() const { return hourglass_; }

private:
    QString title_;
    bool hourglass_ = false;
};

} // namespace ui::qt
