#pragma once
// A window described as data, built with Qt Widgets: the renderer creates every control of a
// ui::FormSpec in the given window, with its place, size, caption, items, tab order, initial
// state and font, and hands the window's logic ui::Control adapters over the widgets. The
// adapters keep the rules both windows share: labels that size themselves grow with their
// caption, fixed-size labels shrink their font until the caption fits, items selected from code
// raise no change event, and the captions of labels name the controls they label.

#include "ui/control.h"
#include "ui/form_events.h"
#include "ui/form_spec.h"

#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace ui::qt {

// The bytes of a picture's image file (any format Qt reads, e.g. a Windows bitmap) by the
// picture's name in the description; empty when there is none.
using PictureSource = std::function<std::span<const std::uint8_t>(std::string_view name)>;

class QtForm final : public ControlSet {
public:
    // Gives `window` the description's frame (caption, fixed client size, frame kind, face and
    // font) and creates every control in it; `window` owns the widgets. Qt scales the window
    // with its screen; where the window would then not fit the screen's available area, the
    // description is drawn smaller (FittingLayoutDpi), places, sizes and fonts alike.
    QtForm(const FormSpec& spec, QWidget& window, PictureSource pictures = {});
    ~QtForm() override;
    QtForm(const QtForm&) = delete;
    QtForm& operator=(const QtForm&) = delete;

    Control& operator[](const std::string& name) override;
    using ControlSet::operator[];

    // The widget of a control (a tab sheet's page); throws std::out_of_range for a name the
    // description does not have.
    QWidget* Widget(const std::string& name) const;
    template <class W> W* As(const std::string& name) const {
        return qobject_cast<W*>(Widget(name));
    }

    // Reports every control's events to `events` by the control's name, as its kind raises
    // them (ui::Raises): a button's click, a combo box's change by the user (choosing an item
    // with the mouse or the keys; never a selection from code), and a page control's changing,
    // which `events` may refuse. `events` must outlive the window's widgets.
    void SendEventsTo(EventSink& events);

    // Gives the focus to the first tab stop of the window, as a window shown for the first time
    // has it.
    void FocusFirstTabStop();

    // The description as drawn: at 96 dots per inch, or at LayoutDpi where the window would not
    // have fitted its screen. The controls' left edges (Left, SetLeft) stay in the description's
    // own pixels.
    const FormSpec& Spec() const { return spec_; }
    int LayoutDpi() const { return layoutDpi_; }

private:
    void Create(const ControlSpec& control, PictureSource& pictures);
    void Connect();
    void SetTabOrder();
    void UpdateAccessibleNames(const std::string& labelName);

    int layoutDpi_;
    const FormSpec& design_;
    const FormSpec spec_;
    QWidget& window_;
    std::map<std::string, QWidget*> widgets_;
    std::map<std::string, std::unique_ptr<Control>> controls_;
};

// The description's UTF-8 texts as Qt's and back.
QString ToQt(std::string_view text);
std::string FromQt(const QString& text);

// Places a window in the centre of its screen's available area (the primary screen's before it
// has a screen), and wholly inside it where it fits.
void CentreOnScreen(QWidget& window);

// The resolution, in the description's pixels per inch, a window of `spec` is drawn at on the
// screen of `window`: 96, which Qt scales with the screen, or less where the window scaled by
// Qt would not fit the screen's available area (ui/window_scale.h, in the screen's own pixels).
int FittingLayoutDpi(const FormSpec& spec, const QWidget& window);

} // namespace ui::qt
