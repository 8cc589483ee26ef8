// The Qt main window against the transducer simulator through the real serial-port component:
// the settings file beside the test program names COM7, which a private port-name folder maps
// to the simulator's pseudo-terminal. One run of each path from the window to the wire and back
// (a read, a write, a refused write, a factory reset, a silent transducer, leaving, a comma
// system); what the engine makes of every reply is tested over the simulator in tests/protocol.
// Once the simulator has sent a reply the test runs the timer's tick itself; one read runs on
// the real timer.

#include "tests/app/qt/simulated_transducer.h"
#include "window_fixture.h"

#include "protocol/exchange_engine.h"
#include "protocol/number_text.h"
#include "serial/com_port.h"
#include "ui/qt/status_bar.h"
#include "ui/qt/up_down.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using app_test::Find;
using sim::FaultKind;

namespace {

constexpr const char* PortSettings = "[ComPort]\nPort=COM7\n";

// A window with the real serial port, pointed at COM7 by its settings file.
struct Bench {
    app_test::SimulatedTransducer device;
    app_test::WindowFixture window{app_test::WindowFixture::Port::Real};
    app::TForm1& form = *window.form;
    app::MainWindowLogic& logic = form.Logic();

    explicit Bench(sim::DeviceState state = sim::FactoryDefaults()) : device(state) {
        app_test::WriteSettingsFile(PortSettings);
    }

    void Click(const char* button) { Find<QPushButton>(form, button)->click(); }
    QString Text(const char* name) {
        if (auto* edit = form.findChild<QLineEdit*>(name)) {
            return edit->text();
        }
        if (auto* box = form.findChild<QComboBox*>(name)) {
            return box->currentText();
        }
        return Find<QLabel>(form, name)->text();
    }
    QString Panel(int index) {
        return Find<ui::qt::StatusBar>(form, "StatusBar")->PanelText(index);
    }
    bool Enabled(const char* name) { return Find(form, name)->isEnabled(); }

    // Runs the timer's tick once reply number `count` has arrived whole.
    void TickAfterReply(std::size_t count) {
        QVERIFY2(device.WaitForReply(count, form.ComPort()), "the simulator sent no reply");
        Tick();
    }
    // A tick without waiting for a reply (for one that never comes).
    void Tick() {
        QVERIFY(logic.TimerEnabled());
        logic.TimerTimer();
    }
    void TickThrough(std::size_t first, int steps) {
        for (int i = 0; i < steps; ++i) {
            TickAfterReply(first + static_cast<std::size_t>(i));
        }
    }
    bool Idle() {
        return !logic.TimerEnabled() && Enabled("ButtonRead") && !form.ComPort().Connected() &&
               window.ui.cursor == protocol::CursorShape::Default;
    }
};

} // namespace

class MainWindowEndToEndTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();

    void readFillsEveryField();
    void readWithTheRealTimer();
    void writeReachesTheTransducer();
    void refusedWriteTouchesNeitherPortNorSettings();
    void factoryResetShortensTheInterval();
    void silentTransducerEndsTheRead();
    void exitDuringTransaction();
    void decimalComma();
};

void MainWindowEndToEndTest::init() {
    QLocale::setDefault(QLocale::c());
}

void MainWindowEndToEndTest::readFillsEveryField() {
    Bench bench(app_test::ConfiguredState());
    QVERIFY(bench.window.Show());
    QCOMPARE(bench.Text("PortEdit"), QStringLiteral("7"));
    QVERIFY(!bench.Enabled("Button2"));

    bench.Click("ButtonRead");
    QVERIFY(bench.window.ui.Exceptions().empty());
    QVERIFY(bench.form.ComPort().Connected());
    QCOMPARE(bench.Panel(0), QStringLiteral("Передано: $8"));
    QCOMPARE(bench.window.ui.cursor, protocol::CursorShape::Hourglass);
    bench.TickThrough(1, 5);

    QVERIFY(bench.window.ui.shown.empty());
    QCOMPARE(bench.device.Received(), std::vector<std::string>({"$8", "$H", "#9", "$4", "#K"}));
    QCOMPARE(bench.Text("TipComboBox"), QStringLiteral("TСМ 100 W=1,426)"));
    QCOMPARE(bench.Text("DiapazonComboBox"), QStringLiteral(" -50 +200"));
    QCOMPARE(bench.Text("UpEdit"), QStringLiteral("150.5"));
    QCOMPARE(bench.Text("OutEdit"), QStringLiteral("25.0"));
    QCOMPARE(bench.Text("NullEdit"), QStringLiteral("-20.0"));
    QCOMPARE(bench.logic.OutputTypeIndex(), 1);
    QCOMPARE(bench.Panel(0), QStringLiteral("Передано: #K"));
    QCOMPARE(bench.Panel(1), QStringLiteral("Принято: !1"));
    QVERIFY(bench.Idle());
    QVERIFY(bench.Enabled("Button2"));
    QVERIFY(bench.Enabled("ButtonTemp"));
}

