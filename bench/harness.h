// What every benchmark shares: the clock, summaries of samples, CPU time and context switches
// of the process and its threads, pseudo-terminal pairs, and the report's tables.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

double Microseconds(Clock::duration d);
double SecondsSince(Clock::time_point start);

// Median and 99th percentile (nearest rank) of a set of samples.
struct Summary {
    double median = 0;
    double p99 = 0;
    std::size_t count = 0;
};
Summary Summarise(std::vector<double> samples);

// User plus system CPU seconds: of the whole process, and of the calling thread.
double ProcessCpuSeconds();
double ThreadCpuSeconds();
// CPU seconds of another thread of this process, from its CPU-time clock.
double ThreadCpuSecondsOf(int tid);

// Context switches as the kernel counts them in a status file of /proc.
struct Switches {
    long voluntary = 0;
    long involuntary = 0;
};
Switches ReadSwitches(const std::string& statusPath);
// The switches of every thread of this process but the calling one.
Switches OtherThreadsSwitches();
// A value in kB from /proc/self/status ("VmHWM", "VmRSS"); -1 when missing.
long StatusKilobytes(const std::string& key);
int CurrentThreadId();

// A pseudo-terminal pair in raw mode. The device side stays open here as well, so the far end
// never sees a hang-up while a library closes and reopens it.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;
    int Master() const { return master_; }
    const std::string& DevicePath() const { return path_; }

private:
    int master_ = -1;
    int device_ = -1;
    std::string path_;
};

// One row of a result table: a library and its summary, in the unit of the table.
struct Row {
    std::string library;
    Summary summary;
    bool peer = true;       // a peer library, as opposed to one of our own configurations
    std::string note;       // shown in the last column
    bool reference = false; // a floor to compare with, neither ours nor a peer
};

// Prints a markdown table: library, median, p99, and the ratio of each median to the best
// peer median (lower is better when lowerIsBetter; otherwise the ratio is still ours over
// theirs, so above 1 is faster).
void PrintTable(const std::string& title, const std::string& unit, const std::vector<Row>& rows,
                bool lowerIsBetter, int decimals, const std::string& firstColumn = "library");

// Settings of one benchmark run, from the command line.
struct Options {
    int runs = 5;
    int roundTrips = 100000;
    int throughputMiB = 16;
    int events = 10000;
    int idleSeconds = 10;
    int startups = 10;
    std::vector<std::string> only;      // empty: every benchmark
    std::vector<std::string> libraries; // empty: every library (transfer benchmarks)
    bool Wants(const std::string& name) const;
    bool WantsLibrary(const std::string& key) const;
};

} // namespace bench
