#include "serial/port_error_explainer.h"

#include "serial/com_port.h"
#include "serial/port_error_facts.h"
#include "serial/port_listing.h"

#include <exception>
#include <vector>

namespace serial {

namespace {

// "COM33 (/dev/ttyUSB0)", or the name alone where it is the device.
std::string PortAndDevice(const std::string& port) {
    const std::string device = detail::DeviceOfPort(port);
    if (device.empty() || device == port)
        return port;
    return port + " (" + device + ")";
}

// The ports a technician could choose instead, as the port list shows them: those whose device
// is there now, in counting order.
std::string PluggedInPorts() {
    std::vector<TComPortInfo> ports;
    try {
        ports = ListComPorts();
    } catch (const std::exception&) {
        return {}; // the list is a help, not the point: without it the rest still stands
    }
    std::string list;
    for (const TComPortInfo& port : ports) {
        if (port.Connected)
            list += (list.empty() ? "" : ", ") + port.Name;
    }
    if (list.empty())
        return "Подключённых портов не найдено.";
    return "Подключённые порты: " + list + ".";
}

} // namespace

PortErrorExplanation ExplainPortError(const EComPort& error, const std::string& port) {
    PortErrorExplanation result;
    const int osError = error.WinErrorCode();
    if (osError < 0)
        return result;
    result.fault = detail::ClassifyPortError(error.Code(), osError);
    const std::string what = PortAndDevice(port);
    const std::string system = "системная ошибка " + detail::SystemErrorName(osError);
    switch (result.fault) {
    case PortFault::NoPermission:
        result.text = "Нет прав на доступ к порту " + what + ", " + system + ".\n" +
                      detail::NoPermissionAdvice(detail::DeviceOfPort(port));
        break;
    case PortFault::Busy:
        result.text = "Порт " + what + " занят другой программой (" + system + "). " +
                      detail::BusyAdvice(detail::DeviceOfPort(port));
        break;
    case PortFault::Missing: {
        result.text = "Порт " + what + " не найден (" + system +
                      "): адаптер не подключён или номер порта задан неверно.";
        const std::string plugged = PluggedInPorts();
        if (!plugged.empty())
            result.text += "\n" + plugged;
        break;
    }
    case PortFault::Disconnected:
        result.text = "Связь с портом " + what + " прервалась (" + system +
                      "): адаптер или кабель отсоединён. Проверьте подключение и повторите.";
        break;
    case PortFault::Other:
        result.text = "Ошибка порта " + what + ", " + system + ".";
        break;
    }
    return result;
}

std::string ExplainedPortErrorText(const EComPort& error, const std::string& port) {
    const PortErrorExplanation explanation = ExplainPortError(error, port);
    if (explanation.text.empty())
        return error.what();
    return explanation.text + "\n" + error.what();
}

} // namespace serial
