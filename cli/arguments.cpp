#include "cli/arguments.h"

#include "cli/cli_texts.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <initializer_list>
#include <string_view>

namespace cli {
namespace {

using Text = std::optional<std::string> Options::*;
using Flag = bool Options::*;
using Texts = std::vector<std::string> Options::*;

struct OptionSpec {
    std::string_view name;
    Text text = nullptr; // an option with a value
    Flag flag = nullptr; // a flag, set to `flagValue`
    bool flagValue = true;
    std::initializer_list<Command> commands; // the commands it belongs to
    Texts texts = nullptr;                   // an option that may be given again and again
};

constexpr auto Device = {Command::Read,  Command::Write,          Command::Temp,
                         Command::Reset, Command::CalibrateInput, Command::CalibrateOutput};

constexpr auto Recorded = {Command::Write, Command::CalibrateInput, Command::CalibrateOutput};

const std::array<OptionSpec, 25> Specs{{
    {"--port",
     nullptr,
     nullptr,
     true,
     {Command::Scan, Command::Read, Command::Write, Command::Temp, Command::Reset,
      Command::CalibrateInput, Command::CalibrateOutput},
     &Options::ports},
    {"--settings", &Options::settings, nullptr, true, Device},
    {"--log", &Options::log, nullptr, true, Device},
    {"--pace", nullptr, nullptr, true, Device}, // parsed on its own: it has two words
    {"--profile", &Options::profile, nullptr, true, {Command::Read, Command::Write}},
    {"--json", nullptr, &Options::json, true, {Command::Read}},
    {"--temp", nullptr, &Options::temp, true, {Command::Read}},
    {"--no-verify", nullptr, &Options::verify, false, {Command::Write}},
    {"--range",
     &Options::range,
     nullptr,
     true,
     {Command::Write, Command::Temp, Command::CalibrateInput}},
    {"--upper", &Options::upper, nullptr, true, {Command::Write}},
    {"--lower", &Options::lower, nullptr, true, {Command::Write}},
    {"--break", &Options::breakLevel, nullptr, true, {Command::Write}},
    {"--output", &Options::output, nullptr, true, {Command::Write, Command::CalibrateOutput}},
    {"--count", &Options::count, nullptr, true, {Command::Temp}},
    {"--every", &Options::every, nullptr, true, {Command::Temp}},
    {"--csv", &Options::csv, nullptr, true, {Command::Temp}},
    {"--html", &Options::html, nullptr, true, {Command::Temp}},
    {"--record", &Options::record, nullptr, true, Recorded},
    {"--unit", nullptr, nullptr, true, Recorded, &Options::units},
    {"--operator", &Options::operatorName, nullptr, true, Recorded},
    {"--min", &Options::min, nullptr, true, {Command::CalibrateOutput}},
    {"--max", &Options::max, nullptr, true, {Command::CalibrateOutput}},
    {"--force",
     nullptr,
     &Options::force,
     true,
     {Command::CalibrateInput, Command::CalibrateOutput}},
    {"--help", nullptr, nullptr, true, {}},
    {"-h", nullptr, nullptr, true, {}},
}};

const OptionSpec* FindSpec(std::string_view name) {
    for (const OptionSpec& spec : Specs) {
        if (spec.name == name) {
            return &spec;
        }
    }
    return nullptr;
}

bool Belongs(const OptionSpec& spec, Command command) {
    for (Command c : spec.commands) {
        if (c == command) {
            return true;
        }
    }
    return false;
}

// Port names are compared as Windows compares COM names, without regard to case.
bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

ParsedArguments Fail(std::string error) {
    return ParsedArguments{std::nullopt, std::move(error)};
}

// The command word (and for calibrate the word after it); the index of the first option.
std::optional<Command> CommandOf(const std::vector<std::string>& args, std::size_t& next,
                                 std::string& error) {
    const std::string& word = args[0];
    next = 1;
    if (word == "ports")
        return Command::Ports;
    if (word == "scan")
        return Command::Scan;
    if (word == "read")
        return Command::Read;
    if (word == "write")
        return Command::Write;
    if (word == "temp")
        return Command::Temp;
    if (word == "reset")
        return Command::Reset;
    if (word == "calibrate") {
        next = 2;
        if (args.size() > 1 && args[1] == "input")
            return Command::CalibrateInput;
        if (args.size() > 1 && args[1] == "output")
            return Command::CalibrateOutput;
        error = texts::UnknownCalibration;
        return std::nullopt;
    }
    error = std::string(texts::UnknownCommand) + word;
    return std::nullopt;
}

} // namespace

bool TalksToDevice(Command command) {
    return command != Command::Help && command != Command::Ports && command != Command::Scan;
}

bool ManyPorts(const Options& options) {
    return options.ports.size() > 1 ||
           std::find(options.ports.begin(), options.ports.end(), AllPorts) != options.ports.end();
}

ParsedArguments ParseArguments(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            return ParsedArguments{Options{}, {}};
        }
    }
    if (args.empty()) {
        return Fail(texts::NoCommand);
    }
    Options options;
    std::size_t i = 0;
    std::string error;
    const auto command = CommandOf(args, i, error);
    if (!command) {
        return Fail(error);
    }
    options.command = *command;

    std::vector<std::string_view> seen;
    for (; i < args.size(); ++i) {
        std::string_view arg = args[i];
        std::optional<std::string> inlineValue;
        if (const auto equals = arg.find('='); arg.starts_with("--") && equals != arg.npos) {
            inlineValue = std::string(arg.substr(equals + 1));
            arg = arg.substr(0, equals);
        }
        const OptionSpec* spec = FindSpec(arg);
        if (spec == nullptr) {
            return Fail((arg.starts_with("-") ? texts::UnknownOption : texts::ExtraArgument) +
                        std::string(arg));
        }
        if (!Belongs(*spec, options.command)) {
            return Fail(texts::OptionNotForCommand + std::string(arg));
        }
        for (std::string_view name : seen) {
            if (name == spec->name && spec->texts == nullptr) {
                return Fail(texts::OptionRepeated + std::string(arg));
            }
        }
        seen.push_back(spec->name);
        if (spec->flag != nullptr) {
            if (inlineValue) {
                return Fail(texts::UnknownOption + args[i]);
            }
            options.*(spec->flag) = spec->flagValue;
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
        if (spec->name == "--pace") {
            if (value != "window" && value != "fast") {
                return Fail(std::string(texts::BadValue) + "--pace: " + value +
                            " (window или fast)");
            }
            options.pace = value == "fast" ? Pace::Fast : Pace::Window;
            continue;
        }
        if (spec->texts != nullptr) {
            // The same port twice would be two threads fighting over one device; the same unit
            // twice, two records of one name.
            for (const std::string& given : options.*(spec->texts)) {
                if (SameName(given, value)) {
                    return Fail(texts::OptionRepeated + std::string(arg) + " " + value);
                }
            }
            (options.*(spec->texts)).push_back(value);
            continue;
        }
        options.*(spec->text) = value;
    }
    if (options.ports.size() == 1 && options.ports.front() != AllPorts) {
        options.port = options.ports.front();
    }
    return ParsedArguments{options, {}};
}

} // namespace cli
