// Idle cost: a port that is open and waiting for events while nothing arrives. The main thread
// sleeps through the measured time; what the process spends meanwhile (CPU time, and the
// context switches of every other thread) is what waiting costs each library.
#include "bench/benchmarks.h"

#include "serial/com_port.h"

#include <QEventLoop>
#include <QSerialPort>
#include <QThread>
#include <boost/asio/io_context.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/serial_port.hpp>
#include <libserialport.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <semaphore>
#include <stdexcept>
#include <thread>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace bench {

namespace {

struct ThreadState {
    Switches switches;
    double cpuSeconds = 0;
};

// Switch counts and CPU time of every thread but the calling one.
std::map<std::string, ThreadState> OtherThreads() {
    std::map<std::string, ThreadState> result;
    std::string self = std::to_string(CurrentThreadId());
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task", ec)) {
        std::string tid = entry.path().filename().string();
        if (tid == self)
            continue;
        result[tid] = {ReadSwitches((entry.path() / "status").string()),
                       ThreadCpuSecondsOf(std::stoi(tid))};
    }
    return result;
}

struct Cost {
    double processCpuMs = 0;
    double threadsCpuUs = 0; // of the other threads
    long switches = 0;       // voluntary and involuntary, of the other threads
};

// Something that waits on an open port until it is stopped.
class Waiter {
public:
    virtual ~Waiter() = default;
};

// A thread that waits for a stop signal in poll(): the floor every library is compared with.
class PollWaiter : public Waiter {
public:
    explicit PollWaiter(int fd) {
        stop_ = ::eventfd(0, EFD_CLOEXEC);
        thread_ = std::thread([this, fd] {
            pollfd fds[2] = {{fd, POLLIN, 0}, {stop_, POLLIN, 0}};
            ::poll(fds, 2, -1);
        });
    }
    ~PollWaiter() override {
        std::uint64_t one = 1;
        [[maybe_unused]] ssize_t n = ::write(stop_, &one, sizeof one);
        thread_.join();
        ::close(stop_);
    }

private:
    int stop_ = -1;
    std::thread thread_;
};

class OurWaiter : public Waiter {
public:
    OurWaiter(const std::string& path, serial::TComEvents events) {
        port_.SetPort(path);
        port_.FlowControl().SetControlDTR(serial::dtrDisable);
        port_.FlowControl().SetControlRTS(serial::rtsDisable);
        port_.SetEvents(events);
        port_.SetSyncMethod(serial::smNone);
        port_.OnRxChar = [](serial::TCustomComPort&, int) {};
        port_.Open();
    }
    ~OurWaiter() override { port_.Close(); }

private:
    serial::TComPort port_;
};

class LibserialportWaiter : public Waiter {
public:
    LibserialportWaiter(const std::string& path, int master) : master_(master) {
        if (sp_get_port_by_name(path.c_str(), &port_) != SP_OK ||
            sp_open(port_, SP_MODE_READ_WRITE) != SP_OK)
            throw std::runtime_error("libserialport: open");
        sp_new_event_set(&events_);
        sp_add_port_events(events_, port_, SP_EVENT_RX_READY);
        thread_ = std::thread([this] {
            while (!stop_)
                sp_wait(events_, 0);
        });
    }
    ~LibserialportWaiter() override {
        // sp_wait has no way to be woken but an event: the stop is a byte from the far end.
        stop_ = true;
        [[maybe_unused]] ssize_t n = ::write(master_, "U", 1);
        thread_.join();
        sp_free_event_set(events_);
        sp_close(port_);
        sp_free_port(port_);
    }

private:
    int master_;
    sp_port* port_ = nullptr;
    sp_event_set* events_ = nullptr;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// Qt's event loop with readyRead connected, in a thread of its own (a QThread: Qt's socket
// notifiers work only there).
class QtWaiter : public Waiter {
public:
    explicit QtWaiter(const std::string& path) {
        std::binary_semaphore ready{0};
        std::string error;
        thread_.reset(QThread::create([&, path] {
            QSerialPort port;
            port.setPortName(QString::fromStdString(path));
            if (!port.open(QIODevice::ReadWrite)) {
                error = port.errorString().toStdString();
                ready.release();
                return;
            }
            QObject::connect(&port, &QSerialPort::readyRead, [&port] { port.readAll(); });
            QEventLoop loop;
            loop_ = &loop;
            ready.release();
            loop.exec();
            port.close();
        }));
        thread_->start();
        ready.acquire();
        if (!error.empty()) {
            thread_->wait();
            throw std::runtime_error("Qt: open: " + error);
        }
    }
    ~QtWaiter() override {
        QMetaObject::invokeMethod(loop_, [loop = loop_] { loop->quit(); });
        thread_->wait();
    }

private:
    QEventLoop* loop_ = nullptr;
    std::unique_ptr<QThread> thread_;
};

class AsioWaiter : public Waiter {
public:
    explicit AsioWaiter(const std::string& path) : port_(context_, path) {
        port_.async_read_some(boost::asio::buffer(buffer_),
                              [](boost::system::error_code, std::size_t) {});
        thread_ = std::thread([this] { context_.run(); });
    }
    ~AsioWaiter() override {
        boost::asio::post(context_, [this] { port_.cancel(); });
        thread_.join();
    }

private:
    boost::asio::io_context context_;
    boost::asio::serial_port port_;
    char buffer_[64];
    std::thread thread_;
};

struct Case {
    const char* name;
    bool peer;
    bool reference;
    std::function<std::unique_ptr<Waiter>(PtyPair& pty)> make;
};

Cost Measure(const Case& c, int seconds) {
    PtyPair pty;
    auto waiter = c.make(pty);
    // Let the waiting side settle into its wait before counting.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    auto before = OtherThreads();
    double cpu0 = ProcessCpuSeconds();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    double cpu1 = ProcessCpuSeconds();
    auto after = OtherThreads();
    Cost cost;
    cost.processCpuMs = (cpu1 - cpu0) * 1000;
    for (const auto& [tid, now] : after) {
        ThreadState was = before.count(tid) ? before[tid] : ThreadState{};
        cost.switches += (now.switches.voluntary - was.switches.voluntary) +
                         (now.switches.involuntary - was.switches.involuntary);
        cost.threadsCpuUs += (now.cpuSeconds - was.cpuSeconds) * 1e6;
    }
    waiter.reset();
    return cost;
}

} // namespace

