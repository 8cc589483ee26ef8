#pragma once
// Everything one run of a command talks to the transducer through: the serial port with the
// tool's settings (and those of --settings), the fast pace's look-ahead and the exchange log
// wrapped around it, the terminal's engine view and user services, and the exchange engine
// itself. Run starts a transaction with one of the engine's starters and plays the window's
// timer until the transaction has ended.

#include "cli/arguments.h"
#include "cli/cli_engine_view.h"
#include "cli/cli_texts.h"
#include "cli/cli_ui_services.h"
#include "cli/command_error.h"
#include "cli/console.h"
#include "cli/exchange_log.h"
#include "cli/interrupt_gate.h"
#include "cli/paced_port.h"
#include "cli/phase.h"
#include "protocol/command_table.h"
#include "protocol/comport_exchange_port.h"
#include "protocol/exchange_engine.h"
#include "serial/com_port.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace cli {

struct TransactionResult {
    // No failure message was shown: every step ran, or a calibration reported success.
    bool succeeded = false;
    // The payload of every reply that passed the engine's checks, in order.
    std::vector<std::string> payloads;
    // Every message the transaction showed, in order.
    std::vector<std::string> messages;
};

class Session {
public:
    // Checks every file the command will write (user_files.h) and throws CommandError for one
    // that cannot be used, for a settings file or log that cannot be used and for a missing
    // port; nothing has touched the transducer then.
    Session(const Options& options, Console& console, const std::string& commandLine);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session();

    // Starts a transaction with `start` and runs it to its end at `pace`. A port that cannot be
    // opened or written throws CommandError (DeviceError). After Ctrl+C (interrupt.h) no
    // further command goes out: a transaction not yet started is not started, one under way
    // ends once the reply of its step is in, or at once after a second Ctrl+C; the port is
    // closed, the log gets a line for it, and CommandError (Interrupted) says what was sent. A
    // log that could not be written throws CommandError (FileError) once the transaction has
    // ended.
    TransactionResult Run(const std::function<void(protocol::ExchangeEngine&)>& start, Pace pace,
                          Phase phase);

    // The error that ends a command stopped outside a transaction (`text` says where); the
    // log gets its line.
    CommandError Interruption(const std::string& text);

    protocol::ExchangeEngine& Engine() { return *engine_; }
    CliEngineView& View() { return view_; }
    CliUiServices& Ui() { return ui_; }
    const std::string& PortName() const { return comPort_.Port(); }
    Console& Terminal() { return console_; }

private:
    void PlayTimer(Pace pace, const Phase& phase, std::size_t first, TransactionResult& result);
    // Waits for the reply of the step under way; false when a second Ctrl+C cut the wait short.
    bool WaitForReply(Pace pace, std::chrono::steady_clock::time_point deadline);
    [[noreturn]] void StopTransaction(const Phase& phase, std::size_t first);
    // Throws the log's failure once; `transactionFailed` only shows it beside the failure
    // that already ends the command.
    void CheckLog(bool transactionFailed);

    Console& console_;
    // The records this session's transactions set their parameters in: sessions of several
    // ports run at once, one per thread, and must not share the window's tables.
    protocol::CommandTables tables_;
    serial::TComPort comPort_;
    protocol::ComPortExchangePort line_{comPort_};
    PacedPort paced_{line_};
    std::unique_ptr<ExchangeLog> log_;
    std::string logPath_;
    bool logProblemShown_ = false;
    std::unique_ptr<InterruptGate> gate_;
    CliEngineView view_;
    CliUiServices ui_;
    std::unique_ptr<protocol::ExchangeEngine> engine_;
};

} // namespace cli
