#include "ui/qt/qt_ui_services.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

#include <utility>

namespace ui::qt {

namespace {

// Dialogs belong to whichever window is in front (the calibration window while it is up), so
// they stay above it and block it.
QWidget* DialogParent() {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    return QApplication::activeWindow();
}

void ShowBox(QMessageBox::Icon icon, const QString& title, const QString& text) {
    QMessageBox box(icon, title, text, QMessageBox::Ok, DialogParent());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

QtUiServices::QtUiServices(QString title) : title_(std::move(title)) {}

QtUiServices::~QtUiServices() {
    if (hourglass_) {
        QApplication::restoreOverrideCursor();
    }
}

void QtUiServices::ShowMessage(const std::string& text) {
    ShowBox(QMessageBox::NoIcon, title_, QString::fromStdString(text));
}

std::string QtUiServices::InputBox(const std::string& caption, const std::string& prompt,
                                   const std::string& defaultText) {
    QInputDialog dialog(DialogParent());
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(QString::fromStdString(caption));
    dialog.setLabelText(QString::fromStdString(prompt));
    dialog.setTextValue(QString::fromStdString(defaultText));
    if (dialog.exec() == QDialog::Accepted) {
        return dialog.textValue().toStdString();
    }
    return defaultText;
}

void QtUiServices::SetCursor(protocol::CursorShape shape) {
    // The override cursor is a stack; keep at most one entry of ours on it.
    const bool wantHourglass = shape == protocol::CursorShape::Hourglass;
    if (wantHourglass == hourglass_) {
        return;
    }
    if (wantHourglass) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
    hourglass_ = wantHourglass;
}

void QtUiServices::ShowException(const std::string& message) {
    ShowBox(QMessageBox::Critical, title_,
            QString::fromStdString(protocol::ExceptionBoxText(message)));
}

} // namespace ui::qt
