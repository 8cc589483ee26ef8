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
#include "cli/console.h"
#include "cli/exchange_log.h"
#include "cli/paced_port.h"
#include "protocol/command_table.h"
#include "protocol/comport_exchange_port.h"
#include "protocol/exchange_engine.h"
#include "serial/com_port.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace cli {

// What a transaction does, for the live lines of a run over several ports: "запись", 5 steps.
struct Phase {
    const char* name;
    int steps;
};

namespace phases {
inline constexpr Phase Read{texts::PhaseRead, 5};
inline constexpr Phase Write{texts::PhaseWrite, 5};
inline constexpr Phase Verify{texts::PhaseVerify, 5};
inline constexpr Phase Measure{texts::PhaseMeasure, 1};
inline constexpr Phase Reset{texts::PhaseReset, 2};
inline constexpr Phase Zero{texts::PhaseZero, 2};
inline constexpr Phase Gain{texts::PhaseGain, 2};
inline constexpr Phase Output{texts::PhaseOutput, 5};
} // namespace phases

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
    // Throws CommandError for a settings file or log that cannot be used and for a missing port.
    Session(const Options& options, Console& console, const std::string& commandLine);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session();

    // Starts a transaction with `start` and runs it to its end at `pace`. A port that cannot be
    // opened or written throws CommandError (DeviceError); so does Ctrl+C at an instruction
    // (Interrupted).
    TransactionResult Run(const std::function<void(protocol::ExchangeEngine&)>& start, Pace pace,
                          Phase phase);

    protocol::ExchangeEngine& Engine() { return *engine_; }
    CliEngineView& View() { return view_; }
    CliUiServices& Ui() { return ui_; }
    const std::string& PortName() const { return comPort_.Port(); }
    Console& Terminal() { return console_; }

private:
    void PlayTimer(Pace pace, Phase phase, TransactionResult& result);

    Console& console_;
    // The records this session's transactions set their parameters in: sessions of several
    // ports run at once, one per thread, and must not share the window's tables.
    protocol::CommandTables tables_;
    serial::TComPort comPort_;
    protocol::ComPortExchangePort line_{comPort_};
    PacedPort paced_{line_};
    std::unique_ptr<ExchangeLog> log_;
    CliEngineView view_;
    CliUiServices ui_;
    std::unique_ptr<protocol::ExchangeEngine> engine_;
};

} // namespace cli
