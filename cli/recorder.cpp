#include "cli/recorder.h"

#include "cli/batch.h"
#include "cli/cli_texts.h"
#include "cli/command_error.h"
#include "cli/exchange_log.h"
#include "cli/file_path.h"
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
                   const std::string& commandLine, std::initializer_list<const char*> stages)
    : active_(options.record.has_value()), session_(session), pace_(options.pace),
      folder_(options.record.value_or("")) {
    record_.kind = kind;
    record_.port = session.PortName();
    record_.unit = options.units.empty() ? std::string() : options.units.front();
    record_.operatorName = options.operatorName.value_or("");
    record_.version = LIRAT_VERSION; // the project's version, from the build
    record_.commandLine = commandLine;
    for (const char* name : stages) {
        record_.stages.push_back(Stage{name, StageState::NotReached, {}, {}, {}});
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
        const TransactionResult temp =
            session_.Run([](protocol::ExchangeEngine& engine) { engine.ButtonTempClick(); }, pace_,
                         phases::Measure);
        snapshot.measured =
            temp.succeeded ? ReadingOf(session_.View().MeasuredValueText()) : std::nullopt;
        if (!snapshot.measured) {
            snapshot.failure = LastMessage(temp);
        }
    } catch (const CommandError& error) {
        snapshot.failure = error.what();
    }
    // These exchanges are the readings', not the procedure's.
    session_.View().TakeExchanges();
}

void Recorder::BeginStage(std::size_t index) {
    session_.View().TakeExchanges();
    record_.stages[index].state = StageState::Failed; // until it ends well
}

void Recorder::EndStage(std::size_t index, const TransactionResult& result) {
    Stage& stage = record_.stages[index];
    stage.state = result.succeeded ? StageState::Done : StageState::Failed;
    const auto exchanges = session_.View().TakeExchanges();
    stage.exchanges.insert(stage.exchanges.end(), exchanges.begin(), exchanges.end());
    stage.messages.insert(stage.messages.end(), result.messages.begin(), result.messages.end());
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
        if (stage.state == StageState::Failed && stopped == nullptr) {
            stopped = &stage;
        }
    }
    std::string text = texts::ResultFailed + std::to_string(Code(status)) + texts::ResultStages +
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
    return text + ".";
}

void Recorder::Write() {
    std::error_code error;
    std::filesystem::create_directories(PathOf(folder_), error);
    if (error || !std::filesystem::is_directory(PathOf(folder_))) {
        throw CommandError(ExitStatus::FileError, texts::RecordFolderUnusable + folder_);
    }
    const std::string base = Utf8Of(
        PathOf(folder_) / (FileNamePart(record_.unit.empty() ? record_.port : record_.unit) + "_" +
                           StampForFile(record_.started) + "_" + KindName(record_.kind)));
    // Two runs of one unit within a second get names of their own.
    std::string name = base;
    for (int n = 2; std::filesystem::exists(PathOf(name + ".json"), error) ||
                    std::filesystem::exists(PathOf(name + ".html"), error);
         ++n) {
        name = base + "_" + std::to_string(n);
    }
    for (const auto& [path, text] : {std::pair{name + ".json", RecordJson(record_)},
                                     std::pair{name + ".html", RecordHtml(record_)}}) {
        if (!serial::detail::ReplaceFileContents(path, text)) {
            throw CommandError(ExitStatus::FileError, texts::RecordWriteFailed + path);
        }
    }
    // Where the record went is a result of the run, beside the others on standard output.
    session_.Terminal().Out(texts::RecordWritten + name + ".json, " + name + ".html\n");
}

ExitStatus Recorder::Run(const std::function<ExitStatus()>& procedure) {
    if (!active_) {
        return procedure();
    }
    record_.started = LocalTimeStamp();
    Read(record_.asFound, std::nullopt);
    std::optional<CommandError> stop;
    ExitStatus status = ExitStatus::Done;
    try {
        status = procedure();
    } catch (const CommandError& error) {
        stop = error;
        status = error.Status();
    }
    Read(record_.asLeft, knownAsLeft_);
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
