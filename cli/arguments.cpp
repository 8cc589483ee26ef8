#include "cli/arguments.h"

#include "cli/cli_texts.h"
#include "cli/command_table.h"
#include "cli/option_table.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace cli {
namespace {

// Port names are compared as Windows compares COM names, without regard to case.
bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

ParsedArguments Fail(std::string error) {
    return ParsedArguments{std::nullopt, false, std::move(error)};
}

bool IsHelp(std::string_view arg) {
    const OptionRow* row = FindOption(arg);
    return row != nullptr && row->kind == OptionKind::Help;
}

// "input или output"; "a, b или c".
std::string Alternatives(const std::vector<std::string_view>& words) {
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i) {
        text += i == 0 ? "" : (i + 1 < words.size() ? ", " : texts::Or);
        text += words[i];
    }
    return text;
}

// The command the first words call (one or two); `next` is the index of the first option.
const CommandRow* CommandOf(const std::vector<std::string>& args, std::size_t& next,
                            std::string& error) {
    std::vector<std::string_view> seconds; // of the commands of two words the first names
    for (const CommandRow& row : CommandTable()) {
        const std::string_view word = row.word;
        const auto blank = word.find(' ');
        if (word.substr(0, blank) != args[0]) {
            continue;
        }
        if (blank == word.npos) {
            next = 1;
            return &row;
        }
        const std::string_view second = word.substr(blank + 1);
        if (args.size() > 1 && args[1] == second) {
            next = 2;
            return &row;
        }
        seconds.push_back(second);
    }
    error = seconds.empty() ? texts::UnknownCommand + args[0]
                            : texts::SecondWordAfter + args[0] + texts::SecondWordNeeded +
                                  Alternatives(seconds) + ".";
    return nullptr;
}

// Stores the value of `row` given as `value`; the error, if it is not one it can take.
std::optional<std::string> Store(const OptionRow& row, const std::string& value, Options& options) {
    switch (row.kind) {
    case OptionKind::Choice: {
        const auto chosen = std::find(row.choices.begin(), row.choices.end(), value);
        if (chosen == row.choices.end()) {
            std::vector<std::string_view> words(row.choices.begin(), row.choices.end());
            return std::string(texts::BadValue) + std::string(row.name) + ": " + value + " (" +
                   Alternatives(words) + ")";
        }
        options.*(row.choice) = static_cast<Pace>(chosen - row.choices.begin());
        return std::nullopt;
    }
    case OptionKind::Repeated:
        // The same port twice would be two threads fighting over one device; the same unit
        // twice, two records of one name.
        for (const std::string& given : options.*(row.values)) {
            if (SameName(given, value)) {
                return texts::OptionRepeated + std::string(row.name) + " " + value;
            }
        }
        (options.*(row.values)).push_back(value);
        return std::nullopt;
    default:
        options.*(row.value) = value;
        return std::nullopt;
    }
}

// Mistakes of the command line as a whole.
std::optional<std::string> UsageMistake(const Options& options) {
    // Checked before any value, so a call without a port is a usage mistake whatever else is
    // wrong with it.
    if (options.command->talksToDevice && options.ports.empty() && !options.settings) {
        return texts::NoPort;
    }
    if ((!options.units.empty() || options.operatorName) && !options.record) {
        return texts::UnitWithoutRecord;
    }
    // One unit per port, paired in the order given; the ports of a scan are not known before.
    const bool all =
        std::find(options.ports.begin(), options.ports.end(), AllPorts) != options.ports.end();
    if (!options.units.empty() &&
        (all || options.units.size() != std::max<std::size_t>(options.ports.size(), 1))) {
        return texts::UnitsPerPort;
    }
    return std::nullopt;
}

} // namespace

bool ManyPorts(const Options& options) {
    return options.ports.size() > 1 ||
           std::find(options.ports.begin(), options.ports.end(), AllPorts) != options.ports.end();
}

ParsedArguments ParseArguments(const std::vector<std::string>& args) {
    if (std::any_of(args.begin(), args.end(), [](const std::string& arg) { return IsHelp(arg); })) {
        return ParsedArguments{std::nullopt, true, {}};
    }
    if (args.empty()) {
        return Fail(texts::NoCommand);
    }
    Options options;
    std::size_t i = 0;
    std::string error;
    options.command = CommandOf(args, i, error);
    if (options.command == nullptr) {
        return Fail(error);
    }

    std::vector<std::string_view> seen;
    for (; i < args.size(); ++i) {
        std::string_view arg = args[i];
        std::optional<std::string> inlineValue;
        if (const auto equals = arg.find('='); arg.starts_with("--") && equals != arg.npos) {
            inlineValue = std::string(arg.substr(equals + 1));
            arg = arg.substr(0, equals);
        }
        const OptionRow* row = FindOption(arg);
        if (row == nullptr) {
            return Fail((arg.starts_with("-") ? texts::UnknownOption : texts::ExtraArgument) +
                        std::string(arg));
        }
        if (!options.command->Takes(row->name)) {
            return Fail(texts::OptionNotForCommand + std::string(arg));
        }
        if (row->kind != OptionKind::Repeated &&
            std::find(seen.begin(), seen.end(), row->name) != seen.end()) {
            return Fail(texts::OptionRepeated + std::string(arg));
        }
        seen.push_back(row->name);
        if (row->kind == OptionKind::Flag) {
            if (inlineValue) {
                return Fail(texts::UnknownOption + args[i]);
            }
            options.*(row->flag) = row->flagValue;
            continue;
        }
        std::string value;
        if (inlineValue) {
            value = *inlineValue;
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            return Fail(texts::OptionNeedsValue + std::string(arg));
        }
        if (const auto mistake = Store(*row, value, options)) {
            return Fail(*mistake);
        }
    }
    if (const auto mistake = UsageMistake(options)) {
        return Fail(*mistake);
    }
    if (options.ports.size() == 1 && options.ports.front() != AllPorts) {
        options.port = options.ports.front();
    }
    return ParsedArguments{options, false, {}};
}

} // namespace cli
