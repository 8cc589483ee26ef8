#include "ui/win32/form_window.h"

#include "ui/win32/cursor.h"
#include "ui/win32/display_dpi.h"
#include "ui/win32/message_loop.h"
#include "ui/win32/picture.h"
#include "ui/win32/wide_text.h"
#include "ui/win32/window_controls.h"
#include "ui/win32/window_font.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

namespace ui::win32 {

namespace {

constexpr const wchar_t* FormClass = L"LiratForm";
constexpr const wchar_t* PanelClass = L"LiratPanel";

LRESULT CALLBACK FormProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        if ((create->style & WS_CHILD) == 0) {
            ScaleFrameWithMonitor(window);
        }
    }
    // Containers hand their children's messages to the form they belong to.
    HWND root = ::GetAncestor(window, GA_ROOT);
    if (FormWindow* form = FormWindow::FromHandle(root != nullptr ? root : window)) {
        bool handled = false;
        try {
            const LRESULT result = form->Dispatch(window, message, wParam, lParam, handled);
            if (handled) {
                return result;
            }
        } catch (...) {
            // The form's event sinks show their own errors; nothing may cross into Windows.
        }
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void RegisterClasses() {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES |
                                                           ICC_TAB_CLASSES | ICC_UPDOWN_CLASS};
        ::InitCommonControlsEx(&controls);
        WNDCLASSEXW form{};
        form.cbSize = sizeof form;
        form.style = CS_DBLCLKS;
        form.lpfnWndProc = FormProcedure;
        form.hInstance = ::GetModuleHandleW(nullptr);
        form.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        form.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
        form.lpszClassName = FormClass;
        ::RegisterClassExW(&form);
        WNDCLASSEXW panel = form;
        panel.lpszClassName = PanelClass;
        ::RegisterClassExW(&panel);
        return true;
    }();
    (void)registered;
}

bool IsClass(HWND window, const wchar_t* name) {
    wchar_t actual[64] = {};
    ::GetClassNameW(window, actual, static_cast<int>(std::size(actual)));
    return ::lstrcmpiW(actual, name) == 0;
}

HMENU IdOf(int id) {
    return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
}

RECT WindowRect(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

} // namespace

int ControlId(const FormSpec& spec, const std::string& name) {
    for (std::size_t i = 0; i < spec.controls.size(); ++i) {
        if (spec.controls[i].name == name) {
            return 100 + static_cast<int>(i);
        }
    }
    throw std::out_of_range(spec.name + " has no control " + name);
}

FormWindow::FormWindow(FormSpec spec, EventSink& events, FormOptions options)
    : design_(std::move(spec)), spec_(design_), events_(events), options_(std::move(options)) {
    RegisterClasses();
    stretch_ = FaceStretch(spec_);
    CreateFrame();
    // Built straight away at the resolution of the monitor it will be shown on, so the first
    // showing has nothing to redo.
    ScreenRect workArea;
    Rescale(FittingDpiHere(workArea));
    CreateChildren({}, window_);
}

FormWindow::~FormWindow() {
    if (window_ != nullptr) {
        if (modal_ && options_.owner != nullptr) {
            ::EnableWindow(options_.owner, TRUE);
        }
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        ::DestroyWindow(window_);
    }
}

