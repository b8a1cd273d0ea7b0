#ifndef ICAL_CICALENDARDURATIONVALUE_H
#define ICAL_CICALENDARDURATIONVALUE_H

#include "ical/CICalendarDuration.h"
#include "ical/CICalendarValue.h"

namespace iCal {

// DURATION (RFC 5545 section 3.3.6).
class CICalendarDurationValue : public CICalendarValue {
public:
    CICalendarDurationValue() = default;
    explicit CICalendarDurationValue(const CICalendarDuration& duration) : duration(duration) {}

    std::unique_ptr<CICalendarValue> Clone() const override
    {
        return std::make_unique<CICalendarDurationValue>(*this);
    }
    int32_t ValueType() const override { return VALUE_DURATION; }
    void FromText(const std::string& text) override { duration.FromText(text); }
    void ToText(std::ostream& stream) const override { stream << duration.ToText(); }

    const CICalendarDuration& GetValue() const { return duration; }
    void SetValue(const CICalendarDuration& newValue) { duration = newValue; }

    CICalendarDuration duration;  // zero, forward, when created
};

}  // namespace iCal

#endif
