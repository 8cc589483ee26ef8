// Faults end to end: the main window and the calibration window over the real serial port, with
// the transducer simulator on a pseudo-terminal registered as COM7 (and as COM1, the port the
// window falls back to). Each case breaks one thing — the far end hangs up at one step of one
// transaction, a reply is cut by the tick, the settings file cannot be read or written, the
// port name is garbage — and checks that the user is told, that the transaction ends with the
// buttons enabled, the arrow cursor back and the port closed, and that the next transaction
// works.

#include "tests/app/qt/simulated_transducer.h"
#include "window_fixture.h"

#include "calibration/qt/kalibr_form.h"
#include "protocol/exchange_engine.h"
#include "serial/com_error.h"
#include "serial/com_port.h"
#include "serial/settings_file_io.h"
#include "simulator/simulator.h"
#include "ui/qt/up_down.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

using namespace std::chrono_literals;
using app_test::Find;
using sim::FaultKind;
using sim::LogEntry;

namespace {

enum class Txn { Read, Write, Temperature, FactoryReset, Zero, Gain, Output };

// The command of each step, in order.
std::vector<std::string> StepCodes(Txn txn) {
    switch (txn) {
    case Txn::Read:
        return {"$8", "$H", "#9", "$4", "#K"};
    case Txn::Write:
        return {"$7", "$3", "$G", "$9", "$K"};
    case Txn::Temperature:
        return {"#0"};
    case Txn::FactoryReset:
        return {"$F", "$0"};
    case Txn::Zero:
        return {"$1", "$0"};
    case Txn::Gain:
        return {"$2", "$0"};
    case Txn::Output:
        return {"$A", "$A", "$C", "$D", "$B"};
    }
    return {};
}

const char* TxnName(Txn txn) {
    switch (txn) {
    case Txn::Read:
        return "read";
    case Txn::Write:
        return "write";
    case Txn::Temperature:
        return "temperature";
    case Txn::FactoryReset:
        return "factory reset";
    case Txn::Zero:
        return "zero calibration";
    case Txn::Gain:
        return "gain calibration";
    case Txn::Output:
        return "output calibration";
    }
    return "";
}

QString SettingsPath() {
    return app_test::SettingsFileBesideTestProgram();
}

// Whatever a case left at the settings file's place (a file, a folder, a pipe, a link).
void RemoveSettingsPath() {
    const QString path = SettingsPath();
    QDir(path).removeRecursively();
    ::unlink(path.toLocal8Bit().constData());
}

// The two windows over the real port, linked as the program links them.
struct Rig {
    app_test::SimulatedTransducer device;
    app_test::WindowFixture window{app_test::WindowFixture::Port::Real};
    app::TForm1& form = *window.form;
    app::MainWindowLogic& logic = form.Logic();
    calibration::TKalibrForm kalibr{form.Engine(), form.Logic(), window.ui};
    std::size_t repliesSeen = 0;

    Rig() { form.Logic().SetCalibrationLink(&kalibr.Logic()); }
    ~Rig() {
        form.Logic().SetCalibrationLink(nullptr);
        serial::detail::SetWriteLimitForTesting(std::nullopt);
    }
    Rig(const Rig&) = delete;
    Rig& operator=(const Rig&) = delete;

    // Waits for the next reply to have been sent and to have arrived whole.
    bool WaitForReply() { return device.WaitForReply(++repliesSeen, form.ComPort()); }

    bool TickAfterReply() { return WaitForReply() && Tick(); }

    // The timer's tick, as the timer would run it; false when the timer was not armed.
    bool Tick() {
        if (!logic.TimerEnabled()) {
            return false;
        }
        logic.TimerTimer();
        return true;
    }

    static void Click(const QWidget& window, const char* button) {
        Find<QPushButton>(window, button)->click();
    }
    static bool Enabled(const QWidget& window, const char* name) {
        return Find(window, name)->isEnabled();
    }

