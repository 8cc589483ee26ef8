// COM numbers that follow the adapter, and the list of ports, over a fake device tree: the
// udev links of /dev/serial, the device nodes and the sysfs attributes a machine would have,
// below a root whose path holds Cyrillic letters, with the port-name folder beside them.
#include "serial/com_numbering.h"
#include "serial/com_port.h"
#include "serial/device_tree.h"
#include "serial/port_listing.h"
#include "serial/port_names.h"

#include "tests/serial/pty_line.h"
#include "tests/support/unprivileged.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace serial;
using backend::posix::NumberNewAdapters;

struct UsbAdapter {
    std::string node;   // "ttyUSB0"
    std::string byId;   // by-id name, as udev makes it from vendor, model and serial
    std::string socket; // the USB port path, "2" or "1.3"
    std::string serial; // empty: the adapter has none
    std::string manufacturer = "FTDI";
    std::string product = "FT232R USB UART";
    std::string vendorId = "0403";
    std::string productId = "6001";
};

class FakeDeviceTree {
public:
    FakeDeviceTree() {
        std::random_device random;
        root_ = fs::temp_directory_path() / ("lirat5-дерево-" + std::to_string(random()));
        fs::create_directories(root_ / "dev/serial/by-id");
        fs::create_directories(root_ / "dev/serial/by-path");
        fs::create_directories(root_ / "sys/class/tty");
        fs::create_directories(root_ / "sys/devices");
        backend::posix::SetDeviceTreeRoot(root_.string());
        SetPortMappingFolder(Folder().string());
    }
    ~FakeDeviceTree() {
        backend::posix::SetDeviceTreeRoot("");
        SetPortMappingFolder("");
        std::error_code ignored;
        fs::permissions(Folder(), fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(root_, ignored);
    }
    FakeDeviceTree(const FakeDeviceTree&) = delete;
    FakeDeviceTree& operator=(const FakeDeviceTree&) = delete;

    fs::path Folder() const { return root_ / "Пётр/.config/lirat5/ports"; }
    std::string ById(const std::string& name) const {
        return (root_ / "dev/serial/by-id" / name).string();
    }
    std::string Dev(const std::string& node) const { return (root_ / "dev" / node).string(); }
    std::string ByPath(const UsbAdapter& a, bool v2 = false) const {
        return (root_ / "dev/serial/by-path" /
                ("pci-0000:00:14.0-usb" + std::string(v2 ? "v2" : "") + "-0:" + a.socket +
                 ":1.0-port0"))
            .string();
    }

    // The adapter's device node (a link to `device`, a pseudo-terminal, when one is given),
    // its udev links and its sysfs entries, as the kernel and udev make them on plugging in.
    void Plug(const UsbAdapter& a, const std::string& device = {}) {
        const fs::path usb = root_ / "sys/devices/pci0000:00/0000:00:14.0/usb1" / ("1-" + a.socket);
        const fs::path port = usb / ("1-" + a.socket + ":1.0") / a.node;
        fs::create_directories(port);
        Write(usb / "idVendor", a.vendorId);
        Write(usb / "idProduct", a.productId);
        Write(usb / "manufacturer", a.manufacturer);
        Write(usb / "product", a.product);
        if (!a.serial.empty())
            Write(usb / "serial", a.serial);
        fs::create_directories(root_ / "sys/class/tty" / a.node);
        fs::create_symlink(port, root_ / "sys/class/tty" / a.node / "device");
        if (device.empty())
            Write(Dev(a.node), "");
        else
            fs::create_symlink(device, Dev(a.node));
        // Two adapters alike without a serial number have one by-id name: udev gives the link
        // to the one that came last.
        fs::remove(ById(a.byId));
        fs::create_symlink("../../" + a.node, ById(a.byId));
        fs::create_symlink("../../" + a.node, ByPath(a));
        fs::create_symlink("../../" + a.node, ByPath(a, true));
    }
    void Unplug(const UsbAdapter& a) {
        fs::remove(ById(a.byId));
        fs::remove(ByPath(a));
        fs::remove(ByPath(a, true));
        fs::remove(Dev(a.node));
        fs::remove_all(root_ / "sys/class/tty" / a.node);
        fs::remove_all(root_ / "sys/devices/pci0000:00/0000:00:14.0/usb1" / ("1-" + a.socket));
    }
    // An on-board port as the 8250 driver lists it: type 0 when no UART answered.
    void OnBoard(int index, int type) {
        const std::string node = "ttyS" + std::to_string(index);
        const fs::path device = root_ / "sys/devices/platform/serial8250" / node;
        fs::create_directories(device);
        fs::create_directories(root_ / "sys/class/tty" / node);
        fs::create_symlink(device, root_ / "sys/class/tty" / node / "device");
        Write(root_ / "sys/class/tty" / node / "type", std::to_string(type));
        Write(Dev(node), "");
    }
    void Map(const std::string& name, const std::string& target) {
        fs::create_directories(Folder());
        fs::create_symlink(target, Folder() / name);
    }
    // The folder's names and where each points.
    std::map<std::string, std::string> Mappings() const {
        std::map<std::string, std::string> names;
        std::error_code ec;
        for (fs::directory_iterator it(Folder(), ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (name.front() != '.')
                names[name] = fs::read_symlink(it->path()).string();
        }
        return names;
    }

private:
    static void Write(const fs::path& file, const std::string& text) {
        std::ofstream(file) << text << (text.empty() ? "" : "\n");
    }
    fs::path root_;
};

const UsbAdapter kFtdi{"ttyUSB0", "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "2", "A50285BI"};
const UsbAdapter kProlific{
    "ttyUSB1", "usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0", "3", ""};
const UsbAdapter kCdc{"ttyACM0", "usb-STMicroelectronics_Virtual_COM_Port_3276-if00", "1.4",
                      "3276"};
const UsbAdapter kCh340a{
    "ttyUSB2", "usb-1a86_USB_Serial-if00-port0", "4", "", "", "USB Serial", "1a86", "7523"};
const UsbAdapter kCh340b{
    "ttyUSB10", "usb-1a86_USB_Serial-if00-port0", "5", "", "", "USB Serial", "1a86", "7523"};

// One row: what is plugged in and mapped before the component first looks, and the names it
// must have made by then (with the names that were there).
struct NumberingCase {
    const char* name;
    std::vector<UsbAdapter> adapters;
    std::vector<std::pair<int, int>> onBoard;                // index, type
    std::vector<std::pair<std::string, std::string>> mapped; // name, target ("@x": by-id of x)
    std::map<std::string, std::string> want; // name -> target, "@node" by-id, "%node" by-path
};

class Numbering : public ::testing::TestWithParam<NumberingCase> {};

std::string Target(const FakeDeviceTree& tree, const std::vector<UsbAdapter>& adapters,
                   const std::string& described) {
    if (described.empty() || (described[0] != '@' && described[0] != '%'))
        return described;
    for (const UsbAdapter& a : adapters)
        if (a.node == described.substr(1))
            return described[0] == '@' ? tree.ById(a.byId) : tree.ByPath(a);
    return "unknown adapter " + described;
}

TEST_P(Numbering, GivesEachNewAdapterTheLowestFreeNumber) {
    const NumberingCase& c = GetParam();
    FakeDeviceTree tree;
    for (const UsbAdapter& a : c.adapters)
        tree.Plug(a);
    for (auto [index, type] : c.onBoard)
        tree.OnBoard(index, type);
    for (const auto& [name, target] : c.mapped)
        tree.Map(name, Target(tree, c.adapters, target));
    NumberNewAdapters();
    std::map<std::string, std::string> want;
    for (const auto& [name, target] : c.want)
        want[name] = Target(tree, c.adapters, target);
    EXPECT_EQ(tree.Mappings(), want);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Numbering,
    ::testing::Values(NumberingCase{"first_sight_is_COM3", {kFtdi}, {}, {}, {{"COM3", "@ttyUSB0"}}},
                      NumberingCase{"new_ones_in_node_order_ttyUSB2_before_ttyUSB10",
                                    {kCh340b, kProlific, kCh340a, kCdc},
                                    {},
                                    {},
                                    {{"COM3", "@ttyACM0"},
                                     {"COM4", "%ttyUSB1"},
                                     {"COM5", "%ttyUSB2"},
                                     {"COM6", "%ttyUSB10"}}},
                      NumberingCase{"skips_names_taken_by_hand_and_absent_adapters",
                                    {kFtdi},
                                    {},
                                    {{"com3", "/dev/serial/by-id/usb-gone-if00-port0"},
                                     {"COM4", "/dev/pts/77"}},
                                    {{"com3", "/dev/serial/by-id/usb-gone-if00-port0"},
                                     {"COM4", "/dev/pts/77"},
                                     {"COM5", "@ttyUSB0"}}},
                      NumberingCase{"on_board_port_with_hardware_holds_its_number",
                                    {kFtdi},
                                    {{0, 4}, {1, 4}, {2, 4}, {3, 0}},
                                    {},
                                    {{"COM4", "@ttyUSB0"}}},
                      NumberingCase{"laptop_ports_without_uart_hold_nothing",
                                    {kFtdi},
                                    {{0, 4}, {2, 0}, {3, 0}, {31, 0}},
                                    {},
                                    {{"COM3", "@ttyUSB0"}}},
                      NumberingCase{"a_hand_made_link_to_the_adapter_is_its_name",
                                    {kFtdi, kProlific},
                                    {},
                                    {{"lirat", "@ttyUSB0"}, {"COM9", "%ttyUSB1"}},
                                    {{"lirat", "@ttyUSB0"}, {"COM9", "%ttyUSB1"}}},
                      NumberingCase{"a_link_to_the_node_does_not_follow_it",
                                    {kFtdi},
                                    {},
                                    {{"COM7", "/dev/ttyUSB0"}},
                                    {{"COM7", "/dev/ttyUSB0"}, {"COM3", "@ttyUSB0"}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NumberingOverTime, TheAdapterKeepsItsNumberAfterReplugInAnotherNode) {
    FakeDeviceTree tree;
    lirat_test::PtyLine first;
    lirat_test::PtyLine second;
    tree.Plug(kFtdi, first.DevicePath());

    // A name looked up before any listing numbers the adapter first.
    TComPort port;
    port.SetEvents({});
    port.SetPort("COM3");
    port.Open();
    EXPECT_EQ(port.WriteStr("$8\r\n"), 4);
    EXPECT_EQ(first.Receive(4, 3000), "$8\r\n");
    port.Close();

    // Pulled out while another adapter took the socket, and put back into another socket:
    // the kernel gives it ttyUSB1 now.
    tree.Unplug(kFtdi);
    tree.Plug(kProlific);
    UsbAdapter moved = kFtdi;
    moved.node = "ttyUSB7";
    moved.socket = "1.2";
    tree.Plug(moved, second.DevicePath());
    port.Open();
    EXPECT_EQ(port.WriteStr("#0\r\n"), 4);
    EXPECT_EQ(second.Receive(4, 3000), "#0\r\n");
    port.Close();
    ListComPorts();
    EXPECT_EQ(tree.Mappings(),
              (std::map<std::string, std::string>{{"COM3", tree.ById(kFtdi.byId)},
                                                  {"COM4", tree.ByPath(kProlific)}}));
}

TEST(NumberingOverTime, ProgramsStartedTogetherGiveEachAdapterOneNumber) {
    FakeDeviceTree tree;
    const std::vector<UsbAdapter> adapters{kFtdi, kProlific, kCdc, kCh340a};
    for (const UsbAdapter& a : adapters)
        tree.Plug(a);
    // The children wait at a pipe until all of them are there, so they look at once.
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    std::vector<pid_t> children;
    for (int i = 0; i < 8; ++i) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(start[1]);
            char byte;
            while (::read(start[0], &byte, 1) < 0 && errno == EINTR) {
            }
            NumberNewAdapters();
            ::_exit(0);
        }
        children.push_back(child);
    }
    ::close(start[0]);
    ::close(start[1]);
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(tree.Mappings(),
              (std::map<std::string, std::string>{{"COM3", tree.ById(kCdc.byId)},
                                                  {"COM4", tree.ById(kFtdi.byId)},
                                                  {"COM5", tree.ByPath(kProlific)},
                                                  {"COM6", tree.ByPath(kCh340a)}}));
}

TEST(NumberingOverTime, AProgramStoppedHoldingTheLockHoldsNoOneUp) {
    FakeDeviceTree tree;
    tree.Plug(kFtdi);
    fs::create_directories(tree.Folder());
    const int held = ::open((tree.Folder() / ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    // Gives up after a while (a hang would end the test by its time-out) and numbers nothing.
    NumberNewAdapters();
    EXPECT_TRUE(tree.Mappings().empty());
    ::close(held);
    NumberNewAdapters();
    EXPECT_EQ(tree.Mappings(),
              (std::map<std::string, std::string>{{"COM3", tree.ById(kFtdi.byId)}}));
}

TEST(PortList, CountingOrderWithDevicesStatesAndDescriptions) {
    FakeDeviceTree tree;
    tree.OnBoard(0, 4);
    tree.OnBoard(1, 4);
    tree.OnBoard(4, 0);
    tree.Plug(kFtdi);
    tree.Plug(kCh340a);
    tree.Map("COM10", tree.ById(kFtdi.byId));
    tree.Map("COM3", "/dev/serial/by-id/usb-Silicon_Labs_CP2102_0001-if00-port0");

    std::string got;
    for (const TComPortInfo& p : ListComPorts())
        got += p.Name + "|" + fs::path(p.Device).filename().string() + "|" +
               (p.Connected ? "on" : "off") + (p.OnBoard ? "|on-board|" : "|") + p.Manufacturer +
               "|" + p.Product + "|" + p.SerialNumber + "|" + p.VendorId + ":" + p.ProductId + "\n";
    EXPECT_EQ(got, "COM1|ttyS0|on|on-board||||:\n"
                   "COM2|ttyS1|on|on-board||||:\n"
                   "COM3|usb-Silicon_Labs_CP2102_0001-if00-port0|off||||:\n"
                   "COM4|ttyUSB2|on||USB Serial||1a86:7523\n"
                   "COM10|ttyUSB0|on|FTDI|FT232R USB UART|A50285BI|0403:6001\n");
    // What a scan goes through: the names present now.
    std::vector<std::string> names;
    EnumComPorts(names);
    EXPECT_EQ(names, (std::vector<std::string>{"COM1", "COM10", "COM2", "COM4"}));
}

TEST(PortList, AFolderTheUserCannotWriteLeavesAdaptersUnderTheirTableNames) {
    FakeDeviceTree tree;
    tree.Plug(kFtdi);
    tree.Plug(kCdc);
    fs::create_directories(tree.Folder());
    fs::permissions(tree.Folder(), fs::perms::owner_read | fs::perms::owner_exec |
                                       fs::perms::group_read | fs::perms::group_exec |
                                       fs::perms::others_read | fs::perms::others_exec);
    const std::string listed = testing_support::AsUnprivilegedUser([] {
        std::string text;
        for (const TComPortInfo& p : ListComPorts())
            text += p.Name + "=" + fs::path(p.Device).filename().string() + " ";
        return text;
    });
    EXPECT_EQ(listed, "COM33=ttyUSB0 COM65=ttyACM0 ");
    EXPECT_TRUE(tree.Mappings().empty());
}

} // namespace
