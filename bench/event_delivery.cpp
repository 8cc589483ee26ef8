// Event delivery: the far end writes one byte; the sample is the time from just before that
// write to the library's notification (our OnRxChar, Qt's readyRead, libserialport's sp_wait,
// Asio's completion handler). The far end writes the next byte only after the notified side
// has read the byte and said so.
#include "bench/benchmarks.h"

#include "serial/com_port.h"
#include "serial/sync_dispatcher.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSerialPort>
#include <QTimer>
#include <boost/asio/io_context.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/serial_port.hpp>
#include <libserialport.h>

#include <atomic>
#include <cstdio>
#include <exception>
#include <functional>
#include <map>
#include <semaphore>
#include <stdexcept>
#include <thread>
#include <vector>

#include <unistd.h>

namespace bench {

namespace {

constexpr int kWarmUp = 50; // events of each block not counted

// The writing side: one byte per pulse, the next after the receiver's acknowledgement.
class Pulser {
public:
    Pulser(int master, int pulses) : master_(master), pulses_(pulses) {}

    // Called by the receiver for every byte it was told of.
    void Received(Clock::time_point notified) {
        auto latency = Microseconds(notified - sent_.load());
        if (++received_ > kWarmUp)
            samples_.push_back(latency);
        ack_.release();
    }

    // Writes the pulses; returns false if the receiver stopped answering for a second.
    bool Run() {
        for (int i = 0; i < pulses_ + kWarmUp; ++i) {
            sent_ = Clock::now();
            if (::write(master_, "U", 1) != 1)
                return false;
            if (!ack_.try_acquire_for(std::chrono::seconds(1)))
                return false;
        }
        return true;
    }

