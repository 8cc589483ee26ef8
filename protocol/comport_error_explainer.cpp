#include "protocol/comport_error_explainer.h"

#include "serial/com_error.h"
#include "serial/com_port.h"
#include "serial/port_error_explainer.h"

namespace protocol {

ErrorExplainer ComPortErrorExplainer(const serial::TCustomComPort& port) {
    return [&port](const std::exception& error) {
        const auto* portError = dynamic_cast<const serial::EComPort*>(&error);
        if (!portError) {
            return PlainExplanation(error);
        }
        const serial::PortErrorExplanation told = serial::ExplainPortError(*portError, port.Port());
        return ErrorExplanation{told.text, error.what(),
                                told.fault == serial::PortFault::Disconnected};
    };
}

} // namespace protocol
