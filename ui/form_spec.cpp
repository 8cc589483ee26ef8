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

std::vector<const ControlSpec*> FormSpec::TabChain(const std::string& parentName) const {
    std::vector<const ControlSpec*> chain;
    for (const ControlSpec* control : TabOrder(parentName)) {
        if (control->kind == ControlKind::GroupBox) {
            const std::vector<const ControlSpec*> inner = TabChain(control->name);
            chain.insert(chain.end(), inner.begin(), inner.end());
        } else {
            chain.push_back(control);
        }
    }
    return chain;
}

std::vector<const ControlSpec*> FormSpec::Children(const std::string& parentName) const {
    std::vector<const ControlSpec*> children;
    for (const ControlSpec& control : controls) {
        if (control.parent == parentName) {
            children.push_back(&control);
        }
    }
    return children;
}

} // namespace ui
