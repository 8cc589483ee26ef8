// The main window against the transducer simulator on a pseudo-terminal, through the real
// serial-port component: the simulator is registered as COM7 in a private port-name folder and
// the settings file beside the test program points the window at it. Once the simulator has
// sent a reply the test runs the timer tick itself, so a step takes milliseconds, not seconds;
// one test runs a whole read on the real timer.

#include "window_fixture.h"

#include "protocol/exchange_engine.h"
#include "protocol/number_text.h"
#include "serial/com_port.h"
#include "serial/port_names.h"
#include "simulator/simulator.h"
#include "ui/qt/radio_group.h"
#include "ui/qt/status_bar.h"
#include "ui/qt/up_down.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <memory>
#include <thread>

using namespace std::chrono_literals;
using sim::FaultKind;
using sim::LogEntry;

namespace {

constexpr const char* PortSettings = "[ComPort]\nPort=COM7\n";

// The simulated transducer, reachable as COM7 for the length of one test.
struct SimulatedTransducer {
    QTemporaryDir ports;
    std::unique_ptr<sim::Simulator> simulator;

    explicit SimulatedTransducer(sim::DeviceState state) {
        sim::SimulatorConfig config;
        config.state = state;
        config.measuredValue = 23.4;
        config.processingDelay = 5ms;
        simulator = std::make_unique<sim::Simulator>(config);
        simulator->Start();
        serial::SetPortMappingFolder(ports.path().toStdString());
        serial::RegisterPortName("COM7", simulator->DevicePath());
    }
    ~SimulatedTransducer() {
        simulator->Stop();
        serial::SetPortMappingFolder({});
    }
    SimulatedTransducer(const SimulatedTransducer&) = delete;
    SimulatedTransducer& operator=(const SimulatedTransducer&) = delete;

    void Fault(FaultKind kind, const char* code, std::optional<int> number = std::nullopt,
               std::optional<std::string> text = std::nullopt) {
        simulator->AddFault(sim::FaultRule{sim::Fault(kind, number, std::move(text)), code, 1});
    }
    sim::SimLog& Log() { return simulator->Log(); }
    std::vector<std::string> Received() const {
        return simulator->Log().Texts(LogEntry::Kind::Received);
    }
};

// A window with the real serial port, pointed at COM7 by its settings file.
struct Bench {
    SimulatedTransducer device;
    app_test::WindowFixture window{app_test::WindowFixture::Port::Real};
    app::TForm1& form = *window.form;

    explicit Bench(sim::DeviceState state = sim::FactoryDefaults()) : device(state) {
        app_test::WriteSettingsFile(PortSettings);
    }

    // Waits until the simulator has sent its `count`th reply and the bytes have arrived at the
    // port, then runs the timer's tick as the timer would. The wait processes no events, so
    // the window's own timer cannot tick in between, however slow the machine is.
    void TickAfterReply(std::size_t count) {
        QVERIFY2(device.Log().WaitForCount(LogEntry::Kind::Sent, count, 5s),
                 "the simulator sent no reply");
        const auto sent = device.Log().Texts(LogEntry::Kind::Sent);
        const int expected = static_cast<int>(sent.back().size());
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (form.ComPort().InputCount() < expected &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(1ms);
        }
        QVERIFY(form.ComPort().InputCount() >= expected);
        Tick();
    }
    // A tick without waiting for a reply (for one that never comes).
    void Tick() {
        QVERIFY(form.Timer->isActive());
        form.Logic().TimerTimer();
    }
    // Ticks through `steps` replies, starting after reply number `first`.
    void TickThrough(std::size_t first, int steps) {
        for (int i = 0; i < steps; ++i) {
            TickAfterReply(first + static_cast<std::size_t>(i));
        }
    }
    bool Idle() {
        return !form.Timer->isActive() &&
               form.Widget<QPushButton>(app::names::ButtonRead)->isEnabled() &&
               !form.ComPort().Connected() && window.ui.cursor == protocol::CursorShape::Default;
    }
};

void ChooseItem(QComboBox* box, int index) {
    box->showPopup();
    QAbstractItemView* view = box->view();
    QVERIFY(QTest::qWaitForWindowExposed(view->window()));
    const QModelIndex item = view->model()->index(index, box->modelColumn());
    view->scrollTo(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
    QTRY_VERIFY(!view->window()->isVisible());
}

sim::DeviceState ConfiguredState() {
    sim::DeviceState state = sim::FactoryDefaults();
    state.rangeIndex = 10;
    state.upperValue = 150.5;
    state.lowerValue = -20.0;
    state.breakLevel = 0.25;
    state.outputType = 1;
    return state;
}

} // namespace

class MainWindowEndToEndTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();

