#pragma once
// Answers the modal boxes a test's own thread shows: another thread waits for the next dialog
// window of that thread, reads what it shows, and then closes it as told. The boxes run their
// own message loops on the test's thread, so the test's call returns once the box is answered.

#include "ui/win32/wide_text.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace lirat_test {

struct SeenBox {
    std::string caption;
    std::vector<std::string> texts; // the texts of its statics, in child order
    bool icon = false;              // a visible icon is shown
    std::vector<std::string> buttons;
};

class BoxWatcher {
public:
    // `answer` runs on the watcher's thread with the box's window, once the box was read.
    BoxWatcher(DWORD thread, std::function<void(HWND)> answer)
        : worker_([this, thread, answer = std::move(answer)] {
              const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
              while (std::chrono::steady_clock::now() < until && !stop_) {
                  if (HWND box = FindBox(thread)) {
                      // Recorded before the answer: once the box is closed, the test's
                      // thread goes on and reads what was seen.
                      seen_ = Read(box);
                      found_ = true;
                      answer(box);
                      return;
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(20));
              }
          }) {}
    ~BoxWatcher() {
        stop_ = true;
        worker_.join();
    }
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;

    // After the box was answered.
    bool Found() const { return found_; }
    const SeenBox& Seen() const { return seen_; }

    // Presses a button of the box by its identifier.
    static void Press(HWND box, int id) {
        ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(box, id)));
    }

private:
    static HWND FindBox(DWORD thread) {
        HWND found = nullptr;
        ::EnumThreadWindows(
            thread,
            [](HWND window, LPARAM result) CALLBACK -> BOOL {
                wchar_t type[32] = {};
                ::GetClassNameW(window, type, 32);
                if (std::wstring(type) == L"#32770" && ::IsWindowVisible(window)) {
                    *reinterpret_cast<HWND*>(result) = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        return found;
    }

    static SeenBox Read(HWND box) {
        SeenBox seen;
        seen.caption = ui::win32::WindowText(box);
        for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            wchar_t type[32] = {};
            ::GetClassNameW(child, type, 32);
            const std::wstring kind = type;
            const LONG_PTR style = ::GetWindowLongPtrW(child, GWL_STYLE);
            if (_wcsicmp(type, L"Static") == 0) {
                if ((style & SS_TYPEMASK) == SS_ICON) {
                    seen.icon = seen.icon || ((style & WS_VISIBLE) != 0 &&
                                              ::SendMessageW(child, STM_GETICON, 0, 0) != 0);
                } else if (::GetWindowTextLengthW(child) > 0) {
                    seen.texts.push_back(ui::win32::WindowText(child));
                }
            } else if (_wcsicmp(type, L"Button") == 0 && (style & WS_VISIBLE) != 0) {
                seen.buttons.push_back(ui::win32::WindowText(child));
            }
        }
        return seen;
    }

    std::atomic<bool> stop_{false};
    std::atomic<bool> found_{false};
    SeenBox seen_;
    std::thread worker_;
};

} // namespace lirat_test
