#pragma once
// The operating-system side of SystemDecimalSeparator, one source file per platform.

#include <string>

namespace protocol::detail {

// The decimal separator text of the user's locale as the system reports it (possibly empty or
// longer than one byte); "." when the locale cannot be read.
std::string ReadUserDecimalSeparator();

} // namespace protocol::detail