    void readFillsEveryField_data();
    void readFillsEveryField();
    void readWithTheRealTimer();
    void writeSendsExactlyTheParameters_data();
    void writeSendsExactlyTheParameters();
    void invalidInputTouchesNeitherPortNorSettings_data();
    void invalidInputTouchesNeitherPortNorSettings();
    void temperature_data();
    void temperature();
    void factoryReset_data();
    void factoryReset();
    void badReplies_data();
    void badReplies();
    void fortyByteReplyIsCut();
    void partialReplyLosesItsLastByte();
    void exitDuringTransaction();
    void decimalComma();
};

void MainWindowEndToEndTest::init() {
    QLocale::setDefault(QLocale::c());
}

void MainWindowEndToEndTest::readFillsEveryField_data() {
    QTest::addColumn<QString>("outputReply"); // empty: the simulator's own "1"
    QTest::addColumn<int>("outputItem");
    QTest::newRow("output 1") << "" << 1;
    QTest::newRow("output 3") << "3" << 2;
    QTest::newRow("output A") << "A" << 1;
}

void MainWindowEndToEndTest::readFillsEveryField() {
    QFETCH(QString, outputReply);
    QFETCH(int, outputItem);
    Bench bench(ConfiguredState());
    if (!outputReply.isEmpty()) {
        bench.device.Fault(FaultKind::Payload, "#K", std::nullopt, outputReply.toStdString());
    }
    QVERIFY(bench.window.Show());
    app::TForm1& form = bench.form;
    QCOMPARE(form.Widget<QLineEdit>(app::names::PortEdit)->text(), QStringLiteral("7"));
    QVERIFY(!form.Widget<QPushButton>(app::names::Button2)->isEnabled());

    form.Widget<QPushButton>(app::names::ButtonRead)->click();
    QVERIFY(bench.window.ui.Exceptions().empty());
    QVERIFY(form.ComPort().Connected());
    QCOMPARE(form.Widget<ui::qt::StatusBar>(app::names::StatusBar)->PanelText(0),
             QStringLiteral("Передано: $8"));
    QCOMPARE(bench.window.ui.cursor, protocol::CursorShape::Hourglass);
    bench.TickThrough(1, 5);

    QVERIFY(bench.window.ui.shown.empty());
    QCOMPARE(bench.device.Received(), std::vector<std::string>({"$8", "$H", "#9", "$4", "#K"}));
    QCOMPARE(form.Widget<QComboBox>(app::names::TipComboBox)->currentIndex(), 4);
    QCOMPARE(form.Widget<QComboBox>(app::names::TipComboBox)->currentText(),
             QStringLiteral("TСМ 100 W=1,426)"));
    QCOMPARE(form.Widget<QComboBox>(app::names::DiapazonComboBox)->currentText(),
             QStringLiteral(" -50 +200"));
    QCOMPARE(form.Logic().SelectedRangeIndex(), std::optional<int>(10));
    QCOMPARE(form.Widget<QLineEdit>(app::names::UpEdit)->text(), QStringLiteral("150.5"));
    QCOMPARE(form.Widget<QLineEdit>(app::names::OutEdit)->text(), QStringLiteral("25.0"));
    QCOMPARE(form.Widget<QLineEdit>(app::names::NullEdit)->text(), QStringLiteral("-20.0"));
    QCOMPARE(form.Widget<ui::qt::RadioGroup>(app::names::TipOut)->ItemIndex(), outputItem);
    QCOMPARE(form.Widget<ui::qt::StatusBar>(app::names::StatusBar)->PanelText(0),
             QStringLiteral("Передано: #K"));
    QCOMPARE(form.Widget<ui::qt::StatusBar>(app::names::StatusBar)->PanelText(1),
             QStringLiteral("Принято: !%1").arg(outputReply.isEmpty() ? "1" : outputReply));
    QVERIFY(bench.Idle());
    QVERIFY(form.Widget<QPushButton>(app::names::Button2)->isEnabled());
    QVERIFY(form.Widget<QPushButton>(app::names::ButtonTemp)->isEnabled());
}

