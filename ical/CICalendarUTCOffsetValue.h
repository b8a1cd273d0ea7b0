#ifndef ICAL_CICALENDARUTCOFFSETVALUE_H
#define ICAL_CICALENDARUTCOFFSETVALUE_H

#include <cstdint>
#include <string>

#include "ical/CICalendarValue.h"

namespace iCal {

// UTC-OFFSET (RFC 5545 section 3.3.14): seconds east of UTC.
//   "+0900" -> 32 400     "-0500" -> -18 000    "+053000" -> 19 800
//   "0900", "+09:00" (wrong length) -> 0
//   32 400 -> "+0900"     3 661 -> "+010101"    0 -> "+0000"
class CICalendarUTCOffsetValue : public CICalendarValue {
public:
    CICalendarUTCOffsetValue() = default;
    explicit CICalendarUTCOffsetValue(int32_t value) : value(value) {}

    std::unique_ptr<CICalendarValue> Clone() const override
    {
        return std::make_unique<CICalendarUTCOffsetValue>(*this);
    }
    int32_t ValueType() const override { return VALUE_UTC_OFFSET; }
    void FromText(const std::string& text) override { value = ReadOffset(text); }
    void ToText(std::ostream& stream) const override { stream << WriteOffset(value); }

    int32_t GetValue() const { return value; }
    void SetValue(int32_t newValue) { value = newValue; }

    // Exactly 5 (sign HHMM) or 7 (sign HHMMSS) characters, else 0. Positive
    // for a leading "+", negative for anything else.
    static int32_t ReadOffset(const std::string& text);
    static std::string WriteOffset(int32_t offset);

    int32_t value = 0;
};

}  // namespace iCal

#endif
