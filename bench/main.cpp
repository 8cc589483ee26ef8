// lirat_bench: our serial component side by side with libserialport, Qt Serial Port and
// Boost.Asio over pseudo-terminal pairs, and the tool's start-up. Prints a markdown report.
//
//   lirat_bench [--runs N] [--round-trips N] [--mib N] [--events N] [--idle-seconds N]
//               [--startups N] [--only round-trip,throughput,events,idle,startup]
//               [--libraries ours,ours-no-thread,libserialport,qt,asio]
#include "bench/benchmarks.h"

#include <QCoreApplication>
#include <QtGlobal>
#include <boost/version.hpp>
#include <libserialport.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <exception>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include <sys/utsname.h>

namespace {

std::string CpuModel() {
    std::ifstream in("/proc/cpuinfo");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("model name", 0) == 0) {
            auto colon = line.find(':');
            return colon == std::string::npos ? line : line.substr(colon + 2);
        }
    }
    return "unknown";
}

void PrintMachine(const bench::Options& options) {
    utsname u{};
    ::uname(&u);
    std::time_t now = std::time(nullptr);
    char date[64];
    std::strftime(date, sizeof date, "%Y-%m-%d %H:%M UTC", std::gmtime(&now));
    std::printf("## Run of %s\n\n", date);
    std::printf("- Machine: %s, %u cores, Linux %s (%s)\n", CpuModel().c_str(),
                std::thread::hardware_concurrency(), u.release, u.machine);
    std::printf("- Compiler: %s, %s build\n", __VERSION__,
#ifdef NDEBUG
                "optimised"
#else
                "debug"
#endif
    );
    std::printf("- Peers: libserialport %s, Qt Serial Port %s, Boost.Asio %s\n",
                SP_PACKAGE_VERSION_STRING, qVersion(), BOOST_LIB_VERSION);
    std::printf("- Settings: %d runs, %d round trips a run, %d MiB each way, %d events a run, "
                "%d s idle, %d starts\n",
                options.runs, options.roundTrips, options.throughputMiB, options.events,
                options.idleSeconds, options.startups);
    std::fflush(stdout);
}

bool ParseInt(const char* text, int& value) {
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (!end || *end != '\0' || v <= 0 || v > 100000000)
        return false;
    value = static_cast<int>(v);
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv); // Qt Serial Port's event loop needs one
    bench::Options options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        int* target = arg == "--runs"           ? &options.runs
                      : arg == "--round-trips"  ? &options.roundTrips
                      : arg == "--mib"          ? &options.throughputMiB
                      : arg == "--events"       ? &options.events
                      : arg == "--idle-seconds" ? &options.idleSeconds
                      : arg == "--startups"     ? &options.startups
                                                : nullptr;
        if (target && value && ParseInt(value, *target)) {
            ++i;
        } else if ((arg == "--only" || arg == "--libraries") && value) {
            std::istringstream list(value);
            std::string name;
            while (std::getline(list, name, ','))
                (arg == "--only" ? options.only : options.libraries).push_back(name);
            ++i;
        } else {
            std::fprintf(stderr, "lirat_bench: bad argument '%s'\n", arg.c_str());
            return 2;
        }
    }

    PrintMachine(options);
    try {
        if (options.Wants("round-trip"))
            bench::RunRoundTrip(options);
        if (options.Wants("throughput"))
            bench::RunThroughput(options);
        if (options.Wants("events"))
            bench::RunEventDelivery(options);
        if (options.Wants("idle"))
            bench::RunIdleCost(options);
        if (options.Wants("startup"))
            bench::RunStartup(options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lirat_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
