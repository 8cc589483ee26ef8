// lirat_bench_settings: loading the port's settings (LoadSettings with every group, so all 29
// keys are looked up) from an ordinary settings file and from the costliest file the reader
// accepts: one at the size limit made of nothing but line ends, with the port's section at its
// very end, so that every line is read and kept. The loads of the two files alternate; beside
// the time, the process's peak memory while it loaded them. Prints a markdown table.
//
//   lirat_bench_settings [--runs N]
#include "bench/harness.h"

#include "serial/com_port.h"
#include "serial/settings_file.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace bench;

constexpr int kLoadsPerRun = 10;

void WriteFile(const std::string& path, const std::string& contents) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

// Milliseconds of one load; checks that the file's port came through.
double TimedLoad(const std::string& path) {
    serial::TComPort port;
    port.SetName("ComPort");
    port.SetStoredProps(serial::TStoredProps::All());
    const Clock::time_point start = Clock::now();
    port.LoadSettings(serial::stIniFile, path);
    const double ms = Microseconds(Clock::now() - start) / 1000.0;
    if (port.Port() != "COM9")
        throw std::runtime_error("the settings of " + path + " did not load");
    return ms;
}

// From here on VmHWM counts the peak from now, not from the start of the process.
void ResetPeakMemory() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

void RunSettingsLoad(int runs) {
    char pattern[] = "/tmp/lirat-bench-settings-XXXXXX";
    if (!::mkdtemp(pattern))
        throw std::runtime_error("cannot make a temporary folder");
    const std::filesystem::path folder = pattern;
    const std::string ordinary = (folder / "ordinary.INI").string();
    const std::string blank = (folder / "blank.INI").string();
    const std::string section = "[ComPort]\nPort=COM9\nBaudRate=19200\n";
    WriteFile(ordinary, section + "StopBits=1\nDataBits=8\nParity=None\nFlowControl=None\n");
    WriteFile(blank,
              std::string(serial::SettingsFile::MaxFileSize - section.size(), '\n') + section);

    std::vector<double> ordinaryMs;
    std::vector<double> blankMs;
    TimedLoad(ordinary); // not timed: the file's pages come into the cache
    TimedLoad(blank);
    ResetPeakMemory();
    const long before = StatusKilobytes("VmHWM");
    for (int i = 0; i < runs * kLoadsPerRun; ++i) {
        ordinaryMs.push_back(TimedLoad(ordinary));
        blankMs.push_back(TimedLoad(blank));
    }
    const long peak = StatusKilobytes("VmHWM");
    std::filesystem::remove_all(folder);

    char memory[96];
    std::snprintf(memory, sizeof memory, "peak memory %.1f MiB (%.1f MiB before the loads)",
                  static_cast<double>(peak) / 1024.0, static_cast<double>(before) / 1024.0);
    PrintTable(
        "Loading the port settings, every group (" + std::to_string(runs) + " runs of " +
            std::to_string(kLoadsPerRun) + " loads of each file)",
        "ms",
        {Row{"ordinary file (6 keys)", Summarise(ordinaryMs), false, "", true},
         Row{"2 MiB of line ends, section at the end", Summarise(blankMs), false, memory, true}},
        true, 2, "file");
}

} // namespace

// lirat_bench_settings [runs]: five runs unless told otherwise.
int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    try {
        RunSettingsLoad(runs > 0 ? runs : 5);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lirat_bench_settings: %s\n", e.what());
        return 1;
    }
    return 0;
}
