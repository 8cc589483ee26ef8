// The order ports are listed in: as people count.
#include "serial/port_order.h"

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

} // namespace
