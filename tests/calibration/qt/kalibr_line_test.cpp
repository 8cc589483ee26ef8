// The calibration window over the whole chain: its buttons start the calibrations in the exchange
// engine, which talks through the serial-port component to the transducer simulator on a
// pseudo-terminal. Most tests fire the engine's timer themselves as soon as the simulator's
// reply is waiting; the last one lets a real timer drive the whole output calibration.

#include "tests/calibration/qt/kalibr_rig.h"

#include "protocol/comport_exchange_port.h"
#include "protocol/tool_port_settings.h"
#include "serial/com_port.h"
#include "simulator/simulator.h"
#include "tests/support/qt_find.h"
#include "tests/support/watched_port.h"
#include "ui/qt/page_control.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Commands = std::vector<std::string>;
using Kind = sim::LogEntry::Kind;

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

using testing_support::Find;
using testing_support::WatchedPort;

// The main window's side with, on request, a real timer that runs the engine's ticks.
class TimedView : public calibration_test::LinkedView {
public:
    QTimer timer;
    bool realTimer = false;

    void SetTimerEnabled(bool enabled) override {
        LinkedView::SetTimerEnabled(enabled);
        if (!realTimer) {
            return;
        }
        if (enabled) {
            timer.start(timerInterval);
        } else {
            timer.stop();
        }
    }
    void SetTimerInterval(int milliseconds) override {
        LinkedView::SetTimerInterval(milliseconds);
        timer.setInterval(milliseconds);
    }
};

struct LineRig {
    sim::Simulator simulator;
    serial::TComPort comPort;
    WatchedPort port{comPort, simulator};
    TimedView view;
    testing_support::ScriptedUiServices ui;
    protocol::ExchangeEngine engine{port, view, ui};
    calibration::TKalibrForm form{engine, view, ui};

    LineRig() {
        protocol::ResetCommandTables();
        calibration_test::UseSeparator('.');
        simulator.Start();
        // The main window's settings of its port.
        protocol::ConfigureToolPort(comPort);
        comPort.SetPort(simulator.DevicePath());
        view.link = &form.Logic();
        view.timer.setSingleShot(false);
        QObject::connect(&view.timer, &QTimer::timeout, [this] { engine.TimerTimer(); });
    }

    ~LineRig() {
        view.realTimer = false;
        view.timer.stop();
        form.hide();
        engine.AbandonTransaction();
        simulator.Stop();
        calibration_test::UseSeparator('.');
    }

    LineRig(const LineRig&) = delete;
    LineRig& operator=(const LineRig&) = delete;

    // Waits until the simulator has taken the last command and, when a reply is expected, until
    // the whole reply is waiting in the port; then fires the timer. False on a time-out.
    bool Tick(bool expectReply = true) {
        if (!simulator.Log().WaitForCount(Kind::Received, port.writes, 5s)) {
            return false;
        }
        if (expectReply) {
            if (!simulator.Log().WaitForCount(Kind::Sent, port.sentBefore + 1, 5s)) {
                return false;
            }
            int count = -1;
            for (auto deadline = Clock::now() + 2s; Clock::now() < deadline;) {
                const int now = comPort.InputCount();
                if (now > 0 && now == count) {
                    break;
                }
                count = now;
                std::this_thread::sleep_for(10ms);
            }
        } else {
            std::this_thread::sleep_for(150ms);
        }
        engine.TimerTimer();
        return true;
    }

    // Answers every step until the transaction has ended.
    bool RunToEnd() {
        for (int i = 0; i < 12 && view.timerEnabled; ++i) {
            if (!Tick()) {
                return false;
            }
        }
        return !view.timerEnabled;
    }

    // A configuration read that the transducer answers, as before any opening of the window;
    // then the record starts afresh.
    bool AnswerOnce() {
        engine.ButtonReadClick();
        if (!RunToEnd() || !engine.DeviceAnswered()) {
            return false;
        }
        simulator.Log().Clear();
        port.writes = 0;
        port.sentBefore = 0;
        ui.shown.clear();
        return true;
    }

