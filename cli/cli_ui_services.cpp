#include "cli/cli_ui_services.h"

#include "cli/cli_texts.h"
#include "cli/interrupt.h"
#include "protocol/engine_texts.h"
#include "protocol/transaction_failure.h"

#include <string_view>

namespace cli {
namespace {

bool IsInstruction(std::string_view text) {
    return text.starts_with(protocol::texts::ConnectSubstitute) ||
           text.starts_with(protocol::texts::CheckOutputMode);
}

} // namespace

std::string WithDecimalPoint(std::string text) {
    for (char& c : text) {
        if (c == ',') {
            c = '.';
        }
    }
    return text;
}

void CliUiServices::ShowMessage(const std::string& text) {
    messages_.push_back(text);
    console_.Err(text + "\n");
    if (!IsInstruction(text)) {
        return;
    }
    console_.Err(std::string(texts::PressEnter) + "\n");
    // The end of input goes on, as closing the box does: a run from a script is not stopped.
    if (console_.ReadLine().end == InputEnd::Interrupted) {
        throw InstructionInterrupted();
    }
}

std::string CliUiServices::InputBox(const std::string& caption, const std::string& prompt,
                                    const std::string& defaultText) {
    console_.Err(caption + "\n" + prompt + " [" + defaultText + "]: ");
    if (const auto preset = presets_.find(caption); preset != presets_.end()) {
        console_.Err(preset->second + "\n");
        return WithDecimalPoint(preset->second);
    }
    // Ctrl+C while the engine waited for a reply takes effect here, at the next prompt.
    const InputLine line =
        InterruptRequested() ? InputLine{InputEnd::Interrupted, {}} : console_.ReadLine();
    if (line.end != InputEnd::Line || InterruptRequested()) {
        console_.Err("\n");
        throw protocol::TransactionFailure(texts::CalibrationInterrupted);
    }
    return line.text.empty() ? defaultText : WithDecimalPoint(line.text);
}

void CliUiServices::ShowException(const std::string& message) {
    messages_.push_back(message);
    console_.Err(protocol::ExceptionBoxText(message) + "\n");
}

void CliUiServices::PresetAnswer(const std::string& caption, const std::string& answer) {
    presets_[caption] = answer;
}

std::vector<std::string> CliUiServices::TakeMessages() {
    std::vector<std::string> taken;
    taken.swap(messages_);
    return taken;
}

} // namespace cli