    void Start(Txn txn) {
        switch (txn) {
        case Txn::Read:
            Click(form, "ButtonRead");
            break;
        case Txn::Write:
            // The values the window shows for range 10 are valid.
            Click(form, "ButtonWrite");
            break;
        case Txn::Temperature:
            Click(form, "ButtonTemp");
            break;
        case Txn::FactoryReset:
            Click(form, "ButtonZ");
            break;
        case Txn::Zero:
            kalibr.Logic().InputStage = 0;
            Click(kalibr, "Button1");
            break;
        case Txn::Gain:
            kalibr.Logic().InputStage = 1;
            Click(kalibr, "Button1");
            break;
        case Txn::Output:
            window.ui.inputAnswers = {std::string("0.1"), std::string("9.9")};
            Click(kalibr, "Button3");
            break;
        }
    }

    // A whole configuration read that must go through without a message.
    bool ReadWorks() {
        const std::size_t boxes = window.ui.shown.size();
        Click(form, "ButtonRead");
        for (int step = 0; step < 5; ++step) {
            if (!TickAfterReply()) {
                return false;
            }
        }
        // The window shows what the device holds (a factory reset may have changed it).
        return window.ui.shown.size() == boxes && Idle() &&
               logic.SelectedRangeIndex() ==
                   std::optional<int>(device.simulator->State().rangeIndex);
    }

    // Idle: every transaction button enabled (the calibration ones too once the device has
    // answered), arrow cursor, timer off, port closed.
    bool Idle() const {
        bool calibration = true;
        if (form.Engine().DeviceAnswered()) {
            calibration = Enabled(form, "Button2") && Enabled(kalibr, "Button1");
        }
        return !logic.TimerEnabled() && Enabled(form, "ButtonRead") &&
               Enabled(form, "ButtonWrite") && Enabled(form, "ButtonZ") &&
               Enabled(form, "ButtonTemp") && calibration && !form.ComPort().Connected() &&
               window.ui.cursor == protocol::CursorShape::Default;
    }

    // Texts of the boxes shown from index `from` on.
    std::vector<std::string> BoxesSince(std::size_t from) const {
        std::vector<std::string> texts;
        for (std::size_t i = from; i < window.ui.shown.size(); ++i) {
            texts.push_back(window.ui.shown[i].text);
        }
        return texts;
    }
};

// What a lost line may show: the engine's "no reply", or (the far end's hang-up makes the next
// query of the line fail) the explanation that the adapter or cable was pulled out, for a
// transaction that changes the transducer what it may now hold, and below it one of the serial
// layer's fixed error texts with the system's error code, under the engine's Russian headline
// when the failure came in a tick.
bool IsConnectionLossMessage(std::string text, Txn txn) {
    if (text == "Нет связи с прибором!") {
        return true;
    }
    const std::string headline = "Ошибка обмена с прибором!\n";
    if (text.rfind(headline, 0) == 0) {
        text.erase(0, headline.size());
    }
    const std::string lost = "Связь с портом COM7 (";
    if (text.rfind(lost, 0) != 0 ||
        text.find("адаптер или кабель отсоединён") == std::string::npos) {
        return false;
    }
    text.erase(0, text.find('\n') + 1);
    const bool changes = txn != Txn::Read && txn != Txn::Temperature;
    if (changes) {
        if (text.rfind("Прибор мог", 0) != 0 && text.rfind("Заводские настройки", 0) != 0) {
            return false;
        }
        text.erase(0, text.find('\n') + 1);
    }
    for (int code = 1; code <= 23; ++code) {
        const std::string fixed = serial::ComErrorText(code);
        if (text.rfind(fixed + " (win error code: ", 0) == 0) {
            return true;
        }
    }
    return false;
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

} // namespace

Q_DECLARE_METATYPE(Txn)

class FaultMatrixTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void farEndHangsUp_data();
    void farEndHangsUp();
    void replyCutByTheTick_data();
    void replyCutByTheTick();
    void replyTricklesWithinTheInterval();
    void settingsFileFaults_data();
    void settingsFileFaults();
    void garbagePortName_data();
    void garbagePortName();
};

