#pragma once
// Both Win32 windows as the program makes them, for in-process tests: scripted user-interface
// services that record every box instead of showing it, a scripted port in place of the device,
// and the program's path in a fresh folder, so the settings file is the test's own. The windows
// run on the test's thread; the helpers act as the user does (clicks, keys, choices in the
// lists) and pump the messages that follow.

#include "app/main_window_description.h"
#include "app/win32/tform1.h"
#include "calibration/kalibr_form_description.h"
#include "calibration/win32/tkalibr_form.h"
#include "tests/serial/temp_folder.h"
#include "tests/support/scripted_exchange_port.h"
#include "tests/support/scripted_ui_services.h"
#include "tests/ui/win32/pump.h"
#include "ui/win32/wide_text.h"
#include "ui/win32/win32_sync_dispatcher.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace win32_test {

struct Windows {
    serial::testing::TempFolder folder;
    testing_support::ScriptedUiServices ui;
    testing_support::ScriptedExchangePort* port = nullptr; // owned by the main window's logic
    std::unique_ptr<app::win32::TForm1> form;
    std::unique_ptr<calibration::win32::TKalibrForm> kalibr;
    // Runs work from the message loop later, e.g. inside the calibration window's modal run.
    ui::win32::Win32SyncDispatcher later;

    explicit Windows(char separator = '.') {
        auto scripted = std::make_unique<testing_support::ScriptedExchangePort>();
        port = scripted.get();
        app::win32::TForm1Options options;
        options.port = std::move(scripted);
        options.decimalSeparator = [separator] { return separator; };
        options.executablePath = serial::testing::Utf8Path(folder.Path() / "lirat5.exe");
        form = std::make_unique<app::win32::TForm1>(ui, std::move(options));
        kalibr = std::make_unique<calibration::win32::TKalibrForm>(
            form->Logic().Engine(), form->Logic(), ui, form->Window().Handle());
        form->Logic().SetCalibrationLink(&kalibr->Logic());
    }
    ~Windows() { form->Logic().SetCalibrationLink(nullptr); }
    Windows(const Windows&) = delete;
    Windows& operator=(const Windows&) = delete;

    void Show() {
        form->Show();
        lirat_test::PumpFor(30);
    }

    ui::win32::FormWindow& Main() { return form->Window(); }
    ui::win32::FormWindow& Kalibr() { return kalibr->Window(); }
    HWND operator()(const std::string& name) { return Main().ControlHandle(name); }
    std::string Text(const std::string& name) { return Main()[name].Text(); }

    static void Click(HWND button) {
        ::SendMessageW(button, BM_CLICK, 0, 0);
        lirat_test::PumpFor(20);
    }
    void Click(const std::string& name) { Click((*this)(name)); }

    // A key as the keyboard sends it to the focused control, through the message loop.
    static void Key(WPARAM key) {
        HWND focus = ::GetFocus();
        ::PostMessageW(focus, WM_KEYDOWN, key, 1);
        ::PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
        lirat_test::PumpFor(20);
    }

    // The user picks item `index` of a closed list with the arrow keys, a step at a time.
    void Choose(const std::string& combo, int index) {
        ::SetFocus((*this)(combo));
        lirat_test::PumpFor(10);
        for (int at = Main()[combo].Index(); at != index; at += at < index ? 1 : -1) {
            Key(at < index ? VK_DOWN : VK_UP);
        }
    }

    // The user types into an edit box or a list's edit field.
    void Type(const std::string& name, const std::string& text) {
        HWND target = (*this)(name);
        if (HWND edit = ::FindWindowExW(target, nullptr, L"Edit", nullptr)) {
            target = edit; // a drop-down list's edit field
        }
        const std::wstring wide = ui::win32::Wide(text);
        ::SendMessageW(target, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
        lirat_test::PumpFor(10);
    }

    // One tick of the main window's timer, as its interval ends.
    bool Tick() {
        if (!form->Timer().Enabled()) {
            return false;
        }
        form->Logic().TimerTimer();
        lirat_test::PumpFor(10);
        return true;
    }
    // Ticks until the transaction has ended.
    void Finish() {
        for (int i = 0; i < 20 && Tick(); ++i) {
        }
    }

    std::filesystem::path SettingsFile() const { return folder.Path() / "lirat5.INI"; }
    std::string SettingsText() const {
        std::ifstream in(SettingsFile(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

inline RECT InParent(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

inline LOGFONTW FontOf(HWND window) {
    LOGFONTW face{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0)), sizeof face,
                 &face);
    return face;
}

// Width of one line of a window's own text in the window's own font.
inline int CaptionWidth(HWND window, const std::string& text) {
    HDC dc = ::GetDC(window);
    HGDIOBJ previous =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0)));
    const std::wstring wide = ui::win32::Wide(text);
    SIZE size{};
    ::GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    ::SelectObject(dc, previous);
    ::ReleaseDC(window, dc);
    return size.cx;
}

// Every push button's caption fits inside its frame, and every group's and radio button's.
inline std::vector<std::string> CaptionsThatDoNotFit(ui::win32::FormWindow& form) {
    std::vector<std::string> cut;
    for (const ui::ControlSpec& control : form.Spec().controls) {
        HWND window = form.ControlHandle(control.name);
        const RECT at = InParent(window);
        const int width = at.right - at.left;
        if (control.kind == ui::ControlKind::Button &&
            CaptionWidth(window, control.text) + 6 > width) {
            cut.push_back(control.name);
        }
        if ((control.kind == ui::ControlKind::GroupBox ||
             control.kind == ui::ControlKind::RadioGroup) &&
            CaptionWidth(window, control.text) + 16 > width) {
            cut.push_back(control.name);
        }
        for (int i = 0; i < static_cast<int>(control.items.size()); ++i) {
            HWND button = form.ItemHandle(control.name, i);
            if (button != nullptr) {
                const RECT item = InParent(button);
                // The radio's circle and gap take about a character height.
                if (CaptionWidth(button, control.items[static_cast<std::size_t>(i)]) + 18 >
                    item.right - item.left) {
                    cut.push_back(control.name + " item " + std::to_string(i));
                }
            }
        }
    }
    return cut;
}

inline std::string ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return ui::win32::Utf8(name);
}

} // namespace win32_test
