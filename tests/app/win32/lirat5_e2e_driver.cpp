// Drives lirat5.exe as a technician would, from outside the process, against the transducer
// simulator on COM7: finds the main window showing the port its settings file names, reads the
// configuration, writes a changed one and reads it back, reads the temperature, restores the
// factory settings, runs a zero calibration and an output calibration with typed values, turns
// the port to 9 and reads there (the new number must then be in the settings file beside the
// program), and leaves; every message box on the way is expected by its text and answered.
// With LIRAT_WINE_CODEPAGE set, the run first makes sure Windows really uses that ANSI code page.
// Optionally takes pictures of both windows (both pages of the calibration window) as bitmap files.
// Prints the time from start to the main window shown.
//
//   lirat5_e2e_driver <lirat5.exe> [<folder for pictures>]
//
// Exit code 0 when everything held; the first difference is printed and ends the run with 1.

#include "app/main_window_description.h"
#include "calibration/kalibr_form_description.h"
#include "tests/support/win32_end_now.h"
#include "ui/win32/form_window.h"
#include "ui/win32/input_box.h"
#include "ui/win32/wide_text.h"

#include <commctrl.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using ui::win32::Utf8;
using ui::win32::Wide;

constexpr const char* MainCaption = "Конфигуратор ЛИРАТ-5";
constexpr const char* KalibrCaption = "Калибровка прибора";

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void Check(bool condition, const std::string& what) {
    if (!condition) {
        throw Failure(what);
    }
}

void Sleep(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < until) {
        if (condition()) {
            return true;
        }
        Sleep(20);
    }
    return condition();
}

// A window's text, read through the window's own process (WM_GETTEXT is carried across).
std::string Text(HWND window) {
    DWORD_PTR length = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_BLOCK, 5000, &length);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                          SMTO_BLOCK, 5000, &copied);
    text.resize(copied);
    return Utf8(text);
}

std::string ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return Utf8(name);
}

// Memory in the program's process for the control messages whose answers go through a pointer.
class Remote {
public:
    Remote(HANDLE process, std::size_t size) : process_(process), size_(size) {
        address_ = ::VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
        Check(address_ != nullptr, "VirtualAllocEx failed");
    }
    ~Remote() { ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE); }
    Remote(const Remote&) = delete;
    Remote& operator=(const Remote&) = delete;
    LPARAM Address() const { return reinterpret_cast<LPARAM>(address_); }
    template <class T> T Read() const {
        T value{};
        ::ReadProcessMemory(process_, address_, &value, sizeof value, nullptr);
        return value;
    }
    std::wstring ReadText() const {
        std::wstring text(size_ / sizeof(wchar_t), L'\0');
        ::ReadProcessMemory(process_, address_, text.data(), size_, nullptr);
        text.resize(text.find(L'\0'));
        return text;
    }

private:
    HANDLE process_;
    std::size_t size_;
    void* address_ = nullptr;
};