void FaultMatrixTest::init() {
    QLocale::setDefault(QLocale::c());
    RemoveSettingsPath();
}

void FaultMatrixTest::cleanup() {
    RemoveSettingsPath();
}

void FaultMatrixTest::farEndHangsUp_data() {
    QTest::addColumn<Txn>("txn");
    QTest::addColumn<int>("step");
    for (Txn txn : {Txn::Read, Txn::Write, Txn::Temperature, Txn::FactoryReset, Txn::Zero,
                    Txn::Gain, Txn::Output}) {
        const std::vector<std::string> codes = StepCodes(txn);
        for (std::size_t step = 0; step < codes.size(); ++step) {
            QTest::addRow("%s, step %zu (%s)", TxnName(txn), step, codes[step].c_str())
                << txn << static_cast<int>(step);
        }
    }
}

void FaultMatrixTest::farEndHangsUp() {
    QFETCH(Txn, txn);
    QFETCH(int, step);
    Rig rig;
    app_test::WriteSettingsFile("[ComPort]\nPort=COM7\n");
    QVERIFY(rig.window.Show());
    // The device answers once, so the calibration window's buttons follow the transactions.
    QVERIFY(rig.ReadWorks());

    const std::vector<std::string> codes = StepCodes(txn);
    const std::string code = codes[static_cast<std::size_t>(step)];
    // Earlier steps with the same command go through untouched.
    for (int earlier = 0; earlier < step; ++earlier) {
        if (codes[static_cast<std::size_t>(earlier)] == code) {
            rig.device.Fault(FaultKind::LateReply, code, 0);
        }
    }
    rig.device.Fault(FaultKind::HangUp, code);

    rig.Start(txn);
    for (int answered = 0; answered < step; ++answered) {
        QVERIFY2(rig.TickAfterReply(), "a step before the hang-up got no reply");
    }
    QVERIFY(WaitFor([&] { return rig.device.simulator->HungUp(); }, 5s));
    const std::size_t beforeFault = rig.window.ui.shown.size();
    QVERIFY(rig.Tick());
    // Should a recovery command have gone out, its tick finds no reply either.
    for (int extra = 0; extra < 3 && rig.logic.TimerEnabled(); ++extra) {
        rig.Tick();
    }

    const std::vector<std::string> shown = rig.BoxesSince(beforeFault);
    QVERIFY2(!shown.empty(), "the hang-up went unreported");
    QVERIFY2(IsConnectionLossMessage(shown.front(), txn), shown.front().c_str());
    QVERIFY2(rig.window.ui.Exceptions().empty(), "an error escaped to the exception box");
    QVERIFY(rig.Idle());

    // The next transaction works once the device is back on a new line.
    rig.device.Restart();
    rig.repliesSeen = rig.device.Sent();
    QVERIFY(rig.ReadWorks());
}

void FaultMatrixTest::replyCutByTheTick_data() {
    QTest::addColumn<Txn>("txn");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("bytes");         // bytes of the reply received at the tick
    QTest::addColumn<QString>("message");   // first message of the transaction; empty: none
    QTest::addColumn<QString>("fieldText"); // what the cut reply left in its field
    // The range reply is "!0A" and CR; the last byte that has arrived is taken as the
    // terminator, so "!" or "!0" leave no digits at all.
    QTest::newRow("read, range, 1 of 4 bytes")
        << Txn::Read << 0 << 1 << "Прибор прислал неверный ответ!"
        << "";
    QTest::newRow("read, range, 2 of 4 bytes")
        << Txn::Read << 0 << 2 << "Прибор прислал неверный ответ!"
        << "";
    // "!0A" leaves "0", a valid range; the CR still on its way arrives after the next command
    // was sent and leads that command's reply. Likewise the rest of "!150.5" after "!150".
    QTest::newRow("read, range, 3 of 4 bytes") << Txn::Read << 0 << 3 << "Прибор не понял команду!"
                                               << "";
    QTest::newRow("read, upper, 4 of 7 bytes") << Txn::Read << 1 << 4 << "Прибор не понял команду!"
                                               << "15.0";
    QTest::newRow("read, output type, 2 of 3 bytes")
        << Txn::Read << 4 << 2 << "Прибор прислал неверный ответ!"
        << "";
    QTest::newRow("temperature, 3 of 6 bytes") << Txn::Temperature << 0 << 3 << ""
                                               << "2.0";
    QTest::newRow("factory reset, status, 2 of 4 bytes")
        << Txn::FactoryReset << 1 << 2 << "Ошибка калибровки нуля!"
        << "";
}

