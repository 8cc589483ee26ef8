#include "cli/session.h"

#include "cli/cli_texts.h"
#include "cli/command_error.h"
#include "cli/file_path.h"
#include "protocol/comport_error_explainer.h"
#include "protocol/engine_texts.h"
#include "protocol/tool_port_settings.h"

#include <algorithm>
#include <cstddef>
#include <exception>
#include <fstream>
#include <thread>

namespace cli {
namespace {

// Messages that do not mean failure: the calibrations' success and their instructions.
bool IsFailure(const std::string& message) {
    return message != protocol::texts::CalibrationSucceeded &&
           !message.starts_with(protocol::texts::ConnectSubstitute) &&
           !message.starts_with(protocol::texts::CheckOutputMode);
}

void LoadSettingsFile(serial::TComPort& port, const std::string& path) {
    if (!std::ifstream(PathOf(path)).good()) {
        throw CommandError(ExitStatus::FileError, texts::SettingsMissing + path);
    }
    try {
        port.LoadSettings(serial::stIniFile, path);
    } catch (const std::exception& error) {
        throw CommandError(ExitStatus::FileError,
                           texts::SettingsUnusable + path + ":\n" + error.what());
    }
}

} // namespace

Session::Session(const Options& options, Console& console, const std::string& commandLine)
    : console_(console), ui_(console) {
    protocol::ConfigureToolPort(comPort_);
    if (options.settings) {
        LoadSettingsFile(comPort_, *options.settings);
    }
    if (options.port) {
        comPort_.SetPort(*options.port);
    } else if (!options.settings) {
        throw CommandError(ExitStatus::Usage, texts::NoPort);
    }
    protocol::ExchangePort* top = &paced_;
    if (options.log) {
        log_ = std::make_unique<ExchangeLog>(paced_, *options.log, comPort_.Port());
        if (!log_->Usable()) {
            throw CommandError(ExitStatus::FileError, texts::LogUnusable + *options.log);
        }
        log_->Note(commandLine);
        top = log_.get();
    }
    engine_ = std::make_unique<protocol::ExchangeEngine>(*top, view_, ui_, tables_);
    engine_->SetErrorExplainer(protocol::ComPortErrorExplainer(comPort_));
}

Session::~Session() {
    // A transaction still running (an error left it) is abandoned, as closing the window does.
    engine_->AbandonTransaction();
}

TransactionResult Session::Run(const std::function<void(protocol::ExchangeEngine&)>& start,
                               Pace pace, Phase phase) {
    ui_.TakeMessages();
    TransactionResult result;
    try {
        start(*engine_);
    } catch (const InstructionInterrupted&) {
        engine_->AbandonTransaction();
        throw CommandError(ExitStatus::Interrupted, texts::InterruptedBeforeStart);
    } catch (const std::exception& error) {
        engine_->AbandonTransaction();
        throw CommandError(ExitStatus::DeviceError,
                           texts::PortFailed + comPort_.Port() + ":\n" + engine_->ErrorText(error));
    }
    PlayTimer(pace, phase, result);
    result.succeeded = true;
    result.messages = ui_.TakeMessages();
    for (const std::string& message : result.messages) {
        result.succeeded = result.succeeded && !IsFailure(message);
    }
    return result;
}

void Session::PlayTimer(Pace pace, Phase phase, TransactionResult& result) {
    while (view_.TimerEnabled()) {
        // The step whose reply is awaited; the output calibration's recovery counts as its last.
        console_.Step(phase.name, std::clamp(engine_->TransactionStep() + 1, 1, phase.steps),
                      phase.steps);
        const auto deadline = view_.ArmedAt() + std::chrono::milliseconds(view_.TimerInterval());
        if (pace == Pace::Fast) {
            try {
                paced_.WaitForReplyEnd(deadline);
            } catch (const std::exception&) {
                // The tick meets the same port error at once and reports it as the window's
                // tick does.
            }
        } else {
            std::this_thread::sleep_until(deadline);
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
