#ifndef ICAL_CICALENDARINTEGERVALUE_H
#define ICAL_CICALENDARINTEGERVALUE_H

#include <cstdint>

#include "ical/CICalendarValue.h"

namespace iCal {

// INTEGER (RFC 5545 section 3.3.8).
class CICalendarIntegerValue : public CICalendarValue {
public:
    CICalendarIntegerValue() = default;
    explicit CICalendarIntegerValue(int32_t value) : value(value) {}

    std::unique_ptr<CICalendarValue> Clone() const override
    {
        return std::make_unique<CICalendarIntegerValue>(*this);
    }
    int32_t ValueType() const override { return VALUE_INTEGER; }
    // Leading white space and a sign accepted, stops at the first non-digit;
    // no digits give 0; a number beyond int32 saturates at its limit.
    void FromText(const std::string& text) override;
    void ToText(std::ostream& stream) const override { stream << value; }

    int32_t GetValue() const { return value; }
    void SetValue(int32_t newValue) { value = newValue; }

    int32_t value = 0;
};

}  // namespace iCal

#endif
