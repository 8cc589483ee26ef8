#pragma once
// Splits the byte stream from the line into command lines. A command ends with CR LF; the bytes
// before the CR are the command text. A line feed without a CR before it, or more bytes than any
// command can have without a line end, make a broken line that the transducer rejects.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

struct FramedLine {
    enum class Kind {
        Command,      // text followed by CR LF
        BareLineFeed, // text followed by LF alone
        Overflow,     // kMaxLineLength bytes without a line end; the bytes are dropped
    };
    Kind kind = Kind::Command;
    std::string text; // without the line end
};

class CommandFramer {
public:
    // Longest line kept while waiting for its end: a command has at most 29 characters.
    static constexpr std::size_t kMaxLineLength = 64;

    // Adds received bytes; returns the lines they complete, in order.
    std::vector<FramedLine> Feed(std::string_view bytes);
    // Bytes received that do not yet form a complete line.
    std::size_t Pending() const { return buffer_.size(); }
    void Reset() { buffer_.clear(); }

private:
    std::string buffer_;
};

} // namespace sim
