#include "ui/form_events.h"

namespace ui {

bool Raises(ControlKind kind, FormEvent event) {
    switch (kind) {
    case ControlKind::Button:
        return event == FormEvent::Click;
    case ControlKind::ComboBox:
        return event == FormEvent::Change;
    case ControlKind::PageControl:
        return event == FormEvent::Changing;
    default:
        return false;
    }
}

bool IsWindowEvent(FormEvent event) {
    return event == FormEvent::Show || event == FormEvent::Close || event == FormEvent::Timer;
}

const char* EventName(FormEvent event) {
    switch (event) {
    case FormEvent::Click:
        return "Click";
    case FormEvent::Change:
        return "Change";
    case FormEvent::Changing:
        return "Changing";
    case FormEvent::Show:
        return "Show";
    case FormEvent::Close:
        return "Close";
    case FormEvent::Timer:
        return "Timer";
    }
    return "?";
}

} // namespace ui
