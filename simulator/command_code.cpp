#include "simulator/command_code.h"

#include <array>
#include <utility>

namespace sim {
namespace {

constexpr std::array<std::pair<CommandCode, std::string_view>, kCommandCodeCount> kCodes{{
    {CommandCode::SetRange, "$7"},
    {CommandCode::SetLower, "$3"},
    {CommandCode::SetBreakLevel, "$G"},
    {CommandCode::SetUpper, "$9"},
    {CommandCode::FactoryReset, "$F"},
    {CommandCode::SetOutputType, "$K"},
    {CommandCode::ZeroCalibration, "$1"},
    {CommandCode::GainCalibration, "$2"},
    {CommandCode::EndOutputCalibration, "$B"},
    {CommandCode::SetGain, "$C"},
    {CommandCode::OutputTestCode, "$A"},
    {CommandCode::SetOffset, "$D"},
    {CommandCode::QueryRange, "$8"},
    {CommandCode::QueryUpper, "$H"},
    {CommandCode::QueryBreakLevel, "#9"},
    {CommandCode::QueryLower, "$4"},
    {CommandCode::QueryMeasuredValue, "#0"},
    {CommandCode::QueryOutputType, "#K"},
    {CommandCode::QueryStatus, "$0"},
}};

} // namespace

std::string_view CodeText(CommandCode code) {
    for (const auto& [c, text] : kCodes) {
        if (c == code) {
            return text;
        }
    }
    return {};
}

std::optional<CommandCode> CodeFromText(std::string_view text) {
    for (const auto& [code, t] : kCodes) {
        if (t == text) {
            return code;
        }
    }
    return std::nullopt;
}

bool TakesParameter(CommandCode code) {
    switch (code) {
    case CommandCode::SetRange:
    case CommandCode::SetLower:
    case CommandCode::SetBreakLevel:
    case CommandCode::SetUpper:
    case CommandCode::SetOutputType:
    case CommandCode::SetGain:
    case CommandCode::OutputTestCode:
    case CommandCode::SetOffset:
        return true;
    default:
        return false;
    }
}

} // namespace sim
