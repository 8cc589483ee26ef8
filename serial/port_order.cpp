#include "serial/port_order.h"

#include <cctype>
#include <cstddef>

namespace serial {

namespace {

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// -1, 0 or 1 as the names compare in counting order; names that differ only in case or in
// leading zeros compare equal here.
int CountingCompare(const std::string& a, const std::string& b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            while (i < a.size() && a[i] == '0')
                ++i;
            while (j < b.size() && b[j] == '0')
                ++j;
            std::size_t endA = i, endB = j;
            while (endA < a.size() && IsDigit(a[endA]))
                ++endA;
            while (endB < b.size() && IsDigit(b[endB]))
                ++endB;
            // Without leading zeros the longer run is the larger number; runs of one length
            // compare digit by digit.
            if (endA - i != endB - j)
                return endA - i < endB - j ? -1 : 1;
            const int digits = a.compare(i, endA - i, b, j, endB - j);
            if (digits != 0)
                return digits < 0 ? -1 : 1;
            i = endA;
            j = endB;
            continue;
        }
        if (Lower(a[i]) != Lower(b[j]))
            return Lower(a[i]) < Lower(b[j]) ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size())
        return i < a.size() ? 1 : -1;
    return 0;
}

} // namespace

bool PortNameLess(const std::string& a, const std::string& b) {
    const int order = CountingCompare(a, b);
    // Names equal in counting order still get one fixed order, so sorting is deterministic.
    return order != 0 ? order < 0 : a < b;
}

} // namespace serial
