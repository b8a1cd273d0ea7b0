#ifndef ICAL_CICALENDARDATETIMEVALUE_H
#define ICAL_CICALENDARDATETIMEVALUE_H

#include "ical/CICalendarDateTime.h"
#include "ical/CICalendarValue.h"

namespace iCal {

// DATE or DATE-TIME (RFC 5545 sections 3.3.4, 3.3.5); the type follows the
// held date-time: 3 when date-only, else 4.
class CICalendarDateTimeValue : public CICalendarValue {
public:
    CICalendarDateTimeValue() = default;
    explicit CICalendarDateTimeValue(const CICalendarDateTime& dateTime) : dateTime(dateTime) {}

    std::unique_ptr<CICalendarValue> Clone() const override
    {
        return std::make_unique<CICalendarDateTimeValue>(*this);
    }
    int32_t ValueType() const override { return dateTime.dateOnly ? VALUE_DATE : VALUE_DATE_TIME; }
    void FromText(const std::string& text) override { dateTime.FromText(text); }
    void ToText(std::ostream& stream) const override { stream << dateTime.ToText(); }

    const CICalendarDateTime& GetValue() const { return dateTime; }
    CICalendarDateTime& GetValue() { return dateTime; }
    void SetValue(const CICalendarDateTime& newValue) { dateTime = newValue; }

    CICalendarDateTime dateTime;  // 1970-01-01 00:00:00, floating, when created
};

}  // namespace iCal

#endif
