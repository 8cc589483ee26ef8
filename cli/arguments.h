#pragma once
// The command line of lirat5-cli: a command word, then options as "--name value" or
// "--name=value". Parsing checks only the shape (known command, options that belong to it,
// values present, nothing twice); what the values mean is checked by the commands, so that a
// wrong value gets its own exit status and message.

#include <optional>
#include <string>
#include <vector>

namespace cli {

enum class Command { Help, Ports, Read, Write, Temp, Reset, CalibrateInput, CalibrateOutput };

enum class Pace {
    Window, // every step waits the window's full timer interval
    Fast,   // a step of a read, write or temperature read ends as soon as its reply is complete
};

struct Options {
    Command command = Command::Help;

    // Every command that talks to the transducer.
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

    // calibrate output: the measured values, asked for when not given.
    std::optional<std::string> min;
    std::optional<std::string> max;
};

struct ParsedArguments {
    std::optional<Options> options; // set when the command line has a valid shape
    std::string error;              // otherwise what is wrong with it
};

// `args` are the arguments after the program's name.
ParsedArguments ParseArguments(const std::vector<std::string>& args);

// Whether the command opens the transducer's port.
bool TalksToDevice(Command command);

} // namespace cli