void MainWindowEndToEndTest::readWithTheRealTimer() {
    Bench bench(ConfiguredState());
    QVERIFY(bench.window.Show());
    app::TForm1& form = bench.form;
    QCOMPARE(form.Timer->interval(), 2000);
    form.Widget<QPushButton>(app::names::ButtonRead)->click();
    // Five steps of 2000 ms each; generous, as the machine may be busy.
    QTRY_VERIFY_WITH_TIMEOUT(form.Widget<QPushButton>(app::names::ButtonRead)->isEnabled(), 30000);
    QVERIFY(bench.window.ui.shown.empty());
    QCOMPARE(form.Logic().SelectedRangeIndex(), std::optional<int>(10));
    QCOMPARE(form.Widget<QLineEdit>(app::names::UpEdit)->text(), QStringLiteral("150.5"));
    QCOMPARE(form.Widget<QLineEdit>(app::names::OutEdit)->text(), QStringLiteral("25.0"));
    QCOMPARE(form.Widget<QLineEdit>(app::names::NullEdit)->text(), QStringLiteral("-20.0"));
    QCOMPARE(form.Widget<ui::qt::RadioGroup>(app::names::TipOut)->ItemIndex(), 1);
    QVERIFY(bench.Idle());
    QVERIFY(form.Widget<QPushButton>(app::names::Button2)->isEnabled());
}

void MainWindowEndToEndTest::writeSendsExactlyTheParameters_data() {
    QTest::addColumn<int>("range");
    QTest::addColumn<QString>("upper");
    QTest::addColumn<QString>("lower");
    QTest::addColumn<QString>("breakLevel");
    QTest::addColumn<int>("output");
    QTest::addColumn<QStringList>("sent");
    QTest::newRow("-50, 100, 50 %, 0-20 mA")
        << 2 << "100"
        << "-50"
        << "50" << 2 << QStringList({"$702", "$3-050.0", "$G000.5 ", "$9100.0", "$K2"});
    QTest::newRow("12.5 both ends, 12.5 %")
        << 10 << "12.5"
        << "12.5"
        << "12.5" << 0 << QStringList({"$70A", "$3012.5", "$G000.125 ", "$912.5", "$K0"});
    QTest::newRow("limits of the range, 100 %")
        << 25 << "5000"
        << "0"
        << "100" << 1 << QStringList({"$719", "$3000.0", "$G001.0 ", "$95000.0", "$K1"});
    QTest::newRow("break levels 0 and 120 are accepted: 0")
        << 0 << "50"
        << "-50"
        << "0" << 0 << QStringList({"$700", "$3-050.0", "$G000.0 ", "$950.0", "$K0"});
    QTest::newRow("break levels 0 and 120 are accepted: 120")
        << 0 << "50"
        << "-50"
        << "120" << 0 << QStringList({"$700", "$3-050.0", "$G001.2 ", "$950.0", "$K0"});
}

