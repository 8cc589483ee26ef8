// The command line of lirat5-cli from its two tables: the tables agree with each other and with
// the README's table of commands, --help is laid out from them, the parser takes and refuses
// what they say, and every call refused for its shape, its values or its profile is refused
// before a port is opened (a port that is not there would give status 4 instead). Built for
// both platforms, so the Windows build runs them under Wine.

#include "cli/arguments.h"
#include "cli/command_table.h"
#include "cli/help_text.h"
#include "cli/option_table.h"
#include "cli/run.h"
#include "protocol/engine_texts.h"
#include "tests/cli/recording_console.h"
#include "tests/serial/temp_folder.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

namespace cli {
namespace {

using Args = std::vector<std::string>;

#ifdef _WIN32
constexpr const char* NoSuchPort = "COM253";
#else
constexpr const char* NoSuchPort = "/dev/lirat5-no-such-port";
#endif

// The options ("--port") named in a text, in order.
std::vector<std::string> OptionsNamed(const std::string& text) {
    static const std::regex option("--[a-z-]+");
    std::vector<std::string> names;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), option);
         it != std::sregex_iterator(); ++it) {
        names.push_back(it->str());
    }
    return names;
}

// ---- the tables ----

// A row naming an option the parser does not know, or a file option a command never writes,
// would be taken silently and ignored.
TEST(Tables, CommandsTakeOptionsOfTheOptionTableAndCallThemAsTheyTakeThem) {
    std::set<std::string_view> words;
    for (const CommandRow& command : CommandTable()) {
        SCOPED_TRACE(std::string(command.word));
        EXPECT_TRUE(words.insert(command.word).second);
        EXPECT_TRUE(command.usage.starts_with(command.word));
        for (std::string_view name : command.options) {
            const OptionRow* row = FindOption(name);
            ASSERT_NE(row, nullptr) << name;
            EXPECT_EQ(row->name, name) << "named by its other name";
        }
        for (const std::string& name : OptionsNamed(std::string(command.usage))) {
            EXPECT_TRUE(command.Takes(name)) << name;
        }
        for (std::string_view name : command.filesRead) {
            EXPECT_TRUE(command.Takes(name) && FindOption(name)->unwritable != nullptr) << name;
        }
        // A record's stages are the command's transactions, each with its title.
        if (command.Takes("--record")) {
            EXPECT_NE(command.phases.size(), 0u);
            for (const Phase* phase : command.phases) {
                EXPECT_NE(phase->title, nullptr) << phase->name;
            }
        }
        // The session of a command that talks to the transducer takes its port's settings, log
        // and pace from these.
        for (const char* name : {"--settings", "--log", "--pace"}) {
            EXPECT_EQ(command.talksToDevice, command.Takes(name)) << name;
        }
    }
    for (const OptionRow& option : OptionTable()) {
        SCOPED_TRACE(std::string(option.name));
        const bool taken = std::any_of(CommandTable().begin(), CommandTable().end(),
                                       [&](const CommandRow& c) { return c.Takes(option.name); });
        EXPECT_NE(taken, option.kind == OptionKind::Help);
        // Where the parser stores the value is the one its kind says.
        const std::array stored{option.value != nullptr, option.flag != nullptr,
                                option.values != nullptr, option.choice != nullptr};
        const std::array kinds{option.kind == OptionKind::Value, option.kind == OptionKind::Flag,
                               option.kind == OptionKind::Repeated,
                               option.kind == OptionKind::Choice};
        EXPECT_EQ(stored, kinds);
        EXPECT_EQ(option.label.empty(), option.help.empty());
        EXPECT_TRUE(option.label.empty() || option.label.find(option.name) != option.label.npos);
    }
}

// The README's table of commands: a row per command of the table, in its order, each calling
// the command with the options its --help names, in the same order.
TEST(Tables, AreTheReadmesTableOfCommands) {
    std::ifstream readme(LIRAT_README);
    ASSERT_TRUE(readme) << LIRAT_README;
    std::string line;
    while (std::getline(readme, line) && line != "| Command | What it does |") {
    }
    ASSERT_TRUE(readme) << "no table headed \"| Command | What it does |\"";
    std::getline(readme, line); // |---|---|
    std::vector<std::string> calls;
    while (std::getline(readme, line) && line.starts_with("|")) {
        // The first cell, up to a bar that is not written as "\|".
        std::size_t end = 1;
        while ((end = line.find('|', end)) != line.npos && line[end - 1] == '\\') {
            ++end;
        }
        std::string call = line.substr(1, end - 1);
        call.erase(std::remove(call.begin(), call.end(), '`'), call.end());
        calls.push_back(call.substr(call.find_first_not_of(' ')));
    }
    ASSERT_EQ(calls.size(), CommandTable().size());
    for (std::size_t i = 0; i < calls.size(); ++i) {
        const CommandRow& command = CommandTable()[i];
        EXPECT_TRUE(calls[i].starts_with(std::string(command.word) + " ") ||
                    calls[i] == command.word)
            << calls[i];
        EXPECT_EQ(OptionsNamed(calls[i]), OptionsNamed(std::string(command.usage))) << calls[i];
    }
}

