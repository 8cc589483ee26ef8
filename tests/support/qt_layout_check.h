#pragma once
// How a window built with Qt differs from its description: for every control of the
// description, the widget of that name, its parent, its class, its place and size, its text,
// its enabled and visible state and its font height. Labels that size themselves start at their
// layout place and height and may only be wider; every other control has exactly its layout box.
// Checked before the window is shown, when every control still has its layout's text. Qt tests
// only.

#include "ui/form_spec.h"
#include "ui/qt/page_control.h"
#include "ui/qt/radio_group.h"
#include "ui/qt/status_bar.h"
#include "ui/qt/up_down.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QWidget>

namespace testing_support {

inline const char* QtClassOf(ui::ControlKind kind) {
    switch (kind) {
    case ui::ControlKind::Label:
    case ui::ControlKind::Picture:
        return "QLabel";
    case ui::ControlKind::Button:
        return "QPushButton";
    case ui::ControlKind::Edit:
        return "QLineEdit";
    case ui::ControlKind::ComboBox:
        return "QComboBox";
    case ui::ControlKind::GroupBox:
        return "QGroupBox";
    case ui::ControlKind::RadioGroup:
        return "ui::qt::RadioGroup";
    case ui::ControlKind::UpDown:
        return "ui::qt::UpDown";
    case ui::ControlKind::StatusBar:
        return "ui::qt::StatusBar";
    case ui::ControlKind::PageControl:
        return "ui::qt::PageControl";
    case ui::ControlKind::TabSheet:
        return "QWidget";
    }
    return "";
}

inline QString TextOf(const QWidget* widget) {
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        return label->text();
    }
    if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
        return button->text();
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        return edit->text();
    }
    if (const auto* box = qobject_cast<const QComboBox*>(widget)) {
        return box->currentText();
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
        return group->title();
    }
    // A page: its tab's caption.
    for (const QWidget* up = widget->parentWidget(); up != nullptr; up = up->parentWidget()) {
        if (const auto* pages = qobject_cast<const ui::qt::PageControl*>(up)) {
            const int index = pages->indexOf(const_cast<QWidget*>(widget));
            return index >= 0 ? pages->tabText(index) : QString();
        }
    }
    return {};
}

inline QStringList LayoutDifferences(const ui::FormSpec& form, const QWidget& window) {
    QStringList differences;
    const auto differ = [&differences](const std::string& name, const QString& what) {
        differences << QString::fromStdString(name) + QStringLiteral(": ") + what;
    };
    for (const ui::ControlSpec& control : form.controls) {
        const QString name = QString::fromStdString(control.name);
        const auto* widget = window.findChild<const QWidget*>(name);
        if (widget == nullptr) {
            differ(control.name, QStringLiteral("missing"));
            continue;
        }
        if (!widget->inherits(QtClassOf(control.kind))) {
            differ(control.name, QStringLiteral("is a ") + widget->metaObject()->className());
        }
        if (control.kind != ui::ControlKind::TabSheet) {
            const QString parent =
                QString::fromStdString(control.parent.empty() ? form.name : control.parent);
            if (widget->parentWidget() == nullptr ||
                widget->parentWidget()->objectName() != parent) {
                differ(control.name, QStringLiteral("wrong parent"));
            }
            const QRect layout(control.left, control.top, control.width, control.height);
            const QRect actual = widget->geometry();
            const bool grows = control.kind == ui::ControlKind::Label && control.autoSize;
            const bool fits = grows ? actual.topLeft() == layout.topLeft() &&
                                          actual.height() == layout.height() &&
                                          actual.width() >= layout.width()
                                    : actual == layout;
            if (!fits) {
                differ(control.name, QStringLiteral("at %1,%2 %3x%4")
                                         .arg(actual.x())
                                         .arg(actual.y())
                                         .arg(actual.width())
                                         .arg(actual.height()));
            }
        }
        if (TextOf(widget) != QString::fromStdString(control.text)) {
            differ(control.name, QStringLiteral("text \"%1\"").arg(TextOf(widget)));
        }
        // A page control shows one page at a time; its pages' visibility is its own.
        const bool hidden =
            control.kind != ui::ControlKind::TabSheet && widget->isHidden() == control.visible;
        if (widget->isEnabled() != control.enabled || hidden) {
            differ(control.name, QStringLiteral("wrong enabled or visible state"));
        }
        const int fontHeight = control.fontHeight > 0 ? control.fontHeight : form.fontHeight;
        if (widget->font().pixelSize() != fontHeight) {
            differ(control.name, QStringLiteral("font %1 px").arg(widget->font().pixelSize()));
        }
    }
    return differences;
}

} // namespace testing_support
