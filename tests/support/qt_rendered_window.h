#pragma once
// A window built with Qt Widgets as the renderer conformance suite reads it: every control is
// the widget whose object name is the control's, and everything is read from the widgets
// themselves (geometry, window flags, fonts, the focus chain, font metrics and the style's
// margins for the captions). Qt tests only.

#include "tests/ui/rendered_window.h"
#include "ui/qt/page_control.h"
#include "ui/qt/radio_group.h"
#include "ui/qt/status_bar.h"
#include "ui/qt/up_down.h"
#include "ui/window_scale.h"

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

#include <stdexcept>

namespace testing_support {

class QtRenderedWindow : public conformance::RenderedWindow {
public:
    QtRenderedWindow(QWidget& window, const ui::FormSpec& design)
        : window_(window), design_(design) {}

    const ui::FormSpec& Design() const override { return design_; }
    // Qt scales a window with its screen by itself; the renderer draws the description smaller
    // only where the scaled window would not fit. The window's client size tells which.
    int LayoutDpi() const override {
        for (int dpi = ui::kDesignDpi; dpi >= ui::kSmallestLayoutDpi / 2; --dpi) {
            if (ui::ScaleLength(design_.clientWidth, dpi) == window_.width() &&
                ui::ScaleLength(design_.clientHeight, dpi) == window_.height()) {
                return dpi;
            }
        }
        return 0;
    }
    void Show() override {
        window_.show();
        if (!QTest::qWaitForWindowExposed(&window_)) {
            throw std::runtime_error(design_.name + " was not shown");
        }
    }
    void ShowPage(const std::string& pageControl, int index) override {
        As<ui::qt::PageControl>(pageControl)->setCurrentIndex(index);
        QCoreApplication::processEvents();
    }

    std::string Caption() const override { return window_.windowTitle().toStdString(); }
    conformance::Box Client() const override { return {0, 0, window_.width(), window_.height()}; }
    conformance::FrameButtons Buttons() const override {
        const Qt::WindowFlags flags = window_.windowFlags();
        return {.closeBox = flags.testFlag(Qt::WindowCloseButtonHint),
                .minimiseBox = flags.testFlag(Qt::WindowMinimizeButtonHint),
                .maximiseBox = flags.testFlag(Qt::WindowMaximizeButtonHint),
                .resizable = window_.minimumSize() != window_.maximumSize()};
    }
    conformance::Box Outer() const override { return BoxOf(window_.frameGeometry()); }
    conformance::Box WorkArea() const override {
        return BoxOf(window_.screen()->availableGeometry());
    }
    conformance::Face WindowFace() const override { return FaceOf(window_.font()); }
    bool HasFace(const std::string& family) const override {
        return QFontDatabase::families().contains(QString::fromStdString(family));
    }

