#ifndef ICAL_CICALENDARCALADDRESSVALUE_H
#define ICAL_CICALENDARCALADDRESSVALUE_H

#include "ical/CICalendarPlainTextValue.h"

namespace iCal {

// CAL-ADDRESS (RFC 5545 section 3.3.3): a mailto URI kept as written.
class CICalendarCalAddressValue : public CICalendarPlainTextValue {
public:
    using CICalendarPlainTextValue::CICalendarPlainTextValue;

    std::unique_ptr<CICalendarValue> Clone() const override
    {
        return std::make_unique<CICalendarCalAddressValue>(*this);
    }
    int32_t ValueType() const override { return VALUE_CAL_ADDRESS; }
};

}  // namespace iCal

#endif
