#pragma once
// One control of a window as the window's logic sees it, whatever toolkit draws it, and the
// window's timer. The logic (what the windows decide) reads and sets controls only through
// these operations; each front end implements them over its own widgets, and the logic's tests
// implement them with plain fields. Texts are UTF-8. Setting anything from code raises no change
// event; only the user's own actions do.

#include <string>

namespace ui {

class Control {
public:
    virtual ~Control() = default;

    // Caption of a label, button, group box, radio group or tab sheet; text of an edit box; the
    // edit field of a combo box. A label that sizes itself grows with its caption; a fixed-size
    // one shrinks its font until the caption fits its box.
    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& text) = 0;

    virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool Visible() const = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual int Left() const = 0;
    virtual void SetLeft(int left) = 0;

    // Items of a combo box or radio group; the panels of a status bar. An index without an
    // item is ignored by SetItemText and reads as an empty text.
    virtual void ClearItems() = 0;
    virtual void AddItem(const std::string& text) = 0;
    virtual int ItemCount() const = 0;
    virtual std::string ItemText(int index) const = 0;
    virtual void SetItemText(int index, const std::string& text) = 0;

    // The selected item of a combo box or radio group (-1: none), the position of an up-down
    // (kept within its range), the active page of a page control. Selecting a combo box item
    // from code also shows its text in the edit field.
    virtual int Index() const = 0;
    virtual void SetIndex(int index) = 0;
};

// The window's millisecond timer; while enabled it ticks every interval on the user-interface
// thread through the message loop. Enabling restarts the interval.
class Timer {
public:
    virtual ~Timer() = default;
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool Enabled() const = 0;
    virtual void SetInterval(int milliseconds) = 0;
    virtual int Interval() const = 0;
};

// A window's controls by name, as its description names them.
class ControlSet {
public:
    virtual ~ControlSet() = default;
    // Throws std::out_of_range for a name the window does not have.
    virtual Control& operator[](const std::string& name) = 0;
    const Control& operator[](const std::string& name) const {
        return const_cast<ControlSet&>(*this)[name];
    }
};

} // namespace ui
