#pragma once
// The exchange engine's explainer for the errors of the serial-port component: what happened to
// the port in Russian, with the remedy, above the component's own text (serial/
// port_error_explainer.h). Every other error reads as its own text.

#include "protocol/error_explanation.h"

namespace serial {
class TCustomComPort;
} // namespace serial

namespace protocol {

// Explains the errors of `port`, which must outlive the explainer.
ErrorExplainer ComPortErrorExplainer(const serial::TCustomComPort& port);

} // namespace protocol
