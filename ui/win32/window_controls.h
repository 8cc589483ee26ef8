#pragma once
// ui::Control over the windows of the Win32 controls, one class per kind that differs. Texts
// are UTF-8 here and UTF-16 at the window; every change made from code runs quiet, so the
// notifications it causes are not taken for the user's. Each control places itself (Place) at
// its window's resolution, when it is made and whenever that resolution changes; the left edge
// the window logic reads and sets is in the description's pixels.

#include "ui/control.h"
#include "ui/form_spec.h"

#include <windows.h>

#include <string>
#include <vector>

namespace ui::win32 {

class FormWindow;

class WindowControl : public Control {
public:
    WindowControl(FormWindow& form, const ControlSpec& spec, HWND window);

    const ControlSpec& Spec() const { return spec_; }
    HWND Handle() const { return window_; }
    // The window that carries the caption (a group's frame; the window itself otherwise).
    virtual HWND CaptionHandle() const { return window_; }
    // Gives the control its place, size and font at the window's resolution (Spec()).
    virtual void Place();

    std::string Text() const override;
    void SetText(const std::string& text) override;
    bool Enabled() const override;
    void SetEnabled(bool enabled) override;
    bool Visible() const override;
    void SetVisible(bool visible) override;
    int Left() const override;
    void SetLeft(int left) override;
    void ClearItems() override {}
    void AddItem(const std::string& /*text*/) override {}
    int ItemCount() const override { return 0; }
    std::string ItemText(int /*index*/) const override { return {}; }
    void SetItemText(int /*index*/, const std::string& /*text*/) override {}
    int Index() const override { return -1; }
    void SetIndex(int /*index*/) override {}

protected:
    FormWindow& form_;
    const ControlSpec& spec_;
    HWND window_;
    int designLeft_; // the left edge in the description's pixels, as the logic last set it
};

// A label: one line of text. One that sizes itself grows with its caption; a fixed-size one
// keeps its box and takes the largest character height up to the description's at which the
// caption fits (a substitute face may be wider than MS Sans Serif).
class LabelControl : public WindowControl {
public:
    using WindowControl::WindowControl;
    void SetText(const std::string& text) override;
    void Place() override;

private:
    void Fit(const std::wstring& text);
};

// A group box or radio group: a container with a captioned frame; a radio group also holds one
// column of radio buttons, addressed by item.
class GroupControl : public WindowControl {
public:
    GroupControl(FormWindow& form, const ControlSpec& spec, HWND window, HWND frame);
    HWND CaptionHandle() const override { return frame_; }
    void Place() override;
    std::string Text() const override;
    void SetText(const std::string& text) override;
    void SetEnabled(bool enabled) override;
    void ClearItems() override;
    void AddItem(const std::string& text) override;
    int ItemCount() const override { return static_cast<int>(buttons_.size()); }
    std::string ItemText(int index) const override;
    void SetItemText(int index, const std::string& text) override;
    int Index() const override;
    void SetIndex(int index) override;
    HWND ItemHandle(int index) const;

private:
    void ArrangeButtons();
    HWND frame_;
    std::vector<HWND> buttons_;
};

class ComboControl : public WindowControl {
public:
    using WindowControl::WindowControl;
    void Place() override;
    void SetText(const std::string& text) override;
    void ClearItems() override;
    void AddItem(const std::string& text) override;
    int ItemCount() const override;
    std::string ItemText(int index) const override;
    int Index() const override;
    void SetIndex(int index) override;
};

class UpDownControl : public WindowControl {
public:
    using WindowControl::WindowControl;
    int Index() const override;
    void SetIndex(int index) override;
};

// A status bar: its panels are the items, and Text is the first panel's.
class StatusBarControl : public WindowControl {
public:
    using WindowControl::WindowControl;
    void Place() override;
    std::string Text() const override { return ItemText(0); }
    void SetText(const std::string& text) override { SetItemText(0, text); }
    int ItemCount() const override;
    std::string ItemText(int index) const override;
    void SetItemText(int index, const std::string& text) override;
};

// A page control: Index is the active page; the pages are its TabSheet controls.
class PageControl : public WindowControl {
public:
    PageControl(FormWindow& form, const ControlSpec& spec, HWND window);
    int Index() const override;
    void SetIndex(int index) override;
    void AddPage(WindowControl& page);
    // Shows the active page and hides the others.
    void ShowActivePage();
    int ItemCount() const override { return static_cast<int>(pages_.size()); }
    std::string ItemText(int index) const override;

private:
    std::vector<WindowControl*> pages_;
};

// One page of a page control: its caption is the tab's; it is visible as long as it has a tab.
class TabSheetControl : public WindowControl {
public:
    TabSheetControl(FormWindow& form, const ControlSpec& spec, HWND window, HWND tabs, int tab);
    // Fills the page control's display area.
    void Place() override;
    std::string Text() const override;
    void SetText(const std::string& text) override;
    bool Visible() const override { return true; }
    void SetVisible(bool /*visible*/) override {}

private:
    HWND tabs_;
    int tab_;
};

// A picture: its bitmap is made for its size at the window's resolution.
class PictureControl : public WindowControl {
public:
    using WindowControl::WindowControl;
    ~PictureControl() override;
    PictureControl(const PictureControl&) = delete;
    PictureControl& operator=(const PictureControl&) = delete;
    void Place() override;

private:
    HBITMAP bitmap_ = nullptr;
};

} // namespace ui::win32
