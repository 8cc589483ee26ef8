#include "simulator/fault.h"

#include <array>
#include <charconv>
#include <utility>

namespace sim {
namespace {

constexpr std::array<std::pair<FaultKind, std::string_view>, 11> kNames{{
    {FaultKind::NoReply, "no-reply"},
    {FaultKind::BadFirstByte, "bad-first-byte"},
    {FaultKind::LateReply, "late"},
    {FaultKind::PartialReply, "partial"},
    {FaultKind::LongReply, "long"},
    {FaultKind::BadStatus, "bad-status"},
    {FaultKind::NotNumber, "not-number"},
    {FaultKind::NotHex, "not-hex"},
    {FaultKind::RangeOutOfBounds, "bad-range"},
    {FaultKind::Payload, "payload"},
    {FaultKind::HangUp, "hang-up"},
}};

std::optional<int> ParseCount(std::string_view text, int max) {
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0 || value > max) {
        return std::nullopt;
    }
    return value;
}

// Checks the argument of a kind and stores it in the fault.
bool SetArgument(Fault& fault, std::string_view arg, std::string& error) {
    switch (fault.kind) {
    case FaultKind::LateReply:
    case FaultKind::PartialReply:
    case FaultKind::RangeOutOfBounds: {
        int max = fault.kind == FaultKind::LateReply ? 600000 : 255;
        auto n = ParseCount(arg, max);
        if (!n) {
            error = "the argument of \"" + std::string(FaultKindName(fault.kind)) +
                    "\" must be a whole number from 0 to " + std::to_string(max);
            return false;
        }
        fault.number = *n;
        return true;
    }
    case FaultKind::BadFirstByte:
        if (arg.size() != 1 || arg[0] == '!') {
            error = "the argument of \"bad-first-byte\" must be one character other than \"!\"";
            return false;
        }
        fault.text = std::string(arg);
        return true;
    case FaultKind::BadStatus:
    case FaultKind::Payload:
        if (arg.size() > 29) {
            error = "the text of \"" + std::string(FaultKindName(fault.kind)) +
                    "\" may have at most 29 characters";
            return false;
        }
        fault.text = std::string(arg);
        return true;
    default:
        error = "\"" + std::string(FaultKindName(fault.kind)) + "\" takes no argument";
        return false;
    }
}

} // namespace

std::string_view FaultKindName(FaultKind kind) {
    for (const auto& [k, name] : kNames) {
        if (k == kind) {
            return name;
        }
    }
    return "?";
}

std::optional<FaultKind> FaultKindFromName(std::string_view name) {
    for (const auto& [kind, n] : kNames) {
        if (n == name) {
            return kind;
        }
    }
    return std::nullopt;
}

std::string DescribeFault(const Fault& fault) {
    std::string text(FaultKindName(fault.kind));
    if (fault.number) {
        text += " " + std::to_string(*fault.number);
        if (fault.kind == FaultKind::LateReply) {
            text += " ms";
        }
    }
    if (fault.text) {
        text += " \"" + *fault.text + "\"";
    }
    return text;
}

std::optional<FaultRule> ParseFaultSpec(std::string_view spec, std::string& error) {
    std::size_t end = spec.find_first_of("/@");
    std::string_view head = spec.substr(0, end);
    std::string_view tail = end == std::string_view::npos ? std::string_view{} : spec.substr(end);

    std::size_t eq = head.find('=');
    std::string_view name = head.substr(0, eq);
    FaultRule rule;
    auto kind = FaultKindFromName(name);
    if (!kind) {
        error = "unknown fault \"" + std::string(name) + "\"";
        return std::nullopt;
    }
    rule.fault.kind = *kind;
    if (eq != std::string_view::npos && !SetArgument(rule.fault, head.substr(eq + 1), error)) {
        return std::nullopt;
    }

    bool haveCount = false;
    while (!tail.empty()) {
        char marker = tail[0];
        std::size_t next = tail.find_first_of("/@", 1);
        std::string_view value = tail.substr(1, next == std::string_view::npos ? next : next - 1);
        tail = next == std::string_view::npos ? std::string_view{} : tail.substr(next);
        if (marker == '/') {
            if (haveCount) {
                error = "the count is given twice";
                return std::nullopt;
            }
            haveCount = true;
            if (value == "all") {
                rule.count = -1;
            } else if (auto n = ParseCount(value, 1000000); n && *n > 0) {
                rule.count = *n;
            } else {
                error = "the count must be a positive whole number or \"all\"";
                return std::nullopt;
            }
        } else {
            if (rule.code) {
                error = "the command code is given twice";
                return std::nullopt;
            }
            if (value.size() != 2) {
                error = "a command code has two characters, e.g. @$8 or @#0";
                return std::nullopt;
            }
            rule.code = std::string(value);
        }
    }
    return rule;
}

} // namespace sim
