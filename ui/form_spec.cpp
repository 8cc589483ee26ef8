#include "ui/form_spec.h"

#include <algorithm>
#include <stdexcept>

namespace ui {

const ControlSpec& FormSpec::Control(const std::string& controlName) const {
    for (const ControlSpec& control : controls) {
        if (control.name == controlName) {
            return control;
        }
    }
    throw std::out_of_range(name + " has no control " + controlName);
}

std::vector<const ControlSpec*> FormSpec::TabOrder(const std::string& parentName) const {
    std::vector<const ControlSpec*> order;
    for (const ControlSpec& control : controls) {
        if (control.parent == parentName && control.tabOrder >= 0) {
            order.push_back(&control);
        }
    }
    std::stable_sort(order.begin(), order.end(), [](const ControlSpec* a, const ControlSpec* b) {
        return a->tabOrder < b->tabOrder;
    });
    return order;
}

} // namespace ui