    bool Exists(const std::string& name) const override { return Find(name) != nullptr; }
    ui::ControlKind Kind(const std::string& name) const override {
        const QWidget* widget = Widget(name);
        if (widget->inherits("ui::qt::PageControl")) {
            return ui::ControlKind::PageControl;
        }
        if (widget->inherits("ui::qt::RadioGroup")) {
            return ui::ControlKind::RadioGroup;
        }
        if (widget->inherits("ui::qt::UpDown")) {
            return ui::ControlKind::UpDown;
        }
        if (widget->inherits("ui::qt::StatusBar")) {
            return ui::ControlKind::StatusBar;
        }
        if (widget->inherits("QGroupBox")) {
            return ui::ControlKind::GroupBox;
        }
        if (widget->inherits("QPushButton")) {
            return ui::ControlKind::Button;
        }
        if (widget->inherits("QLineEdit")) {
            return ui::ControlKind::Edit;
        }
        if (widget->inherits("QComboBox")) {
            return ui::ControlKind::ComboBox;
        }
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            // A picture is drawn scaled to its box; a caption never is.
            return label->hasScaledContents() ? ui::ControlKind::Picture : ui::ControlKind::Label;
        }
        return PagesOf(widget) != nullptr ? ui::ControlKind::TabSheet : ui::ControlKind::Label;
    }
    std::string Parent(const std::string& name) const override {
        const QWidget* widget = Widget(name);
        if (const ui::qt::PageControl* pages = PagesOf(widget)) {
            return pages->objectName().toStdString();
        }
        const QWidget* parent = widget->parentWidget();
        return parent == &window_ || parent == nullptr ? std::string()
                                                       : parent->objectName().toStdString();
    }
    conformance::Box Place(const std::string& name) const override {
        return BoxOf(Widget(name)->geometry());
    }
    conformance::Box Inside(const std::string& name) const override {
        return BoxOf(name.empty() ? window_.rect() : Widget(name)->rect());
    }
    std::string Text(const std::string& name) const override {
        const QWidget* widget = Widget(name);
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            return label->text().toStdString();
        }
        if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
            return button->text().toStdString();
        }
        if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
            return edit->text().toStdString();
        }
        if (const auto* box = qobject_cast<const QComboBox*>(widget)) {
            return box->currentText().toStdString();
        }
        if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
            return group->title().toStdString();
        }
        if (const ui::qt::PageControl* pages = PagesOf(widget)) {
            return pages->tabText(pages->indexOf(const_cast<QWidget*>(widget))).toStdString();
        }
        return {};
    }
    std::vector<std::string> Items(const std::string& name) const override {
        std::vector<std::string> items;
        const QWidget* widget = Widget(name);
        if (const auto* box = qobject_cast<const QComboBox*>(widget)) {
            for (int i = 0; i < box->count(); ++i) {
                items.push_back(box->itemText(i).toStdString());
            }
        } else if (const auto* group = qobject_cast<const ui::qt::RadioGroup*>(widget)) {
            for (int i = 0; i < group->Count(); ++i) {
                items.push_back(group->Button(i)->text().toStdString());
            }
        } else if (const auto* bar = qobject_cast<const ui::qt::StatusBar*>(widget)) {
            for (int i = 0; i < bar->PanelCount(); ++i) {
                items.push_back(bar->PanelText(i).toStdString());
            }
        }
        return items;
    }
    int SelectedItem(const std::string& name) const override {
        const QWidget* widget = Widget(name);
        if (const auto* box = qobject_cast<const QComboBox*>(widget)) {
            return box->currentIndex();
        }
        if (const auto* group = qobject_cast<const ui::qt::RadioGroup*>(widget)) {
            return group->ItemIndex();
        }
        if (const auto* pages = qobject_cast<const ui::qt::PageControl*>(widget)) {
            return pages->currentIndex();
        }
        if (const auto* upDown = qobject_cast<const ui::qt::UpDown*>(widget)) {
            return upDown->Position();
        }
        return -1;
    }
    conformance::Face FaceOf(const std::string& name) const override {
        return FaceOf(Widget(name)->font());
    }
    bool Enabled(const std::string& name) const override { return Widget(name)->isEnabled(); }
    bool Visible(const std::string& name) const override { return !Widget(name)->isHidden(); }
    bool OnScreen(const std::string& name) const override { return Widget(name)->isVisible(); }
    // Later siblings are drawn over earlier ones.
    bool Above(const std::string& upper, const std::string& lower) const override {
        const QWidget* top = Widget(upper);
        const QWidget* bottom = Widget(lower);
        const QObjectList& siblings = top->parentWidget()->children();
        return top->parentWidget() == bottom->parentWidget() &&
               siblings.indexOf(top) > siblings.indexOf(bottom);
    }
    conformance::Box PictureSize(const std::string& name) const override {
        const auto* label = As<QLabel>(name);
        if (label->pixmap().isNull()) {
            return {};
        }
        return BoxOf(label->hasScaledContents() ? label->contentsRect()
                                                : QRect(QPoint(), label->pixmap().size()));
    }

    std::string Focused() const override { return NameOf(window_.focusWidget()); }
    // The focus chain as Tab follows it: widgets that take the focus by Tab, on screen and
    // enabled, without a proxy.
    std::vector<std::string> TabWalk() override {
        std::vector<std::string> names;
        QWidget* start = window_.focusWidget() != nullptr ? window_.focusWidget() : &window_;
        QWidget* widget = start;
        int guard = 0;
        do {
            if ((widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled() &&
                widget->isVisible() && widget->focusProxy() == nullptr &&
                window_.isAncestorOf(widget)) {
                const std::string name = NameOf(widget);
                if (names.empty() || names.back() != name) {
                    names.push_back(name);
                }
            }
            widget = widget->nextInFocusChain();
        } while (widget != start && ++guard < 500);
        return names;
    }
    std::vector<conformance::Caption> Captions() const override {
        std::vector<conformance::Caption> captions;
        const auto add = [&captions](const QWidget* widget, const QString& text, int room) {
            captions.push_back({widget->objectName().toStdString(), text.toStdString(),
                                widget->fontMetrics().horizontalAdvance(text), room});
        };
        for (const QPushButton* button : window_.findChildren<QPushButton*>()) {
            if (button->isVisible()) {
                QStyleOptionButton option;
                option.initFrom(button);
                option.rect = button->rect();
                option.text = button->text();
                add(button, button->text(),
                    button->style()
                        ->subElementRect(QStyle::SE_PushButtonContents, &option, button)
                        .width());
            }
        }
        for (const QLabel* label : window_.findChildren<QLabel*>()) {
            if (label->isVisible() && !label->text().isEmpty()) {
                add(label, label->text(), label->contentsRect().width());
            }
        }
        for (const QGroupBox* group : window_.findChildren<QGroupBox*>()) {
            // The title sits in the frame with a few pixels of frame on either side.
            if (group->isVisible()) {
                add(group, group->title(), group->width() - 16);
            }
        }
        for (const QRadioButton* radio : window_.findChildren<QRadioButton*>()) {
            if (radio->isVisible()) {
                add(radio, radio->text(),
                    radio->width() - radio->style()->pixelMetric(QStyle::PM_IndicatorWidth) -
                        radio->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing));
            }
        }
        return captions;
    }

