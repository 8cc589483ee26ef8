#pragma once
// Keeping the record of a write or a calibration while it runs (--record DIR): the unit read
// as found before the procedure, the stages as the command runs them, the unit read as left
// after, and at the end a JSON record and an HTML page written into DIR, each first to a
// temporary name and then renamed, so no reader ever finds one half-written. The record is
// written whatever the procedure's end, a failure or Ctrl+C included, and says how far it got.
// Without --record the recorder does nothing but run the procedure.

#include "cli/arguments.h"
#include "cli/command_error.h"
#include "cli/exit_status.h"
#include "cli/record.h"
#include "cli/session.h"

#include <functional>
#include <string>

namespace cli {

class Recorder {
public:
    // The record's stages are the transactions of the command's row, all "not reached" at
    // first, but for `leftOut`, which this run does not do. `readsAsFound`: the configuration
    // is read before the procedure even without --record, for a procedure that checks it (a
    // calibration against the range or output it was given).
    Recorder(const Options& options, Session& session, RecordKind kind,
             const std::string& commandLine, bool readsAsFound = false,
             const Phase* leftOut = nullptr);

    bool Active() const { return active_; }

    // Reads the unit as found, runs `procedure`, reads the unit as left, writes the record and
    // returns the procedure's status; a CommandError of the procedure is recorded and then
    // passed on. A record that cannot be written is a FileError, unless the procedure failed
    // already: its status then stands and the record's failure is shown beside it. After
    // Ctrl+C nothing more is read: the procedure is not started once the reading as found was
    // stopped, and the unit as left is not read.
    ExitStatus Run(const std::function<ExitStatus()>& procedure);

    // The start of stage `index`: what was exchanged before belongs to no stage.
    void BeginStage(std::size_t index);
    // The stage's transaction has ended with `result`.
    void EndStage(std::size_t index, const TransactionResult& result);
    void AddFact(std::size_t index, const char* name, const char* key, std::string value);
    void SetChart(const OutputChartData& chart) { record_.chart = chart; }
    // The configuration the procedure read after itself (the write's verification), so the
    // unit as left needs only its measured value read.
    void KnowAsLeft(const Configuration& configuration) { knownAsLeft_ = configuration; }

    const Record& Data() const { return record_; }

private:
    void Read(Snapshot& snapshot, const std::optional<Configuration>& known);
    // The stage that was under way when `error` ended the procedure gets what it exchanged.
    void CloseOpenStage(const CommandError& error);
    std::string ResultText(ExitStatus status, const std::string& stop) const;
    void Write();

    const bool active_;
    const bool readsAsFound_;
    Session& session_;
    const Pace pace_;
    const std::string folder_;
    Record record_;
    std::optional<Configuration> knownAsLeft_;
    std::optional<std::size_t> openStage_;
};

} // namespace cli
