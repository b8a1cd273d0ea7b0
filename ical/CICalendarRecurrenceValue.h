#ifndef ICAL_CICALENDARRECURRENCEVALUE_H
#define ICAL_CICALENDARRECURRENCEVALUE_H

#include "ical/CICalendarRecurrence.h"
#include "ical/CICalendarValue.h"

namespace iCal {

// RECUR (RFC 5545 section 3.3.10): one recurrence rule.
class CICalendarRecurrenceValue : public CICalendarValue {
public:
    CICalendarRecurrenceValue() = default;
    explicit CICalendarRecurrenceValue(const CICalendarRecurrence& recurrence) : recurrence(recurrence) {}

    std::unique_ptr<CICalendarValue> Clone() const override
    {
        return std::make_unique<CICalendarRecurrenceValue>(*this);
    }
    int32_t ValueType() const override { return VALUE_RECUR; }
    void FromText(const std::string& text) override { recurrence.FromText(text); }
    void ToText(std::ostream& stream) const override { recurrence.ToText(stream); }

    const CICalendarRecurrence& GetValue() const { return recurrence; }
    void SetValue(const CICalendarRecurrence& newValue) { recurrence = newValue; }

    CICalendarRecurrence recurrence;
};

}  // namespace iCal

#endif
