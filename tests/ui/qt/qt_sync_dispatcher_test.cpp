// The serial component inside the Qt application: a real port over a pseudo-terminal delivers
// its events on the GUI thread through Qt's event loop (smThreadSync and smWindowSync), a
// handler's exception reaches the UI services' exception box and later events still arrive,
// and Close on the GUI thread never hangs on an event thread that waits for the GUI thread.

#include "serial/com_port.h"
#include "serial/sync_dispatcher.h"
#include "tests/serial/pty_line.h"
#include "tests/support/scripted_ui_services.h"
#include "ui/qt/qt_sync_dispatcher.h"
#include "ui/qt/qt_ui_services.h"
#include "ui/qt/serial_ui_bridge.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

Q_DECLARE_METATYPE(serial::TSyncMethod)

namespace {

using namespace serial;
using Clock = std::chrono::steady_clock;
using ShownKind = testing_support::ShownBox::Kind;

long long MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

bool OnGuiThread() {
    return QThread::currentThread() == QApplication::instance()->thread();
}

// A port on a fresh pseudo-terminal that records what its receive handler saw. The handler
// takes the bytes, so each arrival counts on its own.
struct RecordingPort {
    lirat_test::PtyLine line;
    TComPort port;
    std::vector<std::string> received;
    int offGuiThread = 0;
    int failuresLeft = 0; // this many deliveries raise before the others go through

    explicit RecordingPort(TSyncMethod method) {
        port.SetPort(line.DevicePath());
        port.SetSyncMethod(method);
        port.SetEvents({evRxChar});
        port.OnRxChar = [this](TCustomComPort& sender, int) {
            if (!OnGuiThread())
                ++offGuiThread;
            std::string bytes;
            sender.ReadStr(bytes, 31);
            // One arrival may wake the event wait twice; the second finds the bytes taken.
            if (bytes.empty())
                return;
            if (failuresLeft > 0) {
                --failuresLeft;
                throw std::runtime_error("Сбой обработчика: " + bytes);
            }
            received.push_back(bytes);
        };
    }
};

} // namespace

class QtSyncDispatcherTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void deliversOnTheGuiThread_data();
    void deliversOnTheGuiThread();
    void handlerExceptionIsShownAndLaterEventsArrive_data();
    void handlerExceptionIsShownAndLaterEventsArrive();
    void exceptionReachesTheQtExceptionBox();
    void closeServesADeliveryBlockedOnTheGuiThread();
    void closeFromAThreadSyncHandler();
    void synchronizeRunsOnTheGuiThreadAndPassesExceptionsBack();
    void bridgeRestoresWhatWasInstalled();
};

void QtSyncDispatcherTest::deliversOnTheGuiThread_data() {
    QTest::addColumn<TSyncMethod>("method");
    QTest::newRow("smThreadSync") << smThreadSync;
    QTest::newRow("smWindowSync") << smWindowSync;
}

void QtSyncDispatcherTest::deliversOnTheGuiThread() {
    QFETCH(TSyncMethod, method);
    testing_support::ScriptedUiServices ui;
    ui::qt::SerialUiBridge bridge(ui);
    RecordingPort rec(method);
    rec.port.Open();
    QVERIFY(rec.port.WatchThreadRunning());
    rec.line.Send("hello");
    QTRY_COMPARE_WITH_TIMEOUT(rec.received.size(), std::size_t{1}, 5000);
    QCOMPARE(rec.received.front(), std::string("hello"));
    rec.line.Send("again");
    QTRY_COMPARE_WITH_TIMEOUT(rec.received.size(), std::size_t{2}, 5000);
    QCOMPARE(rec.received.back(), std::string("again"));
    rec.port.Close();
    QCOMPARE(rec.offGuiThread, 0);
    QVERIFY(ui.shown.empty());
}

void QtSyncDispatcherTest::handlerExceptionIsShownAndLaterEventsArrive_data() {
    deliversOnTheGuiThread_data();
}

void QtSyncDispatcherTest::handlerExceptionIsShownAndLaterEventsArrive() {
    QFETCH(TSyncMethod, method);
    testing_support::ScriptedUiServices ui;
    ui::qt::SerialUiBridge bridge(ui);
    RecordingPort rec(method);
    rec.failuresLeft = 1;
    rec.port.Open();
    rec.line.Send("1");
    QTRY_COMPARE_WITH_TIMEOUT(ui.shown.size(), std::size_t{1}, 5000);
    QCOMPARE(ui.shown.front().kind, ShownKind::Exception);
    QCOMPARE(ui.shown.front().text, std::string("Сбой обработчика: 1"));
    rec.line.Send("2");
    QTRY_COMPARE_WITH_TIMEOUT(rec.received.size(), std::size_t{1}, 5000);
    QCOMPARE(rec.received.front(), std::string("2"));
    QVERIFY(rec.port.WatchThreadRunning());
    rec.port.Close();
    QCOMPARE(ui.shown.size(), std::size_t{1});
    QCOMPARE(rec.offGuiThread, 0);
}

