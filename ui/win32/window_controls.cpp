#include "ui/win32/window_controls.h"

#include "ui/win32/form_window.h"
#include "ui/win32/wide_text.h"
#include "ui/win32/window_font.h"
#include "ui/window_scale.h"

#include <commctrl.h>

#include <algorithm>

namespace ui::win32 {

namespace {

// The smallest character height a fixed-size label shrinks to, at 96 dots per inch.
constexpr int SmallestFontHeight = 8;

RECT RectInParent(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::wstring ListText(HWND combo, int index) {
    const LRESULT length = ::SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

// Makes the closed box of a drop-down combo box exactly `height` pixels high: its edit field
// follows the font, so the field is grown or shrunk by the difference.
void FitComboHeight(HWND combo, int height) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        RECT rect{};
        ::GetWindowRect(combo, &rect);
        const int difference = height - static_cast<int>(rect.bottom - rect.top);
        if (difference == 0) {
            return;
        }
        const LRESULT field = ::SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
        ::SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field + difference);
    }
}

void SetFont(HWND window, HFONT font) {
    ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

} // namespace

// ---- any control ----

WindowControl::WindowControl(FormWindow& form, const ControlSpec& spec, HWND window)
    : form_(form), spec_(spec), window_(window),
      designLeft_(form.Design().Control(spec.name).left) {}

void WindowControl::Place() {
    SetFont(window_, form_.FontFor(spec_));
    ::SetWindowPos(window_, nullptr, form_.Scaled(designLeft_), spec_.top, spec_.width,
                   spec_.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string WindowControl::Text() const {
    return WindowText(CaptionHandle());
}

void WindowControl::SetText(const std::string& text) {
    FormWindow::Quiet quiet(form_);
    win32::SetWindowText(CaptionHandle(), text);
}

bool WindowControl::Enabled() const {
    return ::IsWindowEnabled(window_) != FALSE;
}

void WindowControl::SetEnabled(bool enabled) {
    ::EnableWindow(window_, enabled ? TRUE : FALSE);
}

bool WindowControl::Visible() const {
    // The control's own flag, as the toolkit's Visible: not whether its window is on screen.
    return (::GetWindowLongPtrW(window_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void WindowControl::SetVisible(bool visible) {
    ::ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE);
}

int WindowControl::Left() const {
    return designLeft_;
}

void WindowControl::SetLeft(int left) {
    designLeft_ = left;
    const RECT rect = RectInParent(window_);
    ::SetWindowPos(window_, nullptr, form_.Scaled(left), rect.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- labels ----

void LabelControl::SetText(const std::string& text) {
    const std::wstring wide = Wide(text);
    Fit(wide);
    FormWindow::Quiet quiet(form_);
    ::SetWindowTextW(window_, wide.c_str());
    ::InvalidateRect(window_, nullptr, TRUE);
}

void LabelControl::Place() {
    WindowControl::Place();
    Fit(Wide(WindowText(window_)));
    ::InvalidateRect(window_, nullptr, TRUE);
}

void LabelControl::Fit(const std::wstring& text) {
    const RECT rect = RectInParent(window_);
    const std::string& family = form_.Spec().fontFamily;
    const int fontHeight = spec_.fontHeight > 0 ? spec_.fontHeight : form_.Spec().fontHeight;
    if (spec_.autoSize) {
        const SIZE size = TextExtent(form_.Font(fontHeight), text);
        ::SetWindowPos(window_, nullptr, 0, 0, std::max<int>(spec_.width, size.cx),
                       std::max<int>(spec_.height, size.cy),
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        const int smallest = ScaleFontHeight(SmallestFontHeight, form_.LayoutDpi());
        const int height = FittingHeight(family, fontHeight, form_.Stretch(), smallest, text,
                                         static_cast<int>(rect.right - rect.left));
        SetFont(window_, form_.Font(height));
    }
}

// ---- group boxes and radio groups ----

GroupControl::GroupControl(FormWindow& form, const ControlSpec& spec, HWND window, HWND frame)
    : WindowControl(form, spec, window), frame_(frame) {
    for (const std::string& item : spec.items) {
        AddItem(item);
    }
    if (!buttons_.empty()) {
        SetIndex(spec.itemIndex);
    }
}

void GroupControl::Place() {
    WindowControl::Place();
    SetFont(frame_, form_.FontFor(spec_));
    ::SetWindowPos(frame_, nullptr, 0, 0, spec_.width, spec_.height, SWP_NOZORDER | SWP_NOACTIVATE);
    for (HWND button : buttons_) {
        SetFont(button, form_.FontFor(spec_));
    }
    ArrangeButtons();
}

std::string GroupControl::Text() const {
    return WindowText(frame_);
}

void GroupControl::SetText(const std::string& text) {
    win32::SetWindowText(frame_, text);
    win32::SetWindowText(window_, text);
}

void GroupControl::SetEnabled(bool enabled) {
    WindowControl::SetEnabled(enabled);
    ::EnableWindow(frame_, enabled ? TRUE : FALSE);
    for (HWND button : buttons_) {
        ::EnableWindow(button, enabled ? TRUE : FALSE);
    }
}

void GroupControl::ClearItems() {
    for (HWND button : buttons_) {
        ::DestroyWindow(button);
    }
    buttons_.clear();
}

void GroupControl::AddItem(const std::string& text) {
    // The first button starts the group and is its tab stop; arrow keys move within it.
    DWORD style = WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON;
    if (buttons_.empty()) {
        style |= WS_GROUP | (spec_.tabOrder >= 0 ? WS_TABSTOP : 0);
    }
    const int id =
        1000 + ControlId(form_.Spec(), spec_.name) * 16 + static_cast<int>(buttons_.size());
    HWND button = ::CreateWindowExW(0, WC_BUTTONW, Wide(text).c_str(), style, 0, 0, 0, 0, window_,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                    ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(form_.FontFor(spec_)), FALSE);
    if (!Enabled()) {
        ::EnableWindow(button, FALSE);
    }
    buttons_.push_back(button);
    ArrangeButtons();
}

void GroupControl::ArrangeButtons() {
    // One column spread evenly below the caption, as the original radio group lays them out.
    if (buttons_.empty()) {
        return;
    }
    HDC dc = ::GetDC(window_);
    HGDIOBJ previous = ::SelectObject(dc, form_.FontFor(spec_));
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    ::SelectObject(dc, previous);
    ::ReleaseDC(window_, dc);
    const int count = static_cast<int>(buttons_.size());
    const int room = spec_.height - metrics.tmHeight - form_.Scaled(5);
    const int buttonHeight = room / count;
    const int topMargin = metrics.tmHeight + form_.Scaled(1) + (room % count) / 2;
    for (int i = 0; i < count; ++i) {
        ::SetWindowPos(buttons_[static_cast<std::size_t>(i)], nullptr, form_.Scaled(8),
                       topMargin + i * buttonHeight, spec_.width - form_.Scaled(10), buttonHeight,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

std::string GroupControl::ItemText(int index) const {
    return index >= 0 && index < ItemCount() ? WindowText(buttons_[static_cast<std::size_t>(index)])
                                             : std::string();
}

void GroupControl::SetItemText(int index, const std::string& text) {
    if (HWND button = ItemHandle(index)) {
        win32::SetWindowText(button, text);
    }
}

int GroupControl::Index() const {
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        if (::SendMessageW(buttons_[i], BM_GETCHECK, 0, 0) == BST_CHECKED) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void GroupControl::SetIndex(int index) {
    FormWindow::Quiet quiet(form_);
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        ::SendMessageW(buttons_[i], BM_SETCHECK,
                       static_cast<int>(i) == index ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

HWND GroupControl::ItemHandle(int index) const {
    return index >= 0 && index < ItemCount() ? buttons_[static_cast<std::size_t>(index)] : nullptr;
}

// ---- combo boxes ----

void ComboControl::Place() {
    SetFont(window_, form_.FontFor(spec_));
    ::SetWindowPos(window_, nullptr, form_.Scaled(designLeft_), spec_.top, spec_.width,
                   spec_.height + form_.Scaled(200), SWP_NOZORDER | SWP_NOACTIVATE);
    FitComboHeight(window_, spec_.height);
    // The list drops down for the description's number of rows.
    const LRESULT row = ::SendMessageW(window_, CB_GETITEMHEIGHT, 0, 0);
    ::SetWindowPos(window_, nullptr, 0, 0, spec_.width,
                   spec_.height + static_cast<int>(row) * spec_.dropDownRows + 2,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ComboControl::SetText(const std::string& text) {
    FormWindow::Quiet quiet(form_);
    win32::SetWindowText(window_, text);
}

void ComboControl::ClearItems() {
    FormWindow::Quiet quiet(form_);
    ::SendMessageW(window_, CB_RESETCONTENT, 0, 0);
}

void ComboControl::AddItem(const std::string& text) {
    FormWindow::Quiet quiet(form_);
    const std::wstring wide = Wide(text);
    ::SendMessageW(window_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

int ComboControl::ItemCount() const {
    return static_cast<int>(::SendMessageW(window_, CB_GETCOUNT, 0, 0));
}

std::string ComboControl::ItemText(int index) const {
    return Utf8(ListText(window_, index));
}

int ComboControl::Index() const {
    return static_cast<int>(::SendMessageW(window_, CB_GETCURSEL, 0, 0));
}

void ComboControl::SetIndex(int index) {
    FormWindow::Quiet quiet(form_);
    ::SendMessageW(window_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    // The edit field shows the item's text, also when the list already had it selected.
    if (index >= 0 && index < ItemCount()) {
        ::SetWindowTextW(window_, ListText(window_, index).c_str());
    }
}

// ---- up-down ----

int UpDownControl::Index() const {
    return static_cast<int>(::SendMessageW(window_, UDM_GETPOS32, 0, 0));
}

void UpDownControl::SetIndex(int index) {
    FormWindow::Quiet quiet(form_);
    // The control keeps the position within its range and shows it in the attached edit box.
    ::SendMessageW(window_, UDM_SETPOS32, 0, index);
}

// ---- status bar ----

void StatusBarControl::Place() {
    std::vector<int> edges;
    int edge = 0;
    for (const StatusPanel& panel : spec_.panels) {
        edge += panel.width;
        edges.push_back(edge);
    }
    if (!edges.empty()) {
        edges.back() = -1; // the last panel takes the rest of the bar
    }
    ::SendMessageW(window_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    WindowControl::Place();
}

int StatusBarControl::ItemCount() const {
    return static_cast<int>(::SendMessageW(window_, SB_GETPARTS, 0, 0));
}

std::string StatusBarControl::ItemText(int index) const {
    if (index < 0 || index >= ItemCount()) {
        return {};
    }
    const LRESULT length =
        LOWORD(::SendMessageW(window_, SB_GETTEXTLENGTHW, static_cast<WPARAM>(index), 0));
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::SendMessageW(window_, SB_GETTEXTW, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return Utf8(text);
}

void StatusBarControl::SetItemText(int index, const std::string& text) {
    if (index < 0 || index >= ItemCount()) {
        return;
    }
    const std::wstring wide = Wide(text);
    ::SendMessageW(window_, SB_SETTEXTW, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(wide.c_str()));
}

// ---- page control and pages ----

PageControl::PageControl(FormWindow& form, const ControlSpec& spec, HWND window)
    : WindowControl(form, spec, window) {}

int PageControl::Index() const {
    return static_cast<int>(::SendMessageW(window_, TCM_GETCURSEL, 0, 0));
}

void PageControl::SetIndex(int index) {
    FormWindow::Quiet quiet(form_);
    ::SendMessageW(window_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    ShowActivePage();
}

void PageControl::AddPage(WindowControl& page) {
    pages_.push_back(&page);
}

void PageControl::ShowActivePage() {
    const int active = Index();
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        ::ShowWindow(pages_[i]->Handle(), static_cast<int>(i) == active ? SW_SHOWNA : SW_HIDE);
    }
}

std::string PageControl::ItemText(int index) const {
    return index >= 0 && index < ItemCount() ? pages_[static_cast<std::size_t>(index)]->Text()
                                             : std::string();
}

TabSheetControl::TabSheetControl(FormWindow& form, const ControlSpec& spec, HWND window, HWND tabs,
                                 int tab)
    : WindowControl(form, spec, window), tabs_(tabs), tab_(tab) {}

void TabSheetControl::Place() {
    RECT display{};
    ::GetClientRect(tabs_, &display);
    ::SendMessageW(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    SetFont(window_, form_.FontFor(spec_));
    ::SetWindowPos(window_, nullptr, display.left, display.top, display.right - display.left,
                   display.bottom - display.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string TabSheetControl::Text() const {
    wchar_t text[256] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = static_cast<int>(std::size(text));
    ::SendMessageW(tabs_, TCM_GETITEMW, static_cast<WPARAM>(tab_), reinterpret_cast<LPARAM>(&item));
    return Utf8(text);
}

void TabSheetControl::SetText(const std::string& text) {
    std::wstring wide = Wide(text);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = wide.data();
    ::SendMessageW(tabs_, TCM_SETITEMW, static_cast<WPARAM>(tab_), reinterpret_cast<LPARAM>(&item));
    win32::SetWindowText(window_, text);
}

// ---- pictures ----

PictureControl::~PictureControl() {
    if (bitmap_ != nullptr) {
        ::DeleteObject(bitmap_);
    }
}

void PictureControl::Place() {
    // The control sizes itself to a new image, so the image goes first and the place after.
    HBITMAP bitmap = form_.PictureFor(spec_);
    if (bitmap != nullptr) {
        ::SendMessageW(window_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
        if (bitmap_ != nullptr) {
            ::DeleteObject(bitmap_);
        }
        bitmap_ = bitmap;
    }
    WindowControl::Place();
}

} // namespace ui::win32
