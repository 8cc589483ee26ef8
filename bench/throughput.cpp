// Throughput: a block of bytes each way, with the time and the library side's CPU time per MiB.
// The library side's CPU is the whole process's minus the far end thread's, so helper threads
// of a library (our event thread) count. The transfer goes in blocks of 1 MiB that alternate
// between the libraries, so that the shared machine's changing load falls on all of them alike.
#include "bench/bench_port.h"
#include "bench/benchmarks.h"
#include "bench/far_end.h"

#include <cstdio>
#include <exception>
#include <map>
#include <memory>
#include <stdexcept>
#include <vector>

namespace bench {

namespace {

constexpr std::size_t kChunk = 64 * 1024;
constexpr std::size_t kBlock = 1024 * 1024;

// One library's port on a pair of its own, with a far end that drains or feeds it.
struct Session {
    PtyPair pty;
    FarEnd far;
    std::unique_ptr<BenchPort> port;
    std::size_t moved = 0;   // by the far end's count
    std::size_t counted = 0; // in the timed blocks
    double seconds = 0;
    double cpuSeconds = 0;

    Session(Library library, FarEnd::Mode mode) : far(pty.Master(), mode), port(MakePort(library)) {
        port->Open(pty.DevicePath());
    }
    ~Session() { port->Close(); }

    // Writes one block; done when the far end has read all of it. A block not timed warms up.
    void Send(const std::vector<char>& data, bool timed) {
        double cpu0 = ProcessCpuSeconds() - far.CpuSecondsNow();
        auto start = Clock::now();
        for (std::size_t sent = 0; sent < kBlock; sent += kChunk)
            port->WriteAll(data.data(), kChunk);
        moved += kBlock;
        if (!far.WaitReceived(moved))
            throw std::runtime_error("far end did not receive the block: " + far.Error());
        Count(timed, start, cpu0);
    }

    // Has the far end write one block and reads all of it.
    void Receive(std::vector<char>& data, bool timed) {
        double cpu0 = ProcessCpuSeconds() - far.CpuSecondsNow();
        auto start = Clock::now();
        far.Feed(kBlock);
        for (std::size_t got = 0; got < kBlock;)
            got += port->ReadSome(data.data(), std::min(kChunk, kBlock - got));
        moved += kBlock;
        Count(timed, start, cpu0);
    }

    void Count(bool timed, Clock::time_point start, double cpu0) {
        if (!timed)
            return;
        seconds += SecondsSince(start);
        cpuSeconds += ProcessCpuSeconds() - far.CpuSecondsNow() - cpu0;
        counted += kBlock;
    }
};

} // namespace

void RunThroughput(const Options& options) {
    std::vector<char> data(kChunk);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i * 13 + 5);
    std::map<Library, std::vector<double>> sendMs, sendCpu, receiveMs, receiveCpu;
    std::map<Library, std::string> failures;
    auto perMiB = [](double seconds, std::size_t bytes) {
        return seconds * 1000 / (static_cast<double>(bytes) / kBlock);
    };
    for (int run = 0; run < options.runs; ++run) {
        std::map<Library, std::unique_ptr<Session>> senders, receivers;
        for (Library library : kAllLibraries) {
            if (failures.count(library) || !options.WantsLibrary(LibraryKey(library)))
                continue;
            try {
                senders[library] = std::make_unique<Session>(library, FarEnd::Mode::Drain);
                receivers[library] = std::make_unique<Session>(library, FarEnd::Mode::Feed);
            } catch (const std::exception& e) {
                failures[library] = e.what();
            }
        }
        for (int block = -1; block < options.throughputMiB; ++block) {
            for (Library library : kAllLibraries) {
                if (!senders.count(library) || failures.count(library))
                    continue;
                try {
                    senders[library]->Send(data, block >= 0);
                    receivers[library]->Receive(data, block >= 0);
                } catch (const std::exception& e) {
                    failures[library] = e.what();
                }
            }
        }
        for (auto& [library, s] : senders) {
            if (failures.count(library))
                continue;
            sendMs[library].push_back(perMiB(s->seconds, s->counted));
            sendCpu[library].push_back(perMiB(s->cpuSeconds, s->counted));
            Session& r = *receivers[library];
            receiveMs[library].push_back(perMiB(r.seconds, r.counted));
            receiveCpu[library].push_back(perMiB(r.cpuSeconds, r.counted));
        }
    }
    auto table = [&](const char* what, const char* unit,
                     std::map<Library, std::vector<double>>& samples) {
        std::vector<Row> rows;
        for (Library library : kAllLibraries) {
            if (options.WantsLibrary(LibraryKey(library)))
                rows.push_back({LibraryName(library), Summarise(samples[library]), IsPeer(library),
                                failures.count(library) ? failures[library] : ""});
        }
        char title[160];
        std::snprintf(title, sizeof title, "%s, %d MiB, %d runs", what, options.throughputMiB,
                      options.runs);
        PrintTable(title, unit, rows, true, 2);
    };
    table("Throughput, writing (time per MiB)", "ms/MiB", sendMs);
    table("Throughput, writing (CPU per MiB)", "CPU ms/MiB", sendCpu);
    table("Throughput, reading (time per MiB)", "ms/MiB", receiveMs);
    table("Throughput, reading (CPU per MiB)", "CPU ms/MiB", receiveCpu);
}

} // namespace bench
