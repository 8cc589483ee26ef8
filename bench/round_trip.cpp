// Round trips: write, the far end answers, read the answer back; one sample per round trip.
#include "bench/bench_port.h"
#include "bench/benchmarks.h"
#include "bench/far_end.h"

#include <cstdio>
#include <exception>
#include <map>
#include <vector>

namespace bench {

namespace {

struct Kind {
    const char* title;
    FarEnd::Mode mode;
    std::string command;
    std::size_t replySize;
};

// One run: a fresh pair, the library opens it, `iterations` timed round trips after a short
// warm-up. Appends one sample in microseconds per round trip.
void RunOnce(Library library, const Kind& kind, int iterations, std::vector<double>& samples) {
    PtyPair pty;
    FarEnd far(pty.Master(), kind.mode);
    auto port = MakePort(library);
    port->Open(pty.DevicePath());
    char reply[16] = {};
    for (int i = 0; i < 1000; ++i) {
        port->WriteAll(kind.command.data(), kind.command.size());
        port->ReadExact(reply, kind.replySize);
    }
    for (int i = 0; i < iterations; ++i) {
        auto start = Clock::now();
        port->WriteAll(kind.command.data(), kind.command.size());
        port->ReadExact(reply, kind.replySize);
        samples.push_back(Microseconds(Clock::now() - start));
    }
    port->Close();
}

} // namespace

void RunRoundTrip(const Options& options) {
    const Kind kinds[] = {
        {"Round trip of 1 byte (echo)", FarEnd::Mode::Echo, "U", 1},
        {"Round trip of a 4-byte command with a 6-byte reply", FarEnd::Mode::Command, "$8\r\n",
         sizeof FarEnd::kReply - 1},
    };
    for (const Kind& kind : kinds) {
        std::map<Library, std::vector<double>> samples;
        std::map<Library, std::string> failures;
        // Runs are interleaved across the libraries, so that a noisy moment of the shared
        // machine does not fall on one library alone.
        for (int run = 0; run < options.runs; ++run) {
            for (Library library : kAllLibraries) {
                if (failures.count(library) || !options.WantsLibrary(LibraryKey(library)))
                    continue;
                try {
                    RunOnce(library, kind, options.roundTrips, samples[library]);
                } catch (const std::exception& e) {
                    failures[library] = e.what();
                }
            }
        }
        std::vector<Row> rows;
        for (Library library : kAllLibraries) {
            if (!options.WantsLibrary(LibraryKey(library)))
                continue;
            Row row{LibraryName(library), Summarise(samples[library]), IsPeer(library), ""};
            if (failures.count(library))
                row = Row{LibraryName(library), {}, IsPeer(library), failures[library]};
            rows.push_back(row);
        }
        char title[160];
        std::snprintf(title, sizeof title, "%s, %d runs of %d", kind.title, options.runs,
                      options.roundTrips);
        PrintTable(title, "µs", rows, true, 1);
    }
}

} // namespace bench
