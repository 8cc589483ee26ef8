// Starts a Windows program again and again, as a technician starts lirat5.exe, and reports the
// time from just before CreateProcess to its main window shown and ready for input (the first
// visible top-level window of the process, after the process's message loop first went idle),
// and its working set then (GetProcessMemoryInfo, the figures Windows' Task Manager shows).
// The window is then closed as the user closes it. The first start warms the system's caches
// and is not counted.
//
//   lirat5_startup_bench <starts> <label> <program.exe> [<label> <program.exe> ...]
//
// A program "--plain-window" is a bare window of this program's own: the floor of any windowed
// program on the system. Prints one markdown row per figure: label, median, 90th percentile
// (nearest rank), worst, starts.

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double NowMs() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / frequency;
}

HWND VisibleWindowOf(DWORD process) {
    struct Search {
        DWORD process;
        HWND found;
    } search{process, nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM data) CALLBACK -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner == s.process && ::IsWindowVisible(window)) {
                s.found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct Start {
    double shownMs = 0;
    double workingSetMiB = 0;
    double peakWorkingSetMiB = 0;
};

bool StartOnce(const std::wstring& exe, const std::wstring& arguments, Start& result) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring command = L"\"" + exe + L"\"" + arguments;
    const std::wstring folder = exe.substr(0, exe.find_last_of(L"\\/"));
    const double started = NowMs();
    if (!::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.c_str(), &startup, &info)) {
        std::fprintf(stderr, "cannot start the program (error %lu)\n", ::GetLastError());
        return false;
    }
    ::WaitForInputIdle(info.hProcess, 30000);
    HWND window = nullptr;
    while ((window = VisibleWindowOf(info.dwProcessId)) == nullptr && NowMs() - started < 30000) {
        ::Sleep(1);
    }
    result.shownMs = NowMs() - started;
    // What the program holds once it is up, not while it is still painting.
    ::Sleep(300);
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (::GetProcessMemoryInfo(info.hProcess, &memory, sizeof memory)) {
        result.workingSetMiB = static_cast<double>(memory.WorkingSetSize) / (1024.0 * 1024.0);
        result.peakWorkingSetMiB =
            static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0);
    }
    if (window != nullptr) {
        ::PostMessageW(window, WM_CLOSE, 0, 0);
    }
    if (::WaitForSingleObject(info.hProcess, 10000) != WAIT_OBJECT_0) {
        ::TerminateProcess(info.hProcess, 1);
        ::WaitForSingleObject(info.hProcess, 5000);
    }
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return window != nullptr;
}

double Rank(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(share * static_cast<double>(values.size()) + 0.999);
    return values[std::min(values.size(), std::max<std::size_t>(index, 1)) - 1];
}

void Row(const std::string& label, const std::vector<double>& values) {
    std::printf("| %s | %.1f | %.1f | %.1f | %zu |\n", label.c_str(), Rank(values, 0.5),
                Rank(values, 0.9), Rank(values, 1.0), values.size());
}

// A bare window and a message loop: what every windowed program pays under this system.
int PlainWindow() {
    WNDCLASSW type{};
    type.lpfnWndProc = [](HWND window, UINT message, WPARAM w, LPARAM l) CALLBACK -> LRESULT {
        if (message == WM_DESTROY) {
            ::PostQuitMessage(0);
        }
        return ::DefWindowProcW(window, message, w, l);
    };
    type.hInstance = ::GetModuleHandleW(nullptr);
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    type.lpszClassName = L"PlainWindow";
    ::RegisterClassW(&type);
    HWND window =
        ::CreateWindowExW(0, type.lpszClassName, L"plain", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                          CW_USEDEFAULT, 557, 481, nullptr, nullptr, type.hInstance, nullptr);
    ::ShowWindow(window, SW_SHOW);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::DispatchMessageW(&message);
    }
    return 0;
}

std::string Narrow(const std::wstring& text) {
    std::string narrow(static_cast<std::size_t>(::WideCharToMultiByte(
                           CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr)),
                       '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, narrow.data(),
                          static_cast<int>(narrow.size()), nullptr, nullptr);
    narrow.pop_back();
    return narrow;
}

struct Subject {
    std::string label;
    std::wstring exe;
    std::wstring arguments;
    std::vector<double> shown, workingSet, peak;
};

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && std::wstring(argv[1]) == L"--plain-window") {
        return PlainWindow();
    }
    if (argc < 4 || argc % 2 != 0) {
        std::fprintf(stderr, "usage: lirat5_startup_bench <starts> <label> <program.exe | "
                             "--plain-window> [<label> <program> ...]\n");
        return 2;
    }
    const int starts = std::max(1, _wtoi(argv[1]));
    std::vector<Subject> subjects;
    for (int i = 2; i + 1 < argc; i += 2) {
        Subject subject{Narrow(argv[i]), argv[i + 1], {}, {}, {}, {}};
        if (subject.exe == L"--plain-window") {
            wchar_t self[MAX_PATH];
            ::GetModuleFileNameW(nullptr, self, MAX_PATH);
            subject.exe = self;
            subject.arguments = L" --plain-window";
        }
        subjects.push_back(std::move(subject));
    }
    // The programs take turns, so that a change in the machine's load falls on all of them.
    for (int i = 0; i <= starts; ++i) {
        for (Subject& subject : subjects) {
            Start start;
            if (!StartOnce(subject.exe, subject.arguments, start)) {
                std::fprintf(stderr, "%s, start %d: no window appeared\n", subject.label.c_str(),
                             i);
                return 1;
            }
            if (i > 0) { // the first start only warms up
                subject.shown.push_back(start.shownMs);
                subject.workingSet.push_back(start.workingSetMiB);
                subject.peak.push_back(start.peakWorkingSetMiB);
            }
        }
    }
    for (const Subject& s : subjects) {
        Row(s.label + ": start to main window shown (ms)", s.shown);
        Row(s.label + ": working set with the window up (MiB)", s.workingSet);
        Row(s.label + ": peak working set (MiB)", s.peak);
    }
    return 0;
}
