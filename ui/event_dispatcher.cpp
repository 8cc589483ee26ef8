#include "ui/event_dispatcher.h"

#include <set>
#include <stdexcept>

namespace ui {

namespace {

constexpr FormEvent kControlEvents[] = {FormEvent::Click, FormEvent::Change, FormEvent::Changing};
constexpr FormEvent kRequiredWindowEvents[] = {FormEvent::Show, FormEvent::Close};

const ControlSpec* Find(const FormSpec& form, std::string_view name) {
    for (const ControlSpec& control : form.controls) {
        if (control.name == name) {
            return &control;
        }
    }
    return nullptr;
}

// "Form1: ButtonRead Click", the subject of a fault.
std::string Where(std::string_view form, std::string_view control, FormEvent event) {
    return std::string(form) + ": " + (control.empty() ? "the window" : std::string(control)) +
           " " + EventName(event);
}

} // namespace

std::vector<std::string> BindingFaults(const FormSpec& form, std::span<const BoundEvent> table) {
    std::vector<std::string> faults;
    std::set<std::pair<std::string_view, FormEvent>> bound;
    for (const BoundEvent& row : table) {
        const std::string where = Where(form.name, row.control, row.event) + ": ";
        if (!bound.insert({row.control, row.event}).second) {
            faults.push_back(where + "bound twice");
        }
        if (row.answers != (row.event == FormEvent::Changing)) {
            faults.push_back(where + (row.answers
                                          ? "its handler answers, as only a Changing one may"
                                          : "its handler must answer whether to change"));
        }
        if (row.control.empty()) {
            if (!IsWindowEvent(row.event)) {
                faults.push_back(where + "raised by controls, not by the window");
            }
        } else if (const ControlSpec* control = Find(form, row.control); control == nullptr) {
            faults.push_back(where + "the description has no such control");
        } else if (!Raises(control->kind, row.event)) {
            faults.push_back(where + "a control of its kind raises no such event");
        }
    }
    for (const ControlSpec& control : form.controls) {
        for (const FormEvent event : kControlEvents) {
            if (Raises(control.kind, event) && bound.count({control.name, event}) == 0) {
                faults.push_back(Where(form.name, control.name, event) + ": nothing handles it");
            }
        }
    }
    for (const FormEvent event : kRequiredWindowEvents) {
        if (bound.count({std::string_view(), event}) == 0) {
            faults.push_back(Where(form.name, {}, event) + ": nothing handles it");
        }
    }
    return faults;
}

void EventDispatcher::Check(const FormSpec& form, const std::vector<BoundEvent>& bound) {
    const std::vector<std::string> faults = BindingFaults(form, bound);
    if (!faults.empty()) {
        std::string text = "The event table does not fit its window:";
        for (const std::string& fault : faults) {
            text += "\n" + fault;
        }
        throw std::logic_error(text);
    }
    formName_ = form.name;
}

bool EventDispatcher::Raise(const std::string& control, FormEvent event) {
    const auto handler = handlers_.find({control, event});
    if (handler == handlers_.end()) {
        throw std::logic_error(Where(formName_, control, event) + ": raised, and bound to nothing");
    }
    return handler->second();
}

} // namespace ui