class Program {
public:
    explicit Program(const std::wstring& exe) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring command = L"\"" + exe + L"\"";
        const std::wstring folder = exe.substr(0, exe.find_last_of(L"\\/"));
        started_ = Clock::now();
        Check(::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               folder.c_str(), &startup, &info_) != FALSE,
              "cannot start " + Utf8(exe));
    }
    ~Program() {
        if (::WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(info_.hProcess, 99);
        }
        ::CloseHandle(info_.hThread);
        ::CloseHandle(info_.hProcess);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    HANDLE Process() const { return info_.hProcess; }
    Clock::time_point Started() const { return started_; }

    // The visible top-level windows of the program of a class, or with a caption too.
    std::vector<HWND> Windows(const std::string& type, const std::string& caption = {}) const {
        struct Search {
            DWORD process;
            std::string type, caption;
            std::vector<HWND> found;
        } search{info_.dwProcessId, type, caption, {}};
        ::EnumWindows(
            [](HWND window, LPARAM data) CALLBACK -> BOOL {
                auto& s = *reinterpret_cast<Search*>(data);
                DWORD owner = 0;
                ::GetWindowThreadProcessId(window, &owner);
                if (owner == s.process && ::IsWindowVisible(window) && ClassOf(window) == s.type &&
                    (s.caption.empty() || Text(window) == s.caption)) {
                    s.found.push_back(window);
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    HWND Box() const {
        const auto boxes = Windows("#32770");
        return boxes.empty() ? nullptr : boxes.front();
    }

    // The exit code once the program has ended within the time, or -1.
    int WaitForExit(int timeoutMs) const {
        if (::WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) {
            return -1;
        }
        DWORD code = 0;
        ::GetExitCodeProcess(info_.hProcess, &code);
        return static_cast<int>(code);
    }

private:
    PROCESS_INFORMATION info_{};
    Clock::time_point started_;
};

// A window of the program whose controls are found by the identifiers of its description.
class Form {
public:
    Form(HWND window, const ui::FormSpec& spec) : window_(window), spec_(spec) {}
    HWND Handle() const { return window_; }

    HWND operator[](const std::string& name) const {
        struct Search {
            int id;
            HWND found;
        } search{ui::win32::ControlId(spec_, name), nullptr};
        ::EnumChildWindows(
            window_,
            [](HWND child, LPARAM data) CALLBACK -> BOOL {
                auto& s = *reinterpret_cast<Search*>(data);
                if (::GetDlgCtrlID(child) == s.id) {
                    s.found = child;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        Check(search.found != nullptr, spec_.name + " has no window for " + name);
        return search.found;
    }
    std::string Text(const std::string& name) const { return ::Text((*this)[name]); }
    bool Enabled(const std::string& name) const { return ::IsWindowEnabled((*this)[name]); }
    // Posted, as a user's click is: the program handles it from its own loop.
    void Click(const std::string& name) const { ::PostMessageW((*this)[name], BM_CLICK, 0, 0); }
    void Type(const std::string& name, const std::string& text) const {
        const std::wstring wide = Wide(text);
        ::SendMessageW((*this)[name], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    }

private:
    HWND window_;
    const ui::FormSpec& spec_;
};

// What the program is expected to show during a transaction: a message box with a text, or an
// input box with a caption and its default text, answered with a typed text.
struct Expected {
    std::string text; // message text, or the input box's caption
    bool input = false;
    std::string defaultText;
    std::string typed;
};

Expected Message(std::string text) {
    return {std::move(text), false, {}, {}};
}

Expected Input(std::string caption, std::string defaultText, std::string typed) {
    return {std::move(caption), true, std::move(defaultText), std::move(typed)};
}

std::vector<std::string> StaticTexts(HWND box) {
    std::vector<std::string> texts;
    for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        const auto style = ::GetWindowLongPtrW(child, GWL_STYLE);
        if (_stricmp(ClassOf(child).c_str(), "Static") == 0 && (style & SS_TYPEMASK) != SS_ICON) {
            const std::string text = Text(child);
            if (!text.empty()) {
                texts.push_back(text);
            }
        }
    }
    return texts;
}

// Starts a transaction with a click and answers the boxes it shows, in order, until the main
// window's transaction buttons are enabled again and no box is open.
void RunTransaction(const Program& program, const Form& main, const Form& pressedOn,
                    const std::string& button, std::deque<Expected> expected,
                    int timeoutMs = 30000) {
    std::printf("e2e: pressing %s\n", button.c_str());
    pressedOn.Click(button);
    // The click is handled once the buttons are disabled or a box appears.
    WaitFor([&] { return !main.Enabled("ButtonRead") || program.Box() != nullptr; }, 5000);
    const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < until) {
        if (HWND box = program.Box()) {
            Sleep(50); // let the box finish its set-up
            const std::string caption = Text(box);
            const auto texts = StaticTexts(box);
            const std::string shown = texts.empty() ? std::string() : texts.back();
            Check(!expected.empty(), "unexpected box \"" + caption + "\": " + shown);
            const Expected next = expected.front();
            expected.pop_front();
            if (next.input) {
                Check(caption == next.text, "expected the input box \"" + next.text + "\", saw \"" +
                                                caption + "\": " + shown);
                HWND edit = ::GetDlgItem(box, ui::win32::InputBoxEditId);
                Check(Text(edit) == next.defaultText, "input box default \"" + Text(edit) +
                                                          "\" instead of \"" + next.defaultText +
                                                          "\"");
                const std::wstring typed = Wide(next.typed);
                ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
                std::printf("e2e: input box \"%s\" answered with %s\n", caption.c_str(),
                            next.typed.c_str());
            } else {
                Check(shown == next.text,
                      "expected the message \"" + next.text + "\", saw \"" + shown + "\"");
                std::printf("e2e: message \"%s\" answered\n", shown.c_str());
            }
            ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)));
            WaitFor([&] { return !::IsWindow(box) || !::IsWindowVisible(box); }, 5000);
            continue;
        }
        if (expected.empty() && main.Enabled("ButtonRead")) {
            return;
        }
        Sleep(50);
    }
    Check(false, button + ": the transaction did not end in time (" +
                     std::to_string(expected.size()) + " boxes still expected)");
}

void Expect(const std::string& actual, const std::string& wanted, const std::string& what) {
    Check(actual == wanted, what + " is \"" + actual + "\" instead of \"" + wanted + "\"");
    std::printf("e2e: %s = %s\n", what.c_str(), actual.c_str());
}

// A picture of a window as the screen shows it, as a 24-bit bitmap file.
void SavePicture(HWND window, const std::wstring& file) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    ::GdiFlush();
    const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof header + sizeof info.bmiHeader;
    header.bfSize = header.bfOffBits + stride * static_cast<DWORD>(height);
    if (FILE* out = _wfopen(file.c_str(), L"wb")) {
        std::fwrite(&header, sizeof header, 1, out);
        std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out);
        std::fwrite(bits, stride * static_cast<DWORD>(height), 1, out);
        std::fclose(out);
    }
    ::SelectObject(memory, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
}

std::string Decimal(const std::string& number) {
    wchar_t separator[8] = {};
    ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8);
    std::string text = number;
    for (char& c : text) {
        if (c == '.' && separator[0] < 0x80 && separator[1] == 0) {
            c = static_cast<char>(separator[0]);
        }
    }
    return text;
}

// The settings file beside the program, as bytes.
std::string SettingsFileBeside(const std::wstring& exe) {
    const std::wstring path = exe.substr(0, exe.find_last_of(L'.')) + L".INI";
    std::string contents;
    if (FILE* in = _wfopen(path.c_str(), L"rb")) {
        char chunk[512];
        for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, in)) > 0;) {
            contents.append(chunk, got);
        }
        std::fclose(in);
    }
    return contents;
}

