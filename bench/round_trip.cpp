// Round trips: write, the far end answers, read the answer back; one sample per round trip.
#include "bench/bench_port.h"
#include "bench/benchmarks.h"
#include "bench/far_end.h"

#include <cstdio>
#include <exception>
#include <map>
#include <memory>
#include <vector>

namespace bench {

namespace {

struct Kind {
    const char* title;
    FarEnd::Mode mode;
    std::string command;
    std::size_t replySize;
};

// One library's side of a run: its own pair and far end, its port open throughout.
struct Session {
    Library library;
    PtyPair pty;
    FarEnd far;
    std::unique_ptr<BenchPort> port;
    double cpuSeconds = 0; // library side, over the timed blocks
    int done = 0;

    Session(Library l, FarEnd::Mode mode) : library(l), far(pty.Master(), mode), port(MakePort(l)) {
        port->Open(pty.DevicePath());
    }
    ~Session() { port->Close(); }

    // `count` round trips; with samples, each one timed.
    void Block(const Kind& kind, int count, std::vector<double>* samples) {
        char reply[16] = {};
        double cpu0 = ProcessCpuSeconds() - far.CpuSecondsNow();
        for (int i = 0; i < count; ++i) {
            auto start = Clock::now();
            port->WriteAll(kind.command.data(), kind.command.size());
            port->ReadExact(reply, kind.replySize);
            if (samples)
                samples->push_back(Microseconds(Clock::now() - start));
        }
        if (samples) {
            cpuSeconds += ProcessCpuSeconds() - far.CpuSecondsNow() - cpu0;
            done += count;
        }
    }
};

// Round trips alternate between the libraries in blocks, so that the load of the shared
// machine, which changes from second to second, falls on all of them alike.
constexpr int kBlock = 1000;

} // namespace

void RunRoundTrip(const Options& options) {
    const Kind kinds[] = {
        {"Round trip of 1 byte (echo)", FarEnd::Mode::Echo, "U", 1},
        {"Round trip of a 4-byte command with a 6-byte reply", FarEnd::Mode::Command, "$8\r\n",
         sizeof FarEnd::kReply - 1},
    };
    for (const Kind& kind : kinds) {
        std::map<Library, std::vector<double>> samples, cpu;
        std::map<Library, std::string> failures;
        for (int run = 0; run < options.runs; ++run) {
            std::vector<std::unique_ptr<Session>> sessions;
            for (Library library : kAllLibraries) {
                if (failures.count(library) || !options.WantsLibrary(LibraryKey(library)))
                    continue;
                try {
                    sessions.push_back(std::make_unique<Session>(library, kind.mode));
                    sessions.back()->Block(kind, kBlock, nullptr); // warm-up
                } catch (const std::exception& e) {
                    failures[library] = e.what();
                }
            }
            for (int left = options.roundTrips; left > 0; left -= kBlock) {
                for (auto& session : sessions) {
                    if (failures.count(session->library))
                        continue;
                    try {
                        session->Block(kind, std::min(left, kBlock), &samples[session->library]);
                    } catch (const std::exception& e) {
                        failures[session->library] = e.what();
                    }
                }
            }
            for (auto& session : sessions) {
                if (session->done > 0)
                    cpu[session->library].push_back(session->cpuSeconds * 1e6 / session->done);
            }
        }
        auto rows = [&](std::map<Library, std::vector<double>>& values) {
            std::vector<Row> result;
            for (Library library : kAllLibraries) {
                if (options.WantsLibrary(LibraryKey(library)))
                    result.push_back({LibraryName(library), Summarise(values[library]),
                                      IsPeer(library),
                                      failures.count(library) ? failures[library] : ""});
            }
            return result;
        };
        char title[200];
        std::snprintf(title, sizeof title, "%s, %d runs of %d", kind.title, options.runs,
                      options.roundTrips);
        PrintTable(title, "µs", rows(samples), true, 1);
        std::snprintf(title, sizeof title, "%s: CPU per round trip, library side, per run",
                      kind.title);
        PrintTable(title, "CPU µs", rows(cpu), true, 2);
    }
}

} // namespace bench
