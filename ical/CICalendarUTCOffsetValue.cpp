#include "ical/CICalendarUTCOffsetValue.h"

#include <cstdio>
#include <cstdlib>

namespace iCal {

namespace {

// A two-digit field; stops at the first non-digit.
int32_t TwoDigits(const std::string& text, size_t pos)
{
    int32_t n = 0;
    for (size_t i = pos; i < pos + 2; ++i) {
        if (text[i] < '0' || text[i] > '9') break;
        n = n * 10 + (text[i] - '0');
    }
    return n;
}

}  // namespace

int32_t CICalendarUTCOffsetValue::ReadOffset(const std::string& text)
{
    // RFC 5545 section 3.3.14: ("+" / "-") time-hour time-minute [time-second].
    if (text.size() != 5 && text.size() != 7) return 0;
    int32_t value = TwoDigits(text, 1) * 3600 + TwoDigits(text, 3) * 60;
    if (text.size() == 7) value += TwoDigits(text, 5);
    return text[0] == '+' ? value : -value;
}

std::string CICalendarUTCOffsetValue::WriteOffset(int32_t offset)
{
    const int64_t a = std::llabs(int64_t{offset});
    char buffer[32];
    const long long hh = a / 3600;
    const long long mm = (a / 60) % 60;
    const long long ss = a % 60;
    if (ss != 0) {
        std::snprintf(buffer, sizeof buffer, "%c%02lld%02lld%02lld", offset < 0 ? '-' : '+', hh, mm, ss);
    } else {
        std::snprintf(buffer, sizeof buffer, "%c%02lld%02lld", offset < 0 ? '-' : '+', hh, mm);
    }
    return buffer;
}

}  // namespace iCal
