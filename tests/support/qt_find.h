#pragma once
// A control of a Qt window by its description's name, for tests that act as the user does on
// one control or read one; throws for a name the window does not have. Qt tests only.

#include <QWidget>

#include <stdexcept>
#include <string>

namespace testing_support {

template <class W = QWidget> W* Find(const QWidget& window, const char* name) {
    W* widget = window.findChild<W*>(QString::fromUtf8(name));
    if (widget == nullptr) {
        throw std::out_of_range(window.objectName().toStdString() + " has no " + name);
    }
    return widget;
}

} // namespace testing_support
