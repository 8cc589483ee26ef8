#include "cli/port_list_text.h"

#include "cli/cli_texts.h"
#include "cli/report_text.h"

#include <algorithm>
#include <array>

namespace cli {

namespace {

// Letters, not bytes: a Cyrillic letter takes two bytes of UTF-8.
std::size_t Characters(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

} // namespace

std::string PortDescription(const serial::TComPortInfo& port) {
    if (!port.FriendlyName.empty())
        return port.FriendlyName;
    if (port.OnBoard)
        return texts::OnBoardPort;
    if (port.VendorId.empty())
        return {};
    std::string text = port.Manufacturer;
    if (!port.Product.empty())
        text += (text.empty() ? "" : " ") + port.Product;
    text += (text.empty() ? "(" : " (") + port.VendorId + ":" + port.ProductId + "), ";
    // Without a serial number an adapter keeps its COM number only in the same USB socket.
    text += port.SerialNumber.empty() ? std::string(texts::NoSerialNumber)
                                      : texts::SerialNumber + port.SerialNumber;
    return text;
}

std::string PortsTable(const std::vector<serial::TComPortInfo>& ports) {
    std::vector<std::array<std::string, 4>> rows;
    rows.push_back(
        {texts::PortHeading, texts::DeviceHeading, texts::StateHeading, texts::DescriptionHeading});
    for (const serial::TComPortInfo& port : ports) {
        rows.push_back({port.Name, port.Device,
                        port.Connected ? texts::PortConnected : texts::PortNotConnected,
                        PortDescription(port)});
    }
    std::array<std::size_t, 3> widths{};
    for (const auto& row : rows) {
        for (std::size_t column = 0; column < widths.size(); ++column)
            widths[column] = std::max(widths[column], Characters(row[column]));
    }
    std::string table;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t column = 0; column < widths.size(); ++column)
            line += Padded(row[column], widths[column] + 2);
        line += row[3];
        line.erase(line.find_last_not_of(' ') + 1);
        table += line + "\n";
    }
    return table;
}

} // namespace cli