// The run is meant for one ANSI code page: a locale the system did not take would test the
// other one twice.
void CheckCodePage() {
    const char* wanted = std::getenv("LIRAT_WINE_CODEPAGE");
    if (wanted == nullptr || *wanted == '\0') {
        return;
    }
    Check(std::to_string(::GetACP()) == wanted,
          "the ANSI code page is " + std::to_string(::GetACP()) + " instead of " + wanted);
    std::printf("e2e: ANSI code page %u\n", ::GetACP());
}

void Drive(const std::wstring& exe, const std::wstring& pictures) {
    CheckCodePage();
    Program program(exe);
    const ui::FormSpec& mainSpec = app::MainWindowDescription();
    HWND mainWindow = nullptr;
    Check(WaitFor(
              [&] {
                  const auto found = program.Windows("LiratForm", MainCaption);
                  mainWindow = found.empty() ? nullptr : found.front();
                  return mainWindow != nullptr &&
                         ::SendMessageW(Form(mainWindow, mainSpec)["TipComboBox"], CB_GETCOUNT, 0,
                                        0) == 10;
              },
              30000),
          "the main window did not appear");
    const auto shownMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - program.Started())
            .count();
    std::printf("e2e: main window shown %lld ms after start\n", static_cast<long long>(shownMs));
    Form main(mainWindow, mainSpec);
    Check(!main.Enabled("Button2"), "\"Калибровка\" is enabled before the device answered");
    // The settings file beside the program names COM7.
    Expect(main.Text("PortEdit"), "7", "port number");

    // The simulator plays range 20 with the working range at its limits, a break level of 110 %
    // and the 0-10 V output.
    RunTransaction(program, main, main, "ButtonRead", {});
    Expect(main.Text("TipComboBox"), "TСП 100", "type");
    Expect(main.Text("DiapazonComboBox"), "-200 +850", "range");
    Expect(main.Text("NullEdit"), Decimal("-200.0"), "lower value");
    Expect(main.Text("UpEdit"), Decimal("850.0"), "upper value");
    Expect(main.Text("OutEdit"), Decimal("110.0"), "break level");
    const int firstOutput = 1000 + ui::win32::ControlId(mainSpec, "TipOut") * 16;
    Check(::SendMessageW(::GetDlgItem(main["TipOut"], firstOutput), BM_GETCHECK, 0, 0) ==
              BST_CHECKED,
          "the output type is not \"0 - 10 В\"");
    Check(main.Enabled("Button2") && main.Enabled("ButtonTemp"),
          "\"Калибровка\" and the temperature button stay disabled after the read");
    {
        Remote text(program.Process(), 512);
        ::SendMessageW(main["StatusBar"], SB_GETTEXTW, 1, text.Address());
        const std::string received = Utf8(text.ReadText());
        Check(received.rfind("Принято: !", 0) == 0, "second status panel shows " + received);
        std::printf("e2e: second status panel = %s\n", received.c_str());
    }
    if (!pictures.empty()) {
        SavePicture(mainWindow, pictures + L"\\main_window.bmp");
    }

    // A changed configuration written, then spoilt in the window and read back from the device.
    main.Type("UpEdit", Decimal("800.0"));
    main.Type("OutEdit", "50");
    RunTransaction(program, main, main, "ButtonWrite", {});
    main.Type("UpEdit", "1");
    main.Type("OutEdit", "1");
    RunTransaction(program, main, main, "ButtonRead", {});
    Expect(main.Text("UpEdit"), Decimal("800.0"), "upper value read back");
    Expect(main.Text("OutEdit"), Decimal("50.0"), "break level read back");

    RunTransaction(program, main, main, "ButtonTemp", {});
    Expect(main.Text("LabelTemp"), "Температура (град. С): " + Decimal("23.4"), "measured value");

    RunTransaction(program, main, main, "ButtonZ", {Message("Калибровка завершена успешно!")});

    // The calibration window, modal over the main window.
    main.Click("Button2");
    HWND kalibrWindow = nullptr;
    Check(WaitFor(
              [&] {
                  const auto found = program.Windows("LiratForm", KalibrCaption);
                  kalibrWindow = found.empty() ? nullptr : found.front();
                  return kalibrWindow != nullptr;
              },
              10000),
          "the calibration window did not appear");
    Form kalibr(kalibrWindow, calibration::KalibrFormDescription());
    Check(!::IsWindowEnabled(mainWindow), "the main window takes input under the modal window");
    Expect(kalibr.Text("Label1"), "Калибровка нуля", "calibration title");
    Expect(kalibr.Text("Label3"), "R = 0,0 Om", "resistance to set");
    if (!pictures.empty()) {
        Sleep(200);
        SavePicture(kalibrWindow, pictures + L"\\calibration_input.bmp");
    }
    RunTransaction(program, main, kalibr, "Button1",
                   {Message("Установите аналог датчика согласно рисунку!"),
                    Message("Калибровка завершена успешно!")});

    // The output page, chosen by a click on its tab.
    {
        HWND tabs = kalibr["PageControl1"];
        Remote rect(program.Process(), sizeof(RECT));
        ::SendMessageW(tabs, TCM_GETITEMRECT, 1, rect.Address());
        const RECT tab = rect.Read<RECT>();
        const LPARAM at = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
        ::PostMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageW(tabs, WM_LBUTTONUP, 0, at);
        Check(WaitFor([&] { return ::SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == 1; }, 5000),
              "the output page did not open");
        Check(WaitFor([&] { return ::IsWindowVisible(kalibr["Button3"]) != FALSE; }, 5000),
              "the output page's button is not shown");
    }
    Expect(kalibr.Text("Label5"), "V", "output unit");
    // Nothing runs: the output page's buttons are there to press.
    Check(::IsWindowEnabled(kalibr["Button3"]) && ::IsWindowEnabled(kalibr["Button4"]),
          "the output page's buttons are disabled");
    if (!pictures.empty()) {
        Sleep(200);
        SavePicture(kalibrWindow, pictures + L"\\calibration_output.bmp");
    }
    RunTransaction(
        program, main, kalibr, "Button3",
        {Message("Прооверьте, что переключатель на приборе задает\nрежим выхода:0 - 10B"),
         Input("Калибровка минимума выходного сигнала", "0", Decimal("0.05")),
         Input("Калибровка максимума выходного сигнала", "10", Decimal("9.95")),
         Message("Калибровка завершена успешно!")},
        60000);
    // A finished calibration leaves without the warning.
    kalibr.Click("Button4");
    Check(WaitFor([&] { return !::IsWindowVisible(kalibrWindow) && ::IsWindowEnabled(mainWindow); },
                  5000),
          "the calibration window did not close");
    Check(program.Box() == nullptr, "a box appeared when the calibration window closed");

    // Another port number, turned with the arrow key as the user does, is stored beside the
    // program before the port opens; COM9 leads to the same simulator.
    for (int step = 0; step < 2; ++step) {
        ::PostMessageW(main["PortEdit"], WM_KEYDOWN, VK_UP, 1);
        ::PostMessageW(main["PortEdit"], WM_KEYUP, VK_UP, 0xC0000001);
    }
    Check(WaitFor([&] { return main.Text("PortEdit") == "9"; }, 5000),
          "the port number did not turn to 9: " + main.Text("PortEdit"));
    RunTransaction(program, main, main, "ButtonRead", {});
    const std::string settings = SettingsFileBeside(exe);
    Check(settings.find("Port=COM9") != std::string::npos &&
              settings.find("BaudRate=9600") != std::string::npos,
          "the settings file beside the program holds \"" + settings + "\"");
    std::printf("e2e: the settings file beside the program names COM9\n");

    main.Click("Button1");
    const int code = program.WaitForExit(10000);
    Check(code == 0, "the program ended with " + std::to_string(code) + " instead of 0");
    std::printf("e2e: the program ended with exit code 0\n");
}

int Run(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: lirat5_e2e_driver <lirat5.exe> [<folder for pictures>]\n");
        return 2;
    }
    try {
        Drive(argv[1], argc > 2 ? argv[2] : L"");
    } catch (const Failure& failure) {
        std::printf("e2e: FAILED: %s\n", failure.what());
        return 1;
    } catch (const std::exception& error) {
        std::printf("e2e: FAILED: %s\n", error.what());
        return 1;
    }
    std::printf("e2e: all steps passed\n");
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    lirat_test::EndNow(Run(argc, argv));
}