void RunIdleCost(const Options& options) {
    const std::vector<Case> cases = {
        {"a thread blocked in poll() on the line (floor)", false, true,
         [](PtyPair& pty) { return std::make_unique<PollWaiter>(pty.Master()); }},
        {"ours: tool's settings (Events [evRx80Full], smNone)", false, false,
         [](PtyPair& pty) {
             return std::make_unique<OurWaiter>(pty.DevicePath(),
                                                serial::TComEvents{serial::evRx80Full});
         }},
        {"ours: all ten events", false, false,
         [](PtyPair& pty) {
             return std::make_unique<OurWaiter>(pty.DevicePath(), serial::TComEvents::All());
         }},
        {"libserialport: thread in sp_wait", true, false,
         [](PtyPair& pty) {
             return std::make_unique<LibserialportWaiter>(pty.DevicePath(), pty.Master());
         }},
        {"Qt Serial Port: event loop with readyRead", true, false,
         [](PtyPair& pty) { return std::make_unique<QtWaiter>(pty.DevicePath()); }},
        {"Boost.Asio: io_context with async_read_some", true, false,
         [](PtyPair& pty) { return std::make_unique<AsioWaiter>(pty.DevicePath()); }},
    };
    std::map<std::string, std::vector<double>> cpu, threadCpu, switches;
    std::map<std::string, std::string> failures;
    for (int run = 0; run < options.runs; ++run) {
        for (const Case& c : cases) {
            if (failures.count(c.name))
                continue;
            try {
                Cost cost = Measure(c, options.idleSeconds);
                cpu[c.name].push_back(cost.processCpuMs);
                threadCpu[c.name].push_back(cost.threadsCpuUs);
                switches[c.name].push_back(static_cast<double>(cost.switches));
            } catch (const std::exception& e) {
                failures[c.name] = e.what();
            }
        }
    }
    auto table = [&](const char* what, const char* unit,
                     std::map<std::string, std::vector<double>>& samples, int decimals) {
        std::vector<Row> rows;
        for (const Case& c : cases)
            rows.push_back({c.name, Summarise(samples[c.name]), c.peer,
                            failures.count(c.name) ? failures[c.name] : "", c.reference});
        char title[160];
        std::snprintf(title, sizeof title, "Idle cost of an open port over %d s, %s, %d runs",
                      options.idleSeconds, what, options.runs);
        PrintTable(title, unit, rows, true, decimals, "waiting side");
    };
    table("CPU time of the waiting threads", "CPU µs", threadCpu, 1);
    table("CPU time of the whole process (getrusage)", "CPU ms", cpu, 2);
    table("context switches of the waiting threads", "switches", switches, 0);
}

} // namespace bench
