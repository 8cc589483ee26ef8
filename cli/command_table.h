#pragma once
// The commands of lirat5-cli, one row each: the words that call it, whether it talks to the
// transducer, the options it takes, the transactions it runs, its lines of --help and the
// function that runs it. The parser, --help and the run read this table; a new command is a
// row here, its runner (command_*.cpp) and its tests.

#include "cli/arguments.h"
#include "cli/console.h"
#include "cli/exit_status.h"
#include "cli/phase.h"

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace cli {

// Runs a command with the options of its run: of the one port, or of one port of several.
// Returns the exit status or throws CommandError; `commandLine` goes into the exchange log.
using Runner = ExitStatus (*)(const Options& options, Console& console,
                              const std::string& commandLine);

struct CommandRow {
    // "read"; "calibrate input" is called by two words.
    std::string_view word;
    // Whether it opens the transducer's port: then it runs on the port given, or on several
    // at once (--port again and again, or --port all), and Ctrl+C stops it at a safe point.
    bool talksToDevice;
    // The options it takes, by name (option_table.h).
    std::initializer_list<std::string_view> options;
    // Of those that name a file the command could write (option_table.h), the ones it only
    // reads: write's --profile is the configuration to send.
    std::initializer_list<std::string_view> filesRead;
    // The transactions it runs, in order; a record's stages are these.
    std::initializer_list<const Phase*> phases;
    // Its call in --help after "lirat5-cli ", its lines lined up as --help shows them; then
    // what it does, lines of their own.
    std::string_view usage;
    std::string_view help;
    Runner run;

    // Whether the command takes the option `name`.
    bool Takes(std::string_view name) const;
    // Whether the command writes the file the option `name` names.
    bool Writes(std::string_view name) const;
};

std::span<const CommandRow> CommandTable();

} // namespace cli
