#pragma once
// The configuration read as JSON (read --json): English keys for programs, the catalogue's
// texts as the window shows them, numbers with a point.

#include "cli/configuration.h"

#include <optional>
#include <string>
#include <string_view>

namespace cli {

struct MeasuredValue {
    std::string value; // pattern "####0.0#", as the window's read-out
    std::string label; // "Температура (град. С): " or "Сопротивление (Ом): "
};

std::string ConfigurationJson(const Configuration& configuration,
                              const std::optional<MeasuredValue>& measured);

// A JSON string literal: quotes, backslashes and control characters escaped, UTF-8 kept and
// bytes that are not UTF-8 replaced (ValidUtf8).
std::string JsonString(std::string_view text);

} // namespace cli
