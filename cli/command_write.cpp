// write: the window's checks, the window's write, then (unless --no-verify) a read of all five
// values compared with what was sent.
#include "cli/command_table.h"

#include "cli/cli_texts.h"
#include "cli/command_error.h"
#include "cli/option_values.h"
#include "cli/profile_file.h"
#include "cli/recorder.h"
#include "cli/report_text.h"
#include "cli/session.h"
#include "protocol/write_parameters.h"

namespace cli {
namespace {

ProfileValues ValuesFromOptions(const Options& options) {
    const std::pair<const char*, const std::optional<std::string>*> needed[] = {
        {"--range", &options.range},
        {"--upper", &options.upper},
        {"--lower", &options.lower},
        {"--break", &options.breakLevel},
        {"--output", &options.output}};
    std::string missing;
    for (const auto& [name, value] : needed) {
        if (!*value) {
            missing += (missing.empty() ? "" : ", ") + std::string(name);
        }
    }
    if (!missing.empty()) {
        throw CommandError(ExitStatus::Usage, texts::MissingOptions + missing);
    }
    ProfileValues values;
    values.rangeIndex = IndexOption("--range", *options.range, 25, texts::RangeLimits);
    values.outputType = IndexOption("--output", *options.output, 2, texts::OutputLimits);
    // The numbers go to the window's checks as typed (with a point for a comma), so that a
    // wrong one gets the window's own message.
    values.upper = WithDecimalPoint(*options.upper);
    values.lower = WithDecimalPoint(*options.lower);
    values.breakPercent = WithDecimalPoint(*options.breakLevel);
    return values;
}

ProfileValues ValuesToWrite(const Options& options) {
    if (!options.profile) {
        return ValuesFromOptions(options);
    }
    if (options.range || options.upper || options.lower || options.breakLevel || options.output) {
        throw CommandError(ExitStatus::Usage, texts::ProfileOrValues);
    }
    return LoadProfile(*options.profile);
}

// The window's write with the checked values, then the read-back compared with what was sent.
ExitStatus WriteAndVerify(const Options& options, Session& session, Recorder& recorder,
                          const ProfileValues& values, const protocol::WriteParameters& sent) {
    Console& console = session.Terminal();
    CliEngineView& view = session.View();
    view.SetSelectedRange(values.rangeIndex);
    view.SetUpperText(values.upper);
    view.SetLowerText(values.lower);
    view.SetBreakLevelText(values.breakPercent);
    view.SetOutputTypeIndex(values.outputType);
    recorder.BeginStage(0);
    const TransactionResult write =
        session.Run([](protocol::ExchangeEngine& engine) { engine.ButtonWriteClick(); },
                    options.pace, phases::Write);
    recorder.EndStage(0, write);
    recorder.AddFact(0, texts::SensorRange, "rangeIndex", std::to_string(values.rangeIndex));
    recorder.AddFact(0, texts::LowerValue, "lower", values.lower);
    recorder.AddFact(0, texts::UpperValue, "upper", values.upper);
    recorder.AddFact(0, texts::BreakLevel, "breakPercent", values.breakPercent);
    recorder.AddFact(0, texts::OutputType, "outputType", std::to_string(values.outputType));
    if (!write.succeeded) {
        return ExitStatus::DeviceError;
    }
    console.Out(std::string(texts::Written) + "\n");
    if (!options.verify) {
        console.Outcome(texts::WrittenUnverified);
        return ExitStatus::Done;
    }

    console.Err(std::string(texts::VerifyReading) + "\n");
    recorder.BeginStage(1);
    const TransactionResult read =
        session.Run([](protocol::ExchangeEngine& engine) { engine.ButtonReadClick(); },
                    options.pace, phases::Verify);
    recorder.EndStage(1, read);
    const auto readBack = read.succeeded
                              ? ConfigurationFromRead(view.SelectedRangeIndex().value_or(0),
                                                      view.OutputTypeIndex(), read.payloads)
                              : std::nullopt;
    if (!readBack) {
        console.Err(std::string(texts::VerifyReadFailed) + "\n");
        return ExitStatus::DeviceError;
    }
    recorder.KnowAsLeft(*readBack);
    const std::vector<Difference> differences = CompareWithWritten(sent, *readBack);
    recorder.AddFact(1, texts::FactDifferences, "differences",
                     differences.empty() ? texts::NoDifferences
                                         : DifferencesInOneLine(differences));
    if (differences.empty()) {
        console.Out(std::string(texts::VerifyPassed) + "\n");
        console.Outcome(texts::WrittenVerified);
        return ExitStatus::Done;
    }
    console.Outcome(DifferencesInOneLine(differences));
    console.Out(std::string(texts::VerifyFailedHeading) + "\n" + DifferencesReport(differences));
    return ExitStatus::VerifyFailed;
}

} // namespace

ExitStatus RunWrite(const Options& options, Console& console, const std::string& commandLine) {
    const ProfileValues values = ValuesToWrite(options);
    const protocol::WriteCheck check = protocol::CheckWriteParameters(
        values.rangeIndex, values.upper, values.lower, values.breakPercent, values.outputType);
    if (!check.parameters) {
        // Nothing has touched the port or the transducer.
        throw CommandError(ExitStatus::InvalidValue, check.message);
    }

    Session session(options, console, commandLine);
    Recorder recorder(options, session, RecordKind::Write, commandLine, false,
                      options.verify ? nullptr : &phases::Verify);
    return recorder.Run(
        [&] { return WriteAndVerify(options, session, recorder, values, *check.parameters); });
}

} // namespace cli
