#include "protocol/command_record.h"

#include <algorithm>
#include <stdexcept>

namespace protocol {

namespace {

bool HasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

// Writes Text, CR, LF and the terminator into Bytes. The caller has checked the length.
void BuildImage(CommandRecord& record) {
    const std::size_t n = record.Text.size();
    std::copy(record.Text.begin(), record.Text.end(), record.Bytes.begin());
    record.Bytes[n] = 13;
    record.Bytes[n + 1] = 10;
    record.Bytes[n + 2] = 0;
    record.ByteCount = static_cast<int>(n + 2);
}

} // namespace

CommandRecord MakeCommandRecord(std::string_view code) {
    if (code.empty() || HasControlCharacter(code)) {
        throw std::invalid_argument("command code must be printable text");
    }
    if (code.size() > MaxCommandTextLength) {
        throw std::length_error("command code longer than a command record holds");
    }
    CommandRecord record;
    record.Text = std::string(code);
    record.ParamPos = static_cast<int>(code.size()) + 1;
    BuildImage(record);
    return record;
}

void SetParameter(CommandRecord& record, std::string_view parameter) {
    if (record.ParamPos < 1 || static_cast<std::size_t>(record.ParamPos - 1) > record.Text.size()) {
        throw std::invalid_argument("command record was not built from a code");
    }
    const auto codeLength = static_cast<std::size_t>(record.ParamPos - 1);
    if (HasControlCharacter(parameter)) {
        throw std::invalid_argument("command parameter holds a control character");
    }
    if (parameter.size() > MaxCommandTextLength - codeLength) {
        throw std::length_error("command parameter too long for the command record");
    }
    std::string text = record.Text.substr(0, codeLength);
    text.append(parameter);
    record.Text = std::move(text);
    BuildImage(record);
}

} // namespace protocol
