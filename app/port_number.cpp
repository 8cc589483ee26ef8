#include "app/port_number.h"

#include "serial/integer_text.h"

#include <stdexcept>

namespace app {

int PortNumberOf(std::string_view portName) {
    constexpr std::size_t prefixLength = 3;
    const std::string_view text =
        portName.size() > prefixLength ? portName.substr(prefixLength) : std::string_view();
    const auto number = serial::ParseInteger(text);
    if (!number) {
        throw std::runtime_error("'" + std::string(text) + "' is not a valid integer value");
    }
    return *number;
}

std::string PortNameOf(int number) {
    return "COM" + std::to_string(number);
}

} // namespace app
