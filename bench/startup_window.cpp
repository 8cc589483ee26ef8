// Starts the tool's windows exactly as the tool's main() does, offscreen, and reports how long
// after the process was started the main window was shown and first painted, and the peak
// memory at that moment. The first argument is the launcher's CLOCK_MONOTONIC time in
// nanoseconds taken just before it started this process.
#include "app/qt/app_icon.h"
#include "app/qt/main_window.h"
#include "calibration/qt/kalibr_form.h"
#include "protocol/guarded_call.h"
#include "ui/qt/font_configuration_preload.h"
#include "ui/qt/qt_ui_services.h"
#include "ui/qt/serial_ui_bridge.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>

namespace {

long long MonotonicNs() {
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

long HighWaterKb() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

// Notes the first paint of the main window and ends the event loop.
class FirstPaint : public QObject {
public:
    long long paintedNs = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && paintedNs == 0) {
            paintedNs = MonotonicNs();
            QTimer::singleShot(0, qApp, &QApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char* argv[]) {
    long long launchedNs = argc > 1 ? std::atoll(argv[1]) : MonotonicNs();

    ui::qt::FontConfigurationPreload fontConfiguration;
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lirat5"));
    QApplication::setWindowIcon(app::ApplicationIcon());

    ui::qt::QtUiServices ui(app::TForm1::Caption());
    ui::qt::SerialUiBridge serialBridge(ui);

    fontConfiguration.Wait();
    long long shownNs = 0;
    FirstPaint paint;
    protocol::GuardedCall(ui, [&] {
        app::TForm1 form(ui);
        app::Form1 = &form;
        calibration::TKalibrForm kalibr(form.Engine(), form.Logic(), ui);
        calibration::KalibrForm = &kalibr;
        form.Logic().SetCalibrationLink(&kalibr.Logic());
        form.installEventFilter(&paint);
        form.show();
        shownNs = MonotonicNs();
        QApplication::exec();
        form.Logic().SetCalibrationLink(nullptr);
        calibration::KalibrForm = nullptr;
        app::Form1 = nullptr;
    });

    if (shownNs == 0 || paint.paintedNs == 0)
        return 1;
    std::printf("shown_us %lld\npainted_us %lld\nhwm_kb %ld\n", (shownNs - launchedNs) / 1000,
                (paint.paintedNs - launchedNs) / 1000, HighWaterKb());
    return 0;
}