void MainWindowEndToEndTest::writeSendsExactlyTheParameters() {
    QFETCH(int, range);
    QFETCH(QString, upper);
    QFETCH(QString, lower);
    QFETCH(QString, breakLevel);
    QFETCH(int, output);
    QFETCH(QStringList, sent);
    Bench bench;
    QVERIFY(bench.window.Show());
    app::TForm1& form = bench.form;
    form.Logic().SelectRangeByIndex(range);
    form.Widget<QLineEdit>(app::names::UpEdit)->setText(upper);
    form.Widget<QLineEdit>(app::names::NullEdit)->setText(lower);
    form.Widget<QLineEdit>(app::names::OutEdit)->setText(breakLevel);
    form.Widget<ui::qt::RadioGroup>(app::names::TipOut)->SetItemIndex(output);
    form.Widget<QPushButton>(app::names::ButtonWrite)->click();
    QCOMPARE(form.Widget<ui::qt::StatusBar>(app::names::StatusBar)->PanelText(0),
             QStringLiteral("Передано: %1").arg(sent.first()));
    bench.TickThrough(1, 5);
    QVERIFY(bench.window.ui.shown.empty());
    QStringList received;
    for (const std::string& command : bench.device.Received()) {
        received.append(QString::fromStdString(command));
    }
    QCOMPARE(received, sent);
    const sim::DeviceState state = bench.device.simulator->State();
    QCOMPARE(state.rangeIndex, range);
    QCOMPARE(state.upperValue, upper.toDouble());
    QCOMPARE(state.lowerValue, lower.toDouble());
    QCOMPARE(state.outputType, output);
    QVERIFY(bench.Idle());
    QVERIFY(form.Widget<QPushButton>(app::names::Button2)->isEnabled());
}

void MainWindowEndToEndTest::invalidInputTouchesNeitherPortNorSettings_data() {
    QTest::addColumn<QString>("upper");
    QTest::addColumn<QString>("lower");
    QTest::addColumn<QString>("breakLevel");
    QTest::addColumn<QString>("message");
    // Range 0 of type 0: -50 to 50.
    QTest::newRow("upper not a number") << "5o"
                                        << "x"
                                        << "x"
                                        << "Неверно введено верхнее значение диапазона!";
    QTest::newRow("upper above") << "50.1"
                                 << "x"
                                 << "x"
                                 << "Верхнее значение диапазона \nвне допустимого диапазона "
                                    "датчика!";
    QTest::newRow("upper below") << "-51"
                                 << "x"
                                 << "x"
                                 << "Верхнее значение диапазона \nвне допустимого диапазона "
                                    "датчика!";
    QTest::newRow("lower not a number") << "50"
                                        << ""
                                        << "x"
                                        << "Неверно введено нижнее значение диапазона!";
    QTest::newRow("lower above upper inside the range")
        << "10"
        << "20"
        << "x"
        << "Нижнее значение диапазона \nвне допустимого диапазона датчика!";
    QTest::newRow("lower below") << "10"
                                 << "-50.5"
                                 << "x"
                                 << "Нижнее значение диапазона \nвне допустимого диапазона "
                                    "датчика!";
    QTest::newRow("level not a number") << "10"
                                        << "10"
                                        << "1/2"
                                        << "Неверно введено значение уровня\nсигнала обрыв!";
    QTest::newRow("level above") << "10"
                                 << "-10"
                                 << "120.1"
                                 << "Значение сигнала обрыв\nвне допустимого диапазона!";
    QTest::newRow("level below") << "10"
                                 << "-10"
                                 << "-0.1"
                                 << "Значение сигнала обрыв\nвне допустимого диапазона!";
}

