#include "simulator/reply_format.h"

#include "protocol/number_text.h"

#include <cstdio>

namespace sim {

std::string FrameReply(std::string_view payload) {
    std::string reply;
    reply.reserve(payload.size() + 2);
    reply.push_back(kReplyStart);
    reply.append(payload);
    reply.push_back(kReplyEnd);
    return reply;
}

std::string NotUnderstoodReply() {
    return std::string("?") + kReplyEnd;
}

std::string FormatRangePayload(int rangeIndex) {
    char text[16];
    std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(rangeIndex));
    return text;
}

std::string FormatValuePayload(double value) {
    return protocol::FormatNumber(value, "0.0##", '.');
}

std::string FormatMeasuredPayload(double value) {
    return protocol::FormatNumber(value, "0.0#", '.');
}

std::string FormatOutputTypePayload(int outputType) {
    return std::string(1, static_cast<char>('0' + outputType));
}

} // namespace sim
