#pragma once
// The exchange log of --log: a port wrapper that appends one line per command sent and per
// reply the engine took, with the local time to the millisecond, the bytes in hexadecimal and
// the same bytes as Windows-1251 text, control bytes as <CR>, <LF> or <hex>. Openings,
// closings and ticks that found no reply get a line too, so a failed exchange reads whole.

#include "cli/file_access.h"
#include "protocol/exchange_port.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cli {

// "2024-05-17 14:03:22.517": the local time now, or at `when`.
std::string LocalTimeStamp();
std::string LocalTimeStamp(std::chrono::system_clock::time_point when);

// "24 38 0D 0A | $8<CR><LF>".
std::string DescribeBytes(const std::uint8_t* bytes, int count);

class ExchangeLog : public protocol::ExchangePort {
public:
    // Appends to the file at `path`; Problem() tells why it could not be opened.
    ExchangeLog(protocol::ExchangePort& line, const std::string& path, const std::string& port);

    // Why the log could not be opened or a line of it written; the lines after that are lost.
    const std::optional<std::string>& Problem() const { return file_.Problem(); }
    // A line of its own, e.g. the command line of the run.
    void Note(std::string_view text);
    // An event of the run that is not an exchange, such as an interruption.
    void Event(std::string_view text);

    void Open() override;
    bool Connected() const override { return line_.Connected(); }
    void Close() override;
    void ClearBuffer(bool input, bool output) override { line_.ClearBuffer(input, output); }
    int Write(const std::uint8_t* buffer, int count) override;
    int InputCount() override;
    int Read(std::uint8_t* buffer, int count) override;

private:
    void Line(std::string_view mark, std::string_view text);

    protocol::ExchangePort& line_;
    AppendFile file_;
    std::string port_;
};

} // namespace cli
