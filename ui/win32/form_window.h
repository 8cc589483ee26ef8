#pragma once
// A window of the tool on the Win32 API, built from its description (ui::FormSpec): the frame,
// then every control with CreateWindowExW and the common controls, at the description's places
// in the description's face, both scaled to the resolution of the window's monitor (lower where
// the window would not fit its work area, ui/window_scale.h), and scaled again when the window
// moves to a monitor of another resolution. The window decides nothing itself: user actions go
// to a ui::EventSink by control name, and the window logic reads and sets the controls through
// ui::Control, in the description's own pixels. Tab order is the creation order of the tab
// stops; group boxes, radio groups and tab pages are containers that the dialog manager walks
// into.

#include "ui/control.h"
#include "ui/form_events.h"
#include "ui/form_spec.h"
#include "ui/window_scale.h"

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ui::win32 {

struct FormOptions {
    HWND owner = nullptr; // the window this one stays above (the main window for a dialog)
    HICON icon = nullptr;
    // The bytes of a picture's bitmap file, by the name its control gives, drawn for the
    // resolution nearest to `dpi` that there is; the window scales it to its control's size.
    std::function<std::string_view(const std::string& picture, int dpi)> pictures;
    // The close box, Alt+F4 or the system asks the window to close; it stays until told.
    std::function<void()> closeRequested;
};

// The control identifier of a control of the description: 100 plus its place in it. Programs
// that drive the window from outside find the controls by it.
int ControlId(const FormSpec& spec, const std::string& name);

class WindowControl;

class FormWindow : public ControlSet {
public:
    // The controls' events go to `events`, as each control's kind raises them (ui::Raises).
    FormWindow(FormSpec spec, EventSink& events, FormOptions options = {});
    ~FormWindow() override;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    HWND Handle() const { return window_; }
    // The description as given, in pixels at 96 dots per inch.
    const FormSpec& Design() const { return design_; }
    // The description at the resolution the window is drawn at: the places, sizes and fonts
    // its controls have.
    const FormSpec& Spec() const { return spec_; }
    int LayoutDpi() const { return layoutDpi_; }
    // A length of the description in the window's pixels.
    int Scaled(int length) const;

    Control& operator[](const std::string& name) override;
    using ControlSet::operator[];
    // The control's own window (for a group or radio group, its container).
    HWND ControlHandle(const std::string& name) const;
    // The radio button of item `item` of a radio group.
    HWND ItemHandle(const std::string& name, int item) const;

    // Shows the window, centred on the work area the first time, with the focus on the first
    // tab stop.
    void Show();
    void Hide();
    bool Shown() const;
    // Shows the window modally: its owner takes no input until the window is hidden again;
    // runs the message loop meanwhile.
    void ShowModal();

    // Moves the focus to the next (or previous) tab stop of the description's order that is
    // enabled and on screen: group boxes count by the stops inside them, a page control is
    // followed by the stops of its active page, a radio group is one stop (its checked button).
    void MoveFocus(bool backwards);

    // The form behind a top-level window, or null for any other window.
    static FormWindow* FromHandle(HWND window);

    // Messages of the form and of its containers.
    LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

    // While a control is being set from code, the notifications it sends are not the user's.
    class Quiet {
    public:
        explicit Quiet(FormWindow& form) : form_(form) { ++form_.quiet_; }
        ~Quiet() { --form_.quiet_; }
        Quiet(const Quiet&) = delete;
        Quiet& operator=(const Quiet&) = delete;

    private:
        FormWindow& form_;
    };

    HFONT FontFor(const ControlSpec& control) const;
    // The window's face at a character height, narrowed as the window's face is.
    HFONT Font(int characterHeight) const;
    int Stretch() const { return stretch_; }
    // The bitmap of a picture at the window's resolution, or nullptr when there is none.
    HBITMAP PictureFor(const ControlSpec& picture) const;

private:
    void CreateFrame();
    // The resolution to draw at on the monitor the window goes to (its owner's, or its own),
    // and that monitor's work area.
    int FittingDpiHere(ScreenRect& workArea) const;
    // Draws the window at `dpi`: the client area, the face and every control.
    void Rescale(int dpi);
    void SetClientSize(int width, int height);
    void OnDpiChanged(int dpi, const RECT& suggested);
    SIZE SizeAtDpi(int dpi) const;
    void CreateChildren(const std::string& parent, HWND parentWindow);
    void CreateControl(const ControlSpec& control, HWND parentWindow);
    WindowControl* ByHandle(HWND window) const;
    void OnCommand(HWND source, int code);
    LRESULT OnNotify(const NMHDR& header, bool& handled);
    void ShowActivePage(const std::string& pageControl);
    void CentreOnWorkArea();
    void AppendTabStops(const std::string& parent, std::vector<HWND>& stops) const;

    FormSpec design_;
    FormSpec spec_;
    EventSink& events_;
    FormOptions options_;
    HWND window_ = nullptr;
    DWORD style_ = 0;
    DWORD exStyle_ = 0;
    std::map<std::string, std::unique_ptr<WindowControl>> controls_;
    int layoutDpi_ = kDesignDpi;
    bool placed_ = false;
    bool modal_ = false;
    int quiet_ = 0;
    int stretch_ = 100;
};

} // namespace ui::win32
