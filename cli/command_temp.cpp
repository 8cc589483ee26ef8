// temp: the measured value, once or as a series, each with its local time, optionally into a
// CSV file.
#include "cli/commands.h"

#include "catalogue/sensor_catalogue.h"
#include "cli/cli_texts.h"
#include "cli/command_error.h"
#include "cli/csv_output.h"
#include "cli/exchange_log.h"
#include "cli/option_values.h"
#include "cli/series_page.h"
#include "cli/session.h"
#include "serial/settings_file_io.h"

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

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
    const auto first = std::chrono::steady_clock::now();
    auto next = first;
    std::vector<SeriesSample> series;
    std::string quantity;
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
        console.Outcome(reading->label + reading->value);
        quantity = reading->label.substr(0, reading->label.find_last_not_of(": ") + 1);
        series.push_back(SeriesSample{
            time, std::chrono::duration<double>(std::chrono::steady_clock::now() - first).count(),
            reading->value});
        if (csv && !csv->Row(time, quantity, reading->value)) {
            throw CommandError(ExitStatus::FileError, texts::CsvWriteFailed + *options.csv);
        }
        // Replaced whole after every reading: a browser that reloads it shows the series so
        // far, and a series stopped midway keeps its readings.
        if (options.html && !serial::detail::ReplaceFileContents(
                                *options.html, SeriesHtml(session.PortName(), quantity, series))) {
            throw CommandError(ExitStatus::FileError, texts::HtmlWriteFailed + *options.html);
        }
    }
    return ExitStatus::Done;
}

} // namespace cli
