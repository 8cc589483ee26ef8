// Takes the picture of the main window for the documentation: the window reads its
// configuration and the temperature from the simulator (registered as COM7 in a private
// port-name folder) with the real timer, and is then grabbed into a PNG file.
//
//   xvfb-run -a build/<dir>/tests/app/app_main_window_screenshot docs/main-window.png

#include "app/executable_path.h"
#include "app/main_window_description.h"
#include "app/qt/main_window.h"
#include "app/settings_path.h"
#include "serial/port_names.h"
#include "simulator/simulator.h"
#include "ui/qt/qt_ui_services.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const QString output =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("main-window.png");

    sim::SimulatorConfig config;
    config.state.rangeIndex = 14; // "TСП 50П W=1,391)", " -200 +450"
    config.state.lowerValue = -50.0;
    config.state.upperValue = 300.0;
    config.state.breakLevel = 1.05;
    config.state.outputType = 2;
    config.measuredValue = 21.7;
    sim::Simulator simulator(config);
    simulator.Start();
    QTemporaryDir ports;
    serial::SetPortMappingFolder(ports.path().toStdString());
    serial::RegisterPortName("COM7", simulator.DevicePath());

    const QString settings =
        QString::fromStdString(app::ChangeExtensionToIni(app::ExecutablePath()));
    {
        QFile file(settings);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(settings));
            return 1;
        }
        file.write("[ComPort]\nPort=COM7\n");
    }

    int status = 1;
    {
        ui::qt::QtUiServices ui(app::TForm1::Caption());
        app::TForm1 form(ui);
        // A box would mean the exchange failed; do not wait for a person to close it.
        QTimer::singleShot(60000, [] {
            std::fprintf(stderr, "no picture: the exchange did not finish\n");
            std::exit(1);
        });
        form.show();
        if (QTest::qWaitForWindowExposed(&form)) {
            form.Timer->setInterval(500);
            form.Widget<QPushButton>(app::names::ButtonRead)->click();
            const bool read = QTest::qWaitFor(
                [&] { return form.Widget<QPushButton>(app::names::ButtonRead)->isEnabled(); },
                30000);
            form.Widget<QPushButton>(app::names::ButtonTemp)->click();
            const bool measured = QTest::qWaitFor(
                [&] { return form.Widget<QPushButton>(app::names::ButtonTemp)->isEnabled(); },
                30000);
            QTest::qWait(200);
            if (read && measured && form.grab().save(output)) {
                std::printf("%s\n", qPrintable(output));
                status = 0;
            }
        }
    }
    QFile::remove(settings);
    simulator.Stop();
    return status;
}
