// read: the configuration (and with --temp the measured value), shown, as JSON, or kept in a
// profile for write.
#include "cli/command_table.h"

#include "cli/cli_texts.h"
#include "cli/command_error.h"
#include "cli/json_output.h"
#include "cli/option_values.h"
#include "cli/profile_file.h"
#include "cli/report_text.h"
#include "cli/session.h"

namespace cli {

ExitStatus RunRead(const Options& options, Console& console, const std::string& commandLine) {
    Session session(options, console, commandLine);
    const TransactionResult result =
        session.Run([](protocol::ExchangeEngine& engine) { engine.ButtonReadClick(); },
                    options.pace, phases::Read);
    const auto configuration =
        result.succeeded ? ConfigurationFromRead(session.View().SelectedRangeIndex().value_or(0),
                                                 session.View().OutputTypeIndex(), result.payloads)
                         : std::nullopt;
    if (!configuration) {
        return ExitStatus::DeviceError;
    }
    // The read's range selects the unit of the measured value, as in the window.
    std::optional<Reading> reading;
    if (options.temp) {
        try {
            reading = ReadMeasuredValue(session, options.pace);
        } catch (const CommandError& error) {
            // Stopped before the measured value: what was read is still shown.
            if (error.Status() == ExitStatus::Interrupted && !options.json) {
                console.Out(ConfigurationReport(*configuration));
            }
            throw;
        }
    }
    if (options.json) {
        std::optional<MeasuredValue> measured;
        if (reading) {
            measured = MeasuredValue{reading->value, reading->label};
        }
        console.Out(ConfigurationJson(*configuration, measured));
    } else {
        console.Out(ConfigurationReport(*configuration));
        if (reading) {
            console.Out(reading->label + reading->value + "\n");
        }
    }
    // After the output, so that a profile that cannot be written does not hide what was read.
    if (options.profile) {
        SaveProfile(*options.profile, *configuration);
        console.Err(texts::ProfileWritten + *options.profile + "\n");
    }
    return options.temp && !reading ? ExitStatus::DeviceError : ExitStatus::Done;
}

} // namespace cli