void QtSyncDispatcherTest::exceptionReachesTheQtExceptionBox() {
    // The application's own services: the message appears in the standard exception box.
    ui::qt::QtUiServices ui(QStringLiteral("Заголовок"));
    ui::qt::SerialUiBridge bridge(ui);
    RecordingPort rec(smWindowSync);
    rec.failuresLeft = 1;
    QString boxText;
    QString boxTitle;
    auto* poll = new QTimer(this);
    poll->setInterval(10);
    connect(poll, &QTimer::timeout, this, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxText = box->text();
            boxTitle = box->windowTitle();
            box->accept();
        }
    });
    poll->start();
    rec.port.Open();
    rec.line.Send("x");
    QTRY_VERIFY_WITH_TIMEOUT(!boxText.isEmpty(), 5000);
    poll->stop();
    QCOMPARE(boxText, QStringLiteral("Сбой обработчика: x."));
    QCOMPARE(boxTitle, QStringLiteral("Заголовок"));
    rec.line.Send("y");
    QTRY_COMPARE_WITH_TIMEOUT(rec.received.size(), std::size_t{1}, 5000);
    rec.port.Close();
    delete poll;
}

void QtSyncDispatcherTest::closeServesADeliveryBlockedOnTheGuiThread() {
    testing_support::ScriptedUiServices ui;
    ui::qt::SerialUiBridge bridge(ui);
    RecordingPort rec(smThreadSync);
    rec.port.Open();
    rec.line.Send("zz");
    // No event loop runs meanwhile: the event thread now waits in its delivery for the GUI
    // thread, which is about to wait for the event thread.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    QVERIFY(rec.received.empty());
    auto start = Clock::now();
    rec.port.Close();
    QVERIFY2(MsSince(start) < 3000, "Close waited for the blocked event thread");
    QVERIFY(!rec.port.Connected());
    // The delivery the event thread waited for ran inside Close, on the GUI thread.
    QCOMPARE(rec.received, std::vector<std::string>{"zz"});
    QCOMPARE(rec.offGuiThread, 0);
    // The wake-up queued for it later finds nothing to run.
    QTest::qWait(50);
    QCOMPARE(rec.received.size(), std::size_t{1});
}

void QtSyncDispatcherTest::closeFromAThreadSyncHandler() {
    testing_support::ScriptedUiServices ui;
    ui::qt::SerialUiBridge bridge(ui);
    lirat_test::PtyLine line;
    TComPort port;
    port.SetPort(line.DevicePath());
    port.SetSyncMethod(smThreadSync);
    port.SetEvents({evRxChar});
    long long closeMs = -1;
    int deliveries = 0;
    port.OnRxChar = [&](TCustomComPort& sender, int) {
        if (++deliveries == 1) {
            // The event thread waits for this handler, so Close must not wait for it.
            auto start = Clock::now();
            sender.Close();
            closeMs = MsSince(start);
        }
    };
    port.Open();
    line.Send("a");
    QTRY_VERIFY_WITH_TIMEOUT(closeMs >= 0, 5000);
    QVERIFY(closeMs < 2000);
    QVERIFY(!port.Connected());
    port.Open();
    line.Send("b");
    QTRY_VERIFY_WITH_TIMEOUT(deliveries >= 2, 5000);
    port.Close();
    QVERIFY(ui.shown.empty());
}

void QtSyncDispatcherTest::synchronizeRunsOnTheGuiThreadAndPassesExceptionsBack() {
    ui::qt::QtSyncDispatcher dispatcher;
    QVERIFY(dispatcher.InUiThread());
    std::atomic<bool> ranOnGui{false};
    std::atomic<bool> returned{false};
    std::string caught;
    std::thread worker([&] {
        dispatcher.Synchronize([&] { ranOnGui = OnGuiThread(); });
        try {
            dispatcher.Synchronize([] { throw std::runtime_error("из потока GUI"); });
        } catch (const std::runtime_error& e) {
            caught = e.what();
        }
        returned = true;
    });
    QTRY_VERIFY_WITH_TIMEOUT(returned.load(), 5000);
    worker.join();
    QVERIFY(ranOnGui.load());
    QCOMPARE(caught, std::string("из потока GUI"));

    // Posted work waits for the event loop and runs on the GUI thread.
    std::atomic<int> posted{0};
    std::thread poster([&] { dispatcher.Post([&] { posted = OnGuiThread() ? 1 : -1; }); });
    poster.join();
    QCOMPARE(posted.load(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(posted.load(), 1, 5000);
}

void QtSyncDispatcherTest::bridgeRestoresWhatWasInstalled() {
    auto plain = std::make_shared<TPlainDispatcher>();
    SetSyncDispatcher(plain);
    int handled = 0;
    auto before = SetApplicationExceptionHandler([&](std::exception_ptr) { ++handled; });
    {
        testing_support::ScriptedUiServices ui;
        ui::qt::SerialUiBridge bridge(ui);
        QVERIFY(dynamic_cast<ui::qt::QtSyncDispatcher*>(SyncDispatcher().get()) != nullptr);
        HandleApplicationException(std::make_exception_ptr(std::runtime_error("в мосте")));
        QCOMPARE(ui.shown.size(), std::size_t{1});
        QCOMPARE(handled, 0);
    }
    QCOMPARE(SyncDispatcher(), std::shared_ptr<TSyncDispatcher>(plain));
    HandleApplicationException(std::make_exception_ptr(std::runtime_error("после")));
    QCOMPARE(handled, 1);
    SetApplicationExceptionHandler(before);
    SetSyncDispatcher(nullptr);
}

QTEST_MAIN(QtSyncDispatcherTest)
#include "qt_sync_dispatcher_test.moc"
