// The order ports are listed in, and how the Windows list is put together from the registry's
// ports and the setup class's devices.
#include "serial/port_order.h"
#include "serial/windows_port_list.h"

#include <gtest/gtest.h>

namespace {

struct OrderCase {
    const char* a;
    const char* b;
    bool less;
};

TEST(PortOrder, NamesCompareAsPeopleCount) {
    const OrderCase cases[] = {
        {"COM2", "COM10", true},
        {"COM10", "COM2", false},
        {"COM9", "COM10", true},
        {"com3", "COM4", true},
        {"COM3", "com3", true},
        {"com3", "COM3", false}, // equal but for case: fixed
        {"COM7", "COM007", false},
        {"COM1", "COM1", false},
        {"COM", "COM1", true},
        {"ttyUSB9", "ttyUSB10", true},
        {"COM100", "COM99", false},
        {"/dev/pts/3", "COM1", true},
        {"COM12345678901234567890", "COM12345678901234567891", true},
    };
    for (const OrderCase& c : cases)
        EXPECT_EQ(serial::PortNameLess(c.a, c.b), c.less) << c.a << " < " << c.b;
}

TEST(WindowsPortList, FriendlyNamesAndRememberedAdaptersJoinTheRegistrysPorts) {
    using serial::detail::PortDevice;
    const std::vector<std::string> registry{"COM10", "COM1", "COM3"};
    const std::vector<PortDevice> present{{"com3", "USB Serial Port (COM3)"},
                                          {"COM1", "Communications Port (COM1)"}};
    const std::vector<PortDevice> installed{{"COM1", "Communications Port (COM1)"},
                                            {"COM3", "USB Serial Port (COM3)"},
                                            {"COM4", "Prolific USB-to-Serial Comm Port (COM4)"},
                                            {"com10", "stale entry of a renamed port"}};
    std::string got;
    for (const serial::TComPortInfo& p :
         serial::detail::WindowsPortList(registry, present, installed))
        got += p.Name + "|" + p.Device + "|" + (p.Connected ? "on" : "off") + "|" + p.FriendlyName +
               "\n";
    EXPECT_EQ(got, "COM1|\\\\.\\COM1|on|Communications Port (COM1)\n"
                   "COM3|\\\\.\\COM3|on|USB Serial Port (COM3)\n"
                   "COM4|\\\\.\\COM4|off|Prolific USB-to-Serial Comm Port (COM4)\n"
                   "COM10|\\\\.\\COM10|on|\n");
}

} // namespace
