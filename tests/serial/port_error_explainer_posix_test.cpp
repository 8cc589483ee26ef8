// The port's errors told to a technician on a POSIX system: each system error as the explainer
// reads it, and the cases that need the system's own facts (the device's group, the program that
// holds it, the ports that are plugged in) made for real: an ordinary user refused the device, a
// second process holding it, a mapped adapter that is not plugged in.
#include "serial/port_error_explainer.h"

#include "serial/com_port.h"
#include "serial/port_names.h"
#include "serial/posix_extras.h"

#include "tests/serial/holder_process.h"
#include "tests/serial/pty_line.h"
#include "tests/serial/system_error_rows.h"
#include "tests/serial/temp_folder.h"
#include "tests/support/unprivileged.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace serial;
namespace fs = std::filesystem;
using lirat_test::ErrorRow;
using lirat_test::ExpectExplained;
using serial::testing::TempFolder;

class SystemErrors : public ::testing::TestWithParam<ErrorRow> {};

TEST_P(SystemErrors, AreExplainedAboveTheComponentsOwnText) {
    ExpectExplained(GetParam(), "/dev/lirat5-absent");
}

INSTANTIATE_TEST_SUITE_P(
    Posix, SystemErrors,
    ::testing::Values(
        ErrorRow{"open_eacces",
                 1,
                 EACCES,
                 PortFault::NoPermission,
                 {"Нет прав на доступ к порту /dev/lirat5-absent", "системная ошибка EACCES"}},
        ErrorRow{"open_ebusy",
                 1,
                 EBUSY,
                 PortFault::Busy,
                 {"занят другой программой", "EBUSY", "Закройте её и повторите"}},
        ErrorRow{"open_enoent",
                 1,
                 ENOENT,
                 PortFault::Missing,
                 {"не найден", "ENOENT", "адаптер не подключён"}},
        ErrorRow{"open_enxio", 1, ENXIO, PortFault::Missing, {"ENXIO"}},
        // The same errors once the device was open: it went away.
        ErrorRow{"queue_eio",
                 10,
                 EIO,
                 PortFault::Disconnected,
                 {"Связь с портом /dev/lirat5-absent прервалась", "EIO",
                  "адаптер или кабель отсоединён", "Проверьте подключение и повторите"}},
        ErrorRow{"write_enodev", 2, ENODEV, PortFault::Disconnected, {"ENODEV"}},
        ErrorRow{"setup_einval",
                 7,
                 EINVAL,
                 PortFault::Other,
                 {"Ошибка порта /dev/lirat5-absent", "EINVAL"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PortErrorExplainer, TheComponentsOwnRefusalsHaveNothingAdded) {
    const EComPort refused(CError_ConnChangeProp);
    EXPECT_TRUE(ExplainPortError(refused, "COM1").text.empty());
    EXPECT_EQ(ExplainedPortErrorText(refused, "COM1"), "Cannot set property while connected");
}

// ---- the system's own facts ----

// Opens the port as an ordinary user would; the explanation, or what went wrong instead.
std::string OpenAsUnprivilegedUser(const std::string& device) {
    return testing_support::AsUnprivilegedUser([&device]() -> std::string {
        TComPort port;
        port.SetEvents({});
        port.SetPort(device);
        try {
            port.Open();
            return "opened";
        } catch (const EComPort& e) {
            if (e.WinErrorCode() != EACCES)
                return std::string("not EACCES: ") + e.what();
            const std::string user = ::getpwuid(::geteuid())->pw_name;
            const PortErrorExplanation told = ExplainPortError(e, device);
            return told.fault == PortFault::NoPermission ? user + "|" + told.text : told.text;
        }
    });
}

TEST(PortErrorFacts, AnOrdinaryUserOutsideTheDevicesGroupIsToldTheCommand) {
    lirat_test::PtyLine pty;
    const group* dialout = ::getgrnam("dialout");
    if (!dialout)
        GTEST_SKIP() << "no dialout group on this system";
    // The device as a distribution gives an adapter: the group may read and write, no one else.
    ASSERT_EQ(::chown(pty.DevicePath().c_str(), ::getuid(), dialout->gr_gid), 0);
    ASSERT_EQ(::chmod(pty.DevicePath().c_str(), 0060), 0);
    const std::string result = OpenAsUnprivilegedUser(pty.DevicePath());
    const auto bar = result.find('|');
    ASSERT_NE(bar, std::string::npos) << result;
    const std::string user = result.substr(0, bar);
    const std::string text = result.substr(bar + 1);
    EXPECT_NE(text.find("системная ошибка EACCES"), std::string::npos) << text;
    EXPECT_NE(text.find("Устройство принадлежит группе dialout"), std::string::npos) << text;
    EXPECT_NE(text.find("\nsudo usermod -aG dialout " + user + "\n"), std::string::npos) << text;
    EXPECT_NE(text.find("войдите в систему заново"), std::string::npos) << text;
}

TEST(PortErrorFacts, ABusyPortNamesTheProgramAndProcessHoldingIt) {
    lirat_test::PtyLine pty;
    const std::string device = fs::canonical(pty.DevicePath()).string();
    lirat_test::Holder holder(
        [&device] { return ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK) >= 0; });
    ASSERT_TRUE(holder.Ok());
    const std::string text = ExplainPortError(EComPort(CError_OpenFailed, EBUSY), device).text;
    const std::string name = backend::posix::ProcessName(holder.Pid());
    ASSERT_FALSE(name.empty());
    EXPECT_NE(text.find("Порт держит " + name + " (процесс " + std::to_string(holder.Pid()) + ")"),
              std::string::npos)
        << text;
}

TEST(PortErrorFacts, AMissingAdapterIsNamedWithThePortsThatArePluggedIn) {
    TempFolder home;
    // A user whose configuration lives under a Cyrillic folder name.
    const fs::path mappings = home.Path() / "Настройки пользователя" / "ports";
    SetPortMappingFolder(mappings.string());
    lirat_test::PtyLine plugged;
    ASSERT_EQ(RegisterPortName("COM7", plugged.DevicePath()), 0);
    const std::string adapter = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A5XK3RJT-if00-port0";
    ASSERT_EQ(RegisterPortName("COM3", adapter), 0);
    TComPort port;
    port.SetEvents({});
    port.SetPort("COM3");
    std::string text;
    try {
        port.Open();
        ADD_FAILURE() << "an adapter that is not there was opened";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.WinErrorCode(), ENOENT);
        text = ExplainedPortErrorText(e, "COM3");
    }
    SetPortMappingFolder({});
    EXPECT_EQ(text.rfind("Порт COM3 (" + adapter + ") не найден (системная ошибка ENOENT)", 0), 0u)
        << text;
    const auto list = text.find("\nПодключённые порты: ");
    ASSERT_NE(list, std::string::npos) << text;
    EXPECT_NE(text.find("COM7", list), std::string::npos) << text;
    EXPECT_EQ(text.find("COM3", list), std::string::npos) << "an unplugged adapter is offered";
    EXPECT_NE(
        text.find("\nUnable to open com port (win error code: " + std::to_string(ENOENT) + ")"),
        std::string::npos)
        << text;
}

} // namespace
