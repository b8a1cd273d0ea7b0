#include "ical/CICalendarIntegerValue.h"

#include <limits>

namespace iCal {

void CICalendarIntegerValue::FromText(const std::string& text)
{
    size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\n' ||
                                 text[pos] == '\r' || text[pos] == '\f' || text[pos] == '\v')) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    // Accumulated in 64 bits and saturated at the int32 limits, so a long
    // digit string cannot overflow.
    int64_t n = 0;
    const int64_t limit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        n = n * 10 + (text[pos] - '0');
        if (n > limit) n = limit;
        ++pos;
    }
    if (negative) n = -n;
    if (n > std::numeric_limits<int32_t>::max()) n = std::numeric_limits<int32_t>::max();
    value = static_cast<int32_t>(n);
}

}  // namespace iCal