FormWindow* FormWindow::FromHandle(HWND window) {
    if (window == nullptr || !IsClass(window, FormClass)) {
        return nullptr;
    }
    return reinterpret_cast<FormWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

int FormWindow::Scaled(int length) const {
    return ScaleLength(length, layoutDpi_);
}

HFONT FormWindow::FontFor(const ControlSpec& control) const {
    return Font(control.fontHeight > 0 ? control.fontHeight : spec_.fontHeight);
}

HFONT FormWindow::Font(int characterHeight) const {
    return FaceFont(spec_.fontFamily, characterHeight, stretch_);
}

HBITMAP FormWindow::PictureFor(const ControlSpec& picture) const {
    if (!options_.pictures) {
        return nullptr;
    }
    return PictureBitmap(options_.pictures(picture.picture, layoutDpi_),
                         ::GetSysColor(COLOR_BTNFACE), picture.width, picture.height);
}

void FormWindow::CreateFrame() {
    // A fixed dialog frame; the main window has no system menu and so no title-bar buttons.
    style_ = WS_CAPTION | WS_CLIPCHILDREN;
    exStyle_ = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    if (spec_.frame == FrameKind::FixedDialogWithCloseBox) {
        style_ |= WS_POPUP | WS_SYSMENU;
    } else {
        style_ |= WS_OVERLAPPED;
        exStyle_ |= WS_EX_APPWINDOW;
    }
    RECT frame{0, 0, spec_.clientWidth, spec_.clientHeight};
    ::AdjustWindowRectEx(&frame, style_, FALSE, exStyle_);
    window_ =
        ::CreateWindowExW(exStyle_, FormClass, Wide(spec_.caption).c_str(), style_, CW_USEDEFAULT,
                          CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                          options_.owner, nullptr, ::GetModuleHandleW(nullptr), this);
    if (window_ == nullptr) {
        throw std::runtime_error("CreateWindowExW failed for " + spec_.name);
    }
    SetClientSize(spec_.clientWidth, spec_.clientHeight);
    if (options_.icon != nullptr) {
        ::SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(options_.icon));
        ::SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(options_.icon));
    }
}

