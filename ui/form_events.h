#pragma once
// What the user does to a window, as every toolkit's renderer reports it: "control X raised
// event E", by the description's name, whatever the control. The renderers decide by the
// control's kind which events it raises, and the window's event table (ui/event_dispatcher.h)
// decides which handler of the window's logic answers; so no front end names a control to
// wire it.

#include "ui/form_spec.h"

#include <string>

namespace ui {

enum class FormEvent {
    Click,    // a push button was pressed (mouse, Space, Enter on the focused button)
    Change,   // the user chose an item of a combo box; a selection made from code is none
    Changing, // the user is leaving the active page of a page control; the handler may refuse
    Show,     // the window is being shown
    Close,    // the window is closing
    Timer,    // the window's timer ticked
};

// Whether a control of `kind` raises `event`. Show, Close and Timer are the window's own and
// are raised by no control.
bool Raises(ControlKind kind, FormEvent event);
bool IsWindowEvent(FormEvent event);
// The event's name, for the texts of programming errors.
const char* EventName(FormEvent event);

class EventSink {
public:
    virtual ~EventSink() = default;
    // `control` is the description's name of the control, empty for the window's own events.
    // Returns false where a Changing handler refuses the change, true otherwise.
    virtual bool Raise(const std::string& control, FormEvent event) = 0;
};

} // namespace ui
