#pragma once
// How an error reads to the user. The exchange engine and the windows' error display see errors
// only as std::exception; the application tells them about the errors of its serial port
// (comport_error_explainer.h), whose explanation in the user's language goes above the error's
// own text.

#include <exception>
#include <functional>
#include <string>

namespace protocol {

struct ErrorExplanation {
    // In the user's language, one or more lines; empty when there is nothing to add.
    std::string explanation;
    // The error's own text, shown below the explanation.
    std::string detail;
    // The device went away in the middle of an exchange (the cable or adapter was pulled out).
    bool connectionLost = false;
};

using ErrorExplainer = std::function<ErrorExplanation(const std::exception&)>;

// An error as it reads by itself: its own text and nothing above it.
inline ErrorExplanation PlainExplanation(const std::exception& error) {
    return {std::string(), error.what(), false};
}

} // namespace protocol
