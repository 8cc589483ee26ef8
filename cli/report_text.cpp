#include "cli/report_text.h"

#include "catalogue/sensor_catalogue.h"
#include "catalogue/sensor_selection.h"
#include "cli/cli_texts.h"

#include <algorithm>
#include <cstddef>

namespace cli {
namespace {

std::size_t Characters(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    return first == text.npos ? std::string() : std::string(text.substr(first));
}

std::string Line(const std::string& caption, const std::string& value) {
    return Padded(caption + ":", 29) + value + "\n";
}

} // namespace

std::string Padded(const std::string& text, std::size_t width) {
    const std::size_t length = Characters(text);
    return length >= width ? text + " " : text + std::string(width - length, ' ');
}

std::string ConfigurationReport(const Configuration& c) {
    const auto& range = catalogue::SensorRanges[static_cast<std::size_t>(c.rangeIndex)];
    const auto& type = catalogue::SensorTypes[static_cast<std::size_t>(range.TypeIndex)];
    // The window's captions, without their trailing ": ".
    const auto caption = [](std::string_view text) {
        return std::string(text.substr(0, text.find_last_not_of(": ") + 1));
    };
    std::string report;
    report += Line(texts::SensorType, std::string(type.Name));
    report += Line(caption(catalogue::SensorRangeCaption(range.TypeIndex)),
                   Trimmed(range.RangeText) + ", номер " + std::to_string(c.rangeIndex));
    report += Line(caption(catalogue::WorkingRangeCaption(range.TypeIndex)),
                   ValueText(c.lower) + " ... " + ValueText(c.upper));
    report += Line(texts::BreakLevel, BreakPercentText(c));
    report += Line(texts::OutputType,
                   std::to_string(c.outputType) + ": " + texts::OutputTypeNames[c.outputType]);
    return report;
}

std::string DifferencesReport(const std::vector<Difference>& differences) {
    std::string report = Padded(texts::QuantityHeading, 29) + Padded(texts::WrittenHeading, 16) +
                         texts::ReadHeading + "\n";
    for (const Difference& d : differences) {
        report += Padded(d.quantity, 29) + Padded(d.written, 16) + d.read + "\n";
    }
    return report;
}

} // namespace cli

namespace cli {

std::string DifferencesInOneLine(const std::vector<Difference>& differences) {
    std::string line;
    for (const Difference& d : differences) {
        line += (line.empty() ? "" : "; ") + d.quantity + ": записано " + d.written + ", считано " +
                d.read;
    }
    return line;
}

} // namespace cli
