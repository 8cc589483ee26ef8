#pragma once
// A window described as data: its frame and every control with its kind, parent, place, size,
// caption or items, tab order, initial state and font. Each toolkit's front end builds its
// widgets from this one description, and the layout tests of every front end check what was
// built against it, so a control is changed in one place and looks the same on every platform.

#include <string>
#include <vector>

namespace ui {

enum class ControlKind {
    Label,       // static text
    Button,      // push button
    Edit,        // single-line edit box
    ComboBox,    // editable drop-down list
    GroupBox,    // captioned frame
    RadioGroup,  // captioned frame with one column of radio buttons, addressed by item index
    UpDown,      // vertical up-down attached to the edit box named by `associate`
    StatusBar,   // docked at the bottom, with `panels`
    PageControl, // tab control whose pages are the TabSheet controls that name it as parent
    TabSheet,    // one page; `text` is its tab's caption
    Picture,     // static bitmap; `picture` names the image
};

enum class FrameKind {
    FixedDialogNoButtons,   // dialog frame, not resizable, no system menu or title-bar buttons
    FixedDialogWithCloseBox // dialog frame, not resizable, with the close box
};

struct StatusPanel {
    std::string text{};
    int width = 0;
};

struct ControlSpec {
    std::string name{}; // the control's name in the window's definition ("ButtonRead")
    ControlKind kind = ControlKind::Label;
    std::string parent{}; // name of the parent control; empty: the window itself
    int left = 0, top = 0, width = 0, height = 0;
    std::string text{};               // caption, edit text, group or tab caption
    std::vector<std::string> items{}; // combo box or radio group items, in order
    int tabOrder = -1;                // among the siblings in the same parent; -1: not a tab stop
    bool enabled = true;
    bool visible = true;
    bool readOnly = false; // edit boxes
    // Labels: true when the label sizes itself to its caption (width and height are then the
    // layout's starting size); false for a fixed box, whose font shrinks until the text fits.
    bool autoSize = true;
    bool transparent = false; // labels and pictures drawn over a picture
    int fontHeight = 0;       // character height in pixels; 0: the window's
    int itemIndex = -1;       // initially selected item (combo box, radio group), active page
    int dropDownRows = 8;     // combo boxes
    // Up-down: range, position and the edit box that shows the position.
    int minimum = 0, maximum = 100, position = 0;
    std::string associate{};
    std::vector<StatusPanel> panels{}; // status bar
    std::string picture{};             // picture: the image's name ("input_diagram")
    // The labels whose captions name this control for accessibility tools and screen readers,
    // in reading order ("Label4", "Label6" name NullEdit "Рабочий диапазон (град. С) min").
    std::vector<std::string> labelledBy{};
};

struct FormSpec {
    std::string name{};    // "Form1", "KalibrForm"
    std::string caption{}; // title-bar text
    int clientWidth = 0, clientHeight = 0;
    FrameKind frame = FrameKind::FixedDialogNoButtons;
    std::string fontFamily = "MS Sans Serif";
    int fontHeight = 11;                 // pixels at 96 dpi (8 point)
    bool centred = true;                 // placed in the centre of the screen when shown
    std::vector<ControlSpec> controls{}; // in the order of the window's definition

    // The control of that name; throws std::out_of_range when there is none.
    const ControlSpec& Control(const std::string& controlName) const;
    // The controls whose parent is `parentName`, in tab order (tab stops only).
    std::vector<const ControlSpec*> TabOrder(const std::string& parentName) const;
    // The order in which Tab visits the controls under `parentName`: its tab stops in tab
    // order, each group box replaced by the tab stops inside it (recursively). A radio group
    // stays one entry; its front end decides how its buttons take the focus.
    std::vector<const ControlSpec*> TabChain(const std::string& parentName) const;
    // The controls whose parent is `parentName`, in the order of the window's definition.
    std::vector<const ControlSpec*> Children(const std::string& parentName) const;
};

} // namespace ui
