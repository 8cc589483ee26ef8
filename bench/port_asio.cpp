// Boost.Asio's serial_port (baseline only), with its blocking read and write.
#include "bench/bench_port.h"

#include <boost/asio/io_context.hpp>
#include <boost/asio/read.hpp>
#include <boost/asio/serial_port.hpp>
#include <boost/asio/write.hpp>

namespace bench {

namespace {

namespace asio = boost::asio;

class AsioPort : public BenchPort {
public:
    void Open(const std::string& devicePath) override {
        port_.open(devicePath);
        port_.set_option(asio::serial_port_base::baud_rate(9600));
        port_.set_option(asio::serial_port_base::character_size(8));
        port_.set_option(asio::serial_port_base::parity(asio::serial_port_base::parity::none));
        port_.set_option(asio::serial_port_base::stop_bits(asio::serial_port_base::stop_bits::one));
        port_.set_option(
            asio::serial_port_base::flow_control(asio::serial_port_base::flow_control::none));
    }

    void Close() override { port_.close(); }

    void WriteAll(const char* data, std::size_t count) override {
        asio::write(port_, asio::buffer(data, count));
    }

    // Asio's blocking calls have no time-out; the far end always answers in these runs.
    void ReadExact(char* data, std::size_t count) override {
        asio::read(port_, asio::buffer(data, count));
    }

    std::size_t ReadSome(char* data, std::size_t max) override {
        return port_.read_some(asio::buffer(data, max));
    }

private:
    asio::io_context context_;
    asio::serial_port port_{context_};
};

} // namespace

std::unique_ptr<BenchPort> MakeAsioPort() {
    return std::make_unique<AsioPort>();
}

} // namespace bench