void MainWindowEndToEndTest::invalidInputTouchesNeitherPortNorSettings() {
    QFETCH(QString, upper);
    QFETCH(QString, lower);
    QFETCH(QString, breakLevel);
    QFETCH(QString, message);
    Bench bench;
    QVERIFY(bench.window.Show());
    app::TForm1& form = bench.form;
    form.Widget<ui::qt::UpDown>(app::names::UpDown)
        ->SetPosition(5); // would be stored by a transaction that starts
    form.Widget<QLineEdit>(app::names::UpEdit)->setText(upper);
    form.Widget<QLineEdit>(app::names::NullEdit)->setText(lower);
    form.Widget<QLineEdit>(app::names::OutEdit)->setText(breakLevel);
    form.Widget<QPushButton>(app::names::ButtonWrite)->click();
    QCOMPARE(bench.window.ui.Messages(), std::vector<std::string>({message.toStdString()}));
    QVERIFY(bench.window.ui.Exceptions().empty());
    QCOMPARE(app_test::ReadSettingsFile(), QByteArray(PortSettings));
    QCOMPARE(form.ComPort().Port(), std::string("COM7"));
    QVERIFY(!form.ComPort().Connected());
    QVERIFY(!form.Timer->isActive());
    QTest::qWait(50);
    QVERIFY(bench.device.Received().empty());
    QCOMPARE(form.Widget<ui::qt::StatusBar>(app::names::StatusBar)->PanelText(0),
             QStringLiteral("Передано:"));
}

void MainWindowEndToEndTest::temperature_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("shown");
    QTest::newRow("thermometer") << 0 << "Температура (град. С): 23.4";
    QTest::newRow("resistance") << 9 << "Сопротивление (Ом): 23.4";
}

void MainWindowEndToEndTest::temperature() {
    QFETCH(int, type);
    QFETCH(QString, shown);
    Bench bench;
    QVERIFY(bench.window.Show());
    app::TForm1& form = bench.form;
    // The temperature button comes on once a first transaction has ended.
    form.Widget<QPushButton>(app::names::ButtonRead)->click();
    bench.TickThrough(1, 5);
    QVERIFY(form.Widget<QPushButton>(app::names::ButtonTemp)->isEnabled());
    if (type != form.Widget<QComboBox>(app::names::TipComboBox)->currentIndex()) {
        ChooseItem(form.Widget<QComboBox>(app::names::TipComboBox), type);
    }
    form.Widget<QPushButton>(app::names::ButtonTemp)->click();
    bench.TickAfterReply(6);
    QCOMPARE(bench.device.Received().back(), std::string("#0"));
    QCOMPARE(form.Widget<QLabel>(app::names::LabelTemp)->text(), shown);
    QVERIFY(bench.window.ui.shown.empty());
    QVERIFY(bench.Idle());
}

void MainWindowEndToEndTest::factoryReset_data() {
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("00") << ""
                        << "Калибровка завершена успешно!";
    QTest::newRow("01") << "01"
                        << "Ошибка калибровки нуля!";
}

void MainWindowEndToEndTest::factoryReset() {
    QFETCH(QString, status);
    QFETCH(QString, message);
    Bench bench(ConfiguredState());
    if (!status.isEmpty()) {
        bench.device.Fault(FaultKind::BadStatus, "$0", std::nullopt, status.toStdString());
    }
    QVERIFY(bench.window.Show());
    app::TForm1& form = bench.form;
    form.Widget<QPushButton>(app::names::ButtonZ)->click();
    QCOMPARE(form.Timer->interval(), 2000);
    bench.TickAfterReply(1);
    QCOMPARE(form.Timer->interval(), 500);
    bench.TickAfterReply(2);
    QCOMPARE(bench.device.Received(), std::vector<std::string>({"$F", "$0"}));
    QCOMPARE(bench.window.ui.Messages(), std::vector<std::string>({message.toStdString()}));
    QVERIFY(bench.Idle());
    QCOMPARE(form.Timer->interval(), 500);
    QCOMPARE(bench.device.simulator->State().rangeIndex, 0); // the reset itself went through
    QVERIFY(!form.Widget<QPushButton>(app::names::Button2)->isEnabled());
    // Every later step waits 500 ms.
    form.Widget<QPushButton>(app::names::ButtonRead)->click();
    QCOMPARE(form.Timer->interval(), 500);
}