// ---- --help ----

// Characters, not bytes: the labels and explanations are Cyrillic.
std::size_t Columns(std::string_view text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

TEST(Help, ListsEveryCommandAndOptionWithTheExplanationsInOneColumn) {
    RecordingConsole console;
    EXPECT_EQ(cli::Run({"write", "--help"}, console), 0);
    const std::string& help = console.out;
    EXPECT_EQ(help, HelpText());
    for (const CommandRow& command : CommandTable()) {
        const std::string call(command.usage.substr(0, command.usage.find('\n')));
        EXPECT_NE(help.find("\n  lirat5-cli " + call + "\n      "), std::string::npos) << call;
    }
    const std::string heading = "Параметры всех команд, работающих с прибором:\n";
    ASSERT_NE(help.find(heading), std::string::npos);
    std::istringstream options(help.substr(help.find(heading) + heading.size()));
    std::size_t labels = 0;
    for (std::string line; std::getline(options, line) && !line.empty();) {
        // An option's label and its explanation, or a next line of the explanation.
        std::size_t start = 0;
        for (const OptionRow& option : OptionTable()) {
            if (!option.label.empty() && line.starts_with("  " + std::string(option.label) + " ")) {
                start = 2 + option.label.size();
                ++labels;
            }
        }
        EXPECT_EQ(Columns(line.substr(0, line.find_first_not_of(' ', start))), 21u) << line;
    }
    EXPECT_EQ(labels, static_cast<std::size_t>(
                          std::count_if(OptionTable().begin(), OptionTable().end(),
                                        [](const OptionRow& o) { return !o.label.empty(); })));
    for (int code = 0; code <= 7; ++code) {
        EXPECT_NE(help.find("\n  " + std::to_string(code) + "  "), std::string::npos) << code;
    }
}

// ---- the parser ----

TEST(Arguments, TakeValuesBothWaysFlagsAndEveryPortAndUnit) {
    const ParsedArguments parsed =
        ParseArguments({"write", "--port=COM7", "--range", "3", "--upper=-1", "--no-verify",
                        "--pace", "fast", "--break", "--lower"});
    ASSERT_TRUE(parsed.options) << parsed.error;
    const Options& o = *parsed.options;
    EXPECT_EQ(o.command->word, "write");
    EXPECT_EQ(o.port, "COM7");
    EXPECT_EQ(o.range, "3");
    EXPECT_EQ(o.upper, "-1");
    EXPECT_FALSE(o.verify);
    EXPECT_EQ(o.pace, Pace::Fast);
    // The next word is the value, even when it looks like an option.
    EXPECT_EQ(o.breakLevel, "--lower");
    EXPECT_FALSE(o.lower);

    const auto many = ParseArguments(
        {"write", "--port", "COM3", "--unit", "1", "--port=COM4", "--unit", "2", "--record", "r"});
    ASSERT_TRUE(many.options) << many.error;
    EXPECT_EQ(many.options->ports, (Args{"COM3", "COM4"}));
    EXPECT_EQ(many.options->units, (Args{"1", "2"}));
    EXPECT_FALSE(many.options->port); // the run's port is chosen per thread
    EXPECT_TRUE(ManyPorts(*many.options));
    const auto all = ParseArguments({"read", "--port", "all"});
    EXPECT_TRUE(ManyPorts(*all.options));
    EXPECT_FALSE(all.options->port);
    EXPECT_EQ(ParseArguments({"calibrate", "output", "--port", "COM3"}).options->command->word,
              "calibrate output");
    EXPECT_TRUE(ParseArguments({"fly", "--help"}).help);
    EXPECT_TRUE(ParseArguments({"read", "-h", "--bogus"}).help);
}

// A call refused before any port is opened: its status and exactly what standard error says.
struct RefusedCase {
    const char* name;
    Args args; // "{port}" is a port that is not there; "{profile}" the profile below
    int status;
    std::string error;
    std::optional<std::string> profile = {}; // the profile file's text; nullopt: no such file
};

void PrintTo(const RefusedCase& c, std::ostream* os) {
    *os << c.name;
}

class Refused : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(Refused, BeforeAnyPortIsOpened) {
    const RefusedCase& c = GetParam();
    serial::testing::TempFolder folder;
    const std::string profile = serial::testing::Utf8Path(folder.Path() / "p.ini");
    if (c.profile) {
        serial::testing::WriteBytes(folder.Path() / "p.ini", *c.profile);
    }
    Args args = c.args;
    for (std::string& arg : args) {
        arg = arg == "{port}" ? NoSuchPort : arg == "{profile}" ? profile : arg;
    }
    std::string error = c.error;
    if (const auto at = error.find("{profile}"); at != std::string::npos) {
        error.replace(at, 9, profile);
    }
    RecordingConsole console;
    EXPECT_EQ(cli::Run(args, console), c.status) << console.err;
    EXPECT_EQ(console.err, error + "\n" + (c.status == 2 ? "Справка: lirat5-cli --help\n" : ""));
    EXPECT_EQ(console.out, "");
}

Args Write(const std::string& range, const std::string& upper, const std::string& lower,
           const std::string& level, const std::string& output) {
    return {"write",   "--port", "{port}",  "--range", range,      "--upper", upper,
            "--lower", lower,    "--break", level,     "--output", output};
}

const std::string GoodProfile =
    "[configuration]\nrangeindex=0\nUpper=50\nLower=-50\nBreakPercent=0\nOutputType=0\n";

// The good profile with the line of `key` replaced.
std::string ProfileWith(const std::string& key, const std::string& line = "") {
    std::string text = GoodProfile;
    const auto at = text.find(key);
    text.replace(at, text.find('\n', at) - at + 1, line);
    return text;
}

namespace texts = protocol::texts;

INSTANTIATE_TEST_SUITE_P(
    Usage, Refused,
    ::testing::Values(
        RefusedCase{"NoCommand", {}, 2, "Не задана команда."},
        RefusedCase{"UnknownCommand", {"fly"}, 2, "Неизвестная команда: fly"},
        RefusedCase{"SecondWordMissing",
                    {"calibrate", "gain"},
                    2,
                    "После calibrate нужно указать input или output."},
        RefusedCase{"UnknownOption",
                    {"read", "--port", "{port}", "--bogus=1"},
                    2,
                    "Неизвестный параметр: --bogus"},
        RefusedCase{
            "FlagWithAValue", {"read", "--json=yes"}, 2, "Неизвестный параметр: --json=yes"},
        RefusedCase{"ExtraArgument", {"read", "extra"}, 2, "Лишний аргумент: extra"},
        RefusedCase{"OptionOfAnotherCommand",
                    {"read", "--port", "{port}", "--range", "3"},
                    2,
                    "Параметр не относится к этой команде: --range"},
        RefusedCase{"NoOptionsForPorts",
                    {"ports", "--port", "COM1"},
                    2,
                    "Параметр не относится к этой команде: --port"},
        RefusedCase{"PortTwiceInAnotherCase",
                    {"read", "--port", "COM7", "--port", "com7"},
                    2,
                    "Параметр задан дважды: --port com7"},
        RefusedCase{"FlagTwice",
                    {"write", "--no-verify", "--no-verify"},
                    2,
                    "Параметр задан дважды: --no-verify"},
        RefusedCase{"NoPort", {"read"}, 2, "Не задан порт: --port COMn (или --settings ФАЙЛ)."},
        RefusedCase{"NoPortBeforeAnyValue",
                    {"write", "--range", "99"},
                    2,
                    "Не задан порт: --port COMn (или --settings ФАЙЛ)."},
        RefusedCase{"PaceNotAWordOfIt",
                    {"read", "--port", "{port}", "--pace", "slow"},
                    2,
                    "Неверно задано значение --pace: slow (window или fast)"},
        RefusedCase{"NoValue",
                    {"temp", "--port", "{port}", "--count"},
                    2,
                    "Не задано значение параметра --count"},
        RefusedCase{"UnitWithoutRecord",
                    {"write", "--port", "{port}", "--operator", "Пётр"},
                    2,
                    "--unit и --operator задаются только вместе с --record."},
        RefusedCase{"UnitsNotOnePerPort",
                    {"write", "--port", "COM3", "--port", "COM4", "--unit", "1", "--record", "r"},
                    2,
                    "Задайте --unit по одному на каждый --port, в том же порядке (с --port all "
                    "номера приборов не задаются)."},
        RefusedCase{"MissingValues",
                    {"write", "--port", "{port}", "--range", "1"},
                    2,
                    "Не заданы параметры: --upper, --lower, --break, --output"},
        RefusedCase{"ProfileAndValues",
                    {"write", "--port", "{port}", "--profile", "{profile}", "--range", "1"},
                    2,
                    "Задайте либо --profile, либо все пять значений (--range, --upper, --lower, "
                    "--break, --output), но не то и другое вместе."},
        RefusedCase{"MissingOutput",
                    {"calibrate", "output", "--port", "{port}"},
                    2,
                    "Не заданы параметры: --output"}),
    [](const auto& info) { return std::string(info.param.name); });

// The window's checks of a write, with the window's messages, in the window's order.
INSTANTIATE_TEST_SUITE_P(
    WriteChecks, Refused,
    ::testing::Values(
        // Range 0 is -50 to +50.
        RefusedCase{"UpperNotANumber", Write("0", "5O", "0", "0", "0"), 3, texts::BadUpper},
        RefusedCase{"UpperFirst", Write("0", "x", "y", "z", "0"), 3, texts::BadUpper},
        RefusedCase{"UpperAboveMax", Write("0", "50.01", "0", "0", "0"), 3, texts::UpperOutOfRange},
        RefusedCase{"UpperBelowMin", Write("0", "-51", "-52", "0", "0"), 3, texts::UpperOutOfRange},
        RefusedCase{"LowerNotANumber", Write("0", "50", "", "0", "0"), 3, texts::BadLower},
        RefusedCase{"LowerAboveUpperWithAComma", Write("0", "10", "10,5", "0", "0"), 3,
                    texts::LowerOutOfRange},
        RefusedCase{"LowerBelowMin", Write("0", "10", "-50.5", "0", "0"), 3,
                    texts::LowerOutOfRange},
        RefusedCase{"LevelNotANumber", Write("0", "50", "-50", "1e", "0"), 3, texts::BadBreakLevel},
        RefusedCase{"LevelAbove120", Write("0", "50", "-50", "120.1", "0"), 3,
                    texts::BreakLevelOutOfRange},
        RefusedCase{"LevelBelow0", Write("0", "50", "-50", "-0.1", "0"), 3,
                    texts::BreakLevelOutOfRange},
        RefusedCase{"RangeOutsideTable", Write("26", "50", "-50", "0", "0"), 3,
                    "Неверно задано значение --range: \"26\" (допустимо от 0 до 25)"},
        RefusedCase{"OutputOutsideList", Write("0", "50", "-50", "0", "3"), 3,
                    "Неверно задано значение --output: \"3\" (допустимо 0, 1 или 2)"}),
    [](const auto& info) { return std::string(info.param.name); });

const Args WriteProfile{"write", "--port", "{port}", "--profile", "{profile}"};

// A profile that cannot be read, or holds what a write cannot take, names the key.
INSTANTIATE_TEST_SUITE_P(
    ProfileChecks, Refused,
    ::testing::Values(
        RefusedCase{"NoFile", WriteProfile, 1, "Не удалось прочитать файл профиля: {profile}"},
        RefusedCase{"NoKey", WriteProfile, 3, "{profile}: нет ключа Lower", ProfileWith("Lower=")},
        RefusedCase{"RangeOutside", WriteProfile, 3,
                    "{profile}: неверное значение ключа RangeIndex: \"26\"",
                    ProfileWith("rangeindex=", "RangeIndex=26\n")},
        RefusedCase{"RangeNotDecimal", WriteProfile, 3,
                    "{profile}: неверное значение ключа RangeIndex: \"0x1\"",
                    ProfileWith("rangeindex=", "RangeIndex=0x1\n")},
        RefusedCase{"UpperNotANumber", WriteProfile, 3,
                    "{profile}: неверное значение ключа Upper: \"fifty\"",
                    ProfileWith("Upper=", "Upper=fifty\n")},
        RefusedCase{"LevelEmpty", WriteProfile, 3,
                    "{profile}: неверное значение ключа BreakPercent: \"\"",
                    ProfileWith("BreakPercent=", "BreakPercent=\n")},
        RefusedCase{"OutputOutside", WriteProfile, 3,
                    "{profile}: неверное значение ключа OutputType: \"3\"",
                    ProfileWith("OutputType=", "OutputType=3\n")},
        // Well-formed but outside the sensor range: the window's own message.
        RefusedCase{"UpperOutOfRange", WriteProfile, 3, texts::UpperOutOfRange,
                    ProfileWith("Upper=", "Upper=60\n")}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace cli
