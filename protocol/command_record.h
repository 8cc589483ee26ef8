#pragma once
// One outgoing command: the two-character code with its current parameter, and the ready-made
// byte image that is written to the port in one go (the text, CR, LF and a terminator that is
// not sent).

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace protocol {

struct CommandRecord {
    int ParamPos = 0; // 1-based position in Text where the parameter begins (code length + 1)
    std::string Text; // code followed by the current parameter
    std::array<std::uint8_t, 32> Bytes{}; // Text, 13, 10, 0; bytes behind the 0 mean nothing
    int ByteCount = 0;                    // bytes to transmit: Text's length + 2
};

// The longest Text whose image fits Bytes: 29 characters, CR, LF and the terminator.
inline constexpr std::size_t MaxCommandTextLength = 29;

// Builds a record holding the bare code. Throws std::length_error for a code longer than
// MaxCommandTextLength and std::invalid_argument for an empty code or one with a control
// character.
CommandRecord MakeCommandRecord(std::string_view code);

// Replaces the record's parameter in place: Text becomes the code followed by `parameter` (an
// empty parameter restores the bare code) and Bytes and ByteCount follow. The parameter stays
// until the next call.
//
// A parameter that would make Text longer than MaxCommandTextLength throws std::length_error,
// and one holding a control character (a CR or LF in it would end the command early on the
// wire and start another one) throws std::invalid_argument. In both cases the record is left
// exactly as it was, so nothing half-written or cut short can be sent by mistake.
void SetParameter(CommandRecord& record, std::string_view parameter);

} // namespace protocol
