#include "ui/win32/display_dpi.h"

namespace ui::win32 {

namespace {

// A function of a system DLL, or null where this Windows lacks it. A DLL not yet loaded is
// taken from the system folder only, never from beside the program.
template <class Function> Function Lookup(const wchar_t* module, const char* name) {
    HMODULE library = ::GetModuleHandleW(module);
    if (library == nullptr) {
        library = ::LoadLibraryExW(module, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    if (library == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using AdjustForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using EnableNonClientDpiScalingFunction = BOOL(WINAPI*)(HWND);

constexpr int kEffectiveDpi = 0; // MDT_EFFECTIVE_DPI

int SystemDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDesignDpi;
}

} // namespace

int MonitorDpi(HWND window) {
    static const auto forWindow = Lookup<GetDpiForWindowFunction>(L"user32.dll", "GetDpiForWindow");
    if (forWindow != nullptr && window != nullptr) {
        if (const UINT dpi = forWindow(window); dpi > 0) {
            return static_cast<int>(dpi);
        }
    }
    static const auto forMonitor =
        Lookup<GetDpiForMonitorFunction>(L"shcore.dll", "GetDpiForMonitor");
    if (forMonitor != nullptr) {
        UINT x = 0;
        UINT y = 0;
        HMONITOR monitor = window != nullptr
                               ? ::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)
                               : ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
        if (SUCCEEDED(forMonitor(monitor, kEffectiveDpi, &x, &y)) && y > 0) {
            return static_cast<int>(y);
        }
    }
    return SystemDpi();
}

ScreenRect WorkAreaAt(const RECT& rect) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    RECT work{};
    if (::GetMonitorInfoW(::MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &info)) {
        work = info.rcWork;
    } else {
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    }
    return {work.left, work.top, work.right - work.left, work.bottom - work.top};
}

FrameSize FrameAt(DWORD style, DWORD exStyle, int dpi) {
    static const auto forDpi =
        Lookup<AdjustForDpiFunction>(L"user32.dll", "AdjustWindowRectExForDpi");
    RECT frame{0, 0, 0, 0};
    if (forDpi == nullptr || !forDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
        frame = RECT{0, 0, 0, 0};
        ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    }
    return {frame.right - frame.left, frame.bottom - frame.top};
}

void ScaleFrameWithMonitor(HWND window) {
    static const auto enable =
        Lookup<EnableNonClientDpiScalingFunction>(L"user32.dll", "EnableNonClientDpiScaling");
    if (enable != nullptr) {
        enable(window);
    }
}

} // namespace ui::win32
