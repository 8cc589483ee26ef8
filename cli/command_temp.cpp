// temp: the measured value, once or as a series, each with its local time, optionally into a
// CSV file and a page with a chart.
#include "cli/command_table.h"

#include "catalogue/sensor_catalogue.h"
#include "cli/cli_texts.h"
#include "cli/command_error.h"
#include "cli/csv_output.h"
#include "cli/exchange_log.h"
#include "cli/interrupt.h"
#include "cli/option_values.h"
#include "cli/series_page.h"
#include "cli/session.h"
#include "cli/user_files.h"

#include <chrono>
#include <optional>
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

    Session session(options, console, commandLine);
    std::optional<CsvOutput> csv;
    if (options.csv) {
        csv.emplace(*options.csv);
    }
    if (range) {
        session.View().SetSelectedRange(range);
    }
    auto next = std::chrono::steady_clock::now();
    std::optional<std::chrono::steady_clock::time_point> first;
    std::vector<SeriesSample> series;
    std::string quantity;
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !SleepUntil(next, true)) {
            throw session.Interruption(std::string(texts::Interrupted) + InterruptCause() + "). " +
                                       texts::InterruptSeries + std::to_string(i) + " из " +
                                       std::to_string(count) + ".");
        }
        next += std::chrono::milliseconds(every);
        const auto reading = ReadMeasuredValue(session, options.pace);
        if (!reading) {
            return ExitStatus::DeviceError;
        }
        // Each reading's own moment, once its reply is in: the series' time axis starts at 0
        // with the first, and the clock time and the seconds of a row agree.
        const auto steady = std::chrono::steady_clock::now();
        const std::string time = LocalTimeStamp(std::chrono::system_clock::now());
        first = first.value_or(steady);
        console.Out(time + "  " + reading->label + reading->value + "\n");
        console.Outcome(reading->label + reading->value);
        quantity = reading->label.substr(0, reading->label.find_last_not_of(": ") + 1);
        series.push_back(SeriesSample{time, std::chrono::duration<double>(steady - *first).count(),
                                      reading->value});
        if (csv) {
            if (const auto problem = csv->Row(time, quantity, reading->value)) {
                throw CommandError(ExitStatus::FileError,
                                   FileProblemText(texts::CsvWriteFailed, *options.csv, *problem));
            }
        }
        // Replaced whole after every reading: a browser that reloads it shows the series so
        // far, and a series stopped midway keeps its readings.
        if (options.html) {
            ReplaceUserFile(*options.html, SeriesHtml(session.PortName(), quantity, series),
                            texts::HtmlWriteFailed);
        }
    }
    return ExitStatus::Done;
}

} // namespace cli
