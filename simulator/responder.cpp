#include "simulator/responder.h"

#include "simulator/reply_format.h"

#include <algorithm>

namespace sim {
namespace {

// The reply with its payload replaced, keeping the "!" and the terminator.
std::string WithPayload(std::string_view payload) {
    return FrameReply(payload);
}

} // namespace

WireReply ApplyFault(const Fault& fault, std::string reply) {
    WireReply wire;
    wire.fault = fault;
    switch (fault.kind) {
    case FaultKind::NoReply:
        break;
    case FaultKind::BadFirstByte:
        wire.bytes = std::move(reply);
        if (!wire.bytes.empty()) {
            wire.bytes[0] = fault.text && !fault.text->empty() ? (*fault.text)[0] : '?';
        }
        break;
    case FaultKind::LateReply:
        wire.bytes = std::move(reply);
        wire.extraDelay = std::chrono::milliseconds(fault.number.value_or(kDefaultLateReplyMs));
        break;
    case FaultKind::PartialReply: {
        // By default half of the reply, rounded up, and never the whole of it.
        std::size_t keep =
            fault.number ? static_cast<std::size_t>(*fault.number) : (reply.size() + 1) / 2;
        if (reply.size() > 1) {
            keep = std::min(keep, reply.size() - 1);
        }
        reply.resize(std::min(keep, reply.size()));
        wire.bytes = std::move(reply);
        break;
    }
    case FaultKind::LongReply:
        wire.bytes = std::move(reply);
        if (wire.bytes.size() < kLongReplyLength) {
            wire.bytes.insert(wire.bytes.size() - 1, kLongReplyLength - wire.bytes.size(), '0');
        }
        break;
    case FaultKind::BadStatus:
        // The status itself is changed by the responder; the reply is the device's own.
        wire.bytes = std::move(reply);
        break;
    case FaultKind::NotNumber:
        wire.bytes = WithPayload("1.2.3");
        break;
    case FaultKind::NotHex:
        wire.bytes = WithPayload("GZ");
        break;
    case FaultKind::RangeOutOfBounds:
        wire.bytes = WithPayload(FormatRangePayload(fault.number.value_or(kDefaultBadRange)));
        break;
    case FaultKind::Payload:
        wire.bytes = WithPayload(fault.text.value_or(""));
        break;
    case FaultKind::HangUp:
        wire.hangUp = true;
        break;
    }
    return wire;
}

WireReply Responder::Respond(std::string_view line) {
    std::optional<Fault> fault =
        faults_.Take(line.substr(0, std::min<std::size_t>(2, line.size())));
    Response response = model_.Handle(line);

    std::string reply = response.outcome == Response::Outcome::NotUnderstood
                            ? NotUnderstoodReply()
                            : FrameReply(response.payload);
    if (fault && fault->kind == FaultKind::BadStatus) {
        std::string status = fault->text.value_or("01");
        if (line == "$0") {
            reply = FrameReply(status);
        } else {
            model_.SetStatus(status);
        }
    }

    WireReply wire;
    if (fault) {
        wire = ApplyFault(*fault, std::move(reply));
    } else {
        wire.bytes = std::move(reply);
    }
    wire.response = std::move(response);
    return wire;
}

} // namespace sim
