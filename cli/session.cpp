#include "cli/session.h"

#include "cli/cli_texts.h"
#include "cli/command_error.h"
#include "cli/file_path.h"
#include "cli/interrupt.h"
#include "cli/interruption.h"
#include "cli/user_files.h"
#include "protocol/comport_error_explainer.h"
#include "protocol/engine_texts.h"
#include "protocol/tool_port_settings.h"
#include "serial/settings_document.h"
#include "serial/settings_file.h"

#include <algorithm>
#include <cstddef>
#include <exception>
#include <thread>

namespace cli {
namespace {

// Messages that do not mean failure: the calibrations' success and their instructions.
bool IsFailure(const std::string& message) {
    return message != protocol::texts::CalibrationSucceeded &&
           !message.starts_with(protocol::texts::ConnectSubstitute) &&
           !message.starts_with(protocol::texts::CheckOutputMode);
}

// A settings file that cannot be used is the user's mistake to hear of, never a reason to talk
// to another port than the one meant: it must be a text file holding the port's keys, and
// "Port" among them when no --port names the port.
void LoadSettingsFile(serial::TComPort& port, const std::string& path, bool portGiven) {
    const std::string text = ReadUserTextFile(path, serial::SettingsFile::MaxFileSize,
                                              texts::SettingsMissing, texts::SettingsUnusable);
    const auto document = serial::SettingsDocument::Parse(text, "\n");
    constexpr const char* Keys[] = {"Port",     "BaudRate", "CustomBaudRate", "StopBits",
                                    "DataBits", "Parity",   "FlowControl"};
    if (std::none_of(std::begin(Keys), std::end(Keys),
                     [&](const char* key) { return document.Find("ComPort", key); })) {
        throw CommandError(ExitStatus::FileError,
                           FileProblemText(texts::SettingsUnusable, path, texts::SettingsNoKeys));
    }
    if (!portGiven && !document.Find("ComPort", "Port")) {
        throw CommandError(ExitStatus::FileError,
                           FileProblemText(texts::SettingsUnusable, path, texts::SettingsNoPort));
    }
    try {
        port.LoadSettings(serial::stIniFile, path);
    } catch (const std::exception& error) {
        throw CommandError(ExitStatus::FileError,
                           texts::SettingsUnusable + path + ":\n" + error.what());
    }
}

// The interruption's text on one line of the log.
std::string OneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

} // namespace

Session::Session(const Options& options, Console& console, const std::string& commandLine)
    : console_(console), ui_(console) {
    CheckOutputs(options);
    protocol::ConfigureToolPort(comPort_);
    if (options.settings) {
        LoadSettingsFile(comPort_, *options.settings, options.port.has_value());
    }
    if (options.port) {
        comPort_.SetPort(*options.port);
    } else if (!options.settings) {
        throw CommandError(ExitStatus::Usage, texts::NoPort);
    }
    protocol::ExchangePort* top = &paced_;
    if (options.log) {
        logPath_ = *options.log;
        log_ = std::make_unique<ExchangeLog>(paced_, logPath_, comPort_.Port());
        log_->Note(commandLine);
        if (log_->Problem()) {
            throw CommandError(ExitStatus::FileError,
                               FileProblemText(texts::LogUnusable, logPath_, *log_->Problem()));
        }
        top = log_.get();
    }
    // On top of the log, so that a command held back never shows in it as sent.
    gate_ = std::make_unique<InterruptGate>(*top);
    engine_ = std::make_unique<protocol::ExchangeEngine>(*gate_, view_, ui_, tables_);
    engine_->SetErrorExplainer(protocol::ComPortErrorExplainer(comPort_));
}

Session::~Session() {
    // A transaction still running (an error left it) is abandoned, as closing the window does.
    engine_->AbandonTransaction();
    // A log that failed while something else ended the command is still told of.
    CheckLog(true);
}

CommandError Session::Interruption(const std::string& text) {
    if (log_) {
        log_->Event(OneLine(text));
    }
    return CommandError(ExitStatus::Interrupted, text);
}

void Session::StopTransaction(const Phase& phase, std::size_t first) {
    engine_->AbandonTransaction();
    if (gate_->HeldBack()) {
        view_.ForgetLastSent();
    }
    const auto& all = view_.Exchanges();
    const std::vector<CliEngineView::Exchange> exchanges(
        all.begin() + static_cast<std::ptrdiff_t>(std::min(first, all.size())), all.end());
    throw Interruption(InterruptionText(phase, exchanges, InterruptCause()));
}

void Session::CheckLog(bool transactionFailed) {
    if (!log_ || !log_->Problem() || logProblemShown_) {
        return;
    }
    logProblemShown_ = true;
    const std::string text = FileProblemText(texts::LogWriteFailed, logPath_, *log_->Problem());
    if (!transactionFailed) {
        throw CommandError(ExitStatus::FileError, text);
    }
    console_.Err(text + "\n");
}

TransactionResult Session::Run(const std::function<void(protocol::ExchangeEngine&)>& start,
                               Pace pace, Phase phase) {
    ui_.TakeMessages();
    // The exchanges this transaction adds; those before it belong to the caller's record.
    const std::size_t first = view_.Exchanges().size();
    if (phase.stoppable && InterruptRequested()) {
        StopTransaction(phase, first);
    }
    gate_->Arm(phase.stoppable);
    TransactionResult result;
    try {
        start(*engine_);
    } catch (const InstructionInterrupted&) {
        StopTransaction(phase, first);
    } catch (const std::exception& error) {
        engine_->AbandonTransaction();
        throw CommandError(ExitStatus::DeviceError,
                           texts::PortFailed + comPort_.Port() + ":\n" + engine_->ErrorText(error));
    }
    PlayTimer(pace, phase, first, result);
    result.succeeded = true;
    result.messages = ui_.TakeMessages();
    for (const std::string& message : result.messages) {
        result.succeeded = result.succeeded && !IsFailure(message);
    }
    CheckLog(!result.succeeded);
    return result;
}

bool Session::WaitForReply(Pace pace, std::chrono::steady_clock::time_point deadline) {
    if (pace == Pace::Window) {
        return SleepUntil(deadline, false);
    }
    // The look-ahead waits in short pieces, so that a second Ctrl+C is heard at once.
    constexpr auto Piece = std::chrono::milliseconds(50);
    for (;;) {
        if (AbandonRequested()) {
            return false;
        }
        const auto until = std::min(deadline, std::chrono::steady_clock::now() + Piece);
        try {
            if (paced_.WaitForReplyEnd(until) || until >= deadline) {
                return true;
            }
        } catch (const std::exception&) {
            // The tick meets the same port error at once and reports it as the window's tick
            // does.
            return true;
        }
    }
}

void Session::PlayTimer(Pace pace, const Phase& phase, std::size_t first,
                        TransactionResult& result) {
    while (view_.TimerEnabled()) {
        // A command held back by Ctrl+C, or a second Ctrl+C: the transaction ends here.
        if (gate_->HeldBack() || AbandonRequested()) {
            StopTransaction(phase, first);
        }
        // The step whose reply is awaited; the output calibration's recovery counts as its last.
        console_.Step(phase.name, std::clamp(engine_->TransactionStep() + 1, 1, phase.Steps()),
                      phase.Steps());
        const auto deadline = view_.ArmedAt() + std::chrono::milliseconds(view_.TimerInterval());
        if (!WaitForReply(pace, deadline)) {
            StopTransaction(phase, first);
        }
        // A tick whose reply failed the engine's checks (or its step) shows a message; every
        // other tick handed its step the payload.
        const std::size_t shown = ui_.Messages().size();
        engine_->TimerTimer();
        const auto& messages = ui_.Messages();
        if (std::none_of(messages.begin() + static_cast<std::ptrdiff_t>(shown), messages.end(),
                         IsFailure)) {
            result.payloads.push_back(engine_->ReplyPayload());
        }
    }
}

} // namespace cli
