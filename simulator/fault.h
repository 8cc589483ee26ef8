#pragma once
// The faults that the simulator can play instead of a correct reply, and the plan that says
// which commands get them.

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace sim {

enum class FaultKind {
    NoReply,          // nothing is sent
    BadFirstByte,     // the reply begins with `text` (default "?") instead of "!"
    LateReply,        // the reply goes out `number` ms (default 3000) after the usual delay
    PartialReply,     // only the first `number` bytes of the reply (default half of it)
    LongReply,        // the reply is padded with "0" before its terminator to 40 bytes
    BadStatus,        // "$0" answers `text` (default "01"); any other command makes the
                      // status `text`, so a calibration or factory reset reports failure
    NotNumber,        // the payload is "1.2.3": neither a number nor hexadecimal digits
    NotHex,           // the payload is "GZ": not hexadecimal digits
    RangeOutOfBounds, // the payload is range index `number` (default 26) in hex: "1A"
    Payload,          // the payload is `text`, as given
    HangUp,           // the far end of the line is closed instead of replying
};

inline constexpr std::size_t kLongReplyLength = 40;
inline constexpr int kDefaultLateReplyMs = 3000;
inline constexpr int kDefaultBadRange = 26;

struct Fault {
    Fault() = default;
    Fault(FaultKind k, std::optional<int> n = std::nullopt,
          std::optional<std::string> t = std::nullopt)
        : kind(k), number(n), text(std::move(t)) {}

    FaultKind kind = FaultKind::NoReply;
    // Argument of the kind; nullopt takes the kind's default.
    std::optional<int> number;
    std::optional<std::string> text;
};

// A fault for the next `count` commands (all of them while count is negative), or only for the
// next `count` commands with the code `code` when it is set.
struct FaultRule {
    Fault fault;
    std::optional<std::string> code;
    int count = 1;
};

// Names used by the program's options and the log: "no-reply", "bad-first-byte", "late",
// "partial", "long", "bad-status", "not-number", "not-hex", "bad-range", "payload", "hang-up".
std::string_view FaultKindName(FaultKind kind);
std::optional<FaultKind> FaultKindFromName(std::string_view name);
// One line describing a fault for the log, e.g. "late 3000 ms".
std::string DescribeFault(const Fault& fault);

// Reads KIND[=ARG][/COUNT][@CODE], e.g. "no-reply", "late=500/2", "bad-status=01@$0",
// "payload=3@#K/all". COUNT is a positive number or "all"; CODE is a two-character command code.
// On a mistake returns nullopt and puts an explanation into `error`.
std::optional<FaultRule> ParseFaultSpec(std::string_view spec, std::string& error);

} // namespace sim
