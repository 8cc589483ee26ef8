// The Win32 user-interface services as a user meets them: the message box with the
// application's title, the text, one OK and no icon; the exception box with the error icon and
// the full stop; the input box returning the edited text on OK and the default on Cancel; the
// hourglass over the tool's windows.

#include "ui/win32/win32_ui_services.h"

#include "tests/ui/win32/box_watcher.h"
#include "ui/win32/cursor.h"
#include "ui/win32/input_box.h"
#include "ui/win32/wide_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using lirat_test::BoxWatcher;

constexpr const char* Title = "Конфигуратор ЛИРАТ-5";

TEST(Win32UiServicesTest, MessageBoxHasTheTitleTheTextOneOkAndNoIcon) {
    ui::win32::Win32UiServices ui(Title);
    BoxWatcher watcher(::GetCurrentThreadId(), [](HWND box) { BoxWatcher::Press(box, IDOK); });
    ui.ShowMessage("Первая строка\nвторая");
    ASSERT_TRUE(watcher.Found());
    EXPECT_EQ(watcher.Seen().caption, Title);
    EXPECT_EQ(watcher.Seen().texts, std::vector<std::string>{"Первая строка\nвторая"});
    EXPECT_EQ(watcher.Seen().buttons.size(), 1u);
    EXPECT_FALSE(watcher.Seen().icon);
}

struct ExceptionRow {
    const char* message;
    const char* shown;
};

class ExceptionBoxTest : public ::testing::TestWithParam<ExceptionRow> {};

TEST_P(ExceptionBoxTest, ShowsTheErrorIconAndTheFullStopRule) {
    ui::win32::Win32UiServices ui(Title);
    BoxWatcher watcher(::GetCurrentThreadId(), [](HWND box) { BoxWatcher::Press(box, IDOK); });
    ui.ShowException(GetParam().message);
    ASSERT_TRUE(watcher.Found());
    EXPECT_EQ(watcher.Seen().caption, Title);
    EXPECT_EQ(watcher.Seen().texts, std::vector<std::string>{GetParam().shown});
    EXPECT_TRUE(watcher.Seen().icon);
    EXPECT_EQ(watcher.Seen().buttons.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ExceptionBoxTest,
    ::testing::Values(ExceptionRow{"Unable to write to C:\\x.INI", "Unable to write to C:\\x.INI."},
                      ExceptionRow{"Ошибка обмена с прибором!", "Ошибка обмена с прибором!"},
                      ExceptionRow{"ends with a stop.", "ends with a stop."},
                      ExceptionRow{"ends in a digit 7", "ends in a digit 7."}));

TEST(Win32UiServicesTest, InputBoxReturnsTheEditedTextOnOk) {
    ui::win32::Win32UiServices ui(Title);
    BoxWatcher watcher(::GetCurrentThreadId(), [](HWND box) {
        ::SendMessageW(::GetDlgItem(box, ui::win32::InputBoxEditId), WM_SETTEXT, 0,
                       reinterpret_cast<LPARAM>(L"9,87"));
        BoxWatcher::Press(box, IDOK);
    });
    const std::string answer = ui.InputBox("Калибровка минимума выходного сигнала",
                                           "Введите измеренное значение выхода", "0");
    ASSERT_TRUE(watcher.Found());
    EXPECT_EQ(answer, "9,87");
    EXPECT_EQ(watcher.Seen().caption, "Калибровка минимума выходного сигнала");
    EXPECT_EQ(watcher.Seen().texts, std::vector<std::string>{"Введите измеренное значение выхода"});
    EXPECT_EQ(watcher.Seen().buttons, (std::vector<std::string>{"OK", "Отмена"}));
}

TEST(Win32UiServicesTest, InputBoxShowsTheDefaultAndReturnsItOnCancel) {
    ui::win32::Win32UiServices ui(Title);
    std::string shownDefault;
    BoxWatcher watcher(::GetCurrentThreadId(), [&](HWND box) {
        shownDefault = ui::win32::WindowText(::GetDlgItem(box, ui::win32::InputBoxEditId));
        ::SendMessageW(::GetDlgItem(box, ui::win32::InputBoxEditId), WM_SETTEXT, 0,
                       reinterpret_cast<LPARAM>(L"123"));
        BoxWatcher::Press(box, IDCANCEL);
    });
    EXPECT_EQ(ui.InputBox("Калибровка", "Значение", "10,0"), "10,0");
    ASSERT_TRUE(watcher.Found());
    EXPECT_EQ(shownDefault, "10,0");
}

TEST(Win32UiServicesTest, HourglassWhileATransactionRunsArrowOtherwise) {
    ui::win32::Win32UiServices ui(Title);
    ui.SetCursor(protocol::CursorShape::Hourglass);
    EXPECT_TRUE(ui::win32::HourglassShown());
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_WAIT));
    ui.SetCursor(protocol::CursorShape::Default);
    EXPECT_FALSE(ui::win32::HourglassShown());
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_ARROW));
}

} // namespace
