#include "cli/recorder.h"

#include "cli/cli_texts.h"
#include "cli/command_error.h"
#include "cli/command_table.h"
#include "cli/exchange_log.h"
#include "cli/file_access.h"
#include "cli/file_names.h"
#include "cli/file_path.h"
#include "cli/interrupt.h"
#include "cli/user_files.h"
#include "serial/settings_file_io.h"

#include <filesystem>
#include <optional>
#include <system_error>

namespace cli {
namespace {

// "2026-12-08 06:49:33.823" as a part of a file name: "2026-12-08_06-49-33".
std::string StampForFile(const std::string& stamp) {
    std::string part = stamp.substr(0, 19);
    for (char& c : part) {
        c = c == ' ' ? '_' : (c == ':' ? '-' : c);
    }
    return part;
}

std::string LastMessage(const TransactionResult& result) {
    return result.messages.empty() ? std::string() : result.messages.back();
}

} // namespace

Recorder::Recorder(const Options& options, Session& session, RecordKind kind,
                   const std::string& commandLine, bool readsAsFound, const Phase* leftOut)
    : active_(options.record.has_value()), readsAsFound_(active_ || readsAsFound),
      session_(session), pace_(options.pace), folder_(options.record.value_or("")) {
    record_.kind = kind;
    record_.port = session.PortName();
    record_.unit = options.units.empty() ? std::string() : options.units.front();
    record_.operatorName = options.operatorName.value_or("");
    record_.version = LIRAT_VERSION; // the project's version, from the build
    record_.commandLine = commandLine;
    for (const Phase* stage : options.command->phases) {
        if (stage != leftOut) {
            record_.stages.push_back(Stage{stage->title, StageState::NotReached, {}, {}, {}});
        }
    }
}

void Recorder::Read(Snapshot& snapshot, const std::optional<Configuration>& known) {
    snapshot.attempted = true;
    try {
        snapshot.configuration = known;
        if (!known) {
            const TransactionResult read =
                session_.Run([](protocol::ExchangeEngine& engine) { engine.ButtonReadClick(); },
                             pace_, phases::Read);
            CliEngineView& view = session_.View();
            snapshot.configuration =
                read.succeeded ? ConfigurationFromRead(view.SelectedRangeIndex().value_or(0),
                                                       view.OutputTypeIndex(), read.payloads)
                               : std::nullopt;
            if (!snapshot.configuration) {
                snapshot.failure = LastMessage(read);
                return;
            }
        }
        // The measured value is for the record alone.
        if (active_) {
            const TransactionResult temp =
                session_.Run([](protocol::ExchangeEngine& engine) { engine.ButtonTempClick(); },
                             pace_, phases::Measure);
            snapshot.measured =
                temp.succeeded ? ReadingOf(session_.View().MeasuredValueText()) : std::nullopt;
            if (!snapshot.measured) {
                snapshot.failure = LastMessage(temp);
            }
        }
    } catch (const CommandError& error) {
        snapshot.failure = error.what();
        session_.View().TakeExchanges();
        if (error.Status() == ExitStatus::Interrupted) {
            throw;
        }
    }
    // These exchanges are the readings', not the procedure's.
    session_.View().TakeExchanges();
}

void Recorder::BeginStage(std::size_t index) {
    session_.View().TakeExchanges();
    record_.stages[index].state = StageState::Failed; // until it ends well
    openStage_ = index;
}

void Recorder::EndStage(std::size_t index, const TransactionResult& result) {
    openStage_.reset();
    Stage& stage = record_.stages[index];
    stage.state = result.succeeded ? StageState::Done : StageState::Failed;
    const auto exchanges = session_.View().TakeExchanges();
    stage.exchanges.insert(stage.exchanges.end(), exchanges.begin(), exchanges.end());
    stage.messages.insert(stage.messages.end(), result.messages.begin(), result.messages.end());
}

void Recorder::CloseOpenStage(const CommandError& error) {
    const bool interrupted = error.Status() == ExitStatus::Interrupted;
    if (!openStage_) {
        // A stage that ended through its own recovery (the output calibration's "$B") and
        // whose command was then reported interrupted.
        for (Stage& stage : record_.stages) {
            if (interrupted && stage.state == StageState::Failed) {
                stage.state = StageState::Interrupted;
                break;
            }
        }
        return;
    }
    Stage& stage = record_.stages[*openStage_];
    openStage_.reset();
    const auto exchanges = session_.View().TakeExchanges();
    stage.exchanges.insert(stage.exchanges.end(), exchanges.begin(), exchanges.end());
    stage.messages.push_back(error.what());
    if (interrupted) {
        // Stopped before any of its commands went out, the stage was never reached.
        stage.state = stage.exchanges.empty() ? StageState::NotReached : StageState::Interrupted;
    }
}

void Recorder::AddFact(std::size_t index, const char* name, const char* key, std::string value) {
    record_.stages[index].facts.push_back(Fact{name, std::move(value), key});
}

std::string Recorder::ResultText(ExitStatus status, const std::string& stop) const {
    if (status == ExitStatus::Done) {
        switch (record_.kind) {
        case RecordKind::Write:
            return record_.stages.size() > 1 ? texts::ResultWriteDone
                                             : texts::ResultWriteUnverified;
        case RecordKind::InputCalibration:
            return texts::ResultInputDone;
        case RecordKind::OutputCalibration:
            return texts::ResultOutputDone;
        }
    }
    std::size_t done = 0;
    const Stage* stopped = nullptr;
    for (const Stage& stage : record_.stages) {
        done += stage.state == StageState::Done ? 1 : 0;
        if ((stage.state == StageState::Failed || stage.state == StageState::Interrupted) &&
            stopped == nullptr) {
            stopped = &stage;
        }
    }
    const char* opening =
        status == ExitStatus::Interrupted ? texts::ResultInterrupted : texts::ResultFailed;
    std::string text = opening + std::to_string(Code(status)) + texts::ResultStages +
                       std::to_string(done) + " из " + std::to_string(record_.stages.size());
    if (stopped != nullptr) {
        std::string reason = stop;
        if (reason.empty() && !stopped->messages.empty()) {
            reason = stopped->messages.back();
        }
        text +=
            texts::ResultStoppedAt + stopped->name + "»" + (reason.empty() ? "" : ": " + reason);
    } else if (!stop.empty()) {
        text += "; " + stop;
    }
    for (char& c : text) {
        c = c == '\n' ? ' ' : c;
    }
    return text.ends_with('.') ? text : text + ".";
}

void Recorder::Write() {
    if (const auto problem = PrepareFolder(folder_)) {
        throw CommandError(ExitStatus::FileError,
                           FileProblemText(texts::RecordFolderUnusable, folder_, *problem));
    }
    const std::string unit = FileNamePart(record_.unit.empty() ? record_.port : record_.unit);
    const std::string json = RecordJson(record_);
    const std::string html = RecordHtml(record_);
    // Each name is claimed by the file that takes it, in one step, so that no two ports,
    // threads or programs ever share one; a name taken is tried again with the next number.
    constexpr int Attempts = 1000;
    for (int attempt = 1; attempt <= Attempts; ++attempt) {
        const std::string base =
            Utf8Of(PathOf(folder_) / PathOf(RecordStem(unit, StampForFile(record_.started),
                                                       KindName(record_.kind), attempt)));
        if (!serial::detail::CreateFileContents(base + ".json", json)) {
            if (LastErrorWasNameTaken()) {
                continue;
            }
            throw CommandError(
                ExitStatus::FileError,
                FileProblemText(texts::RecordWriteFailed, base + ".json", LastErrorReason()));
        }
        if (!serial::detail::CreateFileContents(base + ".html", html)) {
            const std::string reason = LastErrorReason();
            if (LastErrorWasNameTaken()) {
                // A page of that name without its JSON: the pair moves on to the next number.
                std::error_code ignored;
                std::filesystem::remove(PathOf(base + ".json"), ignored);
                continue;
            }
            // The JSON is whole and holds everything; it stays.
            throw CommandError(ExitStatus::FileError,
                               FileProblemText(texts::RecordWriteFailed, base + ".html", reason));
        }
        // Where the record went is a result of the run, beside the others on standard output.
        session_.Terminal().Out(texts::RecordWritten + base + ".json, " + base + ".html\n");
        return;
    }
    throw CommandError(ExitStatus::FileError,
                       FileProblemText(texts::RecordWriteFailed, folder_, texts::RecordNamesTaken));
}

ExitStatus Recorder::Run(const std::function<ExitStatus()>& procedure) {
    if (!readsAsFound_) {
        return procedure();
    }
    record_.started = LocalTimeStamp();
    std::optional<CommandError> stop;
    ExitStatus status = ExitStatus::Done;
    try {
        Read(record_.asFound, std::nullopt);
        status = procedure();
    } catch (const CommandError& error) {
        CloseOpenStage(error);
        stop = error;
        status = error.Status();
    }
    if (!active_) {
        if (stop) {
            throw *stop;
        }
        return status;
    }
    // Ctrl+C: nothing more goes to the transducer, not even a reading.
    if (InterruptRequested()) {
        record_.asLeft.failure = texts::AsLeftSkipped;
    } else {
        try {
            Read(record_.asLeft, knownAsLeft_);
        } catch (const CommandError&) {
            // Stopped while reading: the snapshot says so, and the procedure's result stands.
        }
    }
    record_.finished = LocalTimeStamp();
    record_.exitStatus = Code(status);
    record_.result = ResultText(status, stop ? stop->what() : std::string());
    try {
        Write();
    } catch (const CommandError& error) {
        if (status == ExitStatus::Done) {
            throw;
        }
        session_.Terminal().Err(std::string(error.what()) + "\n");
    }
    if (stop) {
        throw *stop;
    }
    return status;
}

} // namespace cli
