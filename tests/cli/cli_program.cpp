#include "tests/cli/cli_program.h"

#include "tests/support/unprivileged.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <poll.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace cli_test {
namespace fs = std::filesystem;

namespace {

constexpr auto RunLimit = std::chrono::seconds(90);
constexpr uid_t Nobody = 65534;

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// argv and the environment, made before fork: between fork and exec a program with threads
// (the simulator's) may only make async-signal-safe calls.
struct Exec {
    std::vector<std::string> texts;
    std::vector<char*> argv;
    std::vector<char*> envp;
    std::string folder;

    Exec(const std::vector<std::string>& args, const RunOptions& options) {
        std::vector<std::string> environment;
        for (char** e = environ; *e != nullptr; ++e) {
            environment.emplace_back(*e);
        }
        auto set = [&](const std::string& name, const std::string& value, bool replace) {
            for (std::string& entry : environment) {
                if (entry.starts_with(name + "=")) {
                    if (replace) {
                        entry = name + "=" + value;
                    }
                    return;
                }
            }
            environment.push_back(name + "=" + value);
        };
        for (const auto& [name, value] : options.environment) {
            set(name, value, true);
        }
        set("WINEDEBUG", "-all", false);
        texts = args;
        texts.insert(texts.end(), environment.begin(), environment.end());
        for (std::size_t i = 0; i < texts.size(); ++i) {
            (i < args.size() ? argv : envp).push_back(texts[i].data());
        }
        argv.push_back(nullptr);
        envp.push_back(nullptr);
        folder = options.workingFolder;
    }

    [[noreturn]] void Run() {
        if (!folder.empty() && ::chdir(folder.c_str()) != 0) {
            ::_exit(127);
        }
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
};

// Reads the given descriptors into their texts until every one is at its end.
void Drain(std::vector<std::pair<int, std::string*>> streams, pid_t child) {
    const auto deadline = std::chrono::steady_clock::now() + RunLimit;
    while (!streams.empty()) {
        std::vector<pollfd> fds;
        for (const auto& s : streams) {
            fds.push_back(pollfd{s.first, POLLIN, 0});
        }
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
        }
        if (::poll(fds.data(), fds.size(), 200) < 0 && errno != EINTR) {
            return;
        }
        for (std::size_t i = fds.size(); i-- > 0;) {
            if (fds[i].revents == 0) {
                continue;
            }
            std::array<char, 4096> chunk{};
            const ssize_t got = ::read(fds[i].fd, chunk.data(), chunk.size());
            if (got > 0) {
                streams[i].second->append(chunk.data(), static_cast<std::size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                ::close(fds[i].fd);
                streams.erase(streams.begin() + static_cast<std::ptrdiff_t>(i));
            }
        }
    }
}

int Reap(pid_t child) {
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

CliProgram::CliProgram()
    : program_(Environment("LIRAT_CLI_PROGRAM")), wine_(Environment("LIRAT_CLI_WINE")) {
#ifdef LIRAT_CLI_NATIVE_PROGRAM
    if (program_.empty()) {
        program_ = LIRAT_CLI_NATIVE_PROGRAM;
    }
#endif
    if (program_.empty() || !fs::exists(program_)) {
        missing_ = "lirat5-cli is not built here (" + program_ + ")";
    } else if (UnderWine() && Environment("WINEPREFIX").empty()) {
        missing_ = "WINEPREFIX is not set";
    }
}

CliProgram::~CliProgram() {
    std::error_code ignored;
    for (const std::string& link : links_) {
        fs::remove(link, ignored);
    }
}

std::string CliProgram::PortFor(const std::string& device) {
    if (!UnderWine()) {
        return device;
    }
    // Numbers well above the ones the serial tests' peer hands out (50 up).
    const fs::path folder = fs::path(Environment("WINEPREFIX")) / "dosdevices";
    for (int number = 120 + static_cast<int>(::getpid() % 60);; ++number) {
        const fs::path link = folder / ("com" + std::to_string(number));
        std::error_code error;
        fs::create_symlink(device, link, error);
        if (!error) {
            links_.push_back(link.string());
            return "COM" + std::to_string(number);
        }
    }
}

std::string CliProgram::PathFor(const std::string& path) const {
    if (!UnderWine()) {
        return path;
    }
    std::string windows = "Z:" + path;
    for (char& c : windows) {
        if (c == '/') {
            c = '\\';
        }
    }
    return windows;
}

std::string CliProgram::MissingPort() const {
    // Wine knows COM1 to COM256 and no link here names COM253.
    return UnderWine() ? "COM253" : "/dev/lirat5-no-such-port";
}

ProgramRun CliProgram::Run(const std::vector<std::string>& args, const RunOptions& options) const {
    std::vector<std::string> argv;
    if (UnderWine()) {
        argv.push_back(wine_);
    }
    argv.push_back(options.program.empty() ? program_ : options.program);
    argv.insert(argv.end(), args.begin(), args.end());

    Exec exec(argv, options);
    ProgramRun run;
    if (options.pseudoTerminal) {
        int master = -1;
        const pid_t child = ::forkpty(&master, nullptr, nullptr, nullptr);
        if (child == 0) {
            exec.Run();
        }
        if (!options.input.empty()) {
            (void)::write(master, options.input.data(), options.input.size());
        }
        // A pseudo-terminal reports its end as EIO once the program has closed it.
        Drain({{master, &run.out}}, child);
        run.status = Reap(child);
        return run;
    }

    int in[2], out[2], err[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 ||
        ::pipe2(err, O_CLOEXEC) != 0) {
        return run;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(in[0], STDIN_FILENO);
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        if (options.unprivileged && ::geteuid() == 0 &&
            !testing_support::DropCapabilitiesAcrossExec() &&
            (::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0)) {
            ::_exit(126);
        }
        if (options.fileSizeLimit) {
            const rlimit limit{static_cast<rlim_t>(*options.fileSizeLimit),
                               static_cast<rlim_t>(*options.fileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            // Ignored, so that passing the limit fails the write (EFBIG) instead of ending the
            // program; an ignored signal stays ignored across exec.
            ::signal(SIGXFSZ, SIG_IGN);
        }
        exec.Run();
    }
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    ::signal(SIGPIPE, SIG_IGN);
    if (!options.input.empty()) {
        (void)::write(in[1], options.input.data(), options.input.size());
    }
    if (options.closeInput) {
        ::close(in[1]);
    }
    std::thread helper;
    if (options.whileRunning) {
        helper = std::thread(options.whileRunning, child);
    }
    Drain({{out[0], &run.out}, {err[0], &run.err}}, child);
    run.status = Reap(child);
    if (helper.joinable()) {
        helper.join();
    }
    if (!options.closeInput) {
        ::close(in[1]);
    }
    return run;
}

} // namespace cli_test
