#include "simulator/command_framer.h"

namespace sim {

std::vector<FramedLine> CommandFramer::Feed(std::string_view bytes) {
    std::vector<FramedLine> lines;
    for (char c : bytes) {
        if (c == '\n') {
            if (!buffer_.empty() && buffer_.back() == '\r') {
                buffer_.pop_back();
                lines.push_back({FramedLine::Kind::Command, std::move(buffer_)});
            } else {
                lines.push_back({FramedLine::Kind::BareLineFeed, std::move(buffer_)});
            }
            buffer_.clear();
            continue;
        }
        buffer_.push_back(c);
        // A CR may still be followed by its LF, so the limit counts the bytes before it. Only
        // one such CR is held beyond the limit: a stream of CRs must not grow the buffer.
        const bool pendingCr = buffer_.size() == kMaxLineLength + 1 && buffer_.back() == '\r';
        if (buffer_.size() > kMaxLineLength && !pendingCr) {
            lines.push_back({FramedLine::Kind::Overflow, std::move(buffer_)});
            buffer_.clear();
        }
    }
    return lines;
}

} // namespace sim
