#include "serial/port_listing.h"

#include "serial/com_numbering.h"
#include "serial/device_tree.h"
#include "serial/port_order.h"
#include "serial/port_table.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <system_error>

namespace serial {

namespace fs = std::filesystem;
using namespace backend::posix;

namespace {

std::string Upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool IsOnBoardNode(const std::string& device) {
    const std::string name = fs::path(device).filename().string();
    return name.size() > 4 && name.starts_with("ttyS") &&
           std::all_of(name.begin() + 4, name.end(),
                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

TComPortInfo Present(std::string name, std::string device) {
    TComPortInfo port;
    port.Name = std::move(name);
    port.Device = std::move(device);
    port.Connected = true;
    port.OnBoard = IsOnBoardNode(port.Device);
    if (auto usb = UsbIdentityOf(port.Device)) {
        port.Manufacturer = usb->manufacturer;
        port.Product = usb->product;
        port.SerialNumber = usb->serialNumber;
        port.VendorId = usb->vendorId;
        port.ProductId = usb->productId;
    }
    return port;
}

} // namespace

std::vector<TComPortInfo> ListComPorts() {
    NumberNewAdapters();
    std::vector<TComPortInfo> ports;
    std::set<std::string> names;   // upper case, as the names are matched
    std::set<std::string> reached; // the devices the names listed so far open
    for (const MappedName& entry : MappedNames()) {
        std::error_code ec;
        const fs::path device = fs::canonical(entry.path, ec);
        if (ec) {
            TComPortInfo absent;
            absent.Name = Upper(entry.name);
            absent.Device = entry.target.empty() ? entry.path : entry.target;
            ports.push_back(std::move(absent));
        } else {
            ports.push_back(Present(Upper(entry.name), device.string()));
            reached.insert(device.string());
        }
        names.insert(Upper(entry.name));
    }
    // The table's devices that no name of the folder opens: on-board ports with hardware, and
    // adapters that have no number (no udev links to keep one for, or a folder that cannot be
    // written) under their table name, or under their node's name when that one is taken.
    for (const TableRange& range : kTable) {
        for (int index = 0; index < kRangeSize; ++index) {
            const std::string node = UnderRoot(range.prefix + std::to_string(index));
            std::error_code ec;
            const fs::path device = fs::canonical(node, ec);
            if (ec || reached.count(device.string()))
                continue;
            if (range.first == 1 && !OnBoardPortPresent(index))
                continue;
            std::string name = "COM" + std::to_string(range.first + index);
            if (names.count(name))
                name = device.filename().string();
            ports.push_back(Present(name, device.string()));
            names.insert(Upper(name));
            reached.insert(device.string());
        }
    }
    std::sort(ports.begin(), ports.end(), [](const TComPortInfo& a, const TComPortInfo& b) {
        return PortNameLess(a.Name, b.Name);
    });
    return ports;
}

} // namespace serial
