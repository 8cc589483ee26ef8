// The port's errors told to a technician on Windows: each system error as the explainer reads it
// (access denied means another program at the open, a removed adapter afterwards), and a port
// that does not exist, opened for real.
#include "serial/port_error_explainer.h"

#include "serial/com_port.h"

#include "tests/serial/far_end.h"
#include "tests/serial/system_error_rows.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include <winerror.h>

namespace {

using namespace serial;
using lirat_test::ErrorRow;
using lirat_test::ExpectExplained;

class SystemErrors : public ::testing::TestWithParam<ErrorRow> {};

TEST_P(SystemErrors, AreExplainedAboveTheComponentsOwnText) {
    ExpectExplained(GetParam(), "COM7");
}

const char* kGone = "Связь с портом COM7 прервалась";

INSTANTIATE_TEST_SUITE_P(
    Win32, SystemErrors,
    ::testing::Values(
        // Windows gives a COM port to one program at a time: access denied at the open.
        ErrorRow{"open_access_denied",
                 1,
                 ERROR_ACCESS_DENIED,
                 PortFault::Busy,
                 {"Порт COM7 занят другой программой", "системная ошибка ERROR_ACCESS_DENIED",
                  "Windows не даёт открыть порт", "Закройте её и повторите"}},
        ErrorRow{"open_sharing_violation",
                 1,
                 ERROR_SHARING_VIOLATION,
                 PortFault::Busy,
                 {"ERROR_SHARING_VIOLATION"}},
        ErrorRow{"open_file_not_found",
                 1,
                 ERROR_FILE_NOT_FOUND,
                 PortFault::Missing,
                 {"Порт COM7 не найден (системная ошибка ERROR_FILE_NOT_FOUND)",
                  "адаптер не подключён"}},
        // Once open, access denied is one of the errors a removed adapter gives.
        ErrorRow{"queue_access_denied",
                 10,
                 ERROR_ACCESS_DENIED,
                 PortFault::Disconnected,
                 {kGone, "ERROR_ACCESS_DENIED", "адаптер или кабель отсоединён"}},
        ErrorRow{"queue_bad_command",
                 10,
                 ERROR_BAD_COMMAND,
                 PortFault::Disconnected,
                 {kGone, "ERROR_BAD_COMMAND"}},
        ErrorRow{"read_aborted",
                 3,
                 ERROR_OPERATION_ABORTED,
                 PortFault::Disconnected,
                 {kGone, "ERROR_OPERATION_ABORTED"}},
        ErrorRow{"closed_port",
                 10,
                 ERROR_INVALID_HANDLE,
                 PortFault::Other,
                 {"Ошибка порта COM7, системная ошибка ERROR_INVALID_HANDLE."}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PortErrorExplainer, APortThatDoesNotExistIsMissing) {
    TComPort port;
    port.SetEvents({});
    port.SetPort(lirat_test::MissingPortName());
    try {
        port.Open();
        FAIL() << "a port that does not exist was opened";
    } catch (const EComPort& e) {
        const PortErrorExplanation told = ExplainPortError(e, port.Port());
        EXPECT_EQ(told.fault, PortFault::Missing) << e.what();
        EXPECT_EQ(told.text.rfind("Порт " + port.Port() + " не найден", 0), 0u) << told.text;
    }
}

} // namespace