void MainWindowEndToEndTest::badReplies_data() {
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("message");
    QTest::newRow("no reply") << int(FaultKind::NoReply) << "Нет связи с прибором!";
    QTest::newRow("not beginning with !")
        << int(FaultKind::BadFirstByte) << "Прибор не понял команду!";
    QTest::newRow("range not hexadecimal")
        << int(FaultKind::NotHex) << "Прибор прислал неверный ответ!";
    QTest::newRow("range out of the table")
        << int(FaultKind::RangeOutOfBounds) << "Прибор прислал неверный ответ!";
}

void MainWindowEndToEndTest::badReplies() {
    QFETCH(int, fault);
    QFETCH(QString, message);
    Bench bench;
    bench.device.Fault(static_cast<FaultKind>(fault), "$8");
    QVERIFY(bench.window.Show());
    app::TForm1& form = bench.form;
    form.Widget<ui::qt::StatusBar>(app::names::StatusBar)
        ->SetPanelText(1, QStringLiteral("Принято: !previous"));
    form.Widget<QPushButton>(app::names::ButtonRead)->click();
    if (static_cast<FaultKind>(fault) == FaultKind::NoReply) {
        QVERIFY(bench.device.Log().WaitForCount(LogEntry::Kind::Received, 1, 3s));
        QTest::qWait(50);
        bench.Tick();
    } else {
        bench.TickAfterReply(1);
    }
    QCOMPARE(bench.window.ui.Messages(), std::vector<std::string>({message.toStdString()}));
    // The message is shown while the hourglass is still up, then everything is released.
    QCOMPARE(bench.window.ui.shown.front().cursor, protocol::CursorShape::Hourglass);
    QVERIFY(bench.Idle());
    QCOMPARE(form.Logic().SelectedRangeIndex(), std::optional<int>(0));
    QVERIFY(!form.Widget<QPushButton>(app::names::Button2)->isEnabled()); // no valid first reply
    if (static_cast<FaultKind>(fault) == FaultKind::NoReply ||
        static_cast<FaultKind>(fault) == FaultKind::BadFirstByte) {
        QCOMPARE(form.Widget<ui::qt::StatusBar>(app::names::StatusBar)->PanelText(1),
                 QStringLiteral("Принято: !previous"));
    }
}

void MainWindowEndToEndTest::fortyByteReplyIsCut() {
    Bench bench(ConfiguredState());
    bench.device.Fault(FaultKind::LongReply, "$H");
    QVERIFY(bench.window.Show());
    app::TForm1& form = bench.form;
    form.Widget<QPushButton>(app::names::ButtonRead)->click();
    bench.TickAfterReply(1);
    bench.TickAfterReply(2); // 40 bytes waiting: 31 are taken, the 31st dropped
    const QString panel = form.Widget<ui::qt::StatusBar>(app::names::StatusBar)->PanelText(1);
    QCOMPARE(panel.size(), QStringLiteral("Принято: ").size() + 30);
    QVERIFY(panel.startsWith(QStringLiteral("Принято: !150.5")));
    QCOMPARE(form.Widget<QLineEdit>(app::names::UpEdit)->text(), QStringLiteral("150.5"));
    // The rest of the long reply is discarded with the next command; the read goes on.
    bench.TickThrough(3, 3);
    QVERIFY(bench.window.ui.shown.empty());
    QCOMPARE(form.Widget<QLineEdit>(app::names::OutEdit)->text(), QStringLiteral("25.0"));
    QCOMPARE(form.Widget<QLineEdit>(app::names::NullEdit)->text(), QStringLiteral("-20.0"));
    QVERIFY(bench.Idle());
}

