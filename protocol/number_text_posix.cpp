#include "protocol/number_text_os.h"

#include <langinfo.h>
#include <locale.h>

namespace protocol::detail {

std::string ReadUserDecimalSeparator() {
    // A private locale object built from the environment (LC_ALL, LC_NUMERIC, LANG), so the
    // process-wide locale is neither consulted nor changed.
    const locale_t user = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (user == static_cast<locale_t>(nullptr)) {
        return ".";
    }
    const char* radix = nl_langinfo_l(RADIXCHAR, user);
    std::string separator = radix != nullptr ? radix : ".";
    freelocale(user);
    return separator;
}

} // namespace protocol::detail
