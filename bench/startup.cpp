// The tool itself: time from process start to the main window shown and painted (offscreen),
// measured by lirat_bench_startup, which starts the windows as the tool does; and the peak
// memory of that program and of the tool (lirat5) itself, taken from the kernel when each ends.
// Beside them, in turn with each start, the machine's floor: an empty Qt Widgets program.
#include "bench/benchmarks.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace bench {

namespace {

long long MonotonicNs() {
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

// Starts program with args; its standard output goes to outFd (or /dev/null when -1).
pid_t Spawn(const std::vector<std::string>& args, int outFd) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (outFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, outFd, STDOUT_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    int rc = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        throw std::runtime_error("cannot start " + args[0] + ": " + std::strerror(rc));
    return pid;
}

// Waits for the child; returns its peak resident memory in kB.
long Reap(pid_t pid, int& status) {
    rusage usage{};
    if (::wait4(pid, &status, 0, &usage) != pid)
        throw std::runtime_error("wait4 failed");
    return usage.ru_maxrss;
}

// Starts program with the launcher's clock reading as its argument and returns the
// "key value" pairs it prints, in milliseconds after that reading, and its peak memory in MiB
// under "peak_mib".
std::map<std::string, double> RunTimed(const char* program) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    long long launched = MonotonicNs();
    pid_t pid = Spawn({program, std::to_string(launched)}, pipeFds[1]);
    ::close(pipeFds[1]);
    std::string output;
    char buffer[256];
    ssize_t n = 0;
    while ((n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0)
        output.append(buffer, static_cast<std::size_t>(n));
    ::close(pipeFds[0]);
    int status = 0;
    long maxRss = Reap(pid, status);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(std::string(program) + " failed");
    std::map<std::string, double> values;
    std::istringstream in(output);
    std::string key;
    long long value = 0;
    while (in >> key >> value)
        values[key] = value / 1000.0;
    values["peak_mib"] = maxRss / 1024.0;
    return values;
}

// The value of key, or an error naming the program that did not print it.
double Take(const std::map<std::string, double>& values, const char* key, const char* program) {
    const auto found = values.find(key);
    if (found == values.end())
        throw std::runtime_error(std::string(program) + " printed no " + key);
    return found->second;
}

// Peak memory of the tool itself, left running for a while after its start.
double ToolPeakMiB(int runMs) {
    pid_t pid = Spawn({LIRAT_BENCH_TOOL}, -1);
    std::this_thread::sleep_for(std::chrono::milliseconds(runMs));
    ::kill(pid, SIGTERM);
    int status = 0;
    long maxRss = Reap(pid, status);
    if (!WIFSIGNALED(status) && !WIFEXITED(status))
        throw std::runtime_error("lirat5 did not end");
    return maxRss / 1024.0;
}

} // namespace

void RunStartup(const Options& options) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::vector<double> shown, painted, peak, toolPeak, floorMain, floorApplication, floorPeak;
    std::string failure;
    try {
        // The first starts also fill the file cache; they are not counted.
        RunTimed(LIRAT_BENCH_STARTUP);
        RunTimed(LIRAT_BENCH_STARTUP_FLOOR);
        // The tool and the floor in turn, so that other load on the machine weighs on both.
        for (int i = 0; i < options.startups; ++i) {
            const auto tool = RunTimed(LIRAT_BENCH_STARTUP);
            shown.push_back(Take(tool, "shown_us", "lirat_bench_startup"));
            painted.push_back(Take(tool, "painted_us", "lirat_bench_startup"));
            peak.push_back(tool.at("peak_mib"));
            const auto floor = RunTimed(LIRAT_BENCH_STARTUP_FLOOR);
            floorMain.push_back(Take(floor, "main_us", "lirat_bench_startup_floor"));
            floorApplication.push_back(Take(floor, "application_us", "lirat_bench_startup_floor"));
            floorPeak.push_back(floor.at("peak_mib"));
        }
        // Long enough for the window to be up: several times the slowest start seen.
        Summary s = Summarise(painted);
        int runMs = static_cast<int>(std::max(2000.0, s.p99 * 4));
        for (int i = 0; i < options.runs; ++i)
            toolPeak.push_back(ToolPeakMiB(runMs));
    } catch (const std::exception& e) {
        failure = e.what();
    }
    auto row = [&](const char* name, std::vector<double>& samples) {
        Row r{name, Summarise(samples), false, failure, true};
        return r;
    };
    char title[160];
    std::snprintf(title, sizeof title,
                  "The tool: start-up to the main window, offscreen, %d starts", options.startups);
    PrintTable(title, "ms",
               {row("process start to main window shown", shown),
                row("process start to its first paint", painted),
                row("floor: an empty Qt Widgets program, process start to main()", floorMain),
                row("floor: the same, to its QApplication made", floorApplication)},
               true, 1, "measured");
    std::snprintf(title, sizeof title, "The tool: peak memory (VmHWM / ru_maxrss)");
    PrintTable(title, "MiB",
               {row("lirat_bench_startup, up to the first paint", peak),
                row("lirat5, running with its windows shown", toolPeak),
                row("floor: the empty Qt Widgets program", floorPeak)},
               true, 1, "program");
}

} // namespace bench
