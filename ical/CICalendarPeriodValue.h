#ifndef ICAL_CICALENDARPERIODVALUE_H
#define ICAL_CICALENDARPERIODVALUE_H

#include "ical/CICalendarPeriod.h"
#include "ical/CICalendarValue.h"

namespace iCal {

// PERIOD (RFC 5545 section 3.3.9).
class CICalendarPeriodValue : public CICalendarValue {
public:
    CICalendarPeriodValue() = default;
    explicit CICalendarPeriodValue(const CICalendarPeriod& period) : period(period) {}

    std::unique_ptr<CICalendarValue> Clone() const override
    {
        return std::make_unique<CICalendarPeriodValue>(*this);
    }
    int32_t ValueType() const override { return VALUE_PERIOD; }
    void FromText(const std::string& text) override { period.FromText(text); }
    void ToText(std::ostream& stream) const override { stream << period.ToText(); }

    const CICalendarPeriod& GetValue() const { return period; }
    void SetValue(const CICalendarPeriod& newValue) { period = newValue; }

    CICalendarPeriod period;
};

}  // namespace iCal

#endif
