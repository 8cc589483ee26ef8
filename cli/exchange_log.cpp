#include "cli/exchange_log.h"

#include "catalogue/windows1251.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <exception>
#include <mutex>

namespace cli {

std::string LocalTimeStamp() {
    return LocalTimeStamp(std::chrono::system_clock::now());
}

std::string LocalTimeStamp(std::chrono::system_clock::time_point now) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    // localtime's result is shared by the whole program, and the ports of a batch each log
    // on a thread of their own.
    static std::mutex localTime;
    char text[40] = {};
    {
        const std::lock_guard lock(localTime);
        const std::tm* local = std::localtime(&seconds);
        if (local == nullptr || std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local) == 0) {
            return "0000-00-00 00:00:00.000";
        }
    }
    char withMillis[48] = {};
    std::snprintf(withMillis, sizeof withMillis, "%s.%03d", text, static_cast<int>(millis));
    return withMillis;
}

std::string DescribeBytes(const std::uint8_t* bytes, int count) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string hex;
    std::string text;
    for (int i = 0; i < count; ++i) {
        const std::uint8_t b = bytes[i];
        if (i > 0) {
            hex += ' ';
        }
        hex += Digits[b >> 4];
        hex += Digits[b & 15];
        const auto decoded = b >= 0x20 && b != 0x7F ? catalogue::Windows1251ToUtf8(std::string_view(
                                                          reinterpret_cast<const char*>(&b), 1))
                                                    : std::nullopt;
        if (decoded) {
            text += *decoded;
        } else if (b == '\r') {
            text += "<CR>";
        } else if (b == '\n') {
            text += "<LF>";
        } else {
            text += '<';
            text += Digits[b >> 4];
            text += Digits[b & 15];
            text += '>';
        }
    }
    return hex + " | " + text;
}

ExchangeLog::ExchangeLog(protocol::ExchangePort& line, const std::string& path,
                         const std::string& port)
    : line_(line), file_(path), port_(port) {}

void ExchangeLog::Line(std::string_view mark, std::string_view text) {
    // One write per line, so that a line is never split by another writer of the file.
    file_.Append(LocalTimeStamp() + ' ' + std::string(mark) + ' ' + std::string(text) + '\n');
}

void ExchangeLog::Note(std::string_view text) {
    Line("==", text);
}

void ExchangeLog::Event(std::string_view text) {
    Line("--", text);
}

void ExchangeLog::Open() {
    try {
        line_.Open();
    } catch (const std::exception& error) {
        Line("--", "порт " + port_ + " не открылся: " + error.what());
        throw;
    }
    Line("--", "порт " + port_ + " открыт");
}

void ExchangeLog::Close() {
    const bool wasOpen = line_.Connected();
    line_.Close();
    if (wasOpen) {
        Line("--", "порт " + port_ + " закрыт");
    }
}

int ExchangeLog::Write(const std::uint8_t* buffer, int count) {
    const int written = line_.Write(buffer, count);
    Line("->", DescribeBytes(buffer, count));
    return written;
}

int ExchangeLog::InputCount() {
    const int waiting = line_.InputCount();
    if (waiting <= 0) {
        Line("<-", "ответа нет");
    }
    return waiting;
}

int ExchangeLog::Read(std::uint8_t* buffer, int count) {
    const int got = line_.Read(buffer, count);
    Line("<-", DescribeBytes(buffer, got > 0 ? got : 0));
    return got;
}

} // namespace cli
