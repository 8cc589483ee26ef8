#pragma once
// The simulator's log: every command received, every reply sent and what the simulator noticed
// on the way (rejected parameters, faults played, the line's state), with the time of each.
// Thread-safe: the simulator thread writes, tests and the program read and wait.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

struct LogEntry {
    enum class Kind {
        Received, // a command line, without CR LF
        Sent,     // the bytes of a reply as they went out, logged when the last byte was written
        Note,     // anything else worth knowing
    };
    std::chrono::steady_clock::time_point time;
    Kind kind = Kind::Note;
    std::string text;
};

class SimLog {
public:
    using Sink = std::function<void(const LogEntry&)>;

    SimLog() : start_(std::chrono::steady_clock::now()) {}

    void Add(LogEntry::Kind kind, std::string text);

    std::vector<LogEntry> Entries() const;
    // The texts of the entries of one kind, in order.
    std::vector<std::string> Texts(LogEntry::Kind kind) const;
    std::size_t Count(LogEntry::Kind kind) const;
    void Clear();

    // Waits until at least `count` entries of `kind` have been logged; false on time-out.
    bool WaitForCount(LogEntry::Kind kind, std::size_t count,
                      std::chrono::milliseconds timeout) const;

    // Called on the logging thread for every new entry, outside the log's lock.
    void SetSink(Sink sink);

    // The time every entry is measured from.
    std::chrono::steady_clock::time_point Start() const { return start_; }

private:
    std::size_t CountLocked(LogEntry::Kind kind) const;

    const std::chrono::steady_clock::time_point start_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<LogEntry> entries_;
    Sink sink_;
};

// Printable form of line bytes: control and non-ASCII bytes as <CR>, <LF> or <hex>.
std::string EscapeBytes(std::string_view bytes);

// One line of the program's output: seconds since `start`, a direction mark ("<-" received,
// "->" sent, "--" note) and the escaped text.
std::string FormatLogEntry(const LogEntry& entry, std::chrono::steady_clock::time_point start);

} // namespace sim
