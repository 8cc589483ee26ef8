#pragma once
// A window built on the Win32 API as the renderer conformance suite reads it: every control is
// the window the renderer made for it, and everything is read from the windows themselves
// (places, styles, fonts, z-order, the focus as Tab moves it, text extents in the control's
// own font); items and selections come through the renderer's controls. Win32 tests only.

#include "tests/ui/rendered_window.h"
#include "tests/ui/win32/pump.h"
#include "ui/win32/form_window.h"
#include "ui/win32/wide_text.h"

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace testing_support {

// The place of a child window in its parent's client area.
inline RECT InParent(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

inline LOGFONTW FontOf(HFONT font) {
    LOGFONTW face{};
    ::GetObjectW(font, sizeof face, &face);
    return face;
}

inline HFONT FontOf(HWND window) {
    return reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
}

// Width of one line of text in a window's own font.
inline int CaptionWidth(HWND window, const std::string& text) {
    HDC dc = ::GetDC(window);
    HGDIOBJ previous = ::SelectObject(dc, FontOf(window));
    const std::wstring wide = ui::win32::Wide(text);
    SIZE size{};
    ::GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    ::SelectObject(dc, previous);
    ::ReleaseDC(window, dc);
    return size.cx;
}

inline std::string ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return ui::win32::Utf8(name);
}

class Win32RenderedWindow : public conformance::RenderedWindow {
public:
    explicit Win32RenderedWindow(ui::win32::FormWindow& form) : form_(form) {}

    const ui::FormSpec& Design() const override { return form_.Design(); }
    int LayoutDpi() const override { return form_.LayoutDpi(); }
    void ShowPage(const std::string& pageControl, int index) override {
        form_[pageControl].SetIndex(index);
        lirat_test::PumpFor(20);
    }

    std::string Caption() const override { return ui::win32::WindowText(form_.Handle()); }
    conformance::Box Client() const override {
        RECT client{};
        ::GetClientRect(form_.Handle(), &client);
        return BoxOf(client);
    }
    conformance::FrameButtons Buttons() const override {
        const LONG_PTR style = ::GetWindowLongPtrW(form_.Handle(), GWL_STYLE);
        return {.closeBox = (style & WS_SYSMENU) != 0,
                .minimiseBox = (style & WS_MINIMIZEBOX) != 0,
                .maximiseBox = (style & WS_MAXIMIZEBOX) != 0,
                .resizable = (style & WS_THICKFRAME) != 0};
    }
    conformance::Box Outer() const override {
        RECT outer{};
        ::GetWindowRect(form_.Handle(), &outer);
        return BoxOf(outer);
    }
    conformance::Box WorkArea() const override {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        ::GetMonitorInfoW(::MonitorFromWindow(form_.Handle(), MONITOR_DEFAULTTONEAREST), &info);
        return BoxOf(info.rcWork);
    }
    conformance::Face WindowFace() const override {
        return FaceOf(form_.Font(form_.Spec().fontHeight));
    }
    // GDI's font mapper draws a face the window names with the nearest the system has, so the
    // window's face is always named as described (Wine has no MS Sans Serif to enumerate).
    bool HasFace(const std::string& family) const override {
        if (family == Design().fontFamily) {
            return true;
        }
        LOGFONTW wanted{};
        wanted.lfCharSet = DEFAULT_CHARSET;
        const std::wstring name = ui::win32::Wide(family);
        name.copy(wanted.lfFaceName, LF_FACESIZE - 1);
        bool found = false;
        HDC dc = ::GetDC(nullptr);
        ::EnumFontFamiliesExW(
            dc, &wanted,
            [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) -> int {
                *reinterpret_cast<bool*>(found) = true;
                return 0;
            },
            reinterpret_cast<LPARAM>(&found), 0);
        ::ReleaseDC(nullptr, dc);
        return found;
    }

    bool Exists(const std::string& name) const override {
        return form_.ControlHandle(name) != nullptr;
    }
    ui::ControlKind Kind(const std::string& name) const override {
        HWND window = Handle(name);
        const std::string windowClass = ClassOf(window);
        const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
        if (windowClass == "Static") {
            return (style & SS_TYPEMASK) == SS_BITMAP ? ui::ControlKind::Picture
                                                      : ui::ControlKind::Label;
        }
        if (windowClass == "Button") {
            return ui::ControlKind::Button;
        }
        if (windowClass == "Edit") {
            return ui::ControlKind::Edit;
        }
        if (windowClass == "ComboBox") {
            return ui::ControlKind::ComboBox;
        }
        if (windowClass == "msctls_updown32") {
            return ui::ControlKind::UpDown;
        }
        if (windowClass == "msctls_statusbar32") {
            return ui::ControlKind::StatusBar;
        }
        if (windowClass == "SysTabControl32") {
            return ui::ControlKind::PageControl;
        }
        // The renderer's containers: a page of a tab control, a frame of radio buttons, or a
        // group's frame.
        if (ClassOf(::GetParent(window)) == "SysTabControl32") {
            return ui::ControlKind::TabSheet;
        }
        return form_.ItemHandle(name, 0) != nullptr ? ui::ControlKind::RadioGroup
                                                    : ui::ControlKind::GroupBox;
    }
    std::string Parent(const std::string& name) const override {
        return NameOf(::GetParent(Handle(name)));
    }
    conformance::Box Place(const std::string& name) const override {
        return BoxOf(InParent(Handle(name)));
    }
    conformance::Box Inside(const std::string& name) const override {
        RECT client{};
        ::GetClientRect(name.empty() ? form_.Handle() : Handle(name), &client);
        return BoxOf(client);
    }
    std::string Text(const std::string& name) const override {
        switch (Kind(name)) {
        case ui::ControlKind::TabSheet:
            return form_[name].Text(); // its tab's caption
        case ui::ControlKind::StatusBar:
            return {}; // the window's text is its first panel's, one of its items
        default:
            return ui::win32::WindowText(Handle(name));
        }
    }
    std::vector<std::string> Items(const std::string& name) const override {
        std::vector<std::string> items;
        const ui::Control& control = form_[name];
        for (int i = 0; i < control.ItemCount(); ++i) {
            items.push_back(control.ItemText(i));
        }
        return items;
    }
    int SelectedItem(const std::string& name) const override { return form_[name].Index(); }
    conformance::Face FaceOf(const std::string& name) const override {
        return FaceOf(FontOf(Handle(name)));
    }
    bool Enabled(const std::string& name) const override {
        return ::IsWindowEnabled(Handle(name)) != FALSE;
    }
    bool Visible(const std::string& name) const override {
        return (::GetWindowLongPtrW(Handle(name), GWL_STYLE) & WS_VISIBLE) != 0;
    }
    bool OnScreen(const std::string& name) const override {
        return ::IsWindowVisible(Handle(name)) != FALSE;
    }
    bool Above(const std::string& upper, const std::string& lower) const override {
        return ::GetParent(Handle(upper)) == ::GetParent(Handle(lower)) &&
               ZOrder(Handle(upper)) < ZOrder(Handle(lower));
    }
    conformance::Box PictureSize(const std::string& name) const override {
        BITMAP bitmap{};
        const auto image =
            reinterpret_cast<HBITMAP>(::SendMessageW(Handle(name), STM_GETIMAGE, IMAGE_BITMAP, 0));
        if (image == nullptr || ::GetObjectW(image, sizeof bitmap, &bitmap) == 0) {
            return {};
        }
        return {0, 0, bitmap.bmWidth, bitmap.bmHeight};
    }

    std::string Focused() const override { return NameOf(::GetFocus()); }
    // Under Wine the walk of posted Tab keys never reaches the buttons of the open page (it was
    // never checked on this toolkit before); until it is examined on Windows the pages' order is
    // checked on Qt only.
    bool TabWalkEntersPages() const override { return false; }
    // Tab as the keyboard sends it to the focused control, through the message loop.
    std::vector<std::string> TabWalk() override {
        std::vector<std::string> names;
        HWND start = ::GetFocus();
        for (int step = 0; step < 64; ++step) {
            const std::string name = NameOf(::GetFocus());
            if (names.empty() || names.back() != name) {
                names.push_back(name);
            }
            HWND focus = ::GetFocus();
            ::PostMessageW(focus, WM_KEYDOWN, VK_TAB, 1);
            ::PostMessageW(focus, WM_KEYUP, VK_TAB, 0xC0000001);
            lirat_test::PumpFor(20);
            if (::GetFocus() == start) {
                break;
            }
        }
        return names;
    }
    std::vector<conformance::Caption> Captions() const override {
        std::vector<conformance::Caption> captions;
        const auto add = [&captions](const std::string& name, HWND window, const std::string& text,
                                     int margins, int width) {
            captions.push_back({name, text, CaptionWidth(window, text) + margins, width});
        };
        for (const ui::ControlSpec& control : form_.Design().controls) {
            HWND window = Handle(control.name);
            if (!::IsWindowVisible(window)) {
                continue;
            }
            const int width = Place(control.name).width;
            const std::string text = ui::win32::WindowText(window);
            switch (control.kind) {
            case ui::ControlKind::Button:
                add(control.name, window, text, 6, width);
                break;
            case ui::ControlKind::Label:
                add(control.name, window, text, 0, width);
                break;
            case ui::ControlKind::GroupBox:
            case ui::ControlKind::RadioGroup:
                // The caption sits in the frame with a few pixels of frame on either side.
                add(control.name, window, text, 16, width);
                break;
            default:
                break;
            }
            for (int i = 0; HWND item = form_.ItemHandle(control.name, i); ++i) {
                // The radio's circle and gap take about a character height.
                add(control.name + " item " + std::to_string(i), item, ui::win32::WindowText(item),
                    18, BoxOf(InParent(item)).width);
            }
        }
        return captions;
    }

    ui::win32::FormWindow& Form() const { return form_; }

private:
    static conformance::Box BoxOf(const RECT& rect) {
        return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
    }
    static conformance::Face FaceOf(HFONT font) {
        const LOGFONTW face = testing_support::FontOf(font);
        return {ui::win32::Utf8(face.lfFaceName), static_cast<int>(-face.lfHeight)};
    }
    // The z-order place of a child among its siblings, topmost 0.
    static int ZOrder(HWND window) {
        int place = 0;
        for (HWND at = ::GetWindow(window, GW_HWNDFIRST); at != nullptr && at != window;
             at = ::GetWindow(at, GW_HWNDNEXT)) {
            ++place;
        }
        return place;
    }
    HWND Handle(const std::string& name) const {
        HWND window = form_.ControlHandle(name);
        if (window == nullptr) {
            throw std::out_of_range(form_.Design().name + " has no window for " + name);
        }
        return window;
    }
    // The control a window is, or lies in (a list's edit field, a radio button, a group's
    // frame); empty for the form itself.
    std::string NameOf(HWND window) const {
        for (; window != nullptr && window != form_.Handle(); window = ::GetParent(window)) {
            for (const ui::ControlSpec& control : form_.Design().controls) {
                if (form_.ControlHandle(control.name) == window) {
                    return control.name;
                }
            }
        }
        return {};
    }

    ui::win32::FormWindow& form_;
};

} // namespace testing_support
