#include "protocol/number_text_os.h"

#include <windows.h>

namespace protocol::detail {

std::string ReadUserDecimalSeparator() {
    // LOCALE_SDECIMAL allows up to three characters plus the terminator.
    char buffer[8] = {};
    const int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer,
                                      static_cast<int>(sizeof buffer));
    if (length <= 1) {
        return ".";
    }
    return std::string(buffer, static_cast<std::size_t>(length - 1));
}

} // namespace protocol::detail
