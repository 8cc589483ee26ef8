// The application's exception handler as the serial component sees it: the few places that
// must not let an exception escape (opening after loading, the event window's procedure) hand it
// here, and the application shows its message. Without an installed handler the message goes to
// the standard error stream.
#pragma once

#include <exception>
#include <functional>

namespace serial {

using TApplicationExceptionHandler = std::function<void(std::exception_ptr)>;

// Installs the handler (an empty one restores the default) and returns the previous one.
TApplicationExceptionHandler SetApplicationExceptionHandler(TApplicationExceptionHandler handler);

// Passes the exception to the installed handler; never throws.
void HandleApplicationException(std::exception_ptr error) noexcept;

} // namespace serial
