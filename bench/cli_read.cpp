// lirat5-cli read against the transducer simulator, as a technician runs it: the whole program
// from its start to its exit, at the fast pace, set against the physical floor of the exchange
// (the wire time of the five commands and their replies at 9600 baud plus the simulator's
// processing delay before each reply), and a run at the window pace for comparison; then a
// write with verification of one unit against the same write of eight units at once (one
// simulator each, the program's batch over eight ports). Prints markdown rows for
// docs/benchmarks.md.
//
//   lirat_bench_cli [--runs N] [--window-runs N] [--batch-runs N]

#include "simulator/simulator.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds from just before the program is started to its end; negative when it failed.
double TimedRun(std::vector<std::string> args) {
    args.insert(args.begin(), LIRAT_BENCH_CLI);
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = Clock::now();
    pid_t child = 0;
    if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        return -1;
    }
    int status = 0;
    waitpid(child, &status, 0);
    const auto end = Clock::now();
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return -1;
    }
    return std::chrono::duration<double, std::milli>(end - start).count();
}

double TimedRead(const std::string& device, const char* pace) {
    return TimedRun({"read", "--port", device, "--pace", pace});
}

// A write with verification at the fast pace on every one of `devices` at once.
double TimedWrite(const std::vector<std::string>& devices) {
    std::vector<std::string> args{"write",   "--pace",   "fast",    "--range", "10",
                                  "--upper", "150",      "--lower", "0",       "--break",
                                  "105",     "--output", "2"};
    for (const std::string& device : devices) {
        args.insert(args.end(), {"--port", device});
    }
    return TimedRun(args);
}

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(p * static_cast<double>(values.size()) + 0.999999);
    return values[std::min(values.size(), std::max<std::size_t>(rank, 1)) - 1];
}

} // namespace

int main(int argc, char** argv) {
    int runs = 30;
    int windowRuns = 1;
    int batchRuns = 20;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--runs") {
            runs = std::max(1, std::atoi(argv[i + 1]));
        } else if (option == "--window-runs") {
            windowRuns = std::max(0, std::atoi(argv[i + 1]));
        } else if (option == "--batch-runs") {
            batchRuns = std::max(0, std::atoi(argv[i + 1]));
        }
    }

    // The simulator's defaults: 20 ms before each reply, each byte at 9600-baud pace.
    sim::Simulator simulator;
    simulator.Start();
    const std::string device = simulator.DevicePath();

    // One read to learn the bytes of its exchange, then warm-up runs that are not counted.
    if (TimedRead(device, "fast") < 0) {
        std::fprintf(stderr, "lirat_bench_cli: the read failed\n");
        return 1;
    }
    std::size_t commandBytes = 0;
    for (const std::string& command : simulator.Log().Texts(sim::LogEntry::Kind::Received)) {
        commandBytes += command.size() + 2; // CR LF
    }
    const auto replies = simulator.Log().Texts(sim::LogEntry::Kind::Sent);
    std::size_t replyBytes = 0;
    for (const std::string& reply : replies) {
        replyBytes += reply.size();
    }
    const auto byteMs = [](std::size_t n) {
        return static_cast<double>(n) * 10.0 * 1000.0 / 9600.0;
    };
    const double delayMs =
        static_cast<double>(replies.size()) *
        std::chrono::duration<double, std::milli>(simulator.ProcessingDelay()).count();
    const double floorMs = byteMs(commandBytes + replyBytes) + delayMs;
    // A pseudo-terminal has no baud rate: the commands arrive at once, only the simulator paces
    // its replies. This is the least a read can take here.
    const double ptyFloorMs = byteMs(replyBytes) + delayMs;
    for (int i = 0; i < 3; ++i) {
        TimedRead(device, "fast");
    }

    std::vector<double> fast;
    for (int i = 0; i < runs; ++i) {
        const double ms = TimedRead(device, "fast");
        if (ms < 0) {
            std::fprintf(stderr, "lirat_bench_cli: a read failed\n");
            return 1;
        }
        fast.push_back(ms);
    }
    std::vector<double> window;
    for (int i = 0; i < windowRuns; ++i) {
        window.push_back(TimedRead(device, "window"));
    }

    // The batch: eight simulators, each served by a thread of its own as eight units on eight
    // adapters would answer on their own; one unit and eight taken in turn so that other load
    // of the machine weighs on both alike.
    std::vector<std::unique_ptr<sim::Simulator>> units;
    std::vector<std::string> devices{device};
    for (int i = 1; i < 8; ++i) {
        units.push_back(std::make_unique<sim::Simulator>());
        units.back()->Start();
        devices.push_back(units.back()->DevicePath());
    }
    std::vector<double> one;
    std::vector<double> eight;
    TimedWrite(devices);
    for (int i = 0; i < batchRuns; ++i) {
        one.push_back(TimedWrite({device}));
        eight.push_back(TimedWrite(devices));
        if (one.back() < 0 || eight.back() < 0) {
            std::fprintf(stderr, "lirat_bench_cli: a write failed\n");
            return 1;
        }
    }
    for (auto& unit : units) {
        unit->Stop();
    }
    simulator.Stop();

    const auto row = [&](const char* what, const std::vector<double>& ms) {
        const double median = Percentile(ms, 0.5);
        std::printf("| %s | %zu | %.1f | %.1f | %.1f | %.1f | %.2f | %.2f |\n", what, ms.size(),
                    median, Percentile(ms, 0.9), Percentile(ms, 0.0), Percentile(ms, 1.0),
                    median / floorMs, median / ptyFloorMs);
    };
    std::printf("| Run | Runs | Median (ms) | p90 (ms) | Min (ms) | Max (ms) | / floor | "
                "/ pty floor |\n");
    std::printf("|---|---|---|---|---|---|---|---|\n");
    std::printf("| floor: %zu commands and replies, %zu bytes at 9600 baud (%.1f ms) + %zu x "
                "%lld ms delay | - | %.1f | - | - | - | 1.00 | - |\n",
                replies.size(), commandBytes + replyBytes, byteMs(commandBytes + replyBytes),
                replies.size(), static_cast<long long>(simulator.ProcessingDelay().count()),
                floorMs);
    std::printf("| pty floor: the %zu reply bytes (%.1f ms) + the delays | - | %.1f | - | - | - | "
                "%.2f | 1.00 |\n",
                replyBytes, byteMs(replyBytes), ptyFloorMs, ptyFloorMs / floorMs);
    row("`lirat5-cli read --pace fast`, program start to exit", fast);
    if (!window.empty()) {
        row("`lirat5-cli read --pace window`, program start to exit", window);
    }
    if (batchRuns > 0) {
        std::printf(
            "\n| Run | Runs | Median (ms) | p90 (ms) | Min (ms) | Max (ms) | / one unit |\n");
        std::printf("|---|---|---|---|---|---|---|\n");
        const double single = Percentile(one, 0.5);
        const auto batchRow = [&](const char* what, const std::vector<double>& ms) {
            std::printf("| %s | %zu | %.1f | %.1f | %.1f | %.1f | %.2f |\n", what, ms.size(),
                        Percentile(ms, 0.5), Percentile(ms, 0.9), Percentile(ms, 0.0),
                        Percentile(ms, 1.0), Percentile(ms, 0.5) / single);
        };
        batchRow("`lirat5-cli write` with verification, `--pace fast`, one unit", one);
        batchRow("the same write, eight units at once (`--port` eight times)", eight);
    }
    return 0;
}
