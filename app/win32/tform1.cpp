#include "app/win32/tform1.h"

#include "app/main_window_description.h"
#include "protocol/exchange_port.h"
#include "protocol/number_text.h"
#include "ui/win32/wide_text.h"

namespace app::win32 {

TForm1* Form1 = nullptr;

namespace {

MainWindowEnvironment EnvironmentFrom(TForm1Options& options, std::function<void()> close) {
    MainWindowEnvironment environment;
    environment.closeWindow = std::move(close);
    environment.decimalSeparator =
        options.decimalSeparator ? options.decimalSeparator : UserDecimalSeparator;
    // Empty: the logic asks app::ExecutablePath, whose UTF-8 keeps every letter of the folder.
    environment.executablePath = options.executablePath;
    return environment;
}

} // namespace

char UserDecimalSeparator() {
    wchar_t separator[8] = {};
    const int length = ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator,
                                        static_cast<int>(std::size(separator)));
    // A separator of more than one character, or one outside ASCII, cannot stand in the
    // numbers' one-character place.
    if (length == 2 && separator[0] < 0x80 &&
        protocol::IsUsableDecimalSeparator(static_cast<char>(separator[0]))) {
        return static_cast<char>(separator[0]);
    }
    return '.';
}

TForm1::TForm1(protocol::UiServices& ui, TForm1Options options)
    : closed_(std::move(options.closed)),
      window_(MainWindowDescription(), events_,
              ui::win32::FormOptions{nullptr, options.icon, {}, [this] { Close(); }}),
      timer_({}, 2000), logic_(ui, window_, timer_, EnvironmentFrom(options, [this] { Close(); }),
                               std::move(options.port)) {
    events_.Bind(MainWindowDescription(), MainWindowEvents(), logic_);
    timer_.SetOnTick([this] { events_.Raise({}, ui::FormEvent::Timer); });
}

TForm1::~TForm1() {
    if (Form1 == this) {
        Form1 = nullptr;
    }
    // No tick may reach a window that is going.
    timer_.SetEnabled(false);
}

void TForm1::Show() {
    if (!shown_) {
        shown_ = true;
        events_.Raise({}, ui::FormEvent::Show);
    }
    window_.Show();
}

void TForm1::Close() {
    if (!window_.Shown()) {
        return;
    }
    events_.Raise({}, ui::FormEvent::Close);
    window_.Hide();
    if (closed_) {
        closed_();
    }
}

} // namespace app::win32