void FaultMatrixTest::replyCutByTheTick() {
    QFETCH(Txn, txn);
    QFETCH(int, step);
    QFETCH(int, bytes);
    QFETCH(QString, message);
    QFETCH(QString, fieldText);
    Rig rig;
    app_test::WriteSettingsFile("[ComPort]\nPort=COM7\n");
    QVERIFY(rig.window.Show());
    QVERIFY(rig.ReadWorks());

    // The reply of the step takes 600 ms a byte on the line, so the tick comes in its middle.
    // The pace is set before the step's command goes out: the simulator takes it on receipt.
    const std::size_t boxes = rig.window.ui.shown.size();
    if (step == 0) {
        rig.device.simulator->SetByteTime(600ms);
    }
    rig.Start(txn);
    for (int answered = 0; answered < step; ++answered) {
        QVERIFY(rig.WaitForReply());
        if (answered == step - 1) {
            rig.device.simulator->SetByteTime(600ms);
        }
        QVERIFY(rig.Tick());
    }
    QVERIFY(WaitFor([&] { return rig.form.ComPort().InputCount() >= bytes; }, 10s));
    QVERIFY(rig.Tick());
    rig.device.simulator->SetByteTime(0ms);
    if (rig.form.Engine().WaitingCount() != bytes) {
        // Only a machine too busy to tick within 600 ms gets here; the case says nothing then.
        QSKIP("the tick came after more of the reply had arrived than the case is about");
    }
    // Later steps get their (possibly polluted) replies in full before they tick.
    for (int guard = 0; guard < 8 && rig.logic.TimerEnabled(); ++guard) {
        const std::size_t received = rig.device.Received().size();
        QVERIFY(rig.device.simulator->Log().WaitForCount(LogEntry::Kind::Sent, received, 5s));
        QTest::qWait(0);
        std::this_thread::sleep_for(100ms);
        rig.Tick();
    }

    const std::vector<std::string> shown = rig.BoxesSince(boxes);
    if (message.isEmpty()) {
        QVERIFY(shown.empty());
    } else {
        QVERIFY(!shown.empty());
        QCOMPARE(QString::fromStdString(shown.front()), message);
    }
    if (txn == Txn::Temperature) {
        QCOMPARE(Find<QLabel>(rig.form, "LabelTemp")->text(),
                 QStringLiteral("Температура (град. С): ") + fieldText);
    } else if (!fieldText.isEmpty()) {
        QCOMPARE(Find<QLineEdit>(rig.form, "UpEdit")->text(), fieldText);
    }
    QVERIFY(rig.window.ui.Exceptions().empty());
    QVERIFY(rig.Idle());

    // Whatever of the cut reply was still on the way is gone before the next transaction.
    QVERIFY(rig.device.simulator->Log().WaitForCount(LogEntry::Kind::Sent,
                                                     rig.device.Received().size(), 5s));
    QTest::qWait(100);
    rig.repliesSeen = rig.device.Sent();
    QVERIFY(rig.ReadWorks());
}

