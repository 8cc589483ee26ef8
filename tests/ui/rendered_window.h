#pragma once
// A window of the tool as a toolkit drew it from its description, read back through the
// toolkit's own calls (widget geometry, window styles, fonts, focus). The renderer conformance
// suite compares what it reads with the description in the same terms for every toolkit; each
// toolkit's tests give one small adapter that answers these questions by control name.

#include "ui/form_spec.h"

#include <functional>
#include <string>
#include <vector>

namespace conformance {

struct Box {
    int left = 0, top = 0, width = 0, height = 0;
    int Right() const { return left + width; }  // exclusive
    int Bottom() const { return top + height; } // exclusive
};

// The title-bar buttons and border of a window's frame.
struct FrameButtons {
    bool closeBox = false;
    bool minimiseBox = false;
    bool maximiseBox = false;
    bool resizable = false;
};

struct Face {
    std::string family;
    int height = 0; // character height in the window's pixels
};

// One caption as shown: the width its text needs in its control's font, and the width the
// control has for it (the toolkit's own margins, check marks and frames taken off).
struct Caption {
    std::string control; // with " item N" for a radio group's item
    std::string text;
    int need = 0;
    int room = 0;
};

// A state of the shown window (a sensor range chosen, a stage of the calibration) whose longer
// captions must fit as well as the shown ones.
struct CaptionState {
    std::string name;
    std::function<void()> enter;
};

class RenderedWindow {
public:
    virtual ~RenderedWindow() = default;

    virtual const ui::FormSpec& Design() const = 0;
    // The resolution the description is drawn at: 96, or what the toolkit chose for the
    // window's display; places, sizes and fonts are the description's at it.
    virtual int LayoutDpi() const = 0;
    virtual void Show() = 0;
    // Opens page `index` of a page control, as a click on its tab does.
    virtual void ShowPage(const std::string& pageControl, int index) = 0;
    // The states whose captions must fit, entered one after the other on the shown window.
    virtual std::vector<CaptionState> CaptionStates() { return {}; }

    // The window: title-bar text, client size, frame, its place with the frame and the work
    // area of its screen (both in screen coordinates), and its face.
    virtual std::string Caption() const = 0;
    virtual Box Client() const = 0;
    virtual FrameButtons Buttons() const = 0;
    virtual Box Outer() const = 0;
    virtual Box WorkArea() const = 0;
    virtual Face WindowFace() const = 0;
    // Whether the system has a face of that name (where it has not, the toolkit names another).
    virtual bool HasFace(const std::string& family) const = 0;

    // A control by its description's name: the kind its widget is of, its parent's name (empty:
    // the window), its place in its parent, its caption, items and selected item, its face, its
    // own enabled and visible state. Kind, items and selection of controls that have none are
    // the toolkit's: the suite asks only where the description gives them.
    virtual bool Exists(const std::string& name) const = 0;
    virtual ui::ControlKind Kind(const std::string& name) const = 0;
    virtual std::string Parent(const std::string& name) const = 0;
    virtual Box Place(const std::string& name) const = 0;
    // The client area of a container, or of the window for "".
    virtual Box Inside(const std::string& name) const = 0;
    virtual std::string Text(const std::string& name) const = 0;
    virtual std::vector<std::string> Items(const std::string& name) const = 0;
    virtual int SelectedItem(const std::string& name) const = 0;
    virtual Face FaceOf(const std::string& name) const = 0;
    virtual bool Enabled(const std::string& name) const = 0;
    virtual bool Visible(const std::string& name) const = 0;
    // On screen now: shown itself, in a shown window, on the open page.
    virtual bool OnScreen(const std::string& name) const = 0;
    // Whether `upper` is drawn over `lower` where they overlap.
    virtual bool Above(const std::string& upper, const std::string& lower) const = 0;
    // The size of the image a picture shows.
    virtual Box PictureSize(const std::string& name) const = 0;

    // The control that has the focus, and the controls Tab visits from it, once round, each
    // named once (a radio group's buttons, a list's edit field are their control).
    virtual std::string Focused() const = 0;
    virtual std::vector<std::string> TabWalk() = 0;
    // Whether the walk is checked inside the open page of a page control (see the Win32 adapter).
    virtual bool TabWalkEntersPages() const { return true; }
    // Every caption on screen now: buttons, labels, group and radio group titles and items.
    virtual std::vector<conformance::Caption> Captions() const = 0;
};

} // namespace conformance
