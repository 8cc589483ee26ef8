#include "simulator/options.h"

#include "protocol/number_text.h"

#include <charconv>
#include <cmath>

namespace sim {
namespace {

std::optional<int> ParseWhole(std::string_view text, int min, int max) {
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < min ||
        value > max) {
        return std::nullopt;
    }
    return value;
}

OptionsResult Fail(std::string error) {
    return {std::nullopt, std::move(error)};
}

} // namespace

OptionsResult ParseOptions(const std::vector<std::string>& args) {
    ProgramOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        std::string_view name = arg;
        std::optional<std::string> inlineValue;
        if (arg.starts_with("--")) {
            if (auto eq = arg.find('='); eq != std::string_view::npos) {
                name = arg.substr(0, eq);
                inlineValue = std::string(arg.substr(eq + 1));
            }
        }
        // The value of an option that takes one: after "=" or as the next argument.
        auto value = [&]() -> std::optional<std::string> {
            if (inlineValue) {
                return inlineValue;
            }
            if (i + 1 < args.size()) {
                return args[++i];
            }
            return std::nullopt;
        };
        auto flag = [&]() { return !inlineValue; };

        if ((name == "-h" || name == "--help") && flag()) {
            options.help = true;
        } else if ((name == "-q" || name == "--quiet") && flag()) {
            options.verbosity = Verbosity::Quiet;
        } else if ((name == "-v" || name == "--verbose") && flag()) {
            options.verbosity = Verbosity::Verbose;
        } else if (name == "--drift" && flag()) {
            options.drift = true;
        } else if (name == "--no-drift" && flag()) {
            options.drift = false;
        } else if (name == "--com") {
            auto v = value();
            auto n = v ? ParseWhole(*v, 1, 100) : std::nullopt;
            if (!n) {
                return Fail("--com needs a port number from 1 to 100");
            }
            options.comNumber = n;
        } else if (name == "--delay") {
            auto v = value();
            auto n = v ? ParseWhole(*v, 0, 60000) : std::nullopt;
            if (!n) {
                return Fail("--delay needs a whole number of milliseconds from 0 to 60000");
            }
            options.delayMs = *n;
        } else if (name == "--value") {
            auto v = value();
            auto x = v ? protocol::ParseNumber(*v, '.') : std::nullopt;
            if (!x || std::abs(*x) > 1e6) {
                return Fail("--value needs a number with \".\" as the decimal point, e.g. 23.4");
            }
            options.value = x;
        } else if (name == "--range") {
            auto v = value();
            auto n = v ? ParseWhole(*v, 0, 25) : std::nullopt;
            if (!n) {
                return Fail("--range needs a range index from 0 to 25");
            }
            options.rangeIndex = n;
        } else if (name == "--fault") {
            auto v = value();
            if (!v) {
                return Fail("--fault needs a fault, e.g. --fault no-reply (see --help)");
            }
            std::string error;
            auto rule = ParseFaultSpec(*v, error);
            if (!rule) {
                return Fail("--fault " + *v + ": " + error);
            }
            options.faults.push_back(std::move(*rule));
        } else if (inlineValue && (name == "--help" || name == "--quiet" || name == "--verbose" ||
                                   name == "--drift" || name == "--no-drift")) {
            return Fail(std::string(name) + " takes no value");
        } else {
            return Fail("unknown option \"" + std::string(arg) + "\" (see --help)");
        }
    }
    return {std::move(options), {}};
}

std::string HelpText(std::string_view program) {
    std::string p(program);
    return "Usage: " + p + R"( [options]

Plays the LIRAT-5 transducer on a pseudo-terminal (9600 8N1) until interrupted (Ctrl+C, SIGTERM).
The first line of output is the device path to open, e.g. /dev/pts/3; every command received
("<-") and every reply sent ("->") is printed after it with the seconds since the start.
Replies are "!", the payload and CR, sent at 9600-baud pace after the processing delay.

Options:
  --com N         also register the line as COMN (1 to 100) in the serial port-name folder,
                  so the configurator can open it by that name; removed again on exit
  --delay MS      processing delay before each reply, in milliseconds (default 20)
  --drift         let the measured value drift slowly, so that repeated "#0" reads differ
  --no-drift      keep the measured value steady (default)
  --value X       initial measured value, degrees Celsius or ohms (default 20.0)
  --range N       initial range index, 0 to 25 (default 0); the working range becomes the
                  range's limits
  --fault SPEC    play a fault instead of a correct reply (repeatable; see below)
  -q, --quiet     print only the device path (and the COM name)
  -v, --verbose   also print the faults played, rejected or unknown commands and line events
  -h, --help      show this text and exit

Fault SPEC: KIND[=ARG][/COUNT][@CODE]
  COUNT  how many commands get the fault: a number (default 1) or "all"
  CODE   only commands with this code, e.g. @$8 or @#0 (quote "$" in the shell)
  KIND:
    no-reply            send nothing
    bad-first-byte[=C]  the reply begins with C (default "?") instead of "!"
    late[=MS]           send the reply MS milliseconds later than usual (default 3000)
    partial[=N]         send only the first N bytes of the reply (default half)
    long                pad the reply to 40 bytes
    bad-status[=SS]     "$0" answers SS (default 01); on "$F", "$1" or "$2" the next "$0" does
    not-number          the payload is "1.2.3"
    not-hex             the payload is "GZ"
    bad-range[=N]       the payload is range index N (default 26) in hexadecimal
    payload=TEXT        the payload is TEXT
    hang-up             close the line instead of replying
  Examples: --fault no-reply   --fault 'late=2500@$8'   --fault 'bad-status@$0/all'

Malformed parameters are rejected: the reply is "!" and CR, and "$0" then reports 02.
Unknown commands get "?" and CR.
)";
}

} // namespace sim
