#pragma once
// Controls and a timer of plain fields for the window logic's tests: a FakeControlSet builds one
// FakeControl per control of a window description, in the description's initial state, so the
// logic runs without any toolkit. Like the real controls, selecting a list item from code shows
// its text in the edit field, an up-down keeps its position within its range, and nothing set
// from code raises a change event.

#include "ui/control.h"
#include "ui/form_spec.h"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace testing_support {

class FakeControl final : public ui::Control {
public:
    ui::ControlKind kind = ui::ControlKind::Label;
    std::string text;
    bool enabled = true;
    bool visible = true;
    int left = 0;
    std::vector<std::string> items;
    int index = -1;
    int minimum = 0, maximum = 100; // up-down
    int textChanges = 0;            // every SetText, to tell "set again" from "left alone"

    explicit FakeControl(const ui::ControlSpec& spec)
        : kind(spec.kind), text(spec.text), enabled(spec.enabled), visible(spec.visible),
          left(spec.left), items(spec.items), minimum(spec.minimum), maximum(spec.maximum) {
        for (const ui::StatusPanel& panel : spec.panels) {
            items.push_back(panel.text);
        }
        index = kind == ui::ControlKind::UpDown ? spec.position : spec.itemIndex;
    }

    // What a user does: types into the edit field (the selection stays, as in a drop-down
    // box whose text no longer matches its item) or picks an item.
    void Type(const std::string& typed) { text = typed; }
    void Pick(int item) {
        index = item;
        text = items.at(static_cast<std::size_t>(item));
    }

    std::string Text() const override {
        return kind == ui::ControlKind::UpDown ? std::to_string(index) : text;
    }
    void SetText(const std::string& value) override {
        text = value;
        ++textChanges;
    }
    bool Enabled() const override { return enabled; }
    void SetEnabled(bool value) override { enabled = value; }
    bool Visible() const override { return visible; }
    void SetVisible(bool value) override { visible = value; }
    int Left() const override { return left; }
    void SetLeft(int value) override { left = value; }
    void ClearItems() override {
        items.clear();
        index = -1;
        if (kind == ui::ControlKind::ComboBox) {
            text.clear();
        }
    }
    void AddItem(const std::string& item) override { items.push_back(item); }
    int ItemCount() const override { return static_cast<int>(items.size()); }
    std::string ItemText(int item) const override {
        return item >= 0 && item < ItemCount() ? items[static_cast<std::size_t>(item)]
                                               : std::string();
    }
    void SetItemText(int item, const std::string& value) override {
        if (item >= 0 && item < ItemCount()) {
            items[static_cast<std::size_t>(item)] = value;
        }
    }
    int Index() const override { return index; }
    void SetIndex(int value) override {
        if (kind == ui::ControlKind::UpDown) {
            index = std::clamp(value, minimum, maximum);
            return;
        }
        index = value >= 0 && value < ItemCount() ? value : -1;
        if (kind == ui::ControlKind::ComboBox) {
            text = ItemText(index);
        }
    }
};

class FakeControlSet final : public ui::ControlSet {
public:
    explicit FakeControlSet(const ui::FormSpec& spec) {
        for (const ui::ControlSpec& control : spec.controls) {
            controls_.emplace(control.name, FakeControl(control));
        }
        // A page control's items are its pages.
        for (const ui::ControlSpec& control : spec.controls) {
            if (control.kind == ui::ControlKind::TabSheet) {
                (*this)[control.parent].items.push_back(control.text);
            }
        }
    }
    FakeControl& operator[](const std::string& name) override {
        const auto found = controls_.find(name);
        if (found == controls_.end()) {
            throw std::out_of_range("no control " + name);
        }
        return found->second;
    }

private:
    std::map<std::string, FakeControl> controls_;
};

class FakeTimer final : public ui::Timer {
public:
    bool enabled = false;
    int interval = 0;
    void SetEnabled(bool value) override { enabled = value; }
    bool Enabled() const override { return enabled; }
    void SetInterval(int milliseconds) override { interval = milliseconds; }
    int Interval() const override { return interval; }
};

} // namespace testing_support