void FaultMatrixTest::replyTricklesWithinTheInterval() {
    Rig rig;
    app_test::WriteSettingsFile("[ComPort]\nPort=COM7\n");
    QVERIFY(rig.window.Show());
    // 60 ms a byte: the longest reply ("!150.5" and CR) takes about 420 ms of a 1000 ms step.
    rig.device.simulator->SetByteTime(60ms);
    rig.logic.SetTimerInterval(1000);
    Rig::Click(rig.form, "ButtonRead");
    QTRY_VERIFY_WITH_TIMEOUT(Rig::Enabled(rig.form, "ButtonRead"), 30000);
    QVERIFY(rig.window.ui.shown.empty());
    QCOMPARE(rig.form.Logic().SelectedRangeIndex(), std::optional<int>(10));
    QCOMPARE(Find<QLineEdit>(rig.form, "UpEdit")->text(), QStringLiteral("150.5"));
    QCOMPARE(Find<QLineEdit>(rig.form, "OutEdit")->text(), QStringLiteral("25.0"));
    QCOMPARE(Find<QLineEdit>(rig.form, "NullEdit")->text(), QStringLiteral("-20.0"));
    QVERIFY(rig.Idle());
}

enum class SettingsFault { Directory, NamedPipe, LinkLoop, Huge, DiskFull };
Q_DECLARE_METATYPE(SettingsFault)

void FaultMatrixTest::settingsFileFaults_data() {
    QTest::addColumn<SettingsFault>("fault");
    QTest::newRow("a directory") << SettingsFault::Directory;
    QTest::newRow("unreadable: a named pipe") << SettingsFault::NamedPipe;
    QTest::newRow("unreadable: a link to itself") << SettingsFault::LinkLoop;
    QTest::newRow("huge: 17 MiB") << SettingsFault::Huge;
    QTest::newRow("unwritable: the disk is full") << SettingsFault::DiskFull;
}

