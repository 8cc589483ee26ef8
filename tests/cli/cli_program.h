#pragma once
// lirat5-cli as the end-to-end tests run it: as a program of its own, natively or, for the
// Windows build, lirat5-cli.exe under Wine. The native build names its own program; the Windows
// build's test sets LIRAT_CLI_PROGRAM to the .exe and LIRAT_CLI_WINE to Wine, and then a port
// is a dosdevices/comN link in the Wine prefix to the simulator's pseudo-terminal and file
// names are given as Z: paths.

#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace cli_test {

struct ProgramRun {
    int status = -1; // the exit status; -1 when the program did not end by itself
    std::string out;
    std::string err; // under a pseudo-terminal everything arrives in `out`
};

struct RunOptions {
    std::string input;      // written to standard input
    bool closeInput = true; // then standard input ends
    // Called on a thread of its own once the program runs (e.g. to send it a signal).
    std::function<void(pid_t)> whileRunning;
    std::vector<std::pair<std::string, std::string>> environment;
    bool pseudoTerminal = false; // standard streams on a pseudo-terminal instead of pipes
    std::string program;         // a copy of the program to run instead (a file of this system)
    std::string workingFolder;   // the folder it starts in; empty: the test's own
    // Run without root's privileges when the tests run as root, who may write anywhere: every
    // capability given up (or else as the "nobody" user). With pipes only.
    bool unprivileged = false;
    // A limit on the size of every file the program writes (RLIMIT_FSIZE): the write that
    // would pass it fails as on a full disk.
    std::optional<long> fileSizeLimit;
};

class CliProgram {
public:
    CliProgram();
    ~CliProgram();
    CliProgram(const CliProgram&) = delete;
    CliProgram& operator=(const CliProgram&) = delete;

    // Empty when the program can run here; otherwise why not.
    const std::string& Missing() const { return missing_; }
    bool UnderWine() const { return !wine_.empty(); }
    // The program's file (lirat5-cli, or lirat5-cli.exe under Wine).
    const std::string& Program() const { return program_; }

    // The port name that opens `device` for the program (a dosdevices link under Wine).
    std::string PortFor(const std::string& device);
    // A file name of this system as the program must be given it.
    std::string PathFor(const std::string& path) const;
    // A port name that names no device.
    std::string MissingPort() const;

    ProgramRun Run(const std::vector<std::string>& args, const RunOptions& options = {}) const;

private:
    std::string program_;
    std::string wine_;
    std::string missing_;
    std::vector<std::string> links_;
};

} // namespace cli_test
