#include "cli/json_output.h"

#include "catalogue/sensor_catalogue.h"
#include "cli/cli_texts.h"
#include "cli/utf8_text.h"

#include <cstddef>
#include <cstdio>

namespace cli {

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (char c : ValidUtf8(text)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string ConfigurationJson(const Configuration& c,
                              const std::optional<MeasuredValue>& measured) {
    const auto& range = catalogue::SensorRanges[static_cast<std::size_t>(c.rangeIndex)];
    const auto& type = catalogue::SensorTypes[static_cast<std::size_t>(range.TypeIndex)];
    std::string json = "{\n";
    json += "  \"sensorType\": {\"index\": " + std::to_string(range.TypeIndex) +
            ", \"name\": " + JsonString(type.Name) + "},\n";
    json += "  \"sensorRange\": {\"index\": " + std::to_string(c.rangeIndex) +
            ", \"text\": " + JsonString(range.RangeText) + ", \"min\": " + ValueText(range.Min) +
            ", \"max\": " + ValueText(range.Max) + "},\n";
    json += "  \"upper\": " + ValueText(c.upper) + ",\n";
    json += "  \"lower\": " + ValueText(c.lower) + ",\n";
    json += "  \"breakPercent\": " + BreakPercentText(c) + ",\n";
    json += "  \"outputType\": {\"index\": " + std::to_string(c.outputType) +
            ", \"name\": " + JsonString(texts::OutputTypeNames[c.outputType]) + "}";
    if (measured) {
        json += ",\n  \"measured\": {\"value\": " + measured->value +
                ", \"label\": " + JsonString(measured->label) + "}";
    }
    return json + "\n}\n";
}

} // namespace cli