void MainWindowEndToEndTest::readWithTheRealTimer() {
    Bench bench(app_test::ConfiguredState());
    QVERIFY(bench.window.Show());
    QCOMPARE(bench.logic.TimerInterval(), 2000);
    bench.Click("ButtonRead");
    // Five steps of 2000 ms each; generous, as the machine may be busy.
    QTRY_VERIFY_WITH_TIMEOUT(bench.Enabled("ButtonRead"), 30000);
    QVERIFY(bench.window.ui.shown.empty());
    QCOMPARE(bench.logic.SelectedRangeIndex(), std::optional<int>(10));
    QCOMPARE(bench.Text("UpEdit"), QStringLiteral("150.5"));
    QVERIFY(bench.Idle());
}

void MainWindowEndToEndTest::writeReachesTheTransducer() {
    Bench bench;
    QVERIFY(bench.window.Show());
    bench.logic.SelectRangeByIndex(25);
    Find<QLineEdit>(bench.form, "UpEdit")->setText(QStringLiteral("5000"));
    Find<QLineEdit>(bench.form, "NullEdit")->setText(QStringLiteral("0"));
    Find<QLineEdit>(bench.form, "OutEdit")->setText(QStringLiteral("100"));
    bench.logic.SetOutputTypeIndex(1);
    bench.Click("ButtonWrite");
    bench.TickThrough(1, 5);
    QVERIFY(bench.window.ui.shown.empty());
    QCOMPARE(bench.device.Received(),
             std::vector<std::string>({"$719", "$3000.0", "$G001.0 ", "$95000.0", "$K1"}));
    const sim::DeviceState state = bench.device.simulator->State();
    QCOMPARE(state.rangeIndex, 25);
    QCOMPARE(state.upperValue, 5000.0);
    QCOMPARE(state.outputType, 1);
    QVERIFY(bench.Idle());
    QVERIFY(bench.Enabled("Button2"));
}

// A refused value stops the write before the port number is stored or the port opened.
void MainWindowEndToEndTest::refusedWriteTouchesNeitherPortNorSettings() {
    Bench bench;
    QVERIFY(bench.window.Show());
    Find<ui::qt::UpDown>(bench.form, "UpDown")->SetPosition(5);
    Find<QLineEdit>(bench.form, "UpEdit")->setText(QStringLiteral("50.1"));
    bench.Click("ButtonWrite");
    QCOMPARE(bench.window.ui.Messages(),
             std::vector<std::string>(
                 {"Верхнее значение диапазона \nвне допустимого диапазона датчика!"}));
    QCOMPARE(app_test::ReadSettingsFile(), QByteArray(PortSettings));
    QCOMPARE(bench.form.ComPort().Port(), std::string("COM7"));
    QVERIFY(bench.Idle());
    QTest::qWait(50);
    QVERIFY(bench.device.Received().empty());
    QCOMPARE(bench.Panel(0), QStringLiteral("Передано:"));
}

