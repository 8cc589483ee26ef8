#pragma once
// The bytes of a reply and the texts of its payload. A reply is "!", the payload and one
// terminating byte; this transducer ends its replies with CR. Numbers use "." as the separator.

#include <string>
#include <string_view>

namespace sim {

inline constexpr char kReplyStart = '!';
inline constexpr char kReplyEnd = '\r';

// "!", the payload, CR.
std::string FrameReply(std::string_view payload);
// The reply to a line that is not a command: "?" and CR, so it does not begin with "!".
std::string NotUnderstoodReply();

// A range index as (at least) two upper-case hexadecimal digits: 10 gives "0A", 25 "19".
std::string FormatRangePayload(int rangeIndex);
// A working-range value or a fraction with one to three decimals: "200.0", "-50.0", "0.25",
// "0.125".
std::string FormatValuePayload(double value);
// The measured value with one or two decimals: "23.4", "23.45", "-12.05".
std::string FormatMeasuredPayload(double value);
// The output type as one digit.
std::string FormatOutputTypePayload(int outputType);

} // namespace sim
