#include "simulator/sim_log.h"

#include <cstdio>

namespace sim {

void SimLog::Add(LogEntry::Kind kind, std::string text) {
    LogEntry entry{std::chrono::steady_clock::now(), kind, std::move(text)};
    Sink sink;
    {
        std::lock_guard lock(mutex_);
        entries_.push_back(entry);
        sink = sink_;
    }
    changed_.notify_all();
    if (sink) {
        sink(entry);
    }
}

std::vector<LogEntry> SimLog::Entries() const {
    std::lock_guard lock(mutex_);
    return entries_;
}

std::vector<std::string> SimLog::Texts(LogEntry::Kind kind) const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> texts;
    for (const auto& entry : entries_) {
        if (entry.kind == kind) {
            texts.push_back(entry.text);
        }
    }
    return texts;
}

std::size_t SimLog::CountLocked(LogEntry::Kind kind) const {
    std::size_t n = 0;
    for (const auto& entry : entries_) {
        n += entry.kind == kind ? 1 : 0;
    }
    return n;
}

std::size_t SimLog::Count(LogEntry::Kind kind) const {
    std::lock_guard lock(mutex_);
    return CountLocked(kind);
}

void SimLog::Clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
}

bool SimLog::WaitForCount(LogEntry::Kind kind, std::size_t count,
                          std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return CountLocked(kind) >= count; });
}

void SimLog::SetSink(Sink sink) {
    std::lock_guard lock(mutex_);
    sink_ = std::move(sink);
}

std::string EscapeBytes(std::string_view bytes) {
    std::string text;
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        if (byte == '\r') {
            text += "<CR>";
        } else if (byte == '\n') {
            text += "<LF>";
        } else if (byte < 0x20 || byte >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "<%02X>", byte);
            text += hex;
        } else {
            text.push_back(c);
        }
    }
    return text;
}

std::string FormatLogEntry(const LogEntry& entry, std::chrono::steady_clock::time_point start) {
    double seconds = std::chrono::duration<double>(entry.time - start).count();
    const char* mark = entry.kind == LogEntry::Kind::Received ? "<-"
                       : entry.kind == LogEntry::Kind::Sent   ? "->"
                                                              : "--";
    char head[48];
    std::snprintf(head, sizeof head, "%11.6f %s ", seconds, mark);
    switch (entry.kind) {
    case LogEntry::Kind::Received:
        // The line end is shown so that a trailing blank of the command stays visible.
        return head + EscapeBytes(entry.text) + "<CR><LF>";
    case LogEntry::Kind::Sent:
        return head + EscapeBytes(entry.text);
    case LogEntry::Kind::Note:
        break;
    }
    return head + entry.text;
}

} // namespace sim
