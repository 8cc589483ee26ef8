// A system error as the explainer must tell it, for the table each backend's test gives of its
// own system's errors.
#pragma once

#include "serial/com_error.h"
#include "serial/port_error_explainer.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace lirat_test {

struct ErrorRow {
    const char* name;
    int code;
    int osError;
    serial::PortFault fault;
    std::vector<std::string> says; // fragments the explanation holds
};

inline void PrintTo(const ErrorRow& row, std::ostream* os) {
    *os << row.name;
}

// The row's fault and fragments, and the whole text: the explanation above the component's own.
inline void ExpectExplained(const ErrorRow& row, const std::string& port) {
    const serial::EComPort error(row.code, row.osError);
    const serial::PortErrorExplanation told = serial::ExplainPortError(error, port);
    EXPECT_EQ(told.fault, row.fault);
    for (const std::string& fragment : row.says)
        EXPECT_NE(told.text.find(fragment), std::string::npos) << told.text;
    EXPECT_EQ(serial::ExplainedPortErrorText(error, port), told.text + "\n" + error.what());
}

} // namespace lirat_test
