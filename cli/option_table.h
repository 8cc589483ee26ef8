#pragma once
// The options of lirat5-cli, one row each: its name, whether it takes a value, where the value
// goes in Options, and its lines of --help. Which commands take an option is said by the
// commands' rows (command_table.h); the parser and --help read both tables.

#include "cli/arguments.h"

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

enum class OptionKind {
    Value,    // "--name value" or "--name=value", once
    Flag,     // "--name" alone, once
    Repeated, // a value given again and again, never the same one twice (ports, units)
    Choice,   // one of a few words, once
    Help,     // a call for --help, wherever it stands
};

struct OptionRow {
    std::string_view name;
    OptionKind kind;
    // Where it goes, by its kind: a value, a flag (set to `flagValue`), the repeated values,
    // or a choice (the index of the word among `choices`, in the order of the enumeration).
    std::optional<std::string> Options::*value = nullptr;
    bool Options::*flag = nullptr;
    bool flagValue = true;
    std::vector<std::string> Options::*values = nullptr;
    Pace Options::*choice = nullptr;
    std::initializer_list<std::string_view> choices = {};
    // The option with its value as --help shows it ("--port COMn"), and its lines there; an
    // option without them is explained under the commands that take it.
    std::string_view label = {};
    std::string_view help = {};
    // For a file that a command writes: the start of the message when it cannot be.
    const char* unwritable = nullptr;
    // Another name for it ("-h").
    std::string_view alias = {};
};

std::span<const OptionRow> OptionTable();

// The row of the option `name` (or of its other name); null for an unknown one.
const OptionRow* FindOption(std::string_view name);

// The rows of the options given in `options` that name a file its command writes, in the
// table's order; the path is `options.*(row->value)`.
std::vector<const OptionRow*> FilesWritten(const Options& options);

} // namespace cli
