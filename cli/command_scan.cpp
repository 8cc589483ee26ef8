// scan: which ports answer "$8" as this transducer, with the sensor type and range each one is
// set to; busy and silent ports are listed as such. Nothing but "$8" is ever sent.
#include "cli/command_table.h"

#include "catalogue/sensor_catalogue.h"
#include "cli/cli_texts.h"
#include "cli/port_probe.h"
#include "cli/report_text.h"

#include <algorithm>
#include <cstddef>

namespace cli {

std::string ProbeStateText(const ProbeResult& result) {
    switch (result.state) {
    case ProbeState::Answered:
        return texts::ScanAnswered;
    case ProbeState::Silent:
        return texts::ScanSilent;
    case ProbeState::Foreign:
        return std::string(texts::ScanForeign) + ": \"" + result.detail + "\"";
    case ProbeState::Busy:
        return texts::ScanBusy;
    case ProbeState::Unavailable:
        return std::string(texts::ScanUnavailable) + ": " + result.detail;
    }
    return {};
}

ExitStatus RunScan(const Options& options, Console& console, const std::string& /*commandLine*/) {
    const std::vector<ProbeResult> results = ProbePorts(PortsToScan(options.ports));
    if (results.empty()) {
        console.Out(std::string(texts::NoPorts) + "\n");
        return ExitStatus::DeviceError;
    }
    std::size_t width = 10;
    for (const ProbeResult& result : results) {
        width = std::max(width, result.port.size() + 2);
    }
    std::string table = Padded(texts::PortHeading, width) + Padded(texts::StateHeading, 12) +
                        Padded(texts::SensorType, 20) + texts::SensorRange + "\n";
    int answered = 0;
    for (const ProbeResult& result : results) {
        std::string row = Padded(result.port, width);
        if (result.rangeIndex) {
            ++answered;
            const auto& range =
                catalogue::SensorRanges[static_cast<std::size_t>(*result.rangeIndex)];
            const std::string_view text = range.RangeText;
            const auto first = text.find_first_not_of(' ');
            row +=
                Padded(ProbeStateText(result), 12) +
                Padded(std::string(
                           catalogue::SensorTypes[static_cast<std::size_t>(range.TypeIndex)].Name),
                       20) +
                std::string(first == text.npos ? text : text.substr(first)) + ", номер " +
                std::to_string(*result.rangeIndex);
        } else {
            row += ProbeStateText(result);
        }
        table += row + "\n";
    }
    console.Out(table + texts::ScanFound + std::to_string(answered) + " из " +
                std::to_string(results.size()) + "\n");
    if (answered == 0) {
        console.Err(std::string(texts::ScanNone) + "\n");
        return ExitStatus::DeviceError;
    }
    return ExitStatus::Done;
}

} // namespace cli
