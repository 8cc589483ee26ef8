#pragma once
// Accepted values of a configuration write and the five commands that reach the wire for them:
// one table for the engine over the scripted port and over the line to the simulator.

#include "tests/support/plain_engine_view.h"

#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace protocol_test {

struct WriteCase {
    const char* name;
    int type, rangeItem, outputType;
    std::string upper, lower, level;
    char separator;   // the system's
    std::string wire; // the commands in the order sent, "|" between them

    // The values typed and chosen in the window.
    void EnterInto(testing_support::PlainEngineView& view) const {
        view.typeItem = type;
        view.rangeItem = rangeItem;
        view.outputType = outputType;
        view.upperText = upper;
        view.lowerText = lower;
        view.breakLevelText = level;
    }

    std::vector<std::string> Commands() const {
        std::vector<std::string> commands;
        std::istringstream in(wire);
        for (std::string command; std::getline(in, command, '|');)
            commands.push_back(command);
        return commands;
    }
};

// Test names say which case failed; the case itself prints as its name.
inline void PrintTo(const WriteCase& c, std::ostream* os) {
    *os << c.name;
}

// "$G" keeps the trailing blank of its pattern; a system separator other than "." still sends
// points.
inline const WriteCase kWriteCases[] = {
    {"Edges", 2, 1, 2, "100", "-50", "50", '.', "$707|$3-050.0|$G000.5 |$9100.0|$K2"},
    {"Fractions", 4, 0, 1, "12.5", "12.5", "12.5", '.', "$70A|$3012.5|$G000.125 |$912.5|$K1"},
    {"FullLevelAndLimits", 9, 4, 0, "5000", "0", "100", '.', "$719|$3000.0|$G001.0 |$95000.0|$K0"},
    {"EndsOfTheLevel", 0, 0, 0, "50", "-50", "120", '.', "$700|$3-050.0|$G001.2 |$950.0|$K0"},
    {"ZeroLevel", 0, 0, 0, "50", "-50", "0", '.', "$700|$3-050.0|$G000.0 |$950.0|$K0"},
    {"CommaSystem", 2, 1, 2, "12,5", "-12,25", "12,5", ',', "$707|$3-012.25|$G000.125 |$912.5|$K2"},
    {"SlashSystem", 2, 1, 2, "12/5", "-12/25", "12/5", '/', "$707|$3-012.25|$G000.125 |$912.5|$K2"},
};

} // namespace protocol_test
