#pragma once
// The window's modal services on a terminal: a message box is a line on standard error, the
// input box a prompt there with the answer read from standard input, the cursor nothing. The
// calibrations' instructions ("connect the sensor substitute", "check the output switch") wait
// for Enter, as their message boxes wait for OK.

#include "cli/console.h"
#include "protocol/ui_services.h"

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace cli {

// Ctrl+C at an instruction, before anything was sent: the command stops there.
class InstructionInterrupted : public std::runtime_error {
public:
    InstructionInterrupted() : std::runtime_error("interrupted") {}
};

class CliUiServices : public protocol::UiServices {
public:
    explicit CliUiServices(Console& console) : console_(console) {}

    void ShowMessage(const std::string& text) override;
    // The preset answer for the caption if there is one, else the technician's line; an
    // empty line takes the default as the box's OK does. The end of input or Ctrl+C stops the
    // transaction through the engine's failure path, which for the output calibration sends
    // "$B". Commas in the answer are read as the decimal point.
    std::string InputBox(const std::string& caption, const std::string& prompt,
                         const std::string& defaultText) override;
    void SetCursor(protocol::CursorShape) override {}
    void ShowException(const std::string& message) override;

    // The answer the input box with this caption gives without asking.
    void PresetAnswer(const std::string& caption, const std::string& answer);
    // Every message shown since the last TakeMessages, oldest first.
    const std::vector<std::string>& Messages() const { return messages_; }
    // The same, clearing the list.
    std::vector<std::string> TakeMessages();

private:
    Console& console_;
    std::map<std::string, std::string> presets_;
    std::vector<std::string> messages_;
};

// A text with every "," turned into ".": the command line reads numbers with either.
std::string WithDecimalPoint(std::string text);

} // namespace cli