    Commands Received() const { return simulator.Log().Texts(Kind::Received); }

    void Fault(sim::FaultKind kind, std::string code) {
        simulator.AddFault(sim::FaultRule{sim::Fault{kind}, std::move(code), 1});
    }

    void ShowOutputPage(int outputType) {
        view.outputType = outputType;
        form.show();
        Find<ui::qt::PageControl>(form, "PageControl1")->setCurrentIndex(1);
    }
};

const char* const kModeHead = "Прооверьте, что переключатель на приборе задает\nрежим выхода:";
const char* const kUnfinishedWarning =
    "Калибровка не завершена!\nДля правильной работы прибора\nперевключите его питание.";

} // namespace

class KalibrLineTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void outputCalibrationReachesTheWire();
    void missingReplyLeavesCalibrationUnfinished();
    void zeroThenGainStage();
    void realTimerFinishesOutputCalibrationAfterWindowClosed();
};

// A 0-20 mA output measured at 1.0 and 20.5 mA: the prompts as the technician sees them, and
// the coefficients on the transducer.
void KalibrLineTest::outputCalibrationReachesTheWire() {
    LineRig rig;
    QVERIFY(rig.AnswerOnce());
    rig.ui.inputAnswers = {std::string("1.0"), std::string("20.5")};
    rig.ShowOutputPage(2);
    QTest::mouseClick(Find<QPushButton>(rig.form, "Button3"), Qt::LeftButton);
    QVERIFY(rig.form.Logic().CalibrationUnfinished);
    QVERIFY(rig.RunToEnd());

    QCOMPARE(rig.Received(), (Commands{"$A0D0", "$ACD0", "$C3.15077E+03", "$D50", "$B"}));
    QCOMPARE(rig.ui.Messages(),
             (Commands{std::string(kModeHead) + "0 - 20 mA", "Калибровка завершена успешно!"}));
    std::vector<testing_support::ShownBox> prompts;
    for (const auto& box : rig.ui.shown) {
        if (box.kind == testing_support::ShownBox::Kind::Input) {
            prompts.push_back(box);
        }
    }
    QCOMPARE(prompts.size(), std::size_t{2});
    QCOMPARE(prompts[0].caption, std::string("Калибровка минимума выходного сигнала"));
    QCOMPARE(prompts[0].defaultText, std::string("0"));
    QCOMPARE(prompts[1].caption, std::string("Калибровка максимума выходного сигнала"));
    QCOMPARE(prompts[1].defaultText, std::string("20"));
    for (const auto& prompt : prompts) {
        QCOMPARE(prompt.text, std::string("Введите измеренное значение выхода"));
    }

    // The transducer took the coefficients; the window's flag is clear and closing is quiet.
    QCOMPARE(rig.simulator.State().outputOffset, 50);
    QVERIFY(!rig.simulator.State().outputTestCode.has_value());
    QVERIFY(!rig.form.Logic().CalibrationUnfinished);
    QVERIFY(Find<QPushButton>(rig.form, "Button3")->isEnabled());
    rig.form.close();
    QCOMPARE(rig.ui.Messages().size(), std::size_t{2});
}

void KalibrLineTest::missingReplyLeavesCalibrationUnfinished() {
    LineRig rig;
    QVERIFY(rig.AnswerOnce());
    rig.ui.inputAnswers = {std::string("0")};
    rig.ui.onShow = [&rig](const testing_support::ShownBox& box) {
        if (box.kind == testing_support::ShownBox::Kind::Input) {
            rig.Fault(sim::FaultKind::NoReply, "$A");
        }
    };
    rig.ShowOutputPage(1);
    QTest::mouseClick(Find<QPushButton>(rig.form, "Button3"), Qt::LeftButton);
    QVERIFY(rig.Tick());
    QVERIFY(rig.Tick(false));

    QCOMPARE(rig.Received(), (Commands{"$A0D0", "$ACD0"}));
    QCOMPARE(rig.ui.Messages().back(), std::string("Нет связи с прибором!"));
    QVERIFY(!rig.view.timerEnabled);
    QVERIFY(!rig.comPort.Connected());
    // Nothing ended the calibration on the transducer, so closing the window says so.
    QVERIFY(rig.form.Logic().CalibrationUnfinished);
    QTest::mouseClick(Find<QPushButton>(rig.form, "Button4"), Qt::LeftButton);
    QCOMPARE(rig.ui.Messages().back(), std::string(kUnfinishedWarning));
    QCOMPARE(rig.Received().size(), std::size_t{2});
}

