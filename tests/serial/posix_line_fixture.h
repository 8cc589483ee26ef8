// One port on a pseudo-terminal, either as it is or behind the UART model (uart_model.h), for the
// tests that run the same rows over both.
#pragma once

#include "serial/com_port.h"
#include "tests/serial/pty_line.h"
#include "tests/serial/uart_model.h"

#include <chrono>
#include <memory>
#include <ostream>
#include <string>

namespace lirat_test {

enum class LineKind { Pty, Uart };

inline const char* LineName(LineKind kind) {
    return kind == LineKind::Pty ? "pty" : "uart";
}

struct ModelledLine {
    explicit ModelledLine(LineKind kind)
        : model(kind == LineKind::Uart ? std::make_unique<UartModel>(pty.DevicePath()) : nullptr) {
        port.SetPort(pty.DevicePath());
        port.SetEvents({});
    }
    // Members go in reverse order: the port closes before the model leaves.
    PtyLine pty;
    std::unique_ptr<UartModel> model;
    serial::TComPort port;
};

// A row prints as its name in test output, not as a dump of its bytes. The test file's own
// namespace takes it in with `using lirat_test::PrintTo;`, where the printer looks for it.
template <class Row>
requires requires(const Row& row) {
    row.name;
}
void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

inline long long MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

} // namespace lirat_test
