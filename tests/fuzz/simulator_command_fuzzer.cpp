// The simulator's command side against any byte stream: the framer splits it into lines, the
// device model and its parameter parsers take each command, and a fault rule written in the
// program's option syntax may change the reply. Beyond crashes it stops when
//   - the framer holds more than a line's worth of bytes;
//   - a reply the device itself makes (no fault played) is not "!" or "?", a payload and CR,
//     or would not fit the 31 bytes the configurator takes;
//   - a query's payload is not what the configurator can read (hexadecimal range, numbers with
//     a point, an output-type digit, a two-character status);
//   - the device's state leaves its limits.
//
// Input: a fault rule (length byte modulo 33, then the text), then chunks of the line stream
// (length byte modulo 65, then the bytes) until the input ends.

#include "fuzz_input.h"

#include "protocol/exchange_engine.h"
#include "protocol/number_text.h"
#include "simulator/command_code.h"
#include "simulator/command_framer.h"
#include "simulator/fault.h"
#include "simulator/responder.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using fuzz::Check;

// A bad-status fault rule may set any status text; the status length is checked without one.
bool statusFaulted = false;

void CheckState(const sim::DeviceState& s) {
    Check(s.rangeIndex >= 0 && s.rangeIndex < sim::kRangeCount, "range index out of the table");
    Check(s.outputType >= 0 && s.outputType <= 2, "output type out of range");
    Check(s.breakLevel >= 0.0 && s.breakLevel <= 1.2, "break level out of range");
    Check(std::isfinite(s.lowerValue) && std::isfinite(s.upperValue) && std::isfinite(s.outputGain),
          "a stored value is not finite");
    Check(statusFaulted || s.status.size() == 2, "status of a wrong length", s.status);
    Check(!s.outputTestCode || *s.outputTestCode == sim::kLowTestCode ||
              *s.outputTestCode == sim::kHighTestCode,
          "output test code neither of the two");
}

void CheckQueryPayload(std::string_view line, const std::string& payload) {
    const auto code = sim::CodeFromText(line.substr(0, 2));
    if (!code) {
        return;
    }
    switch (*code) {
    case sim::CommandCode::QueryRange: {
        const auto range = protocol::ParseHexPayload(payload);
        Check(range && *range >= 0 && *range < sim::kRangeCount, "range reply unreadable", payload);
        break;
    }
    case sim::CommandCode::QueryUpper:
    case sim::CommandCode::QueryLower:
    case sim::CommandCode::QueryBreakLevel:
    case sim::CommandCode::QueryMeasuredValue:
        Check(protocol::ParseNumber(payload, '.').has_value(), "number reply unreadable", payload);
        break;
    case sim::CommandCode::QueryOutputType:
        Check(payload.size() == 1 && payload[0] >= '0' && payload[0] <= '2',
              "output-type reply unreadable", payload);
        break;
    case sim::CommandCode::QueryStatus:
        Check(payload.size() == 2, "status reply of a wrong length", payload);
        break;
    default:
        Check(payload.empty(), "a command that is not a query answered with a payload", payload);
        break;
    }
}

void CheckReply(std::string_view line, const sim::WireReply& wire) {
    if (wire.fault) {
        return; // a fault is meant to break the reply
    }
    if (statusFaulted && line.substr(0, 2) == "$0") {
        return; // the status a bad-status rule set may be any text, line ends included
    }
    const std::string& bytes = wire.bytes;
    Check(bytes.size() >= 2, "reply too short", bytes);
    Check(bytes.size() <= protocol::ExchangeEngine::MaxReplyBytes,
          "reply longer than the configurator takes", bytes);
    Check(bytes.back() == '\r', "reply not ended by CR", bytes);
    const std::string payload = bytes.substr(1, bytes.size() - 2);
    Check(payload.find_first_of("\r\n") == std::string::npos, "line end inside a reply", bytes);
    switch (wire.response.outcome) {
    case sim::Response::Outcome::Answered:
        Check(bytes.front() == '!', "answer not beginning with !", bytes);
        CheckQueryPayload(line, payload);
        break;
    case sim::Response::Outcome::Rejected:
        Check(bytes == "!\r", "rejection is not an empty answer", bytes);
        Check(line.size() >= 2, "rejected a line too short to be a command");
        break;
    case sim::Response::Outcome::NotUnderstood:
        Check(bytes.front() != '!', "not-understood reply begins with !", bytes);
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    sim::Responder responder;
    sim::CommandFramer framer;

    std::string error;
    statusFaulted = false;
    if (auto rule = sim::ParseFaultSpec(in.String(32), error)) {
        statusFaulted = rule->fault.kind == sim::FaultKind::BadStatus;
        responder.Faults().Add(*rule);
    }

    while (!in.Empty()) {
        const std::string chunk = in.String(64);
        for (const sim::FramedLine& line : framer.Feed(chunk)) {
            Check(line.kind == sim::FramedLine::Kind::Overflow ||
                      line.text.size() <= sim::CommandFramer::kMaxLineLength + 1,
                  "framed line longer than the framer keeps");
            if (line.kind != sim::FramedLine::Kind::Command) {
                continue;
            }
            const sim::WireReply wire = responder.Respond(line.text);
            CheckReply(line.text, wire);
            CheckState(responder.Model().State());
        }
        Check(framer.Pending() <= sim::CommandFramer::kMaxLineLength + 1,
              "framer holds more than a line");
    }
    return 0;
}
