#pragma once
// The exception a transaction step raises when the exchange cannot go on: it carries only the
// message that the exchange engine shows before it ends (or, for an output calibration,
// recovers) the transaction.

#include <stdexcept>

namespace protocol {

class TransactionFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace protocol