void MainWindowEndToEndTest::factoryResetShortensTheInterval() {
    Bench bench(app_test::ConfiguredState());
    QVERIFY(bench.window.Show());
    bench.Click("ButtonZ");
    QCOMPARE(bench.logic.TimerInterval(), 2000);
    bench.TickAfterReply(1);
    QCOMPARE(bench.logic.TimerInterval(), 500);
    bench.TickAfterReply(2);
    QCOMPARE(bench.device.Received(), std::vector<std::string>({"$F", "$0"}));
    QCOMPARE(bench.window.ui.Messages(),
             std::vector<std::string>({"Калибровка завершена успешно!"}));
    QVERIFY(bench.Idle());
    QCOMPARE(bench.device.simulator->State().rangeIndex, 0); // the reset itself went through
    QVERIFY(!bench.Enabled("Button2"));
    // Every later step waits 500 ms.
    bench.Click("ButtonRead");
    QCOMPARE(bench.logic.TimerInterval(), 500);
}

void MainWindowEndToEndTest::silentTransducerEndsTheRead() {
    Bench bench;
    bench.device.Fault(FaultKind::NoReply, "$8");
    QVERIFY(bench.window.Show());
    Find<ui::qt::StatusBar>(bench.form, "StatusBar")
        ->SetPanelText(1, QStringLiteral("Принято: !previous"));
    bench.Click("ButtonRead");
    QVERIFY(
        bench.device.Log().WaitForCount(sim::LogEntry::Kind::Received, 1, std::chrono::seconds(3)));
    QTest::qWait(50);
    bench.Tick();
    QCOMPARE(bench.window.ui.Messages(), std::vector<std::string>({"Нет связи с прибором!"}));
    QVERIFY(bench.Idle());
    QVERIFY(!bench.Enabled("Button2")); // no valid first reply
    QCOMPARE(bench.Panel(1), QStringLiteral("Принято: !previous"));
}

void MainWindowEndToEndTest::exitDuringTransaction() {
    Bench bench(app_test::ConfiguredState());
    QVERIFY(bench.window.Show());
    bench.logic.SetTimerInterval(100);
    bench.Click("ButtonRead");
    QVERIFY(bench.form.ComPort().Connected());
    QVERIFY(bench.device.Log().WaitForCount(sim::LogEntry::Kind::Sent, 1, std::chrono::seconds(3)));
    bench.Click("Button1");
    QVERIFY(!bench.logic.TimerEnabled());
    QVERIFY(!bench.form.ComPort().Connected());
    QVERIFY(!bench.form.isVisible());
    QTest::qWait(400);
    QCOMPARE(bench.device.Received(), std::vector<std::string>({"$8"}));
    QCOMPARE(bench.Panel(1), QStringLiteral("Принято:"));
    QCOMPARE(bench.logic.SelectedRangeIndex(), std::optional<int>(0));
    QVERIFY(bench.window.ui.shown.empty());
}

// Qt's locale gives the comma: the window shows commas and sends points.
void MainWindowEndToEndTest::decimalComma() {
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    Bench bench(app_test::ConfiguredState());
    QVERIFY(bench.window.Show());
    QCOMPARE(protocol::DecimalSeparatorText, std::string(","));
    bench.Click("ButtonRead");
    bench.TickThrough(1, 5);
    QVERIFY(bench.window.ui.shown.empty());
    QCOMPARE(bench.Text("UpEdit"), QStringLiteral("150,5"));
    QCOMPARE(bench.Text("OutEdit"), QStringLiteral("25,0"));
    QCOMPARE(bench.Text("NullEdit"), QStringLiteral("-20,0"));
    for (const char* edit : {"UpEdit", "NullEdit", "OutEdit"}) {
        Find<QLineEdit>(bench.form, edit)->setText(QStringLiteral("12,5"));
    }
    bench.Click("ButtonWrite");
    bench.TickThrough(6, 5);
    QVERIFY(bench.window.ui.shown.empty());
    const auto received = bench.device.Received();
    QCOMPARE(std::vector<std::string>(received.end() - 5, received.end()),
             std::vector<std::string>({"$70A", "$3012.5", "$G000.125 ", "$912.5", "$K1"}));
    bench.Click("ButtonTemp");
    bench.TickAfterReply(11);
    QCOMPARE(bench.Text("LabelTemp"), QStringLiteral("Температура (град. С): 23,4"));
}

QTEST_MAIN(MainWindowEndToEndTest)
#include "main_window_e2e_test.moc"
