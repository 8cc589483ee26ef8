#pragma once
// The values of options that the commands convert themselves; a value that does not convert
// throws CommandError (InvalidValue) naming the option.

#include "cli/session.h"

#include <optional>
#include <string>

namespace cli {

// A whole number from 0 to `last`, written in decimal digits.
int IndexOption(const char* name, const std::string& text, int last, const char* limits);
// A whole number of at least 0 (at most nine digits).
int CountOption(const char* name, const std::string& text, int least);
// A number with a point or a comma, as a text with a point.
std::string NumberOption(const char* name, const std::string& text);
// Throws CommandError (Usage) when the option is not set.
const std::string& RequiredOption(const char* name, const std::optional<std::string>& value);

// The measured value read with "#0": the window's read-out split into its label and number.
struct Reading {
    std::string label; // "Температура (град. С): " or "Сопротивление (Ом): "
    std::string value; // "23.4"
};
std::optional<Reading> ReadMeasuredValue(Session& session, Pace pace);
// The read-out the engine showed, split; nullopt when it is not one of the two labels.
std::optional<Reading> ReadingOf(const std::string& text);

} // namespace cli
