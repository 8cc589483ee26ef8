#pragma once
// The command line of lirat5-cli: a command word, then options as "--name value" or
// "--name=value", as the tables of commands (command_table.h) and options (option_table.h) say.
// Parsing checks only the shape (known command, options that belong to it, values present,
// nothing twice but the ports and the units, and no port twice, a port or settings file for a
// command that talks to the transducer, the units one per port); what the values mean is
// checked by the commands, so that a wrong value gets its own exit status and message.

#include <optional>
#include <string>
#include <vector>

namespace cli {

struct CommandRow;

// The --port value that stands for every port a scan finds answering.
inline constexpr const char* AllPorts = "all";

enum class Pace {
    Window, // every step waits the window's full timer interval
    Fast,   // a step of a read, write or temperature read ends as soon as its reply is complete
};

struct Options {
    const CommandRow* command = nullptr;

    // Every command that talks to the transducer. `ports` holds every --port in the order
    // given; `port` is the one port this run talks to (the only one given, or in a run over
    // several ports the one of its thread).
    std::vector<std::string> ports;
    std::optional<std::string> port;
    std::optional<std::string> settings;
    std::optional<std::string> log;
    Pace pace = Pace::Window;

    // read and write.
    std::optional<std::string> profile;
    bool json = false;
    bool temp = false;
    bool verify = true;

    // write (texts as typed), temp (range: the unit of the value), calibrations.
    std::optional<std::string> range;
    std::optional<std::string> upper;
    std::optional<std::string> lower;
    std::optional<std::string> breakLevel;
    std::optional<std::string> output;

    // temp.
    std::optional<std::string> count;
    std::optional<std::string> every;
    std::optional<std::string> csv;
    std::optional<std::string> html;

    // calibrate output: the measured values, asked for when not given.
    std::optional<std::string> min;
    std::optional<std::string> max;
    // Calibrations: go ahead although the transducer is set to another range or output than
    // the one given.
    bool force = false;

    // Records of write and the calibrations: the folder, the units in the order of the ports
    // (as given; the one of this run's port in a run over several), the operator.
    std::optional<std::string> record;
    std::vector<std::string> units;
    std::optional<std::string> operatorName;
};

struct ParsedArguments {
    std::optional<Options> options; // set when the command line has a valid shape
    bool help = false;              // or when it asks for --help, whatever else it holds
    std::string error;              // otherwise what is wrong with it
};

// `args` are the arguments after the program's name.
ParsedArguments ParseArguments(const std::vector<std::string>& args);

// Whether the command line names more than one port, or every port a scan finds.
bool ManyPorts(const Options& options);

} // namespace cli
