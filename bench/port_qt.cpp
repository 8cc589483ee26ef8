// Qt Serial Port (baseline only), used without an event loop through its waitFor... calls.
#include "bench/bench_port.h"

#include <QSerialPort>

#include <cstring>
#include <stdexcept>

namespace bench {

namespace {

class QtPort : public BenchPort {
public:
    void Open(const std::string& devicePath) override {
        port_.setPortName(QString::fromStdString(devicePath));
        if (!port_.open(QIODevice::ReadWrite))
            throw std::runtime_error("Qt: open: " + port_.errorString().toStdString());
        bool ok = port_.setBaudRate(9600) && port_.setDataBits(QSerialPort::Data8) &&
                  port_.setParity(QSerialPort::NoParity) &&
                  port_.setStopBits(QSerialPort::OneStop) &&
                  port_.setFlowControl(QSerialPort::NoFlowControl);
        if (!ok)
            throw std::runtime_error("Qt: settings: " + port_.errorString().toStdString());
        // DTR and RTS held off, as the tool holds them; a pseudo-terminal has no such lines,
        // so a refusal is not an error here.
        port_.setDataTerminalReady(false);
        port_.setRequestToSend(false);
        port_.clearError();
    }

    void Close() override { port_.close(); }

    void WriteAll(const char* data, std::size_t count) override {
        if (port_.write(data, static_cast<qint64>(count)) != static_cast<qint64>(count))
            throw std::runtime_error("Qt: write: " + port_.errorString().toStdString());
        while (port_.bytesToWrite() > 0) {
            if (!port_.waitForBytesWritten(1000))
                throw std::runtime_error("Qt: write time-out");
        }
    }

    void ReadExact(char* data, std::size_t count) override {
        std::size_t got = 0;
        while (got < count) {
            if (port_.bytesAvailable() == 0 && !port_.waitForReadyRead(1000))
                throw std::runtime_error("Qt: read time-out");
            got +=
                static_cast<std::size_t>(port_.read(data + got, static_cast<qint64>(count - got)));
        }
    }

    std::size_t ReadSome(char* data, std::size_t max) override {
        if (port_.bytesAvailable() == 0 && !port_.waitForReadyRead(1000))
            throw std::runtime_error("Qt: read time-out");
        return static_cast<std::size_t>(port_.read(data, static_cast<qint64>(max)));
    }

private:
    QSerialPort port_;
};

} // namespace

std::unique_ptr<BenchPort> MakeQtPort() {
    return std::make_unique<QtPort>();
}

} // namespace bench
