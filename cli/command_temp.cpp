// temp: the measured value, once or as a series, each with its local time, optionally into a
// CSV file.
#include "cli/commands.h"

#include "catalogue/sensor_catalogue.h"
#include "cli/cli_texts.h"
#include "cli/command_error.h"
#include "cli/csv_output.h"
#include "cli/exchange_log.h"
#include "cli/option_values.h"
#include "cli/session.h"

#include <chrono>
#include <memory>
#include <thread>

namespace cli {

ExitStatus RunTemp(const Options& options, Console& console, const std::string& commandLine) {
    const int count = CountOption("--count", options.count.value_or("1"), 1);
    const int every = CountOption("--every", options.every.value_or("1000"), 0);
    const std::optional<int> range =
        options.range
            ? std::optional<int>(IndexOption("--range", *options.range,
                                             catalogue::SensorRangeCount - 1, texts::RangeLimits))
            : std::nullopt;
    std::unique_ptr<CsvOutput> csv;
    if (options.csv) {
        csv = std::make_unique<CsvOutput>(*options.csv);
        if (!csv->Usable()) {
            throw CommandError(ExitStatus::FileError, texts::CsvUnusable + *options.csv);
        }
    }

    Session session(options, console, commandLine);
    if (range) {
        session.View().SetSelectedRange(range);
    }
    auto next = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            std::this_thread::sleep_until(next);
        }
        next += std::chrono::milliseconds(every);
        const auto reading = ReadMeasuredValue(session, options.pace);
        if (!reading) {
            return ExitStatus::DeviceError;
        }
        const std::string time = LocalTimeStamp();
        console.Out(time + "  " + reading->label + reading->value + "\n");
        const std::string quantity =
            reading->label.substr(0, reading->label.find_last_not_of(": ") + 1);
        if (csv && !csv->Row(time, quantity, reading->value)) {
            throw CommandError(ExitStatus::FileError, texts::CsvWriteFailed + *options.csv);
        }
    }
    return ExitStatus::Done;
}

} // namespace cli
