// libserialport (baseline only): blocking reads and writes with a time-out.
#include "bench/bench_port.h"

#include <libserialport.h>

#include <stdexcept>
#include <string>

namespace bench {

namespace {

void Check(sp_return result, const char* what) {
    if (result < 0) {
        char* message = sp_last_error_message();
        std::string text = std::string("libserialport: ") + what + ": " + message;
        sp_free_error_message(message);
        throw std::runtime_error(text);
    }
}

class LibserialportPort : public BenchPort {
public:
    ~LibserialportPort() override { Close(); }

    void Open(const std::string& devicePath) override {
        Check(sp_get_port_by_name(devicePath.c_str(), &port_), "lookup");
        Check(sp_open(port_, SP_MODE_READ_WRITE), "open");
        Check(sp_set_baudrate(port_, 9600), "baud rate");
        Check(sp_set_bits(port_, 8), "data bits");
        Check(sp_set_parity(port_, SP_PARITY_NONE), "parity");
        Check(sp_set_stopbits(port_, 1), "stop bits");
        Check(sp_set_flowcontrol(port_, SP_FLOWCONTROL_NONE), "flow control");
    }

    void Close() override {
        if (!port_)
            return;
        sp_close(port_);
        sp_free_port(port_);
        port_ = nullptr;
    }

    void WriteAll(const char* data, std::size_t count) override {
        sp_return n = sp_blocking_write(port_, data, count, 0);
        Check(n, "write");
        if (static_cast<std::size_t>(n) != count)
            throw std::runtime_error("libserialport: short write");
    }

    void ReadExact(char* data, std::size_t count) override {
        sp_return n = sp_blocking_read(port_, data, count, 1000);
        Check(n, "read");
        if (static_cast<std::size_t>(n) != count)
            throw std::runtime_error("libserialport: read time-out");
    }

    std::size_t ReadSome(char* data, std::size_t max) override {
        sp_return n = sp_blocking_read_next(port_, data, max, 1000);
        Check(n, "read");
        if (n == 0)
            throw std::runtime_error("libserialport: read time-out");
        return static_cast<std::size_t>(n);
    }

private:
    sp_port* port_ = nullptr;
};

} // namespace

std::unique_ptr<BenchPort> MakeLibserialportPort() {
    return std::make_unique<LibserialportPort>();
}

} // namespace bench
