// calibrate input and calibrate output: the calibration window's procedures on a terminal, with
// its instructions, prompts and intervals, through the same starters of the engine.
#include "cli/commands.h"

#include "catalogue/sensor_catalogue.h"
#include "cli/cli_texts.h"
#include "cli/interrupt.h"
#include "cli/option_values.h"
#include "cli/session.h"
#include "protocol/engine_texts.h"

#include <algorithm>
#include <cstddef>

namespace cli {
namespace {

// What the input page shows above its diagram: the stage and the resistance to connect.
void ShowStage(Console& console, const char* stage, std::string_view resistance) {
    console.Err(std::string(stage) + "\n" + texts::AssembleCircuit + ": " +
                std::string(resistance) + "\n");
}

// The calibration window closes at the end: later steps would wait 500 ms, and an output
// calibration that did not end through its success or its recovery is reported.
ExitStatus CloseCalibration(Session& session, ExitStatus status) {
    session.Engine().KalibrFormClose(session.View().CalibrationUnfinished());
    return status;
}

} // namespace

ExitStatus RunCalibrateInput(const Options& options, Console& console,
                             const std::string& commandLine) {
    const int range = IndexOption("--range", RequiredOption("--range", options.range),
                                  catalogue::SensorRangeCount - 1, texts::RangeLimits);
    Session session(options, console, commandLine);
    session.View().SetSelectedRange(range);

    ShowStage(console, texts::ZeroStage, texts::ZeroResistance);
    if (!session
             .Run([](protocol::ExchangeEngine& engine) { engine.KalibrButton1Click(0); },
                  Pace::Window, phases::Zero)
             .succeeded) {
        return CloseCalibration(session, ExitStatus::DeviceError);
    }
    ShowStage(console, texts::GainStage,
              catalogue::SensorRanges[static_cast<std::size_t>(range)].CalibText);
    const bool gain =
        session
            .Run([](protocol::ExchangeEngine& engine) { engine.KalibrButton1Click(1); },
                 Pace::Window, phases::Gain)
            .succeeded;
    return CloseCalibration(session, gain ? ExitStatus::Done : ExitStatus::DeviceError);
}

ExitStatus RunCalibrateOutput(const Options& options, Console& console,
                              const std::string& commandLine) {
    const int output =
        IndexOption("--output", RequiredOption("--output", options.output), 2, texts::OutputLimits);
    Session session(options, console, commandLine);
    session.View().SetOutputTypeIndex(output);
    if (options.min) {
        session.Ui().PresetAnswer(protocol::texts::MinimumCaption,
                                  NumberOption("--min", *options.min));
    }
    if (options.max) {
        session.Ui().PresetAnswer(protocol::texts::MaximumCaption,
                                  NumberOption("--max", *options.max));
    }

    const InterruptScope interrupt;
    const TransactionResult result =
        session.Run([](protocol::ExchangeEngine& engine) { engine.KalibrButton3Click(); },
                    Pace::Window, phases::Output);
    if (result.succeeded) {
        if (InterruptRequested()) {
            console.Err(std::string(texts::InterruptCameLate) + "\n");
        }
        return CloseCalibration(session, ExitStatus::Done);
    }
    const bool interrupted = std::find(result.messages.begin(), result.messages.end(),
                                       texts::CalibrationInterrupted) != result.messages.end();
    return CloseCalibration(session,
                            interrupted ? ExitStatus::Interrupted : ExitStatus::DeviceError);
}

} // namespace cli
