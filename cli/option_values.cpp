#include "cli/option_values.h"

#include "cli/cli_texts.h"
#include "cli/cli_ui_services.h"
#include "cli/command_error.h"
#include "protocol/engine_texts.h"
#include "protocol/number_text.h"

#include <string_view>

namespace cli {
namespace {

[[noreturn]] void Refuse(const char* name, const std::string& text, const char* limits = "") {
    throw CommandError(ExitStatus::InvalidValue,
                       std::string(texts::BadValue) + name + ": \"" + text + "\"" + limits);
}

std::optional<int> Digits(const std::string& text) {
    if (text.empty() || text.size() > 9) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

int IndexOption(const char* name, const std::string& text, int last, const char* limits) {
    const auto value = Digits(text);
    if (!value || *value > last) {
        Refuse(name, text, limits);
    }
    return *value;
}

int CountOption(const char* name, const std::string& text, int least) {
    const auto value = Digits(text);
    if (!value || *value < least) {
        Refuse(name, text);
    }
    return *value;
}

std::string NumberOption(const char* name, const std::string& text) {
    const std::string withPoint = WithDecimalPoint(text);
    if (!protocol::ParseNumber(withPoint, '.')) {
        Refuse(name, text);
    }
    return withPoint;
}

const std::string& RequiredOption(const char* name, const std::optional<std::string>& value) {
    if (!value) {
        throw CommandError(ExitStatus::Usage, std::string(texts::MissingOptions) + name);
    }
    return *value;
}

std::optional<Reading> ReadMeasuredValue(Session& session, Pace pace) {
    const TransactionResult result = session.Run(
        [](protocol::ExchangeEngine& engine) { engine.ButtonTempClick(); }, pace, phases::Measure);
    return result.succeeded ? ReadingOf(session.View().MeasuredValueText()) : std::nullopt;
}

std::optional<Reading> ReadingOf(const std::string& text) {
    for (std::string_view label : {protocol::texts::Temperature, protocol::texts::Resistance}) {
        if (text.starts_with(label)) {
            return Reading{std::string(label), text.substr(label.size())};
        }
    }
    return std::nullopt;
}

} // namespace cli