void KalibrLineTest::zeroThenGainStage() {
    LineRig rig;
    QVERIFY(rig.AnswerOnce());
    rig.view.ShowRange(24);
    rig.form.show();

    QTest::mouseClick(Find<QPushButton>(rig.form, "Button1"), Qt::LeftButton);
    QCOMPARE(rig.view.timerInterval, 3000);
    QVERIFY(!Find<QPushButton>(rig.form, "Button1")->isEnabled());
    QVERIFY(rig.RunToEnd());
    QCOMPARE(rig.Received(), (Commands{"$1", "$0"}));
    QVERIFY(rig.simulator.State().zeroCalibrated);
    QVERIFY(Find<QPushButton>(rig.form, "Button2")->isEnabled());

    QTest::mouseClick(Find<QPushButton>(rig.form, "Button2"), Qt::LeftButton);
    QCOMPARE(Find<QLabel>(rig.form, "Label3")->text(), U("R=2,5 kOm"));
    QTest::mouseClick(Find<QPushButton>(rig.form, "Button1"), Qt::LeftButton);
    QCOMPARE(rig.view.timerInterval, 3000);
    QVERIFY(rig.RunToEnd());
    QCOMPARE(rig.Received(), (Commands{"$1", "$0", "$2", "$0"}));
    QVERIFY(rig.simulator.State().gainCalibrated);
    QCOMPARE(
        rig.ui.Messages(),
        (Commands{"Установите аналог датчика согласно рисунку!", "Калибровка завершена успешно!",
                  "Установите аналог датчика согласно рисунку!", "Калибровка завершена успешно!"}));
}

void KalibrLineTest::realTimerFinishesOutputCalibrationAfterWindowClosed() {
    LineRig rig;
    QVERIFY(rig.AnswerOnce());
    rig.view.realTimer = true;
    // Opened and closed once: from then on every step waits 500 ms.
    rig.form.show();
    rig.form.close();
    QCOMPARE(rig.view.timerInterval, 500);

    rig.ui.inputAnswers = {std::string("1.0"), std::string("20.5")};
    rig.ShowOutputPage(2);
    QTest::mouseClick(Find<QPushButton>(rig.form, "Button3"), Qt::LeftButton);
    QVERIFY(rig.view.timer.isActive());
    QCOMPARE(rig.view.timer.interval(), 500);
    // Closing while it runs warns and leaves it to the engine, which finishes it on its own.
    QTest::mouseClick(Find<QPushButton>(rig.form, "Button4"), Qt::LeftButton);
    QVERIFY(!rig.form.isVisible());
    QCOMPARE(rig.ui.Messages().back(), std::string(kUnfinishedWarning));

    const auto start = Clock::now();
    QTRY_VERIFY_WITH_TIMEOUT(!rig.view.timerEnabled && !rig.comPort.Connected(), 20000);
    QCOMPARE(rig.Received(), (Commands{"$A0D0", "$ACD0", "$C3.15077E+03", "$D50", "$B"}));
    QCOMPARE(rig.ui.Messages().back(), std::string("Калибровка завершена успешно!"));
    QVERIFY(!rig.form.Logic().CalibrationUnfinished);
    // Five steps of 500 ms each; only a wide lower bound, the machine is shared.
    QVERIFY(Clock::now() - start >= 2000ms);
}

QTEST_MAIN(KalibrLineTest)
#include "kalibr_line_test.moc"