private:
    static conformance::Box BoxOf(const QRect& rect) {
        return {rect.x(), rect.y(), rect.width(), rect.height()};
    }
    static conformance::Face FaceOf(const QFont& font) {
        return {font.families().value(0).toStdString(), font.pixelSize()};
    }
    // The page control a tab sheet is a page of; null for every other widget.
    static const ui::qt::PageControl* PagesOf(const QWidget* widget) {
        for (const QWidget* up = widget->parentWidget(); up != nullptr; up = up->parentWidget()) {
            if (const auto* pages = qobject_cast<const ui::qt::PageControl*>(up)) {
                return pages->indexOf(const_cast<QWidget*>(widget)) >= 0 ? pages : nullptr;
            }
        }
        return nullptr;
    }
    QWidget* Find(const std::string& name) const {
        return window_.findChild<QWidget*>(QString::fromStdString(name));
    }
    QWidget* Widget(const std::string& name) const {
        QWidget* widget = Find(name);
        if (widget == nullptr) {
            throw std::out_of_range(design_.name + " has no widget " + name);
        }
        return widget;
    }
    template <class W> W* As(const std::string& name) const {
        return qobject_cast<W*>(Widget(name));
    }
    // The control a widget is, or belongs to (a list's edit field, a radio group's button).
    std::string NameOf(const QWidget* widget) const {
        for (; widget != nullptr && widget != &window_; widget = widget->parentWidget()) {
            const std::string name = widget->objectName().toStdString();
            for (const ui::ControlSpec& control : design_.controls) {
                if (control.name == name) {
                    return name;
                }
            }
        }
        return {};
    }

    QWidget& window_;
    const ui::FormSpec& design_;
};

} // namespace testing_support
