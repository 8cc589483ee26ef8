// calibrate input and calibrate output: the calibration window's procedures on a terminal, with
// its instructions, prompts and intervals, through the same starters of the engine; with
// --record the unit is read before and after and the run is kept as a record.
#include "cli/command_table.h"

#include "catalogue/sensor_catalogue.h"
#include "cli/cli_texts.h"
#include "cli/command_error.h"
#include "cli/interrupt.h"
#include "cli/interruption.h"
#include "cli/option_values.h"
#include "cli/recorder.h"
#include "cli/session.h"
#include "protocol/engine_texts.h"
#include "protocol/number_text.h"
#include "protocol/output_calibration_math.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string_view>

namespace cli {
namespace {

// What the input page shows above its diagram: the stage and the resistance to connect.
void ShowStage(Console& console, const Phase& stage, std::string_view resistance) {
    console.Err(std::string(stage.title) + "\n" + texts::AssembleCircuit + ": " +
                std::string(resistance) + "\n");
}

// The calibration window closes at the end: later steps would wait 500 ms, and an output
// calibration that did not end through its success or its recovery is reported.
ExitStatus CloseCalibration(Session& session, ExitStatus status) {
    session.Engine().KalibrFormClose(session.View().CalibrationUnfinished());
    return status;
}

// Whether a command starting with `prefix` went out in the stage.
bool Sent(const Stage& stage, std::string_view prefix) {
    return std::any_of(
        stage.exchanges.begin(), stage.exchanges.end(),
        [&](const CliEngineView::Exchange& e) { return e.sent.starts_with(prefix); });
}

// The transducer's answer to "$0" in the stage, without its "!".
std::string StatusReply(const Stage& stage) {
    for (const CliEngineView::Exchange& e : stage.exchanges) {
        if (e.sent == "$0" && !e.received.empty()) {
            return e.received.substr(1);
        }
    }
    return {};
}

// One stage of the input calibration; true when the transducer reported success.
bool InputStage(Session& session, Recorder& recorder, std::size_t stage, int inputStage,
                std::string_view resistance) {
    const Phase& phase = inputStage == 0 ? phases::Zero : phases::Gain;
    ShowStage(session.Terminal(), phase, resistance);
    recorder.BeginStage(stage);
    const TransactionResult result = session.Run(
        [inputStage](protocol::ExchangeEngine& engine) { engine.KalibrButton1Click(inputStage); },
        Pace::Window, phase);
    recorder.EndStage(stage, result);
    recorder.AddFact(stage, texts::FactResistance, "resistance", std::string(resistance));
    const std::string status = StatusReply(recorder.Data().stages[stage]);
    if (!status.empty()) {
        recorder.AddFact(stage, texts::FactStatus, "status", status);
    }
    return result.succeeded;
}

// The figures of the output calibration as far as it got.
void RecordOutputFigures(Session& session, Recorder& recorder, int output) {
    const Stage& stage = recorder.Data().stages[0];
    const protocol::ExchangeEngine& engine = session.Engine();
    const std::string unit = output == 0 ? "V" : "mA";
    recorder.AddFact(0, texts::OutputType, "outputType",
                     std::to_string(output) + ": " + texts::OutputTypeNames[output]);
    if (Sent(stage, "$ACD0")) {
        recorder.AddFact(0, texts::FactMinimum, "measuredMinimum",
                         ValueText(engine.MeasuredMinimum()) + " " + unit);
    }
    if (!Sent(stage, "$C")) {
        return;
    }
    recorder.AddFact(0, texts::FactMaximum, "measuredMaximum",
                     ValueText(engine.MeasuredMaximum()) + " " + unit);
    recorder.AddFact(0, texts::FactGain, "gain", ValueText(engine.GainCoefficient()));
    recorder.AddFact(0, texts::FactGainText, "gainText",
                     protocol::WireGain(engine.GainCoefficient()));
    if (Sent(stage, "$D")) {
        recorder.AddFact(0, texts::FactOffset, "offset", std::to_string(engine.OffsetCode()));
        recorder.SetChart(OutputChartData{engine.FullScale(), unit, engine.MeasuredMinimum(),
                                          engine.MeasuredMaximum(), engine.GainCoefficient(),
                                          engine.OffsetCode()});
    }
}

std::string RangeText(int index) {
    const auto& range = catalogue::SensorRanges[static_cast<std::size_t>(index)];
    const auto& type = catalogue::SensorTypes[static_cast<std::size_t>(range.TypeIndex)];
    std::string_view text = range.RangeText;
    text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
    return std::to_string(index) + " (" + std::string(type.Name) + ", " + std::string(text) + ")";
}

std::string OutputText(int index) {
    return std::to_string(index) + " (" + texts::OutputTypeNames[index] + ")";
}

// A calibration goes ahead only for the range or output the transducer is set to, unless
// --force says the technician means it: the standard of another range, or the full scale of
// another output, would leave the transducer calibrated wrong without a word. The reading as
// found is the one thing sent before.
std::optional<ExitStatus> RefuseOtherSetting(const Options& options, const Recorder& recorder,
                                             int given, bool output) {
    const auto& found = recorder.Data().asFound.configuration;
    if (options.force) {
        return std::nullopt;
    }
    if (!found) {
        return ExitStatus::DeviceError; // the reading's own message has been shown
    }
    const int held = output ? found->outputType : found->rangeIndex;
    if (held == given) {
        return std::nullopt;
    }
    const auto describe = output ? OutputText : RangeText;
    throw CommandError(ExitStatus::InvalidValue,
                       (output ? texts::MismatchOutput : texts::MismatchRange) + describe(held) +
                           (output ? texts::MismatchGivenOutput : texts::MismatchGivenRange) +
                           describe(given) + texts::MismatchNotStarted);
}

} // namespace

ExitStatus RunCalibrateInput(const Options& options, Console& console,
                             const std::string& commandLine) {
    const int range = IndexOption("--range", RequiredOption("--range", options.range),
                                  catalogue::SensorRangeCount - 1, texts::RangeLimits);
    Session session(options, console, commandLine);
    Recorder recorder(options, session, RecordKind::InputCalibration, commandLine, true);
    return recorder.Run([&] {
        if (const auto refused = RefuseOtherSetting(options, recorder, range, false)) {
            return *refused;
        }
        session.View().SetSelectedRange(range);
        if (!InputStage(session, recorder, 0, 0, texts::ZeroResistance)) {
            return CloseCalibration(session, ExitStatus::DeviceError);
        }
        const bool gain =
            InputStage(session, recorder, 1, 1,
                       catalogue::SensorRanges[static_cast<std::size_t>(range)].CalibText);
        return CloseCalibration(session, gain ? ExitStatus::Done : ExitStatus::DeviceError);
    });
}

ExitStatus RunCalibrateOutput(const Options& options, Console& console,
                              const std::string& commandLine) {
    const int output =
        IndexOption("--output", RequiredOption("--output", options.output), 2, texts::OutputLimits);
    Session session(options, console, commandLine);
    if (options.min) {
        session.Ui().PresetAnswer(protocol::texts::MinimumCaption,
                                  NumberOption("--min", *options.min));
    }
    if (options.max) {
        session.Ui().PresetAnswer(protocol::texts::MaximumCaption,
                                  NumberOption("--max", *options.max));
    }
    Recorder recorder(options, session, RecordKind::OutputCalibration, commandLine, true);
    return recorder.Run([&] {
        if (const auto refused = RefuseOtherSetting(options, recorder, output, true)) {
            return *refused;
        }
        // After the reading as found: the calibration's full scale is the one asked for.
        session.View().SetOutputTypeIndex(output);
        recorder.BeginStage(0);
        TransactionResult result;
        try {
            result =
                session.Run([](protocol::ExchangeEngine& engine) { engine.KalibrButton3Click(); },
                            Pace::Window, phases::Output);
        } catch (const CommandError& error) {
            // Ended at once (a second Ctrl+C) without the reply to "$B": the transducer may
            // still drive a test code, as after the window closed early.
            if (error.Status() == ExitStatus::Interrupted) {
                CloseCalibration(session, ExitStatus::Interrupted);
            }
            throw;
        }
        recorder.EndStage(0, result);
        RecordOutputFigures(session, recorder, output);
        if (result.succeeded) {
            if (InterruptRequested()) {
                console.Err(std::string(texts::InterruptCameLate) + "\n");
            }
            return CloseCalibration(session, ExitStatus::Done);
        }
        const bool interrupted = std::find(result.messages.begin(), result.messages.end(),
                                           texts::CalibrationInterrupted) != result.messages.end();
        CloseCalibration(session, ExitStatus::DeviceError);
        if (!interrupted) {
            return ExitStatus::DeviceError;
        }
        throw session.Interruption(
            InterruptionText(phases::Output, recorder.Data().stages[0].exchanges,
                             InterruptRequested() ? InterruptCause() : texts::EndOfInputCause));
    });
}

} // namespace cli