void FormWindow::SetClientSize(int width, int height) {
    // The frame is measured, not assumed: the frames some window managers draw differ from
    // Windows' own, and the client area is what the description gives.
    for (int attempt = 0; attempt < 2; ++attempt) {
        RECT client{};
        ::GetClientRect(window_, &client);
        if (client.right == width && client.bottom == height) {
            return;
        }
        const RECT outer = WindowRect(window_);
        ::SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left + width - client.right,
                       outer.bottom - outer.top + height - client.bottom,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

int FormWindow::FittingDpiHere(ScreenRect& workArea) const {
    HWND anchor = options_.owner != nullptr ? options_.owner : window_;
    workArea = WorkAreaAt(WindowRect(anchor));
    const int monitorDpi = MonitorDpi(anchor);
    // The frame as drawn now, when the window is already at that monitor's resolution.
    FrameSize frame = FrameAt(style_, exStyle_, monitorDpi);
    if (MonitorDpi(window_) == monitorDpi) {
        RECT client{};
        ::GetClientRect(window_, &client);
        const RECT outer = WindowRect(window_);
        frame = {outer.right - outer.left - client.right, outer.bottom - outer.top - client.bottom};
    }
    return FittingDpi(design_.clientWidth, design_.clientHeight, monitorDpi, frame, workArea);
}

void FormWindow::Rescale(int dpi) {
    if (dpi == layoutDpi_ && !controls_.empty()) {
        return;
    }
    layoutDpi_ = dpi;
    // Element by element, so that the controls' references into the description stay valid.
    const FormSpec scaled = ScaleForm(design_, dpi);
    spec_.clientWidth = scaled.clientWidth;
    spec_.clientHeight = scaled.clientHeight;
    spec_.fontHeight = scaled.fontHeight;
    for (std::size_t i = 0; i < spec_.controls.size(); ++i) {
        spec_.controls[i] = scaled.controls[i];
    }
    stretch_ = FaceStretch(spec_);
    SetClientSize(spec_.clientWidth, spec_.clientHeight);
    ::SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(Font(spec_.fontHeight)), FALSE);
    // In the description's order: a parent before its children, an edit box before the
    // up-down attached to it, a page control before its pages.
    for (const ControlSpec& control : spec_.controls) {
        if (const auto made = controls_.find(control.name); made != controls_.end()) {
            made->second->Place();
        }
    }
    ::InvalidateRect(window_, nullptr, TRUE);
}

SIZE FormWindow::SizeAtDpi(int dpi) const {
    const FrameSize frame = FrameAt(style_, exStyle_, dpi);
    return {ScaleLength(design_.clientWidth, dpi) + frame.width,
            ScaleLength(design_.clientHeight, dpi) + frame.height};
}

void FormWindow::OnDpiChanged(int dpi, const RECT& suggested) {
    // The system suggests the place on the new monitor; the window takes it, at the size the
    // new resolution gives it where it fits that monitor's work area, smaller where not.
    const ScreenRect workArea = WorkAreaAt(suggested);
    Rescale(FittingDpi(design_.clientWidth, design_.clientHeight, dpi,
                       FrameAt(style_, exStyle_, dpi), workArea));
    const RECT outer = WindowRect(window_);
    const ScreenRect at = KeepInside(suggested.left, suggested.top, outer.right - outer.left,
                                     outer.bottom - outer.top, workArea);
    ::SetWindowPos(window_, nullptr, at.left, at.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::CreateChildren(const std::string& parent, HWND parentWindow) {
    // The dialog manager walks the tab stops in creation order, and every new child goes below
    // the ones before it: the description's tab order is the creation order. The controls
    // without a tab place follow in the description's order, each raised above the earlier
    // ones, so that a label lies over the picture it is written on.
    std::vector<const ControlSpec*> ordered = spec_.TabOrder(parent);
    for (const ControlSpec& control : spec_.controls) {
        if (control.parent == parent && control.tabOrder < 0) {
            ordered.push_back(&control);
        }
    }
    for (const ControlSpec* control : ordered) {
        CreateControl(*control, parentWindow);
        if (control->tabOrder < 0) {
            ::SetWindowPos(controls_.at(control->name)->Handle(), HWND_TOP, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
}

void FormWindow::CreateControl(const ControlSpec& control, HWND parentWindow) {
    // Each control is made here and given its place, size and font by its own Place, the one
    // that also redraws it at another resolution.
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    const int id = ControlId(spec_, control.name);
    const std::wstring text = Wide(control.text);
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (control.visible ? WS_VISIBLE : 0);
    const DWORD tabStop = control.tabOrder >= 0 ? WS_TABSTOP : 0;
    const auto make = [&](DWORD exStyle, const wchar_t* windowClass, DWORD extra) {
        HWND made = ::CreateWindowExW(exStyle, windowClass, text.c_str(), style | extra,
                                      control.left, control.top, control.width, control.height,
                                      parentWindow, IdOf(id), instance, this);
        if (made == nullptr) {
            throw std::runtime_error("CreateWindowExW failed for " + control.name);
        }
        ::SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(control)), FALSE);
        return made;
    };
    std::unique_ptr<WindowControl> made;
    switch (control.kind) {
    case ControlKind::Label:
        made = std::make_unique<LabelControl>(
            *this, control, make(0, WC_STATICW, SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE));
        break;
    case ControlKind::Button:
        made = std::make_unique<WindowControl>(*this, control,
                                               make(0, WC_BUTTONW, BS_PUSHBUTTON | tabStop));
        break;
    case ControlKind::Edit:
        made = std::make_unique<WindowControl>(
            *this, control,
            make(WS_EX_CLIENTEDGE, WC_EDITW,
                 ES_AUTOHSCROLL | (control.readOnly ? ES_READONLY : 0) | tabStop));
        break;
    case ControlKind::ComboBox: {
        made = std::make_unique<ComboControl>(
            *this, control,
            make(0, WC_COMBOBOXW, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | tabStop));
        for (const std::string& item : control.items) {
            made->AddItem(item);
        }
        if (control.itemIndex >= 0) {
            made->SetIndex(control.itemIndex);
        }
        break;
    }
    case ControlKind::GroupBox:
    case ControlKind::RadioGroup: {
        // The container paints the face under its frame (a group box draws only its lines and
        // caption); the frame lies below the controls inside it and ends their group of radio
        // buttons.
        HWND panel = make(WS_EX_CONTROLPARENT, PanelClass, 0);
        HWND frame =
            ::CreateWindowExW(0, WC_BUTTONW, text.c_str(),
                              WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_GROUP | BS_GROUPBOX, 0,
                              0, control.width, control.height, panel, nullptr, instance, nullptr);
        made = std::make_unique<GroupControl>(*this, control, panel, frame);
        break;
    }
    case ControlKind::UpDown: {
        HWND buddy = ControlHandle(control.associate);
        HWND upDown =
            make(0, UPDOWN_CLASSW,
                 UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS | tabStop);
        ::SendMessageW(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
        ::SendMessageW(upDown, UDM_SETRANGE32, static_cast<WPARAM>(control.minimum),
                       control.maximum);
        ::SendMessageW(upDown, UDM_SETPOS32, 0, control.position);
        // Attaching moves both; the description's places count.
        controls_.at(control.associate)->Place();
        made = std::make_unique<UpDownControl>(*this, control, upDown);
        break;
    }
    case ControlKind::StatusBar: {
        auto statusBar = std::make_unique<StatusBarControl>(
            *this, control,
            make(0, STATUSCLASSNAMEW, CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER));
        statusBar->Place(); // its panels
        for (std::size_t i = 0; i < control.panels.size(); ++i) {
            statusBar->SetItemText(static_cast<int>(i), control.panels[i].text);
        }
        made = std::move(statusBar);
        break;
    }
    case ControlKind::PageControl:
        made = std::make_unique<PageControl>(
            *this, control, make(WS_EX_CONTROLPARENT, WC_TABCONTROLW, WS_CLIPCHILDREN | tabStop));
        break;
    case ControlKind::TabSheet: {
        auto* pages = dynamic_cast<PageControl*>(controls_.at(control.parent).get());
        HWND tabs = pages->Handle();
        const int tab = pages->ItemCount();
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        std::wstring caption = text;
        item.pszText = caption.data();
        ::SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(tab),
                       reinterpret_cast<LPARAM>(&item));
        style &= ~static_cast<DWORD>(WS_VISIBLE);
        parentWindow = tabs;
        made = std::make_unique<TabSheetControl>(
            *this, control, make(WS_EX_CONTROLPARENT, PanelClass, WS_CLIPCHILDREN), tabs, tab);
        pages->AddPage(*made);
        break;
    }
    case ControlKind::Picture:
        made = std::make_unique<PictureControl>(*this, control,
                                                make(0, WC_STATICW, SS_BITMAP | SS_CENTERIMAGE));
        break;
    }
    made->Place();
    if (!control.enabled) {
        made->SetEnabled(false);
    }
    HWND window = made->Handle();
    controls_[control.name] = std::move(made);
    if (control.kind == ControlKind::GroupBox || control.kind == ControlKind::RadioGroup ||
        control.kind == ControlKind::TabSheet) {
        CreateChildren(control.name, window);
        if (HWND frame = controls_.at(control.name)->CaptionHandle(); frame != window) {
            ::SetWindowPos(frame, HWND_BOTTOM, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
    if (control.kind == ControlKind::PageControl) {
        CreateChildren(control.name, window);
        auto& pages = dynamic_cast<PageControl&>(*controls_.at(control.name));
        pages.SetIndex(std::max(control.itemIndex, 0));
    }
}

Control& FormWindow::operator[](const std::string& name) {
    const auto found = controls_.find(name);
    if (found == controls_.end()) {
        throw std::out_of_range(spec_.name + " has no control " + name);
    }
    return *found->second;
}

HWND FormWindow::ControlHandle(const std::string& name) const {
    const auto found = controls_.find(name);
    return found == controls_.end() ? nullptr : found->second->Handle();
}

HWND FormWindow::ItemHandle(const std::string& name, int item) const {
    const auto found = controls_.find(name);
    const auto* group =
        found == controls_.end() ? nullptr : dynamic_cast<const GroupControl*>(found->second.get());
    return group != nullptr ? group->ItemHandle(item) : nullptr;
}

WindowControl* FormWindow::ByHandle(HWND window) const {
    for (const auto& [name, control] : controls_) {
        if (control->Handle() == window) {
            return control.get();
        }
    }
    return nullptr;
}

void FormWindow::CentreOnWorkArea() {
    ScreenRect workArea;
    Rescale(FittingDpiHere(workArea));
    const RECT outer = WindowRect(window_);
    const ScreenRect at =
        CentreInside(outer.right - outer.left, outer.bottom - outer.top, workArea);
    ::SetWindowPos(window_, nullptr, at.left, at.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::Show() {
    if (!placed_) {
        CentreOnWorkArea();
        placed_ = true;
    }
    ::ShowWindow(window_, SW_SHOW);
    ::SetForegroundWindow(window_);
    // No control is named to get the focus first: the first tab stop has it.
    ::SetFocus(nullptr);
    MoveFocus(false);
}

void FormWindow::Hide() {
    // The owner takes input again before this window goes, so the activation returns to it.
    if (modal_ && options_.owner != nullptr) {
        ::EnableWindow(options_.owner, TRUE);
    }
    ::ShowWindow(window_, SW_HIDE);
    if (modal_ && options_.owner != nullptr) {
        ::SetActiveWindow(options_.owner);
    }
}

bool FormWindow::Shown() const {
    return ::IsWindowVisible(window_) != FALSE;
}

void FormWindow::ShowModal() {
    modal_ = true;
    if (options_.owner != nullptr) {
        ::EnableWindow(options_.owner, FALSE);
    }
    Show();
    RunMessageLoopUntil([this] { return !Shown(); });
    if (options_.owner != nullptr) {
        ::EnableWindow(options_.owner, TRUE);
    }
    modal_ = false;
}

void FormWindow::AppendTabStops(const std::string& parent, std::vector<HWND>& stops) const {
    for (const ControlSpec* control : spec_.TabOrder(parent)) {
        const WindowControl& made = *controls_.at(control->name);
        switch (control->kind) {
        case ControlKind::GroupBox:
            AppendTabStops(control->name, stops);
            break;
        case ControlKind::RadioGroup: {
            const auto& group = dynamic_cast<const GroupControl&>(made);
            const int checked = group.Index();
            if (HWND button = group.ItemHandle(checked >= 0 ? checked : 0)) {
                stops.push_back(button);
            }
            break;
        }
        case ControlKind::PageControl: {
            stops.push_back(made.Handle());
            const auto& pages = dynamic_cast<const PageControl&>(made);
            int active = pages.Index();
            for (const ControlSpec* page : spec_.Children(control->name)) {
                if (active-- == 0) {
                    AppendTabStops(page->name, stops);
                }
            }
            break;
        }
        default:
            stops.push_back(made.Handle());
            break;
        }
    }
}

void FormWindow::MoveFocus(bool backwards) {
    std::vector<HWND> stops;
    AppendTabStops({}, stops);
    if (stops.empty()) {
        return;
    }
    HWND focus = ::GetFocus();
    std::ptrdiff_t at = -1;
    for (std::size_t i = 0; i < stops.size(); ++i) {
        if (stops[i] == focus || ::IsChild(stops[i], focus)) {
            at = static_cast<std::ptrdiff_t>(i);
        }
    }
    const auto count = static_cast<std::ptrdiff_t>(stops.size());
    for (std::ptrdiff_t step = 1; step <= count; ++step) {
        std::ptrdiff_t next = at < 0 ? (backwards ? count - step : step - 1)
                                     : (at + (backwards ? -step : step)) % count;
        if (next < 0) {
            next += count;
        }
        HWND candidate = stops[static_cast<std::size_t>(next)];
        if (::IsWindowVisible(candidate) && ::IsWindowEnabled(candidate)) {
            ::SetFocus(candidate);
            if (IsClass(candidate, WC_EDITW)) {
                ::SendMessageW(candidate, EM_SETSEL, 0, -1);
            }
            return;
        }
    }
}

void FormWindow::OnCommand(HWND source, int code) {
    WindowControl* control = ByHandle(source);
    if (control == nullptr || quiet_ > 0) {
        return;
    }
    const ControlSpec& spec = control->Spec();
    if (spec.kind == ControlKind::Button && code == BN_CLICKED) {
        // A click that reaches a disabled or hidden button (a message from outside) is no press.
        if (::IsWindowEnabled(source) && ::IsWindowVisible(source)) {
            events_.Raise(spec.name, FormEvent::Click);
        }
    } else if (spec.kind == ControlKind::ComboBox) {
        // A choice in the dropped list counts once it is made (the list closes on it); moving
        // through the closed box with the keys is a choice at each step.
        const bool dropped = ::SendMessageW(source, CB_GETDROPPEDSTATE, 0, 0) != FALSE;
        if ((code == CBN_SELCHANGE && !dropped) || code == CBN_SELENDOK) {
            // The list tells of the new item before its edit field shows it; the window logic
            // reads the choice as the item whose text the field shows, so the field goes first.
            const int index = control->Index();
            if (index >= 0) {
                control->SetIndex(index);
            }
            events_.Raise(spec.name, FormEvent::Change);
        }
    }
}

LRESULT FormWindow::OnNotify(const NMHDR& header, bool& handled) {
    WindowControl* control = ByHandle(header.hwndFrom);
    if (control == nullptr || control->Spec().kind != ControlKind::PageControl) {
        return 0;
    }
    if (header.code == TCN_SELCHANGING) {
        handled = true;
        return quiet_ == 0 && !events_.Raise(control->Spec().name, FormEvent::Changing) ? TRUE
                                                                                        : FALSE;
    }
    if (header.code == TCN_SELCHANGE) {
        dynamic_cast<PageControl*>(control)->ShowActivePage();
    }
    return 0;
}

LRESULT FormWindow::Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                             bool& handled) {
    switch (message) {
    case WM_COMMAND:
        if (lParam != 0) {
            OnCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
            handled = true;
        }
        return 0;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<const NMHDR*>(lParam), handled);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        // Labels, frames and radio buttons on the button face; a read-only edit box keeps the
        // window colour of an edit box.
        HDC dc = reinterpret_cast<HDC>(wParam);
        const bool edit = IsClass(reinterpret_cast<HWND>(lParam), WC_EDITW);
        const int colour = edit ? COLOR_WINDOW : COLOR_BTNFACE;
        ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
        ::SetBkColor(dc, ::GetSysColor(colour));
        handled = true;
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(colour));
    }
    case WM_SETCURSOR:
        if (HourglassShown()) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
            handled = true;
            return TRUE;
        }
        return 0;
    case WM_SETFONT:
        // Containers keep the font they were given, as the controls do.
        if (window != window_ && IsClass(window, PanelClass)) {
            ::SetPropW(window, L"LiratFont", reinterpret_cast<HANDLE>(wParam));
            handled = true;
        }
        return 0;
    case WM_GETFONT:
        if (window != window_ && IsClass(window, PanelClass)) {
            handled = true;
            return reinterpret_cast<LRESULT>(::GetPropW(window, L"LiratFont"));
        }
        return 0;
    case WM_NCDESTROY:
        if (window != window_ && IsClass(window, PanelClass)) {
            ::RemovePropW(window, L"LiratFont");
        }
        return 0;
    case kDpiChangedMessage:
        if (window == window_) {
            OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            handled = true;
        }
        return 0;
    case kGetDpiScaledSizeMessage:
        // The size the window will have at the new resolution, so that the place the system
        // then suggests is made for it.
        if (window == window_) {
            *reinterpret_cast<SIZE*>(lParam) = SizeAtDpi(static_cast<int>(wParam));
            handled = true;
            return TRUE;
        }
        return 0;
    case WM_CLOSE:
        if (window == window_) {
            if (options_.closeRequested) {
                options_.closeRequested();
            }
            handled = true;
        }
        return 0;
    default:
        return 0;
    }
}

} // namespace ui::win32