void MainWindowEndToEndTest::partialReplyLosesItsLastByte() {
    Bench bench(ConfiguredState());
    bench.device.Fault(FaultKind::PartialReply, "$4", 4); // "!-20" of "!-20.0" and CR
    QVERIFY(bench.window.Show());
    app::TForm1& form = bench.form;
    form.Widget<QPushButton>(app::names::ButtonRead)->click();
    bench.TickThrough(1, 5);
    QVERIFY(bench.window.ui.shown.empty());
    QCOMPARE(form.Widget<QLineEdit>(app::names::NullEdit)->text(), QStringLiteral("-2.0"));
    QCOMPARE(form.Widget<ui::qt::RadioGroup>(app::names::TipOut)->ItemIndex(), 1);
    QVERIFY(bench.Idle());
}

void MainWindowEndToEndTest::exitDuringTransaction() {
    Bench bench(ConfiguredState());
    QVERIFY(bench.window.Show());
    app::TForm1& form = bench.form;
    form.Timer->setInterval(100);
    form.Widget<QPushButton>(app::names::ButtonRead)->click();
    QVERIFY(form.ComPort().Connected());
    QVERIFY(bench.device.Log().WaitForCount(LogEntry::Kind::Sent, 1, 3s));
    form.Widget<QPushButton>(app::names::Button1)->click();
    QVERIFY(!form.Timer->isActive());
    QVERIFY(!form.ComPort().Connected());
    QVERIFY(!form.isVisible());
    QTest::qWait(400);
    QCOMPARE(bench.device.Received(), std::vector<std::string>({"$8"}));
    QCOMPARE(form.Widget<ui::qt::StatusBar>(app::names::StatusBar)->PanelText(1),
             QStringLiteral("Принято:"));
    QCOMPARE(form.Logic().SelectedRangeIndex(), std::optional<int>(0));
    QVERIFY(bench.window.ui.shown.empty());
}

void MainWindowEndToEndTest::decimalComma() {
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    Bench bench(ConfiguredState());
    QVERIFY(bench.window.Show());
    app::TForm1& form = bench.form;
    QCOMPARE(protocol::DecimalSeparatorText, std::string(","));
    form.Widget<QPushButton>(app::names::ButtonRead)->click();
    bench.TickThrough(1, 5);
    QVERIFY(bench.window.ui.shown.empty());
    QCOMPARE(form.Widget<QLineEdit>(app::names::UpEdit)->text(), QStringLiteral("150,5"));
    QCOMPARE(form.Widget<QLineEdit>(app::names::OutEdit)->text(), QStringLiteral("25,0"));
    QCOMPARE(form.Widget<QLineEdit>(app::names::NullEdit)->text(), QStringLiteral("-20,0"));
    // What the window shows goes back with a point.
    form.Widget<QLineEdit>(app::names::UpEdit)->setText(QStringLiteral("12,5"));
    form.Widget<QLineEdit>(app::names::NullEdit)->setText(QStringLiteral("12,5"));
    form.Widget<QLineEdit>(app::names::OutEdit)->setText(QStringLiteral("12,5"));
    form.Widget<QPushButton>(app::names::ButtonWrite)->click();
    bench.TickThrough(6, 5);
    QVERIFY(bench.window.ui.shown.empty());
    const auto received = bench.device.Received();
    QCOMPARE(std::vector<std::string>(received.end() - 5, received.end()),
             std::vector<std::string>({"$70A", "$3012.5", "$G000.125 ", "$912.5", "$K1"}));
    form.Widget<QPushButton>(app::names::ButtonTemp)->click();
    bench.TickAfterReply(11);
    QCOMPARE(form.Widget<QLabel>(app::names::LabelTemp)->text(),
             QStringLiteral("Температура (град. С): 23,4"));
}

QTEST_MAIN(MainWindowEndToEndTest)
#include "main_window_e2e_test.moc"
