// What `ports` prints of each port, and the order in which scans and `--port all` go through
// the ports. Built for both platforms.
#include "cli/port_list_text.h"
#include "cli/port_probe.h"
#include "serial/port_order.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace cli {
namespace {

serial::TComPortInfo Usb(std::string manufacturer, std::string product, std::string serial) {
    serial::TComPortInfo port;
    port.Name = "COM3";
    port.Device = "/dev/ttyUSB0";
    port.Connected = true;
    port.Manufacturer = std::move(manufacturer);
    port.Product = std::move(product);
    port.SerialNumber = std::move(serial);
    port.VendorId = "0403";
    port.ProductId = "6001";
    return port;
}

TEST(PortsList, DescriptionSaysWhatTheAdapterIs) {
    serial::TComPortInfo onBoard;
    onBoard.OnBoard = true;
    serial::TComPortInfo windows;
    windows.FriendlyName = "USB Serial Port (COM3)";
    const std::vector<std::pair<serial::TComPortInfo, std::string>> cases{
        {Usb("FTDI", "FT232R USB UART", "A50285BI"),
         "FTDI FT232R USB UART (0403:6001), серийный номер A50285BI"},
        {Usb("", "USB Serial", ""), "USB Serial (0403:6001), без серийного номера"},
        {Usb("", "", "X1"), "(0403:6001), серийный номер X1"},
        {onBoard, "встроенный порт"},
        {windows, "USB Serial Port (COM3)"},
        {serial::TComPortInfo{}, ""},
    };
    for (const auto& [port, want] : cases)
        EXPECT_EQ(PortDescription(port), want);
}

TEST(PortsList, TableColumnsLineUpWithCyrillicTexts) {
    serial::TComPortInfo com1;
    com1.Name = "COM1";
    com1.Device = "/dev/ttyS0";
    com1.Connected = true;
    com1.OnBoard = true;
    serial::TComPortInfo gone;
    gone.Name = "COM10";
    gone.Device = "/dev/serial/by-id/usb-1a86_USB_Serial-if00-port0";
    EXPECT_EQ(PortsTable({com1, Usb("FTDI", "FT232R", "A5"), gone}),
              "Порт   Устройство                                        Состояние     Описание\n"
              "COM1   /dev/ttyS0                                        подключён     встроенный "
              "порт\n"
              "COM3   /dev/ttyUSB0                                      подключён     FTDI FT232R "
              "(0403:6001), серийный номер A5\n"
              "COM10  /dev/serial/by-id/usb-1a86_USB_Serial-if00-port0  не подключён\n");
}

TEST(PortsList, ScansGoThroughThePortsInCountingOrder) {
    const std::vector<std::string> ports = PortsToScan({"COM10", "COM2", "all", "COM9"});
    EXPECT_TRUE(std::is_sorted(ports.begin(), ports.end(), serial::PortNameLess));
    for (const char* named : {"COM10", "COM2", "COM9"})
        EXPECT_EQ(std::count(ports.begin(), ports.end(), named), 1) << named;
    EXPECT_EQ(std::count(ports.begin(), ports.end(), "all"), 0);
}

} // namespace
} // namespace cli