    int Total() const { return pulses_ + kWarmUp; }
    int ReceivedCount() const { return received_; }
    std::vector<double>& Samples() { return samples_; }

private:
    int master_;
    int pulses_;
    std::atomic<Clock::time_point> sent_{};
    std::atomic<int> received_{0};
    std::binary_semaphore ack_{0};
    std::vector<double> samples_;
};

// The port reads each byte in OnRxChar, on the thread that sync delivers to, and tells the
// pulser when it arrived.
void ConfigureOurs(serial::TComPort& port, const std::string& path, serial::TSyncMethod sync,
                   Pulser& pulser) {
    port.SetPort(path);
    port.SetBaudRate(serial::br9600);
    port.FlowControl().SetControlDTR(serial::dtrDisable);
    port.FlowControl().SetControlRTS(serial::rtsDisable);
    port.SetEvents({serial::evRxChar});
    port.SetSyncMethod(sync);
    port.OnRxChar = [&pulser](serial::TCustomComPort& sender, int count) {
        auto now = Clock::now();
        char buffer[64];
        sender.Read(buffer, std::min<int>(count, sizeof buffer));
        pulser.Received(now);
    };
}

// OnRxChar on the event thread (smNone): the main thread writes.
void Ours(const std::string& path, Pulser& pulser) {
    serial::TComPort port;
    ConfigureOurs(port, path, serial::smNone, pulser);
    port.Open();
    bool ok = pulser.Run();
    port.Close();
    if (!ok)
        throw std::runtime_error("ours: an event was not delivered");
}

// OnRxChar on the main thread (smThreadSync), which waits for delivery requests.
void OursThreadSync(const std::string& path, Pulser& pulser) {
    auto dispatcher = std::dynamic_pointer_cast<serial::TPlainDispatcher>(serial::SyncDispatcher());
    if (!dispatcher)
        throw std::runtime_error("ours: no plain dispatcher");
    serial::TComPort port;
    ConfigureOurs(port, path, serial::smThreadSync, pulser);
    port.Open();
    std::atomic<bool> ok = true;
    std::thread writer([&] { ok = pulser.Run(); });
    auto deadline = Clock::now() + std::chrono::seconds(60);
    while (pulser.ReceivedCount() < pulser.Total() && Clock::now() < deadline && ok)
        dispatcher->CheckSynchronize(100);
    writer.join();
    port.Close();
    if (!ok)
        throw std::runtime_error("ours (smThreadSync): an event was not delivered");
}

void Libserialport(const std::string& path, Pulser& pulser) {
    sp_port* port = nullptr;
    if (sp_get_port_by_name(path.c_str(), &port) != SP_OK)
        throw std::runtime_error("libserialport: lookup");
    if (sp_open(port, SP_MODE_READ_WRITE) != SP_OK || sp_set_baudrate(port, 9600) != SP_OK ||
        sp_set_flowcontrol(port, SP_FLOWCONTROL_NONE) != SP_OK) {
        sp_free_port(port);
        throw std::runtime_error("libserialport: open");
    }
    sp_event_set* events = nullptr;
    sp_new_event_set(&events);
    sp_add_port_events(events, port, SP_EVENT_RX_READY);
    std::atomic<bool> ok = true;
    std::thread writer([&] { ok = pulser.Run(); });
    char buffer[64];
    while (ok && pulser.ReceivedCount() < pulser.Total()) {
        sp_wait(events, 1000);
        auto now = Clock::now();
        if (sp_nonblocking_read(port, buffer, sizeof buffer) > 0)
            pulser.Received(now);
    }
    writer.join();
    sp_free_event_set(events);
    sp_close(port);
    sp_free_port(port);
    if (!ok)
        throw std::runtime_error("libserialport: an event was not seen");
}

// readyRead on the main thread's event loop.
void Qt(const std::string& path, Pulser& pulser) {
    QSerialPort port;
    port.setPortName(QString::fromStdString(path));
    if (!port.open(QIODevice::ReadWrite) || !port.setBaudRate(9600) ||
        !port.setFlowControl(QSerialPort::NoFlowControl))
        throw std::runtime_error("Qt: open: " + port.errorString().toStdString());
    QEventLoop loop;
    QObject::connect(&port, &QSerialPort::readyRead, [&] {
        auto now = Clock::now();
        port.readAll();
        pulser.Received(now);
        if (pulser.ReceivedCount() >= pulser.Total())
            loop.quit();
    });
    std::atomic<bool> ok = true;
    std::thread writer([&] {
        ok = pulser.Run();
        if (!ok)
            QMetaObject::invokeMethod(&loop, [&loop] { loop.quit(); });
    });
    loop.exec();
    writer.join();
    port.close();
    if (!ok)
        throw std::runtime_error("Qt: readyRead was not emitted");
}

// A pending async_read_some on the main thread's io_context.
void Asio(const std::string& path, Pulser& pulser) {
    namespace asio = boost::asio;
    asio::io_context context;
    asio::serial_port port(context, path);
    port.set_option(asio::serial_port_base::baud_rate(9600));
    port.set_option(
        asio::serial_port_base::flow_control(asio::serial_port_base::flow_control::none));
    char buffer[64];
    std::function<void()> arm = [&] {
        port.async_read_some(asio::buffer(buffer), [&](boost::system::error_code ec, std::size_t) {
            auto now = Clock::now();
            if (ec)
                return;
            pulser.Received(now);
            if (pulser.ReceivedCount() < pulser.Total())
                arm();
        });
    };
    arm();
    std::atomic<bool> ok = true;
    std::thread writer([&] {
        ok = pulser.Run();
        if (!ok)
            asio::post(context, [&port] { port.cancel(); });
    });
    context.run();
    writer.join();
    if (!ok)
        throw std::runtime_error("Asio: the read did not complete");
}

struct Receiver {
    const char* name;
    bool peer;
    std::function<void(const std::string& path, Pulser& pulser)> run;
};

} // namespace

void RunEventDelivery(const Options& options) {
    // The main thread is the plain dispatcher's user-interface thread.
    serial::SyncDispatcher();
    const std::vector<Receiver> receivers = {
        {"ours: OnRxChar on the event thread (smNone)", false, Ours},
        {"ours: OnRxChar on the main thread (smThreadSync)", false, OursThreadSync},
        {"libserialport: sp_wait", true, Libserialport},
        {"Qt Serial Port: readyRead", true, Qt},
        {"Boost.Asio: async_read_some", true, Asio},
    };
    std::map<std::string, std::vector<double>> samples;
    std::map<std::string, std::string> failures;
    // Each run goes in blocks of up to 1000 events that alternate between the receivers, so
    // that the shared machine's changing load falls on all of them alike.
    constexpr int kBlock = 1000;
    for (int run = 0; run < options.runs; ++run) {
        for (int left = options.events; left > 0; left -= kBlock) {
            for (const Receiver& r : receivers) {
                if (failures.count(r.name))
                    continue;
                try {
                    PtyPair pty;
                    Pulser pulser(pty.Master(), std::min(left, kBlock));
                    r.run(pty.DevicePath(), pulser);
                    auto& all = samples[r.name];
                    all.insert(all.end(), pulser.Samples().begin(), pulser.Samples().end());
                } catch (const std::exception& e) {
                    failures[r.name] = e.what();
                }
            }
        }
    }
    std::vector<Row> rows;
    for (const Receiver& r : receivers)
        rows.push_back({r.name, Summarise(samples[r.name]), r.peer,
                        failures.count(r.name) ? failures[r.name] : ""});
    char title[160];
    std::snprintf(title, sizeof title,
                  "Event delivery, from the far end's write to the notification, %d runs of %d",
                  options.runs, options.events);
    PrintTable(title, "µs", rows, true, 1, "notified by");
}

} // namespace bench