void FaultMatrixTest::settingsFileFaults() {
    QFETCH(SettingsFault, fault);
    // The fixture clears the settings file's place when it is made, so the fault comes after.
    Rig rig;
    const QByteArray path = SettingsPath().toLocal8Bit();
    switch (fault) {
    case SettingsFault::Directory:
        QVERIFY(QDir().mkpath(SettingsPath()));
        break;
    case SettingsFault::NamedPipe:
        QCOMPARE(::mkfifo(path.constData(), 0644), 0);
        break;
    case SettingsFault::LinkLoop:
        QCOMPARE(::symlink(path.constData(), path.constData()), 0);
        break;
    case SettingsFault::Huge: {
        QFile file(SettingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[ComPort]\nPort=COM7\n");
        QVERIFY(file.resize(17 * 1024 * 1024));
        break;
    }
    case SettingsFault::DiskFull:
        app_test::WriteSettingsFile("[ComPort]\nPort=COM1\n");
        serial::detail::SetWriteLimitForTesting(0);
        break;
    }
    QVERIFY(rig.window.Show());
    // The window starts on its built-in settings.
    QVERIFY(rig.window.ui.Exceptions().empty());
    QCOMPARE(Find<QLineEdit>(rig.form, "PortEdit")->text(), QStringLiteral("1"));
    QCOMPARE(rig.form.ComPort().Port(), std::string("COM1"));

    // A new port number cannot be stored: the user is told, nothing starts.
    Find<ui::qt::UpDown>(rig.form, "UpDown")->SetPosition(7);
    Rig::Click(rig.form, "ButtonRead");
    QCOMPARE(rig.window.ui.Exceptions(),
             std::vector<std::string>({"Unable to write to " + SettingsPath().toStdString()}));
    QVERIFY(!rig.logic.TimerEnabled());
    QVERIFY(!rig.form.ComPort().Connected());
    QVERIFY(Rig::Enabled(rig.form, "ButtonRead"));
    QCOMPARE(rig.window.ui.cursor, protocol::CursorShape::Default);
    QVERIFY(rig.device.Received().empty());
    QCOMPARE(rig.form.ComPort().Port(), std::string("COM1"));

    // The port in use needs no write: the next transaction works.
    Find<ui::qt::UpDown>(rig.form, "UpDown")->SetPosition(1);
    QVERIFY(rig.ReadWorks());
    QCOMPARE(rig.window.ui.Exceptions().size(), std::size_t{1});
}

void FaultMatrixTest::garbagePortName_data() {
    QTest::addColumn<QString>("port");       // "<device>": the simulator's device path
    QTest::addColumn<QString>("atShow");     // exception box at start-up; empty: none
    QTest::addColumn<int>("shownNumber");    // the number the window shows
    QTest::addColumn<bool>("firstUseWorks"); // the first read, by the stored name, works
    QTest::newRow("letters") << "COMabc"
                             << "'abc' is not a valid integer value" << 1 << false;
    QTest::newRow("prefix alone") << "COM"
                                  << "'' is not a valid integer value" << 1 << false;
    QTest::newRow("number too large") << "COM99999999999"
                                      << "'99999999999' is not a valid integer value" << 1 << false;
    QTest::newRow("a path that opens nothing")
        << "/dev/lirat-none"
        << "'v/lirat-none' is not a valid integer value" << 1 << false;
    QTest::newRow("the device's own path") << "<device>"
                                           << "" << 1 << true;
    // A number, though out of the up-down's range: the number shown (1) differs and is stored.
    QTest::newRow("number 0") << "COM0"
                              << "" << 1 << true;
    QTest::newRow("no such device") << "COM55"
                                    << "" << 55 << false;
}

void FaultMatrixTest::garbagePortName() {
    QFETCH(QString, port);
    QFETCH(QString, atShow);
    QFETCH(int, shownNumber);
    QFETCH(bool, firstUseWorks);
    Rig rig;
    const std::string device = rig.device.simulator->DevicePath();
    const std::string stored = port == "<device>" ? device : port.toStdString();
    const QByteArray file = QByteArray("[ComPort]\nPort=") + stored.c_str() + "\n";
    app_test::WriteSettingsFile(file);
    QVERIFY(rig.window.Show());
    if (atShow.isEmpty() && port != "<device>") {
        QVERIFY(rig.window.ui.Exceptions().empty());
    } else if (port != "<device>") {
        QCOMPARE(rig.window.ui.Exceptions(), std::vector<std::string>({atShow.toStdString()}));
    } else {
        QCOMPARE(rig.window.ui.Exceptions().size(), std::size_t{1}); // the path's conversion
    }
    // The rest of the window is set up all the same.
    QCOMPARE(Find<QComboBox>(rig.form, "TipComboBox")->count(), 10);
    QCOMPARE(Find<QLineEdit>(rig.form, "PortEdit")->text(), QString::number(shownNumber));

    // The stored name is the user's: the first read opens it as it is and stores nothing.
    const std::size_t exceptions = rig.window.ui.Exceptions().size();
    if (firstUseWorks) {
        QVERIFY(rig.ReadWorks());
        QCOMPARE(rig.window.ui.Exceptions().size(), exceptions);
    } else {
        // The device cannot be opened: the serial layer's error, nothing starts.
        Rig::Click(rig.form, "ButtonRead");
        QCOMPARE(rig.window.ui.Exceptions().size(), exceptions + 1);
        QVERIFY(!rig.logic.TimerEnabled());
        QVERIFY(!rig.form.ComPort().Connected());
        QVERIFY(Rig::Enabled(rig.form, "ButtonRead"));
        QCOMPARE(rig.window.ui.cursor, protocol::CursorShape::Default);
    }
    if (port == "COM0") {
        QCOMPARE(rig.form.ComPort().Port(), std::string("COM1"));
    } else {
        QCOMPARE(rig.form.ComPort().Port(), stored);
        QCOMPARE(app_test::ReadSettingsFile(), file);
    }

    // A number the user chooses replaces it and is stored.
    Find<ui::qt::UpDown>(rig.form, "UpDown")->SetPosition(7);
    QVERIFY(rig.ReadWorks());
    QCOMPARE(rig.form.ComPort().Port(), std::string("COM7"));
    QVERIFY(app_test::ReadSettingsFile().contains("Port=COM7"));
}

QTEST_MAIN(FaultMatrixTest)
#include "fault_matrix_test.moc"
