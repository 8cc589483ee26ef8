// Throughput: a block of bytes each way, with the time and the library side's CPU time per MiB.
// The library side's CPU is the whole process's minus the far end thread's, so helper threads
// of a library (our event thread) count.
#include "bench/bench_port.h"
#include "bench/benchmarks.h"
#include "bench/far_end.h"

#include <cstdio>
#include <exception>
#include <map>
#include <stdexcept>
#include <vector>

namespace bench {

namespace {

constexpr std::size_t kChunk = 64 * 1024;

struct Sample {
    double msPerMiB = 0;
    double cpuMsPerMiB = 0;
};

Sample Send(BenchPort& port, int master, std::size_t total) {
    std::vector<char> data(kChunk);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i * 13 + 5);
    double cpu0 = ProcessCpuSeconds();
    auto start = Clock::now();
    FarEnd far(master, FarEnd::Mode::Sink, total);
    for (std::size_t sent = 0; sent < total; sent += kChunk)
        port.WriteAll(data.data(), std::min(kChunk, total - sent));
    far.Wait();
    double seconds = std::chrono::duration<double>(far.Finished() - start).count();
    double cpu = ProcessCpuSeconds() - cpu0 - far.CpuSeconds();
    double mib = static_cast<double>(total) / (1024.0 * 1024.0);
    return {seconds * 1000 / mib, cpu * 1000 / mib};
}

Sample Receive(BenchPort& port, int master, std::size_t total) {
    std::vector<char> data(kChunk);
    double cpu0 = ProcessCpuSeconds();
    auto start = Clock::now();
    FarEnd far(master, FarEnd::Mode::Source, total);
    std::size_t got = 0;
    while (got < total)
        got += port.ReadSome(data.data(), std::min(kChunk, total - got));
    auto end = Clock::now();
    far.Wait();
    double seconds = std::chrono::duration<double>(end - start).count();
    double cpu = ProcessCpuSeconds() - cpu0 - far.CpuSeconds();
    double mib = static_cast<double>(total) / (1024.0 * 1024.0);
    return {seconds * 1000 / mib, cpu * 1000 / mib};
}

} // namespace

void RunThroughput(const Options& options) {
    std::size_t total = static_cast<std::size_t>(options.throughputMiB) * 1024 * 1024;
    std::map<Library, std::vector<double>> sendMs, sendCpu, receiveMs, receiveCpu;
    std::map<Library, std::string> failures;
    for (int run = 0; run < options.runs; ++run) {
        for (Library library : kAllLibraries) {
            if (failures.count(library) || !options.WantsLibrary(LibraryKey(library)))
                continue;
            try {
                PtyPair pty;
                auto port = MakePort(library);
                port->Open(pty.DevicePath());
                Sample s = Send(*port, pty.Master(), total);
                sendMs[library].push_back(s.msPerMiB);
                sendCpu[library].push_back(s.cpuMsPerMiB);
                s = Receive(*port, pty.Master(), total);
                receiveMs[library].push_back(s.msPerMiB);
                receiveCpu[library].push_back(s.cpuMsPerMiB);
                port->Close();
            } catch (const std::exception& e) {
                failures[library] = e.what();
            }
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
