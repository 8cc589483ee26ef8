#include "cli/configuration.h"

#include "cli/cli_texts.h"
#include "protocol/number_text.h"

#include <cstdio>

namespace cli {
namespace {

std::optional<double> Number(const std::string& text) {
    return protocol::ParseNumber(text, '.');
}

std::string RangeParameter(int rangeIndex) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned>(rangeIndex));
    return hex;
}

std::string OutputText(const std::string& digit) {
    const int index = digit.size() == 1 ? digit[0] - '0' : -1;
    return index >= 0 && index <= 2 ? digit + " (" + texts::OutputTypeNames[index] + ")" : digit;
}

// A parameter as sent (point, maybe a trailing blank) as people read it.
std::string ParameterValue(const std::string& parameter, double scale = 1.0) {
    const auto value = Number(parameter.substr(0, parameter.find_last_not_of(' ') + 1));
    return value ? ValueText(*value * scale) : parameter;
}

} // namespace

std::optional<Configuration> ConfigurationFromRead(int rangeIndex, int outputType,
                                                   const std::vector<std::string>& payloads) {
    // "$8", "$H", "#9", "$4", "#K".
    if (payloads.size() != 5) {
        return std::nullopt;
    }
    const auto upper = Number(payloads[1]);
    const auto level = Number(payloads[2]);
    const auto lower = Number(payloads[3]);
    if (!upper || !level || !lower) {
        return std::nullopt;
    }
    return Configuration{rangeIndex, *upper, *lower, *level, outputType};
}

std::string ValueText(double value) {
    return protocol::FormatNumber(value, "###0.0###", '.');
}

std::string BreakPercentText(const Configuration& configuration) {
    return ValueText(configuration.breakFraction * 100.0);
}

std::vector<Difference> CompareWithWritten(const protocol::WriteParameters& written,
                                           const Configuration& read) {
    std::vector<Difference> differences;
    const auto check = [&](const char* quantity, const std::string& sent,
                           const std::string& readBack, std::string sentText,
                           std::string readText) {
        if (sent != readBack) {
            differences.push_back(Difference{quantity, std::move(sentText), std::move(readText)});
        }
    };
    const std::string range = RangeParameter(read.rangeIndex);
    check(texts::SensorRange, written.Range, range,
          std::to_string(std::stoi(written.Range, nullptr, 16)), std::to_string(read.rangeIndex));
    check(texts::LowerValue, written.Lower, protocol::WireNumber(read.lower, "000.0##"),
          ParameterValue(written.Lower), ValueText(read.lower));
    check(texts::BreakLevel, written.BreakLevel,
          protocol::WireNumber(read.breakFraction, "000.0## "),
          ParameterValue(written.BreakLevel, 100.0), BreakPercentText(read));
    check(texts::UpperValue, written.Upper, protocol::WireNumber(read.upper, "###0.0#"),
          ParameterValue(written.Upper), ValueText(read.upper));
    const std::string output(1, static_cast<char>('0' + read.outputType));
    check(texts::OutputType, written.OutputType, output, OutputText(written.OutputType),
          OutputText(output));
    return differences;
}

} // namespace cli
