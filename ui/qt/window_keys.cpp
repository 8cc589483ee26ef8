#include "ui/qt/window_keys.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>

namespace ui::qt {

bool HandleWindowKey(QWidget& window, QKeyEvent& event) {
    switch (event.key()) {
    case Qt::Key_Escape:
        event.accept();
        return true;
    case Qt::Key_Enter:
    case Qt::Key_Return:
        if (auto* button = qobject_cast<QPushButton*>(window.focusWidget());
            button != nullptr && button->isEnabled() && button->isVisible() &&
            window.isAncestorOf(button)) {
            button->click();
        }
        event.accept();
        return true;
    default:
        return false;
    }
}

} // namespace ui::qt
