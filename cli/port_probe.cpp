#include "cli/port_probe.h"

#include "catalogue/sensor_catalogue.h"
#include "cli/arguments.h"
#include "cli/paced_port.h"
#include "protocol/command_table.h"
#include "protocol/comport_exchange_port.h"
#include "protocol/exchange_engine.h"
#include "protocol/number_text.h"
#include "serial/com_error.h"
#include "serial/com_port.h"
#include "serial/port_order.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <exception>
#include <thread>

namespace cli {
namespace {

// The open failure of the serial component for a device someone else holds.
constexpr int OpenFailed = 1;

ProbeResult Ask(PacedPort& paced, ProbeResult result) {
    const protocol::CommandTables tables;
    const protocol::CommandRecord& range = tables.queries[protocol::QryRange];
    paced.ClearBuffer(true, true);
    paced.Write(range.Bytes.data(), range.ByteCount);
    // As the engine's read: what has arrived one window interval later is the reply, but a
    // reply whose CR is in ends the wait.
    paced.WaitForReplyEnd(PacedPort::Clock::now() +
                          std::chrono::milliseconds(protocol::ExchangeEngine::InitialInterval));
    const int waiting = std::min(paced.InputCount(), protocol::ExchangeEngine::MaxReplyBytes);
    if (waiting <= 0) {
        result.state = ProbeState::Silent;
        return result;
    }
    std::array<std::uint8_t, protocol::ExchangeEngine::MaxReplyBytes> reply{};
    const int got = paced.Read(reply.data(), waiting);
    const std::string text(reply.begin(), reply.begin() + std::max(got, 0));
    const auto index = text.size() >= 2 && text[0] == '!'
                           ? protocol::ParseHexPayload(text.substr(1, text.size() - 2))
                           : std::nullopt;
    if (!index || *index < 0 || *index >= catalogue::SensorRangeCount) {
        result.state = ProbeState::Foreign;
        for (char c : text) {
            result.detail += std::isprint(static_cast<unsigned char>(c)) ? c : '.';
        }
        return result;
    }
    result.state = ProbeState::Answered;
    result.rangeIndex = static_cast<int>(*index);
    return result;
}

} // namespace

ProbeResult ProbePort(const std::string& port) {
    ProbeResult result;
    result.port = port;
    serial::TComPort comPort;
    protocol::ConfigureToolPort(comPort);
    comPort.SetPort(port);
    protocol::ComPortExchangePort line(comPort);
    PacedPort paced(line);
    try {
        paced.Open();
    } catch (const serial::EComPort& error) {
        result.state = error.Code() == OpenFailed && IsBusyError(error.WinErrorCode())
                           ? ProbeState::Busy
                           : ProbeState::Unavailable;
        result.detail = error.what();
        return result;
    } catch (const std::exception& error) {
        result.state = ProbeState::Unavailable;
        result.detail = error.what();
        return result;
    }
    try {
        result = Ask(paced, result);
    } catch (const std::exception& error) {
        result.state = ProbeState::Unavailable;
        result.detail = error.what();
    }
    try {
        paced.Close();
    } catch (const std::exception&) {
        // The answer is in; a port that fails to close changes nothing of it.
    }
    return result;
}

std::vector<ProbeResult> ProbePorts(const std::vector<std::string>& ports) {
    std::vector<ProbeResult> results(ports.size());
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        threads.emplace_back([&results, &ports, i] { results[i] = ProbePort(ports[i]); });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    return results;
}

std::vector<std::string> PortsToScan(const std::vector<std::string>& named) {
    std::vector<std::string> ports;
    try {
        serial::EnumComPorts(ports);
    } catch (const std::exception&) {
        // A system without any serial device has no list to read: the named ports remain.
        ports.clear();
    }
    for (const std::string& name : named) {
        const bool listed = std::any_of(ports.begin(), ports.end(), [&](const std::string& p) {
            return std::equal(p.begin(), p.end(), name.begin(), name.end(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) ==
                       std::tolower(static_cast<unsigned char>(b));
            });
        });
        if (name != AllPorts && !listed) {
            ports.push_back(name);
        }
    }
    // As `ports` lists them: COM2 before COM10.
    std::stable_sort(ports.begin(), ports.end(), serial::PortNameLess);
    return ports;
}

} // namespace cli
