#include "bench/harness.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include <pty.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

namespace bench {

double Microseconds(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

Summary Summarise(std::vector<double> samples) {
    Summary s;
    s.count = samples.size();
    if (samples.empty())
        return s;
    std::sort(samples.begin(), samples.end());
    auto rank = [&](double q) {
        // Nearest rank: the smallest sample with at least q of all samples at or below it.
        auto r = static_cast<std::size_t>(std::ceil(q * static_cast<double>(samples.size())));
        return samples[std::clamp<std::size_t>(r, 1, samples.size()) - 1];
    };
    std::size_t n = samples.size();
    s.median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    s.p99 = rank(0.99);
    return s;
}

namespace {

double CpuSeconds(int who) {
    rusage u{};
    ::getrusage(who, &u);
    auto sec = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return sec(u.ru_utime) + sec(u.ru_stime);
}

} // namespace

double ProcessCpuSeconds() {
    return CpuSeconds(RUSAGE_SELF);
}

double ThreadCpuSeconds() {
    return CpuSeconds(RUSAGE_THREAD);
}

double ThreadCpuSecondsOf(int tid) {
    // The kernel's clock id for a thread's CPU time: the thread id, inverted and shifted, with
    // the per-thread and scheduler-clock bits (what pthread_getcpuclockid builds).
    auto clock = static_cast<clockid_t>((~static_cast<unsigned>(tid) << 3) | 6u);
    timespec t{};
    if (::clock_gettime(clock, &t) != 0)
        return 0;
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

Switches ReadSwitches(const std::string& statusPath) {
    Switches s;
    std::ifstream in(statusPath);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string key;
        long value = 0;
        fields >> key >> value;
        if (key == "voluntary_ctxt_switches:")
            s.voluntary = value;
        else if (key == "nonvoluntary_ctxt_switches:")
            s.involuntary = value;
    }
    return s;
}

int CurrentThreadId() {
    return static_cast<int>(::syscall(SYS_gettid));
}

Switches OtherThreadsSwitches() {
    Switches total;
    std::string self = std::to_string(CurrentThreadId());
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task", ec)) {
        if (entry.path().filename() == self)
            continue;
        Switches s = ReadSwitches((entry.path() / "status").string());
        total.voluntary += s.voluntary;
        total.involuntary += s.involuntary;
    }
    return total;
}

long StatusKilobytes(const std::string& key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key + ":", 0) == 0)
            return std::stol(line.substr(key.size() + 1));
    }
    return -1;
}

PtyPair::PtyPair() {
    char name[256] = {};
    if (::openpty(&master_, &device_, name, nullptr, nullptr) != 0)
        throw std::system_error(errno, std::generic_category(), "openpty");
    termios tio{};
    ::tcgetattr(device_, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(device_, TCSANOW, &tio);
    path_ = name;
}

PtyPair::~PtyPair() {
    ::close(device_);
    ::close(master_);
}

void PrintTable(const std::string& title, const std::string& unit, const std::vector<Row>& rows,
                bool lowerIsBetter, int decimals, const std::string& firstColumn) {
    double best = std::numeric_limits<double>::quiet_NaN();
    for (const Row& r : rows) {
        if (!r.peer || r.reference || r.summary.count == 0)
            continue;
        if (std::isnan(best) || (lowerIsBetter ? r.summary.median < best : r.summary.median > best))
            best = r.summary.median;
    }
    std::printf("\n### %s\n\n", title.c_str());
    std::printf("| %s | median (%s) | p99 (%s) | samples | ours / best peer | note |\n",
                firstColumn.c_str(), unit.c_str(), unit.c_str());
    std::printf("|---|---:|---:|---:|---:|---|\n");
    for (const Row& r : rows) {
        std::string ratio = "";
        if (!r.peer && !r.reference && !std::isnan(best) && best != 0 && r.summary.count > 0) {
            char text[32];
            std::snprintf(text, sizeof text, "%.2f", r.summary.median / best);
            ratio = text;
        }
        if (r.summary.count == 0) {
            std::printf("| %s | — | — | 0 | | %s |\n", r.library.c_str(), r.note.c_str());
            continue;
        }
        std::printf("| %s | %.*f | %.*f | %zu | %s | %s |\n", r.library.c_str(), decimals,
                    r.summary.median, decimals, r.summary.p99, r.summary.count, ratio.c_str(),
                    r.note.c_str());
    }
    std::fflush(stdout);
}

bool Options::Wants(const std::string& name) const {
    return only.empty() || std::find(only.begin(), only.end(), name) != only.end();
}

bool Options::WantsLibrary(const std::string& key) const {
    return libraries.empty() ||
           std::find(libraries.begin(), libraries.end(), key) != libraries.end();
}

} // namespace bench
